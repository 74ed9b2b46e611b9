#include "settings/Preferences.h"

#include "base/AppError.h"
#include "platform/Autostart.h"
#include "settings/Settings.h"

PreferenceValues loadPreferences(const Settings& settings, const Autostart& autostart)
{
    PreferenceValues values;
    values.autostart = autostart.exists();
    values.confirmClr = settings.confirmClear();
    values.autoHide = settings.autoHide();
    values.defaultEditor = !settings.ownEditor();
    values.defaultSound = settings.defaultSound();
    values.autoOff = settings.autoOff();
    values.editor = settings.editor().value_or(QString());
    values.soundFile = settings.soundFile();
    values.showSplash = settings.showSplash();
    const int dateStyle = settings.dateStyle();
    values.dateStyle = (dateStyle == 0 || dateStyle == 2) ? dateStyle : 1;
    values.autoOn = settings.autoAtStart();
    values.showRemote = settings.remoteAtStart();
    return values;
}

bool savePreferences(Settings& settings, const PreferenceValues& values, Autostart& autostart,
                     const QString& programPath)
{
    const auto autostartWritten = [&] {
        try {
            if (values.autostart)
                autostart.write(programPath);
            else if (autostart.exists())
                autostart.remove();
        } catch (const AppError& failure) {
            settings.report(failure);
            return false;
        }
        return true;
    };
    // Both paths are kept even while their fields are off, so that a path
    // chosen earlier survives.
    return settings.setConfirmClear(values.confirmClr) && settings.setAutoHide(values.autoHide) &&
           settings.setOwnEditor(!values.defaultEditor) &&
           settings.setDefaultSound(values.defaultSound) && settings.setAutoOff(values.autoOff) &&
           settings.setShowSplash(values.showSplash) && settings.setEditor(values.editor) &&
           settings.setSoundFile(values.soundFile) && autostartWritten() &&
           settings.setDateStyle(values.dateStyle == 0 || values.dateStyle == 2 ? values.dateStyle
                                                                                : 1) &&
           settings.setAutoAtStart(values.autoOn) && settings.setRemoteAtStart(values.showRemote);
}
