#pragma once

#include <QString>

struct FontRecord;

// The one list of every persisted value: key, value name, type and default.
// Every reader and writer goes through these declarations, so no name or
// default is spelled twice.
namespace Layout {

inline constexpr const char* ProgramKey = "SOFTWARE\\Orvane\\Clipstow";
inline constexpr const char* EditorKey = "SOFTWARE\\Orvane\\Clipstow\\Editor";
inline constexpr const char* FontKey = "SOFTWARE\\Orvane\\Clipstow\\Font";
inline constexpr const char* RunKey = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
inline constexpr const char* SetupKey = "Software\\Microsoft\\Windows\\CurrentVersion\\Setup";
// Window placement lives under HKEY_CURRENT_USER, below PlacementKey, in
// these sections.
inline constexpr const char* PlacementKey = "SOFTWARE";
inline constexpr const char* MainFormSection = "Orvane\\Clipstow\\MainForm";
inline constexpr const char* RemoteFormSection = "Orvane\\Clipstow\\RemoteFrm";

struct StrSetting
{
    const char* key;
    const char* name;
    const char* defaultValue;

    QString read() const;
    void write(const QString& value) const;
    bool exists() const;
    bool remove() const;
};

struct IntSetting
{
    const char* key;
    const char* name;
    int defaultValue;

    int read() const;
    void write(int value) const;
    bool exists() const;
};

struct BoolSetting
{
    const char* key;
    const char* name;
    bool defaultValue;

    bool read() const;
    void write(bool value) const;
    bool exists() const;
};

// Values of the program key.
inline constexpr StrSetting AcceptedLicense{ProgramKey, "AcceptedLicense", "Never"};
inline constexpr const char* LicenseNeverAccepted = "Never";
inline constexpr BoolSetting ShowSplash{ProgramKey, "ShowSplash", true};
inline constexpr StrSetting Path{ProgramKey, "Path", ""};
inline constexpr StrSetting Filename1{ProgramKey, "Filename1", "Default1.txt"};
inline constexpr StrSetting Filename2{ProgramKey, "Filename2", "Default2.txt"};
inline constexpr StrSetting Filename3{ProgramKey, "Filename3", "Default3.txt"};
inline constexpr BoolSetting Toolbar{ProgramKey, "Toolbar", true};
inline constexpr BoolSetting StatusBar{ProgramKey, "StatusBar", true};
inline constexpr BoolSetting ConfirmClr{ProgramKey, "ConfirmClr", true};
inline constexpr IntSetting DateStyle{ProgramKey, "DateStyle", 1};
inline constexpr StrSetting AutoOn{ProgramKey, "AutoOn", "R"};
inline constexpr BoolSetting Auto{ProgramKey, "Auto", true};
inline constexpr StrSetting AShowRemote{ProgramKey, "AShowRemote", "R"};
inline constexpr BoolSetting ShowRemote{ProgramKey, "ShowRemote", true};
inline constexpr BoolSetting AutoHide{ProgramKey, "AutoHide", true};
inline constexpr IntSetting ActiveFile{ProgramKey, "ActiveFile", 0};
inline constexpr BoolSetting DefaultSound{ProgramKey, "DefaultSound", true};
inline constexpr StrSetting SoundFile{ProgramKey, "SoundFile", ""};
inline constexpr BoolSetting AutoOff{ProgramKey, "AutoOff", false};

// Values of the Editor key. "Editor" has two defaults: the program launched
// when none is stored, and the empty path the Preferences dialog shows.
inline constexpr BoolSetting DefinEd{EditorKey, "DefinEd", false};
inline constexpr StrSetting Editor{EditorKey, "Editor", ""};
inline constexpr StrSetting EditorToLaunch{EditorKey, "Editor", "Notepad.exe"};

// The start-with-the-desktop entry and the media folder.
inline constexpr StrSetting RunEntry{RunKey, "Clipstow", ""};
inline constexpr StrSetting MediaPath{SetupKey, "MediaPath", ""};

// The slot file name settings by slot number 1 to 3.
const StrSetting& slotFilename(int slot);

// The slot number "ActiveFile" selects: 1, 2 or 3; any other value gives 1.
int decodeActiveFile(int stored);

// "AutoOn": "1" on, "0" off, any other text the remembered "Auto".
bool decodeAutoOn(const QString& choice, bool remembered);
// "AShowRemote": "1" shown, "R" the remembered "ShowRemote", any other text
// (including "0") hidden.
bool decodeShowRemote(const QString& choice, bool remembered);

// The editor font record.
// Missing values keep the attributes font has; a missing "Style" makes it plain.
void readFont(FontRecord& font);
void writeFont(const FontRecord& font);

} // namespace Layout
