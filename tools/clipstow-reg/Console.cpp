#include "Console.h"

#include <QCoreApplication>
#include <cstdio>
#include <iostream>
#include <string>

namespace RegTool {

Failure syntaxError(const QString& command)
{
    return Failure(QCoreApplication::translate(
                       "Console", "Invalid syntax. Type \"clipstow-reg %1 /?\" for usage.")
                       .arg(command.toUpper()));
}

void print(const QString& text)
{
    const QByteArray bytes = text.toUtf8();
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stdout);
}

void printLine(const QString& text)
{
    print(text + QLatin1Char('\n'));
}

bool confirm(const QString& question)
{
    print(question + QCoreApplication::translate("Console", "(Yes/No)? "));
    std::fflush(stdout);
    std::string answer;
    if (!std::getline(std::cin, answer))
        return false;
    const QString text = QString::fromLocal8Bit(answer).trimmed().toLower();
    return text == QLatin1String("y") || text == QLatin1String("yes");
}

KeyName parseKeyName(const QString& text)
{
    QString name = text;
    while (name.endsWith(QLatin1Char('\\')))
        name.chop(1);
    const qsizetype slash = name.indexOf(QLatin1Char('\\'));
    const auto root = RegistryStore::parseRoot(slash < 0 ? name : name.left(slash));
    const QString path = slash < 0 ? QString() : name.mid(slash + 1);
    if (!root || path.contains(QStringLiteral("\\\\")) || path.startsWith(QLatin1Char('\\')) ||
        !RegistryStore::keyPathProblem(path).isEmpty())
        throw Failure(QCoreApplication::translate("Console", "Invalid key name."));
    QString full = RegistryStore::rootName(*root);
    if (!path.isEmpty())
        full += QLatin1Char('\\') + path;
    return KeyName{*root, path, full};
}

Arguments::Arguments(QString command, const QStringList& words,
                     std::initializer_list<KnownOption> knownOptions)
    : m_command(std::move(command))
{
    for (qsizetype i = 0; i < words.size(); ++i) {
        const QString& word = words[i];
        const bool marked =
            word.size() > 1 && (word[0] == QLatin1Char('/') || word[0] == QLatin1Char('-'));
        const QString name = word.mid(1).toLower();
        // The word size options choose a registry view on systems that
        // have two; there is one here.
        if (marked && (name == QLatin1String("reg:32") || name == QLatin1String("reg:64")))
            continue;
        const KnownOption* option = nullptr;
        for (const KnownOption& known : knownOptions) {
            if (marked && name == QLatin1String(known.name))
                option = &known;
        }
        if (!option) {
            m_positional.append(word);
            continue;
        }
        if (m_options.contains(name))
            throw syntaxError(m_command); // given twice
        QString parameter;
        if (option->takesParameter) {
            if (++i == words.size())
                throw syntaxError(m_command);
            parameter = words[i];
        }
        m_options.insert(name, parameter);
    }
}

QString Arguments::positional()
{
    if (m_next >= m_positional.size())
        throw syntaxError(m_command);
    return m_positional[m_next++];
}

bool Arguments::flag(const char* name) const
{
    return m_options.contains(QLatin1String(name));
}

std::optional<QString> Arguments::option(const char* name) const
{
    const auto it = m_options.constFind(QLatin1String(name));
    if (it == m_options.constEnd())
        return std::nullopt;
    return *it;
}

void Arguments::finish() const
{
    if (m_next != m_positional.size())
        throw syntaxError(m_command);
}

QString displayName(const QString& name)
{
    return name.isEmpty() ? QStringLiteral("(Default)") : name;
}

QString childPath(const QString& path, const QString& child)
{
    return path.isEmpty() ? child : path + QLatin1Char('\\') + child;
}

QString displayData(const RegValue& value)
{
    switch (value.type) {
    case RegType::Sz:
    case RegType::ExpandSz:
        return RegValue::decodeString(value.data);
    case RegType::Dword:
        return QStringLiteral("0x%1").arg(RegValue::decodeDword(value.data), 0, 16);
    case RegType::Qword:
        return QStringLiteral("0x%1").arg(RegValue::decodeQword(value.data), 0, 16);
    case RegType::MultiSz:
        return RegValue::decodeMultiString(value.data).join(QStringLiteral("\\0"));
    default:
        return QString::fromLatin1(value.data.toHex().toUpper());
    }
}

} // namespace RegTool
