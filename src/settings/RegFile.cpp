#include "settings/RegFile.h"

#include <QCoreApplication>
#include <QStringDecoder>
#include <QStringList>
#include <QUtf8StringView>

namespace RegFile {

ParseError::ParseError(int line, const QString& reason)
    : std::runtime_error(QCoreApplication::translate("RegFile", "line %1: %2")
                             .arg(line)
                             .arg(reason)
                             .toStdString()),
      m_line(line), m_reason(reason)
{
}

QString decodeBytes(const QByteArray& bytes)
{
    if (bytes.startsWith("\xff\xfe")) {
        QStringDecoder decoder(QStringDecoder::Utf16LE);
        return decoder(bytes.mid(2));
    }
    if (bytes.startsWith("\xfe\xff")) {
        QStringDecoder decoder(QStringDecoder::Utf16BE);
        return decoder(bytes.mid(2));
    }
    if (bytes.startsWith("\xef\xbb\xbf"))
        return QString::fromUtf8(bytes.mid(3));
    if (bytes.trimmed().startsWith(legacyHeader))
        return decodeEightBit(bytes);
    return QString::fromUtf8(bytes);
}

QString decodeEightBit(const QByteArray& bytes)
{
    if (QUtf8StringView(bytes).isValidUtf8())
        return QString::fromUtf8(bytes);
    // Windows-1252 is Latin-1 but for the characters it puts at 0x80-0x9F.
    static constexpr char16_t high[32] = {
        0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
        0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
        0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};
    QString text = QString::fromLatin1(bytes);
    for (QChar& c : text) {
        if (c.unicode() >= 0x80 && c.unicode() < 0xA0)
            c = QChar(high[c.unicode() - 0x80]);
    }
    return text;
}

QByteArray encodeBytes(const QString& text)
{
    QByteArray bytes("\xff\xfe");
    bytes += RegValue::encodeString(text);
    bytes.chop(2); // no terminating zero in a file
    return bytes;
}

// ---- Writing -----------------------------------------------------------

namespace {

QString quoted(const QString& text)
{
    QString out = QStringLiteral("\"");
    for (const QChar c : text) {
        if (c == QLatin1Char('\\') || c == QLatin1Char('"'))
            out += QLatin1Char('\\');
        out += c;
    }
    return out + QLatin1Char('"');
}

// Comma-separated lower-case bytes, wrapped before a line would pass 80
// characters with a backslash and two spaces of indent.
QString hexData(RegType type, const QByteArray& data, qsizetype lineLength)
{
    QString out = type == RegType::Binary
                      ? QStringLiteral("hex:")
                      : QStringLiteral("hex(%1):").arg(std::uint32_t(type), 0, 16);
    lineLength += out.size();
    for (qsizetype i = 0; i < data.size(); ++i) {
        out += QStringLiteral("%1").arg(quint8(data[i]), 2, 16, QLatin1Char('0'));
        if (i + 1 == data.size())
            break;
        out += QLatin1Char(',');
        lineLength += 3;
        if (lineLength >= 77) {
            out += QStringLiteral("\\\r\n  ");
            lineLength = 2;
        }
    }
    return out;
}

// A string value is written as text only when reading it back gives the
// same bytes; anything else (embedded zeros, line breaks) goes as hex(1).
bool writableAsText(const QByteArray& data)
{
    const QString text = RegValue::decodeString(data);
    return RegValue::encodeString(text) == data && !text.contains(QLatin1Char('\n')) &&
           !text.contains(QLatin1Char('\r'));
}

} // namespace

QString keyLine(RegRoot root, const QString& path)
{
    QString name = RegistryStore::rootName(root);
    if (!path.isEmpty())
        name += QLatin1Char('\\') + path;
    return QLatin1Char('[') + name + QLatin1Char(']');
}

QString valueLine(const RegValue& value)
{
    const QString name =
        (value.name.isEmpty() ? QStringLiteral("@") : quoted(value.name)) + QLatin1Char('=');
    if (value.type == RegType::Sz && writableAsText(value.data))
        return name + quoted(RegValue::decodeString(value.data));
    if (value.type == RegType::Dword && value.data.size() == 4)
        return name + QStringLiteral("dword:%1")
                          .arg(RegValue::decodeDword(value.data), 8, 16, QLatin1Char('0'));
    return name + hexData(value.type, value.data, name.size());
}

namespace {

void exportTree(RegistryStore& store, const RegKey& key, QString& text)
{
    text += QStringLiteral("\r\n") + keyLine(key.root(), key.path()) + QStringLiteral("\r\n");
    for (const RegValue& value : key.values())
        text += valueLine(value) + QStringLiteral("\r\n");
    for (const QString& child : key.subKeyNames()) {
        const QString path = key.path().isEmpty() ? child : key.path() + QLatin1Char('\\') + child;
        if (auto sub = store.openKey(key.root(), path, false))
            exportTree(store, *sub, text);
    }
}

} // namespace

QString exportScript(RegistryStore& store, const RegKey& key)
{
    QString text = QString::fromLatin1(header) + QStringLiteral("\r\n");
    exportTree(store, key, text);
    return text + QStringLiteral("\r\n");
}

// ---- Reading -----------------------------------------------------------

namespace {

QStringList splitLines(const QString& text)
{
    QString unified = text;
    unified.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    unified.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return unified.split(QLatin1Char('\n'));
}

bool onlyCommentLeft(QStringView rest)
{
    rest = rest.trimmed();
    return rest.isEmpty() || rest.startsWith(QLatin1Char(';'));
}

class Parser
{
public:
    explicit Parser(const QString& text) : m_lines(splitLines(text)) {}

