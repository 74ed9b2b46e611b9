#pragma once

#include <QList>
#include <QString>

struct FontRecord;

// The one list of every persisted value: key, value name, type and default.
// Settings reads and writes each value through its declaration here, so no
// name or default is spelled twice.
namespace Layout {

inline constexpr const char* ProgramKey = "SOFTWARE\\Orvane\\Clipstow";
inline constexpr const char* EditorKey = "SOFTWARE\\Orvane\\Clipstow\\Editor";
inline constexpr const char* FontKey = "SOFTWARE\\Orvane\\Clipstow\\Font";
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
    const char* meaning; // one sentence for the settings list
};

struct IntSetting
{
    const char* key;
    const char* name;
    int defaultValue;
    const char* meaning; // one sentence for the settings list
};

struct BoolSetting
{
    const char* key;
    const char* name;
    bool defaultValue;
    const char* meaning; // one sentence for the settings list
};

// Values of the program key.
inline constexpr StrSetting AcceptedLicense{
    ProgramKey, "AcceptedLicense", "Never",
    "\"Never\" until the first-run agreement is accepted; then the date and time of acceptance"};
inline constexpr const char* LicenseNeverAccepted = "Never";
inline constexpr BoolSetting ShowSplash{ProgramKey, "ShowSplash", true,
                                        "show the splash window at start"};
inline constexpr StrSetting Path{
    ProgramKey, "Path", "",
    "full path of the running program, written at every start and never read"};
inline constexpr StrSetting Filename1{ProgramKey, "Filename1", "Default1.txt",
                                      "file of slot 1 (\"First\")"};
inline constexpr StrSetting Filename2{ProgramKey, "Filename2", "Default2.txt",
                                      "file of slot 2 (\"Second\")"};
inline constexpr StrSetting Filename3{ProgramKey, "Filename3", "Default3.txt",
                                      "file of slot 3 (\"Third\")"};
inline constexpr BoolSetting Toolbar{ProgramKey, "Toolbar", true,
                                     "the main window shows its toolbar"};
inline constexpr BoolSetting StatusBar{ProgramKey, "StatusBar", true,
                                       "the main window shows its status bar"};
inline constexpr BoolSetting ConfirmClr{ProgramKey, "ConfirmClr", true,
                                        "ask before clearing a slot or the clipboard"};
inline constexpr IntSetting DateStyle{
    ProgramKey, "DateStyle", 1,
    "stamp line before each capture: 0 none, 1 short date and time, 2 long date and time"};
inline constexpr StrSetting AutoOn{
    ProgramKey, "AutoOn", "R",
    "auto mode at start: \"1\" on, \"0\" off, \"R\" as at the last exit"};
inline constexpr BoolSetting Auto{ProgramKey, "Auto", true, "auto mode was on at the last exit"};
inline constexpr StrSetting AShowRemote{
    ProgramKey, "AShowRemote", "R",
    "remote control window at start: \"1\" shown, \"0\" hidden, \"R\" as at the last exit"};
inline constexpr BoolSetting ShowRemote{ProgramKey, "ShowRemote", true,
                                        "the remote control window was shown at the last exit"};
inline constexpr BoolSetting AutoHide{ProgramKey, "AutoHide", true,
                                      "start with the main window hidden in the notification area"};
inline constexpr IntSetting ActiveFile{
    ProgramKey, "ActiveFile", 0,
    "slot (1, 2 or 3) active at the last exit; any other number selects slot 1"};
inline constexpr BoolSetting DefaultSound{
    ProgramKey, "DefaultSound", true,
    "after each save play the built-in chime rather than SoundFile"};
inline constexpr StrSetting SoundFile{ProgramKey, "SoundFile", "",
                                      "wave file played after each save when DefaultSound is 0"};
inline constexpr BoolSetting AutoOff{
    ProgramKey, "AutoOff", false,
    "turn auto mode off when a slot file is opened in the text editor"};

// Values of the Editor key. "Editor" has two defaults: the program launched
// when none is stored, and the empty path the Preferences dialog shows.
inline constexpr BoolSetting DefinEd{
    EditorKey, "DefinEd", false,
    "1: open slot files with the program named by Editor; 0: with the desktop's default program"};
inline constexpr StrSetting Editor{
    EditorKey, "Editor", "",
    "the text editor program as the Preferences dialog shows it (empty when none is stored)"};
inline constexpr StrSetting EditorToLaunch{
    EditorKey, "Editor", "Notepad.exe",
    "full path of the text editor program used when DefinEd is 1"};

// The media folder.
inline constexpr StrSetting MediaPath{
    SetupKey, "MediaPath", "",
    "folder where choosing a sound file starts when the current one does not exist; only read"};

// Values of the Font key: the editor font record that RegTools::readFont and
// RegTools::writeFont read and write as one; a missing value keeps the attribute
// the editors' font has, a missing "Style" makes it plain.
struct FontValue
{
    const char* name;
    const char* type;
    const char* defaultText;
    const char* meaning;
};
inline constexpr const char* FontDefault = "the editors' font";
inline constexpr FontValue FontValues[] = {
    {"CharSet", "REG_DWORD", FontDefault, "character set number, 0 to 255"},
    {"Color", "REG_DWORD", FontDefault,
     "text colour as 0x00BBGGRR; 0xFF000008 is the desktop's text colour"},
    {"Height", "REG_DWORD", FontDefault,
     "font height in pixels, negative for the character height"},
    {"Name", "REG_SZ", FontDefault, "font family"},
    {"Pitch", "REG_DWORD", FontDefault, "0 default, 1 variable, 2 fixed"},
    {"Size", "REG_DWORD", FontDefault, "size in points; decides over Height"},
    {"Style", "REG_SZ", "\"0000\"",
     "four characters for bold, italic, underline, strike-out; \"0\" is off"},
};

// Every value above with its key, registry type, default and meaning, for
// the list the registry tool prints.
struct ValueDescription
{
    QString key; // below HKEY_LOCAL_MACHINE
    QString name;
    QString type; // "REG_SZ", "REG_DWORD"
    QString defaultText;
    QString meaning;
};
QList<ValueDescription> describeValues();
// The list as text for a terminal, grouped by key, lines of at most 79
// characters.
QString valuesHelpText();

// The slot file name settings by slot number 1 to 3.
const StrSetting& slotFilename(int slot);

} // namespace Layout
