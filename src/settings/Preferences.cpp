#include "settings/Preferences.h"

#include "base/AppError.h"
#include "platform/Autostart.h"
#include "settings/RegistryLayout.h"

namespace {

// A value of the wrong type reads as its default here: the dialog shows
// the default, and OK writes the value with its right type.
QString readOrDefault(const Layout::StrSetting& setting)
{
    try {
        return setting.read();
    } catch (const AppError&) {
        return QString::fromUtf8(setting.defaultValue);
    }
}

template <typename Setting> auto readOrDefault(const Setting& setting)
{
    try {
        return setting.read();
    } catch (const AppError&) {
        return setting.defaultValue;
    }
}

} // namespace

StartChoice decodeStartChoice(const QString& stored)
{
    if (stored == QLatin1String("1"))
        return StartChoice::AlwaysOn;
    if (stored == QLatin1String("0"))
        return StartChoice::AlwaysOff;
    return StartChoice::Remember;
}

QString encodeStartChoice(StartChoice choice)
{
    switch (choice) {
    case StartChoice::AlwaysOn:
        return QStringLiteral("1");
    case StartChoice::AlwaysOff:
        return QStringLiteral("0");
    case StartChoice::Remember:
        break;
    }
    return QStringLiteral("R");
}

PreferenceValues loadPreferences(const Autostart& autostart)
{
    PreferenceValues values;
    values.autostart = autostart.exists();
    values.confirmClr = readOrDefault(Layout::ConfirmClr);
    values.autoHide = readOrDefault(Layout::AutoHide);
    values.defaultEditor = !readOrDefault(Layout::DefinEd);
    values.defaultSound = readOrDefault(Layout::DefaultSound);
    values.autoOff = readOrDefault(Layout::AutoOff);
    values.editor = readOrDefault(Layout::Editor);
    values.soundFile = readOrDefault(Layout::SoundFile);
    values.showSplash = readOrDefault(Layout::ShowSplash);
    const int dateStyle = readOrDefault(Layout::DateStyle);
    values.dateStyle = (dateStyle == 0 || dateStyle == 2) ? dateStyle : 1;
    values.autoOn = decodeStartChoice(readOrDefault(Layout::AutoOn));
    values.showRemote = decodeStartChoice(readOrDefault(Layout::AShowRemote));
    return values;
}

void savePreferences(const PreferenceValues& values, Autostart& autostart,
                     const QString& programPath)
{
    Layout::ConfirmClr.write(values.confirmClr);
    Layout::AutoHide.write(values.autoHide);
    Layout::DefinEd.write(!values.defaultEditor);
    Layout::DefaultSound.write(values.defaultSound);
    Layout::AutoOff.write(values.autoOff);
    Layout::ShowSplash.write(values.showSplash);
    // Both paths are kept even while their fields are off, so that a path
    // chosen earlier survives.
    Layout::Editor.write(values.editor);
    Layout::SoundFile.write(values.soundFile);
    if (values.autostart)
        autostart.write(programPath);
    else if (autostart.exists())
        autostart.remove();
    Layout::DateStyle.write(values.dateStyle == 0 || values.dateStyle == 2 ? values.dateStyle : 1);
    Layout::AutoOn.write(encodeStartChoice(values.autoOn));
    Layout::AShowRemote.write(encodeStartChoice(values.showRemote));
}

bool readConfirmClr()
{
    return readOrDefault(Layout::ConfirmClr);
}

int readDateStyle()
{
    return readOrDefault(Layout::DateStyle);
}

QString readMediaPath()
{
    return readOrDefault(Layout::MediaPath);
}
