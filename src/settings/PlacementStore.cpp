#include "settings/PlacementStore.h"

#include "base/AppError.h"
#include "settings/RegistryStore.h"

#include <QRegularExpression>

namespace Placement {

namespace {

constexpr const char* ParentKey = "SOFTWARE";

QString sectionPath(const QString& section)
{
    return QString::fromLatin1(ParentKey) + QLatin1Char('\\') + section;
}

RegKey openSection(const QString& section)
{
    std::optional<RegKey> key;
    try {
        key = RegistryStore::global().openKey(RegRoot::CurrentUser, sectionPath(section), true);
    } catch (const RegistryIoError&) {
        key.reset();
    }
    if (!key)
        throw AppError::withName(QStringLiteral("Failed to create key %s"), sectionPath(section));
    return *key;
}

void setText(RegKey& key, const QString& name, const QString& text)
{
    bool written = false;
    try {
        written = key.setValue(name, RegType::Sz, RegValue::encodeString(text));
    } catch (const RegistryIoError&) {
        written = false;
    }
    if (!written)
        throw AppError::withName(QStringLiteral("Failed to set data for '%s'"), name);
}

// The text of a value, nullopt when it is missing; any other type than a
// string is an error.
std::optional<QString> text(const std::optional<RegKey>& key, const QString& name)
{
    if (!key)
        return std::nullopt;
    std::optional<RegValue> value;
    try {
        value = key->value(name);
    } catch (const RegistryIoError&) {
        return std::nullopt;
    }
    if (!value)
        return std::nullopt;
    if (value->type != RegType::Sz && value->type != RegType::ExpandSz)
        throw AppError::withName(QStringLiteral("Invalid data type for '%s'"), name);
    return RegValue::decodeString(value->data);
}

std::optional<int> number(const std::optional<QString>& stored)
{
    if (!stored)
        return std::nullopt;
    bool ok = false;
    const int value = stored->trimmed().toInt(&ok);
    return ok ? std::optional<int>(value) : std::nullopt;
}

// The suffixed value when it holds text, else the plain one.
std::optional<QString> positionText(const std::optional<RegKey>& key, const QString& name,
                                    const QString& suffix)
{
    std::optional<QString> stored = text(key, name + suffix);
    if (!stored || stored->isEmpty())
        stored = text(key, name);
    return stored;
}

} // namespace

QString screenSuffix(QSize screenPixels)
{
    return QStringLiteral("(%1x%2)").arg(screenPixels.width()).arg(screenPixels.height());
}

std::array<int, 4> parseFour(const QString& text, const std::array<int, 4>& defaults)
{
    static const QRegularExpression separators(QStringLiteral("[,\\s]+"));
    const QStringList parts = text.trimmed().split(separators, Qt::SkipEmptyParts);
    std::array<int, 4> result = defaults;
    for (int i = 0; i < 4 && i < parts.size(); ++i) {
        bool ok = false;
        const int value = parts[i].toInt(&ok);
        if (ok)
            result[i] = value;
    }
    return result;
}

QString formatFour(const std::array<int, 4>& n)
{
    return QStringLiteral("%1,%2,%3,%4").arg(n[0]).arg(n[1]).arg(n[2]).arg(n[3]);
}

ShowState decodeShowCmd(int showCmd)
{
    switch (showCmd) {
    case 2:
    case 6:
    case 7:
        return ShowState::Minimized;
    case 3:
        return ShowState::Maximized;
    default:
        return ShowState::Normal;
    }
}

int encodeShowCmd(ShowState state)
{
    switch (state) {
    case ShowState::Minimized:
        return 2;
    case ShowState::Maximized:
        return 3;
    case ShowState::Normal:
        break;
    }
    return 1;
}

void write(const QString& section, const Record& record, QSize screenPixels, bool visible)
{
    RegKey key = openSection(section);
    const QString suffix = screenSuffix(screenPixels);
    const QString minMax = formatFour({record.minimizedPosition.x(), record.minimizedPosition.y(),
                                       record.maximizedPosition.x(), record.maximizedPosition.y()});
    const QString normal = formatFour(record.normal);
    // Each value in its own write, in this order, as other readers of these
    // values expect them.
    setText(key, QStringLiteral("Flags"), QString::number(record.flags));
    setText(key, QStringLiteral("ShowCmd"), QString::number(encodeShowCmd(record.state)));
    setText(key, QStringLiteral("PixelsPerInch"), QString::number(record.pixelsPerInch));
    setText(key, QStringLiteral("MinMaxPos") + suffix, minMax);
    setText(key, QStringLiteral("MinMaxPos"), minMax);
    setText(key, QStringLiteral("NormPos") + suffix, normal);
    setText(key, QStringLiteral("NormPos"), normal);
    setText(key, QStringLiteral("Visible"), visible ? QStringLiteral("1") : QStringLiteral("0"));
}

Found read(const QString& section, QSize screenPixels, int currentPixelsPerInch,
           const std::array<int, 4>& currentNormal)
{
    std::optional<RegKey> key;
    try {
        key = RegistryStore::global().openKey(RegRoot::CurrentUser, sectionPath(section), false);
    } catch (const RegistryIoError&) {
        key.reset();
    }
    Found found;
    found.flags = number(text(key, QStringLiteral("Flags")));
    const QString suffix = screenSuffix(screenPixels);
    const std::optional<QString> minMax = positionText(key, QStringLiteral("MinMaxPos"), suffix);
    const std::optional<QString> normal = positionText(key, QStringLiteral("NormPos"), suffix);
    if (normal)
        found.position = parseFour(*normal, currentNormal);
    else if (minMax)
        found.position = currentNormal;
    const int pixelsPerInch =
        number(text(key, QStringLiteral("PixelsPerInch"))).value_or(currentPixelsPerInch);
    if (pixelsPerInch != currentPixelsPerInch)
        found.position.reset();
    found.state = decodeShowCmd(number(text(key, QStringLiteral("ShowCmd"))).value_or(0));
    return found;
}

} // namespace Placement
