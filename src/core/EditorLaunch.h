#pragma once

#include <QString>
#include <QStringList>
#include <optional>

class Settings;

namespace Shell {
class Launcher;
}

// What "Edit in Text Editor" starts once the slot's file is saved, decided
// apart from the window so that every case can be checked without starting
// anything.
namespace EditorLaunch {

struct Plan
{
    // The program to start; empty when the file opens with the desktop's
    // default program for its type.
    QString program;
    // The program's arguments, ending in the slot file as one argument.
    QStringList arguments;
    // The slot file's absolute path.
    QString document;

    bool opensDocument() const { return program.isEmpty(); }
    bool operator==(const Plan&) const = default;
};

// definedEditor and storedEditor are "DefinEd" and "Editor" (nullopt when
// no "Editor" is stored). A bare slot file name is taken in the current
// folder. With definedEditor:
// - an "Editor" naming an existing file is that program, blanks and all;
// - any other non-empty "Editor" is a command line (so "gedit --new-window"
//   works), the slot file added as its last argument;
// - with no "Editor" (or an empty one) the first of candidates found on the
//   search path is used, and the desktop's default program when none is.
Plan plan(bool definedEditor, const std::optional<QString>& storedEditor, const QString& slotFile,
          const QStringList& candidates);

// The plan for slotFile from the stored settings and this platform's
// editors.
Plan planFromSettings(const Settings& settings, const QString& slotFile);

// Starts what plan says through launcher. Returns the text the status bar
// shows when it could not be started ("Cannot start <program>"), empty
// when it was.
QString run(const Plan& plan, Shell::Launcher& launcher);

} // namespace EditorLaunch
