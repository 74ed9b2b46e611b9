#include "settings/PlacementStore.h"

#include "base/AppError.h"
#include "settings/RegistryLayout.h"
#include "settings/RegistryStore.h"

#include <QRegularExpression>

namespace Placement {

namespace {

// The text of a value, nullopt when it is missing or cannot be read; any
// other type than a string is an error.
std::optional<QString> placementText(const std::optional<RegKey>& key, const QString& name)
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
    std::optional<QString> stored = placementText(key, name + suffix);
    if (!stored || stored->isEmpty())
        stored = placementText(key, name);
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

QString sectionPath(Window window)
{
    return QString::fromLatin1(Layout::PlacementKey) + QLatin1Char('\\') +
           QString::fromLatin1(window == Window::Main ? Layout::MainFormSection
                                                      : Layout::RemoteFormSection);
}

Found read(RegistryStore& store, Window window, QSize screenPixels, int currentPixelsPerInch,
           const std::array<int, 4>& currentNormal)
{
    std::optional<RegKey> key;
    try {
        key = store.openKey(RegRoot::CurrentUser, sectionPath(window), false);
    } catch (const RegistryIoError&) {
        key.reset();
    }
    Found found;
    found.flags = number(placementText(key, QStringLiteral("Flags")));
    const QString suffix = screenSuffix(screenPixels);
    const std::optional<QString> minMax = positionText(key, QStringLiteral("MinMaxPos"), suffix);
    const std::optional<QString> normal = positionText(key, QStringLiteral("NormPos"), suffix);
    if (normal)
        found.position = parseFour(*normal, currentNormal);
    else if (minMax)
        found.position = currentNormal;
    const int pixelsPerInch =
        number(placementText(key, QStringLiteral("PixelsPerInch"))).value_or(currentPixelsPerInch);
    if (pixelsPerInch != currentPixelsPerInch)
        found.position.reset();
    found.state = decodeShowCmd(number(placementText(key, QStringLiteral("ShowCmd"))).value_or(0));
    return found;
}

// Each value in its own write, in the fixed order other readers of these
// values expect. A section that cannot be opened is skipped as every key
// that cannot be opened is; the store keeps the reason for the one message.
void write(RegistryStore& store, Window window, const Record& record, QSize screenPixels,
           bool visible)
{
    std::optional<RegKey> key;
    try {
        key = store.openKey(RegRoot::CurrentUser, sectionPath(window), true);
    } catch (const RegistryIoError&) {
        return;
    }
    if (!key)
        return;
    const auto set = [&key](const QString& name, const QString& value) {
        bool written = false;
        try {
            written = key->setValue(name, RegType::Sz, RegValue::encodeString(value));
        } catch (const RegistryUnavailableError&) {
            return false;
        } catch (const RegistryIoError&) {
            written = false;
        }
        if (!written)
            throw AppError::withName(QStringLiteral("Failed to set data for '%s'"), name);
        return true;
    };
    const QString suffix = screenSuffix(screenPixels);
    const QString minMax = formatFour({record.minimizedPosition.x(), record.minimizedPosition.y(),
                                       record.maximizedPosition.x(), record.maximizedPosition.y()});
    const QString normal = formatFour(record.normal);
    // A store that became unavailable part-way skips the rest.
    set(QStringLiteral("Flags"), QString::number(record.flags)) &&
        set(QStringLiteral("ShowCmd"), QString::number(encodeShowCmd(record.state))) &&
        set(QStringLiteral("PixelsPerInch"), QString::number(record.pixelsPerInch)) &&
        set(QStringLiteral("MinMaxPos") + suffix, minMax) &&
        set(QStringLiteral("MinMaxPos"), minMax) &&
        set(QStringLiteral("NormPos") + suffix, normal) && set(QStringLiteral("NormPos"), normal) &&
        set(QStringLiteral("Visible"), visible ? QStringLiteral("1") : QStringLiteral("0"));
}

} // namespace Placement