    QList<Entry> run()
    {
        skipHeader();
        for (; m_index < m_lines.size(); ++m_index) {
            const QString line = m_lines[m_index].trimmed();
            if (line.isEmpty() || line.startsWith(QLatin1Char(';')))
                continue;
            if (line.startsWith(QLatin1Char('[')))
                keySection(line);
            else if (line.startsWith(QLatin1Char('"')) || line.startsWith(QLatin1Char('@')))
                valueLine(line);
            else
                fail(QCoreApplication::translate("RegFile", "unexpected text"));
        }
        return m_entries;
    }

private:
    [[noreturn]] void fail(const QString& reason) const { throw ParseError(m_index + 1, reason); }

    void skipHeader()
    {
        while (m_index < m_lines.size() && m_lines[m_index].trimmed().isEmpty())
            ++m_index;
        if (m_index == m_lines.size())
            m_index = 0; // nothing but blanks: the header is missing from line 1
        const QString first = m_index < m_lines.size() ? m_lines[m_index].trimmed() : QString();
        m_legacy = first == QLatin1String(legacyHeader);
        if (!m_legacy && first != QLatin1String(header))
            fail(QCoreApplication::translate("RegFile", "the first line must be \"%1\" or \"%2\"")
                     .arg(QLatin1String(header), QLatin1String(legacyHeader)));
        ++m_index;
    }

