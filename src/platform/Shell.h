#pragma once

#include <QString>
#include <QStringList>

class QUrl;

// Launching other programs, documents and links. Nothing here waits for
// what it launched or examines how it went.
namespace Shell {

// The two ways the program hands work to the desktop. Everything launched
// goes through the launcher in use, so that a test can put one of its own in
// place of the desktop's and see what would have been started.
class Launcher
{
public:
    virtual ~Launcher() = default;
    // Starts program with arguments in the current folder, detached. False
    // when it cannot be started (missing, not executable).
    virtual bool startDetached(const QString& program, const QStringList& arguments) = 0;
    // Opens url with the desktop's handler for it. False when the desktop
    // has no way to open it.
    virtual bool openUrl(const QUrl& url) = 0;
};

// The launcher in use: the desktop's own unless another was installed.
Launcher& launcher();
// Puts launcher (not owned) in place of the desktop's; null restores it.
void setLauncher(Launcher* launcher);

// The desktop's default action for target: a web or mail link opens in its
// handler, a document in the program registered for its type, an
// executable file is started.
bool open(const QString& target);

// Hands a web or mail link to the desktop's handler for its scheme. How
// that went is not examined: a link that cannot be opened is not reported.
void openLink(const QUrl& link);

// The plain-text editors of this platform's desktops, most preferred first,
// as program names to look for on the search path.
QStringList commonTextEditors();

// Whether this platform can show the clipboard's contents in a viewer.
bool hasClipboardViewer();

} // namespace Shell
