// clipstow-reg add and delete.

#include "Console.h"

#include <QCoreApplication>
#include <cctype>

namespace RegTool {

namespace {

Failure badData(const QString& type, const QString& data)
{
    return Failure(
        QCoreApplication::translate("Edit", "Invalid data \"%1\" for %2.").arg(data, type));
}

// Unsigned number in decimal, or in hexadecimal after 0x, up to max.
std::uint64_t parseNumber(const QString& type, const QString& data, std::uint64_t max)
{
    const bool hex = data.startsWith(QLatin1String("0x"), Qt::CaseInsensitive);
    const QString digits = hex ? data.mid(2) : data;
    bool ok = !digits.isEmpty();
    for (const QChar c : digits) {
        const char ascii = c.unicode() < 128 ? char(c.unicode()) : '?';
        ok = ok && (hex ? std::isxdigit(static_cast<unsigned char>(ascii)) != 0
                        : std::isdigit(static_cast<unsigned char>(ascii)) != 0);
    }
    const std::uint64_t value = ok ? digits.toULongLong(&ok, hex ? 16 : 10) : 0;
    if (!ok || value > max)
        throw badData(type, data);
    return value;
}

QByteArray parseBinary(const QString& data)
{
    // An odd count of digits leaves the first byte with one digit.
    const QString digits = data.size() % 2 ? QLatin1Char('0') + data : data;
    for (const QChar c : digits) {
        if (c.unicode() > 127 || !std::isxdigit(static_cast<unsigned char>(c.unicode())))
            throw badData(QStringLiteral("REG_BINARY"), data);
    }
    return QByteArray::fromHex(digits.toLatin1());
}

QByteArray parseMulti(const QString& data, const QString& separator)
{
    QStringList items = data.split(separator);
    if (!items.isEmpty() && items.last().isEmpty())
        items.removeLast(); // a separator may end the list
    for (const QString& item : items) {
        if (item.isEmpty())
            throw badData(QStringLiteral("REG_MULTI_SZ"), data); // would end the list early
    }
    return RegValue::encodeMultiString(items);
}

QByteArray encodeData(RegType type, const QString& data, const QString& separator)
{
    switch (type) {
    case RegType::Dword:
        return RegValue::encodeDword(
            std::uint32_t(parseNumber(QStringLiteral("REG_DWORD"), data, 0xffffffffu)));
    case RegType::Qword:
        return RegValue::encodeQword(
            parseNumber(QStringLiteral("REG_QWORD"), data, ~std::uint64_t(0)));
    case RegType::Binary:
        return parseBinary(data);
    case RegType::MultiSz:
        return parseMulti(data, separator);
    default:
        return RegValue::encodeString(data);
    }
}

} // namespace

int add(RegistryStore& store, const QStringList& words)
{
    Arguments args(
        QStringLiteral("add"), words,
        {{"v", true}, {"ve", false}, {"t", true}, {"s", true}, {"d", true}, {"f", false}});
    const KeyName keyName = parseKeyName(args.positional());
    const std::optional<QString> name = args.option("v");
    const bool defaultValue = args.flag("ve");
    const std::optional<QString> typeText = args.option("t");
    const std::optional<QString> separator = args.option("s");
    const std::optional<QString> data = args.option("d");
    const bool force = args.flag("f");
    args.finish();
    if (name && defaultValue)
        throw syntaxError(args.command());

    const RegType type =
        typeText ? RegistryStore::parseType(*typeText).value_or(RegType::None) : RegType::Sz;
    if (type == RegType::None)
        throw Failure(QCoreApplication::translate("Edit", "Invalid type %1.")
                          .arg(typeText.value_or(QString())));
    if (separator && (type != RegType::MultiSz || separator->size() != 1))
        throw syntaxError(args.command());
    // Check the data before anything is written.
    const QByteArray bytes =
        encodeData(type, data.value_or(QString()), separator.value_or(QStringLiteral("\\0")));

    const bool setsValue = name || defaultValue || typeText || data;
    if (!setsValue) {
        if (!store.openKey(keyName.root, keyName.path, true))
            throw Failure(QCoreApplication::translate("Edit", "Invalid key name."));
        printLine(QString::fromLatin1(completed));
        return 0;
    }
    const QString valueName = name.value_or(QString());
    if (!force) {
        const auto existing = store.openKey(keyName.root, keyName.path, false);
        if (existing && existing->hasValue(valueName) &&
            !confirm(QCoreApplication::translate("Edit", "Value %1 exists, overwrite")
                         .arg(displayName(valueName)))) {
            printLine(QString::fromLatin1(canceled));
            return 0;
        }
    }
    bool written = false;
    store.runInTransaction([&] {
        auto key = store.openKey(keyName.root, keyName.path, true);
        written = key && key->setValue(valueName, type, bytes);
    });
    if (!written)
        throw Failure(QCoreApplication::translate("Edit", "Cannot set %1 in %2.")
                          .arg(displayName(valueName), keyName.fullName));
    printLine(QString::fromLatin1(completed));
    return 0;
}

int remove(RegistryStore& store, const QStringList& words)
{
    Arguments args(QStringLiteral("delete"), words,
                   {{"v", true}, {"ve", false}, {"va", false}, {"f", false}});
    const KeyName keyName = parseKeyName(args.positional());
    const std::optional<QString> name = args.option("v");
    const bool defaultValue = args.flag("ve");
    const bool allValues = args.flag("va");
    const bool force = args.flag("f");
    args.finish();
    if (int(name.has_value()) + int(defaultValue) + int(allValues) > 1)
        throw syntaxError(args.command());

    auto key = store.openKey(keyName.root, keyName.path, false);
    if (!key)
        throw Failure(QString::fromLatin1(notFound));

    if (!name && !defaultValue && !allValues) {
        if (keyName.path.isEmpty())
            throw Failure(QCoreApplication::translate("Edit", "A root key cannot be deleted."));
        if (!force &&
            !confirm(QCoreApplication::translate("Edit", "Permanently delete the registry key %1 ")
                         .arg(keyName.fullName))) {
            printLine(QString::fromLatin1(canceled));
            return 0;
        }
        if (!store.deleteKey(keyName.root, keyName.path))
            throw Failure(QString::fromLatin1(notFound));
        printLine(QString::fromLatin1(completed));
        return 0;
    }
    if (allValues) {
        if (!force && !confirm(QCoreApplication::translate(
                                   "Edit", "Delete all values under the registry key %1 ")
                                   .arg(keyName.fullName))) {
            printLine(QString::fromLatin1(canceled));
            return 0;
        }
        store.runInTransaction([&] {
            for (const RegValue& value : key->values())
                key->deleteValue(value.name);
        });
        printLine(QString::fromLatin1(completed));
        return 0;
    }
    const QString valueName = name.value_or(QString());
    if (!key->hasValue(valueName))
        throw Failure(QString::fromLatin1(notFound));
    if (!force && !confirm(QCoreApplication::translate("Edit", "Delete the registry value %1 ")
                               .arg(displayName(valueName)))) {
        printLine(QString::fromLatin1(canceled));
        return 0;
    }
    if (!key->deleteValue(valueName))
        throw Failure(QString::fromLatin1(notFound));
    printLine(QString::fromLatin1(completed));
    return 0;
}

} // namespace RegTool