    void keySection(const QString& line)
    {
        const qsizetype close = line.lastIndexOf(QLatin1Char(']'));
        if (close < 0 || !onlyCommentLeft(QStringView(line).mid(close + 1)))
            fail(QCoreApplication::translate("RegFile", "a key name must end with ]"));
        QString name = line.mid(1, close - 1);
        const bool remove = name.startsWith(QLatin1Char('-'));
        if (remove)
            name.remove(0, 1);
        const qsizetype slash = name.indexOf(QLatin1Char('\\'));
        const auto root = RegistryStore::parseRoot(slash < 0 ? name : name.left(slash));
        if (!root)
            fail(QCoreApplication::translate("RegFile", "unknown root key in [%1]").arg(name));
        const QString path = slash < 0 ? QString() : name.mid(slash + 1);
        if (path.contains(QStringLiteral("\\\\")) || path.endsWith(QLatin1Char('\\')))
            fail(QCoreApplication::translate("RegFile", "empty key name in [%1]").arg(name));
        // The registry's limits on names and depth, checked before anything
        // is created: a script of deeply nested keys would otherwise grow the
        // store far beyond its own size.
        const QString problem = RegistryStore::keyPathProblem(path);
        if (!problem.isEmpty())
            fail(problem);
        if (remove && path.isEmpty())
            fail(QCoreApplication::translate("RegFile", "a root key cannot be deleted"));
        Entry entry;
        entry.kind = remove ? Entry::Kind::DeleteKey : Entry::Kind::CreateKey;
        entry.root = *root;
        entry.path = path;
        m_entries.append(entry);
        m_hasKey = !remove;
        m_root = *root;
        m_path = path;
    }

    // A quoted string starting at pos (on the quote); pos ends after the
    // closing quote.
    QString quotedString(const QString& line, qsizetype& pos) const
    {
        QString out;
        for (++pos; pos < line.size(); ++pos) {
            const QChar c = line[pos];
            if (c == QLatin1Char('"')) {
                ++pos;
                return out;
            }
            if (c != QLatin1Char('\\')) {
                out += c;
                continue;
            }
            if (++pos == line.size())
                break;
            switch (line[pos].unicode()) {
            case '\\':
            case '"':
                out += line[pos];
                break;
            case 'n':
                out += QLatin1Char('\n');
                break;
            case 'r':
                out += QLatin1Char('\r');
                break;
            default:
                fail(QCoreApplication::translate("RegFile", "unknown escape \\%1 in a string")
                         .arg(line[pos]));
            }
        }
        fail(QCoreApplication::translate("RegFile", "a string is not closed"));
    }

    void valueLine(const QString& line)
    {
        if (!m_hasKey)
            fail(QCoreApplication::translate("RegFile", "a value outside a key section"));
        Entry entry;
        entry.root = m_root;
        entry.path = m_path;
        qsizetype pos = 0;
        if (line[0] == QLatin1Char('@'))
            pos = 1;
        else
            entry.name = quotedString(line, pos);
        while (pos < line.size() && line[pos].isSpace())
            ++pos;
        if (pos == line.size() || line[pos] != QLatin1Char('='))
            fail(QCoreApplication::translate("RegFile", "= expected after the value name"));
        const QString data = line.mid(pos + 1).trimmed();
        if (data.startsWith(QLatin1Char('-'))) {
            if (!onlyCommentLeft(QStringView(data).mid(1)))
                fail(QCoreApplication::translate("RegFile", "unexpected text after -"));
            entry.kind = Entry::Kind::DeleteValue;
        } else {
            entry.kind = Entry::Kind::SetValue;
            valueData(data, entry);
        }
        m_entries.append(entry);
    }

