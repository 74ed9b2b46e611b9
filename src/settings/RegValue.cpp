#include "settings/RegistryStore.h"

#include <QCoreApplication>
#include <QtEndian>

QByteArray RegValue::encodeString(const QString& text)
{
    QByteArray data;
    data.reserve((text.size() + 1) * 2);
    for (const QChar c : text) {
        const char16_t unit = c.unicode();
        data.append(char(unit & 0xff));
        data.append(char(unit >> 8));
    }
    data.append('\0');
    data.append('\0');
    return data;
}

namespace {

// The UTF-16LE units of raw string data; a trailing odd byte is ignored.
QString unitsOf(const QByteArray& data)
{
    QString text;
    text.reserve(data.size() / 2);
    for (qsizetype i = 0; i + 1 < data.size(); i += 2) {
        const char16_t unit =
            char16_t(quint8(data[i])) | char16_t(char16_t(quint8(data[i + 1])) << 8);
        text.append(QChar(unit));
    }
    return text;
}

} // namespace

QString RegValue::decodeString(const QByteArray& data)
{
    QString text = unitsOf(data);
    const qsizetype end = text.indexOf(QChar(0));
    if (end >= 0)
        text.truncate(end);
    return text;
}

QByteArray RegValue::encodeMultiString(const QStringList& items)
{
    QByteArray data;
    for (const QString& item : items)
        data += encodeString(item);
    data.append('\0');
    data.append('\0');
    return data;
}

QStringList RegValue::decodeMultiString(const QByteArray& data)
{
    // Zero-terminated items up to the empty item that ends the list; a last
    // item without its terminator (sloppy writers) still counts.
    QStringList items;
    const QString text = unitsOf(data);
    qsizetype start = 0;
    while (start < text.size()) {
        qsizetype end = text.indexOf(QChar(0), start);
        if (end < 0)
            end = text.size();
        if (end == start)
            break;
        items.append(text.mid(start, end - start));
        start = end + 1;
    }
    return items;
}

QByteArray RegValue::encodeDword(std::uint32_t value)
{
    QByteArray data(4, '\0');
    qToLittleEndian<quint32>(value, data.data());
    return data;
}

QByteArray RegValue::encodeQword(std::uint64_t value)
{
    QByteArray data(8, '\0');
    qToLittleEndian<quint64>(value, data.data());
    return data;
}

std::uint32_t RegValue::decodeDword(const QByteArray& data)
{
    std::uint32_t value = 0;
    for (qsizetype i = 0; i < 4 && i < data.size(); ++i)
        value |= std::uint32_t(quint8(data[i])) << (8 * i);
    return value;
}

std::uint64_t RegValue::decodeQword(const QByteArray& data)
{
    std::uint64_t value = 0;
    for (qsizetype i = 0; i < 8 && i < data.size(); ++i)
        value |= std::uint64_t(quint8(data[i])) << (8 * i);
    return value;
}

std::optional<RegRoot> RegistryStore::parseRoot(const QString& name)
{
    const QString upper = name.toUpper();
    if (upper == QLatin1String("HKEY_LOCAL_MACHINE") || upper == QLatin1String("HKLM"))
        return RegRoot::LocalMachine;
    if (upper == QLatin1String("HKEY_CURRENT_USER") || upper == QLatin1String("HKCU"))
        return RegRoot::CurrentUser;
    return std::nullopt;
}

QString RegistryStore::rootName(RegRoot root)
{
    return root == RegRoot::LocalMachine ? QStringLiteral("HKEY_LOCAL_MACHINE")
                                         : QStringLiteral("HKEY_CURRENT_USER");
}

namespace {

struct TypeName
{
    RegType type;
    const char* name;
};

constexpr TypeName typeNames[] = {
    {RegType::None, "REG_NONE"},          {RegType::Sz, "REG_SZ"},
    {RegType::ExpandSz, "REG_EXPAND_SZ"}, {RegType::Binary, "REG_BINARY"},
    {RegType::Dword, "REG_DWORD"},        {RegType::MultiSz, "REG_MULTI_SZ"},
    {RegType::Qword, "REG_QWORD"},
};

} // namespace

QString RegistryStore::typeName(RegType type)
{
    for (const TypeName& entry : typeNames) {
        if (entry.type == type)
            return QString::fromLatin1(entry.name);
    }
    return QStringLiteral("0x%1").arg(std::uint32_t(type), 0, 16);
}

std::optional<RegType> RegistryStore::parseType(const QString& name)
{
    for (const TypeName& entry : typeNames) {
        if (name.compare(QLatin1String(entry.name), Qt::CaseInsensitive) == 0)
            return entry.type;
    }
    return std::nullopt;
}

QString RegistryStore::trimmedPath(const QString& path)
{
    QString trimmed = path;
    while (trimmed.startsWith(QLatin1Char('\\')))
        trimmed.remove(0, 1);
    while (trimmed.endsWith(QLatin1Char('\\')))
        trimmed.chop(1);
    return trimmed;
}

QString RegistryStore::keyPathProblem(const QString& path)
{
    const QString trimmed = trimmedPath(path);
    if (trimmed.isEmpty())
        return QString();
    // Counted before splitting, so that a hostile path of thousands of
    // levels costs no list of its names.
    if (trimmed.count(QLatin1Char('\\')) >= MaxKeyDepth)
        return QCoreApplication::translate("RegistryStoreKeys",
                                           "a key lies more than %1 levels deep")
            .arg(MaxKeyDepth);
    for (const QStringView name : QStringView(trimmed).split(QLatin1Char('\\'))) {
        if (name.isEmpty())
            return QCoreApplication::translate("RegistryStoreKeys", "empty key name");
        if (name.size() > MaxKeyNameLength)
            return QCoreApplication::translate("RegistryStoreKeys",
                                               "a key name is longer than %1 characters")
                .arg(MaxKeyNameLength);
    }
    return QString();
}
