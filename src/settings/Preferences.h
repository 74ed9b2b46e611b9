#pragma once

#include "settings/Settings.h"

#include <QString>

class Autostart;

// The values the Preferences dialog shows, and the order in which they are
// read from the settings and written back.

struct PreferenceValues
{
    bool autostart = false;                         // the program starts with the desktop session
    bool confirmClr = true;                         // "ConfirmClr"
    bool autoHide = true;                           // "AutoHide"
    bool defaultEditor = true;                      // the inverse of "DefinEd"
    bool defaultSound = true;                       // "DefaultSound"
    bool autoOff = false;                           // "AutoOff"
    QString editor;                                 // "Editor" of the Editor key
    QString soundFile;                              // "SoundFile"
    bool showSplash = true;                         // "ShowSplash"
    int dateStyle = 1;                              // "DateStyle": 0, 1 or 2
    StartChoice autoOn = StartChoice::Remember;     // "AutoOn"
    StartChoice showRemote = StartChoice::Remember; // "AShowRemote"

    bool operator==(const PreferenceValues&) const = default;
};

// Reads every value, one read each, in this order: the autostart entry,
// "ConfirmClr", "AutoHide", "DefinEd", "DefaultSound", "AutoOff", "Editor",
// "SoundFile", "ShowSplash", "DateStyle", "AutoOn", "AShowRemote". A value
// that is missing or cannot be read gives its default (see Settings); a
// "DateStyle" other than 0 and 2 gives 1.
PreferenceValues loadPreferences(const Settings& settings, const Autostart& autostart);

// Writes every value, each a separate write, in this order: "ConfirmClr",
// "AutoHide", "DefinEd", "DefaultSound", "AutoOff", "ShowSplash", "Editor",
// "SoundFile", the autostart entry (written with programPath when wanted,
// removed when not wanted and present), "DateStyle", "AutoOn",
// "AShowRemote". A write that fails (Settings reports it) ends the
// sequence: false.
bool savePreferences(Settings& settings, const PreferenceValues& values, Autostart& autostart,
                     const QString& programPath);
