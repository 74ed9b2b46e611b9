#include "settings/RegTools.h"

#include "base/AppError.h"
#include "settings/RegistryStore.h"

#include <QColor>
#include <QCoreApplication>
#include <QPalette>
#include <cmath>

namespace {

// Every operation of the store works below this root.
constexpr RegRoot StoreRoot = RegRoot::LocalMachine;

std::optional<RegKey> openKey(RegistryStore& store, const QString& key, bool create)
{
    try {
        return store.openKey(StoreRoot, key, create);
    } catch (const RegistryIoError&) {
        // A key that cannot be opened is not an error: reads give their
        // default and writes are skipped.
        return std::nullopt;
    }
}

AppError invalidType(const QString& name)
{
    return AppError::withName(QCoreApplication::translate("RegTools", "Invalid data type for '%s'"),
                              name);
}
AppError getFailed(const QString& name)
{
    return AppError::withName(
        QCoreApplication::translate("RegTools", "Failed to get data for '%s'"), name);
}
AppError setFailed(const QString& name)
{
    return AppError::withName(
        QCoreApplication::translate("RegTools", "Failed to set data for '%s'"), name);
}

std::optional<RegValue> readValue(RegistryStore& store, const QString& key, const QString& name)
{
    const std::optional<RegKey> opened = openKey(store, key, false);
    if (!opened)
        return std::nullopt;
    try {
        return opened->value(name);
    } catch (const RegistryUnavailableError&) {
        return std::nullopt; // skipped as if the key could not be opened
    } catch (const RegistryIoError&) {
        throw getFailed(name);
    }
}

void writeValue(RegistryStore& store, const QString& key, const QString& name, RegType type,
                const QByteArray& data)
{
    std::optional<RegKey> opened = openKey(store, key, true);
    if (!opened)
        return;
    bool written = false;
    try {
        written = opened->setValue(name, type, data);
    } catch (const RegistryUnavailableError&) {
        return; // skipped; the store keeps the reason for the one message
    } catch (const RegistryIoError&) {
        written = false;
    }
    if (!written)
        throw setFailed(name);
}

std::optional<std::int32_t> readDword(RegistryStore& store, const QString& key, const QString& name)
{
    const std::optional<RegValue> value = readValue(store, key, name);
    if (!value)
        return std::nullopt;
    if (value->type != RegType::Dword)
        throw invalidType(name);
    if (value->data.size() != 4)
        throw getFailed(name);
    return static_cast<std::int32_t>(RegValue::decodeDword(value->data));
}

} // namespace