    void valueData(const QString& data, Entry& entry)
    {
        if (data.startsWith(QLatin1Char('"'))) {
            qsizetype pos = 0;
            const QString text = quotedString(data, pos);
            if (!onlyCommentLeft(QStringView(data).mid(pos)))
                fail(QCoreApplication::translate("RegFile", "unexpected text after a string"));
            entry.type = RegType::Sz;
            entry.data = RegValue::encodeString(text);
            return;
        }
        const QString lower = data.toLower();
        if (lower.startsWith(QLatin1String("dword:"))) {
            const QString digits = data.mid(6).section(QLatin1Char(';'), 0, 0).trimmed();
            bool ok = false;
            const uint value = digits.toUInt(&ok, 16);
            if (!ok || digits.isEmpty() || digits.size() > 8 || digits.startsWith(QLatin1Char('+')))
                fail(QStringLiteral("dword: needs up to eight hexadecimal digits"));
            entry.type = RegType::Dword;
            entry.data = RegValue::encodeDword(value);
            return;
        }
        if (!lower.startsWith(QLatin1String("hex")))
            fail(QCoreApplication::translate("RegFile", "unknown value data"));
        qsizetype colon = lower.indexOf(QLatin1Char(':'));
        if (colon < 0)
            fail(QCoreApplication::translate("RegFile", "hex data needs a colon"));
        const QString kind = lower.mid(3, colon - 3);
        if (kind.isEmpty()) {
            entry.type = RegType::Binary;
        } else {
            bool ok = false;
            const uint type = kind.startsWith(QLatin1Char('(')) && kind.endsWith(QLatin1Char(')'))
                                  ? kind.mid(1, kind.size() - 2).toUInt(&ok, 16)
                                  : 0;
            if (!ok)
                fail(QCoreApplication::translate("RegFile", "unknown hex type %1").arg(kind));
            entry.type = RegType(type);
        }
        entry.data = hexBytes(data.mid(colon + 1));
        const bool textType = entry.type == RegType::Sz || entry.type == RegType::ExpandSz ||
                              entry.type == RegType::MultiSz;
        if (m_legacy && textType) {
            // 8-bit text with its zeros; the registry keeps it as UTF-16LE.
            entry.data = RegValue::encodeString(decodeEightBit(entry.data));
            entry.data.chop(2); // the text's own zeros end it
        }
    }

    // The byte list, following continuation lines that end in a backslash.
    QByteArray hexBytes(QString list)
    {
        list = list.section(QLatin1Char(';'), 0, 0).trimmed();
        while (list.endsWith(QLatin1Char('\\'))) {
            list.chop(1);
            if (++m_index == m_lines.size() || m_lines[m_index].trimmed().isEmpty())
                fail(QCoreApplication::translate("RegFile", "hex data breaks off"));
            list += m_lines[m_index].section(QLatin1Char(';'), 0, 0).trimmed();
        }
        QByteArray bytes;
        const QStringList items = list.split(QLatin1Char(','));
        for (qsizetype i = 0; i < items.size(); ++i) {
            const QString item = items[i].trimmed();
            if (item.isEmpty() && (i + 1 == items.size()))
                break; // nothing, or a trailing comma
            bool ok = false;
            const uint byte = item.toUInt(&ok, 16);
            if (!ok || item.size() > 2 || item.startsWith(QLatin1Char('+')))
                fail(QCoreApplication::translate("RegFile", "bad byte \"%1\" in hex data")
                         .arg(item));
            bytes.append(char(byte));
        }
        return bytes;
    }

    QStringList m_lines;
    qsizetype m_index = 0;
    QList<Entry> m_entries;
    bool m_legacy = false;
    bool m_hasKey = false;
    RegRoot m_root = RegRoot::LocalMachine;
    QString m_path;
};

} // namespace

QList<Entry> parse(const QString& text)
{
    return Parser(text).run();
}

void apply(RegistryStore& store, const QList<Entry>& entries)
{
    store.runInTransaction([&] {
        for (const Entry& entry : entries) {
            switch (entry.kind) {
            case Entry::Kind::CreateKey:
                if (!store.openKey(entry.root, entry.path, true))
                    throw RegistryIoError("cannot create a key");
                break;
            case Entry::Kind::DeleteKey:
                store.deleteKey(entry.root, entry.path);
                break;
            case Entry::Kind::SetValue: {
                auto key = store.openKey(entry.root, entry.path, true);
                if (!key || !key->setValue(entry.name, entry.type, entry.data))
                    throw RegistryIoError("cannot set a value");
                break;
            }
            case Entry::Kind::DeleteValue:
                if (auto key = store.openKey(entry.root, entry.path, false))
                    key->deleteValue(entry.name);
                break;
            }
        }
    });
}

} // namespace RegFile