namespace RegTools {

void writeString(RegistryStore& store, const QString& key, const QString& name,
                 const QString& value)
{
    writeValue(store, key, name, RegType::Sz, RegValue::encodeString(value));
}

void writeInt(RegistryStore& store, const QString& key, const QString& name, int value)
{
    writeValue(store, key, name, RegType::Dword,
               RegValue::encodeDword(static_cast<std::uint32_t>(value)));
}

void writeBool(RegistryStore& store, const QString& key, const QString& name, bool value)
{
    writeInt(store, key, name, value ? 1 : 0);
}

QString readString(RegistryStore& store, const QString& key, const QString& name,
                   const QString& defaultValue)
{
    QString result = defaultValue;
    const std::optional<RegValue> value = readValue(store, key, name);
    if (value) {
        if (value->type != RegType::Sz && value->type != RegType::ExpandSz)
            throw invalidType(name);
        // Expandable strings are returned as stored, without expansion.
        result = RegValue::decodeString(value->data);
    }
    return result;
}

int readInt(RegistryStore& store, const QString& key, const QString& name, int defaultValue)
{
    return readDword(store, key, name).value_or(defaultValue);
}

bool readBool(RegistryStore& store, const QString& key, const QString& name, bool defaultValue)
{
    const std::optional<std::int32_t> value = readDword(store, key, name);
    return value ? *value != 0 : defaultValue;
}

bool valueExists(RegistryStore& store, const QString& key, const QString& name)
{
    const std::optional<RegKey> opened = openKey(store, key, false);
    if (!opened)
        return false;
    try {
        return opened->hasValue(name);
    } catch (const RegistryIoError&) {
        return false;
    }
}

bool deleteValue(RegistryStore& store, const QString& key, const QString& name)
{
    std::optional<RegKey> opened = openKey(store, key, false);
    if (!opened)
        return false;
    try {
        return opened->deleteValue(name);
    } catch (const RegistryIoError&) {
        return false;
    }
}

QString takeNotSavedMessage(RegistryStore& store)
{
    const QString reason = store.takeUnsavedReason();
    if (reason.isEmpty())
        return QString();
    return QCoreApplication::translate("RegTools", "The settings could not be saved: %1.")
        .arg(reason);
}

bool readFont(RegistryStore& store, FontRecord& target, const QString& key,
              const FontRecord& defaults)
{
    // The attributes read so far reach the target even when a later read
    // fails, so the record is assembled in a temporary and assigned on every
    // way out.
    FontRecord temp;
    struct Assign
    {
        FontRecord& target;
        FontRecord& temp;
        ~Assign() { target = temp; }
    } assign{target, temp};

    temp.charSet = readInt(store, key, QStringLiteral("CharSet"), defaults.charSet);
    temp.color = readInt(store, key, QStringLiteral("Color"), defaults.color);
    const int height = readInt(store, key, QStringLiteral("Height"), defaults.height());
    if (height != 0)
        temp.font.setPointSizeF(std::abs(height) * 72.0 / FontRecord::PixelsPerInch);
    temp.font.setFamily(readString(store, key, QStringLiteral("Name"), defaults.font.family()));
    temp.pitch = readInt(store, key, QStringLiteral("Pitch"), defaults.pitch);
    temp.font.setFixedPitch(temp.pitch == 2);
    const int size = readInt(store, key, QStringLiteral("Size"), defaults.font.pointSize());
    if (size > 0)
        temp.font.setPointSize(size);

    QString style = readString(store, key, QStringLiteral("Style"), QStringLiteral("0000"));
    if (style.size() < 4)
        style += QStringLiteral("0000");
    const auto on = [&style](int i) { return style.at(i) != QLatin1Char('0'); };
    temp.font.setBold(on(0));
    temp.font.setItalic(on(1));
    temp.font.setUnderline(on(2));
    temp.font.setStrikeOut(on(3));
    return true;
}

bool writeFont(RegistryStore& store, const FontRecord& record, const QString& key)
{
    writeInt(store, key, QStringLiteral("CharSet"), record.charSet & 0xFF);
    writeInt(store, key, QStringLiteral("Color"), record.color);
    writeInt(store, key, QStringLiteral("Height"), record.height());
    writeString(store, key, QStringLiteral("Name"), record.font.family());
    writeInt(store, key, QStringLiteral("Pitch"), record.pitch);
    writeInt(store, key, QStringLiteral("Size"), record.font.pointSize());
    QString style = QStringLiteral("0000");
    if (record.font.bold())
        style[0] = QLatin1Char('B');
    if (record.font.italic())
        style[1] = QLatin1Char('I');
    if (record.font.underline())
        style[2] = QLatin1Char('U');
    if (record.font.strikeOut())
        style[3] = QLatin1Char('S');
    writeString(store, key, QStringLiteral("Style"), style);
    return true;
}

} // namespace RegTools

int FontRecord::height() const
{
    const double points = font.pointSizeF() > 0 ? font.pointSizeF() : font.pointSize();
    return -static_cast<int>(std::lround(points * PixelsPerInch / 72.0));
}

QColor FontRecord::resolvedColor(const QPalette& palette) const
{
    if ((color & SystemColorFlag) == SystemColorFlag)
        return palette.color(QPalette::Active, QPalette::WindowText);
    const auto raw = static_cast<std::uint32_t>(color);
    return QColor(int(raw & 0xFF), int((raw >> 8) & 0xFF), int((raw >> 16) & 0xFF));
}

std::int32_t FontRecord::encodeColor(const QColor& c)
{
    const std::uint32_t raw =
        std::uint32_t(c.red()) | (std::uint32_t(c.green()) << 8) | (std::uint32_t(c.blue()) << 16);
    return static_cast<std::int32_t>(raw);
}
