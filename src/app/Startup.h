#pragma once

#include <QString>
#include <QStringList>
#include <functional>

class MainWindow;
class RemoteWindow;
class Settings;

// The program's way from its command line to its windows.
namespace Startup {

// Whether the command line asks for the uninstall command: its first
// parameter (arguments[1]; arguments[0] is the program) with the letters A to
// Z lower-cased is "/uninstall" or "-uninstall".
bool isUninstallCommand(const QStringList& arguments);

// Removes the program's registry data under both roots and says so. The
// message goes to show (text, caption); by default a message box.
void runUninstall(
    Settings& settings,
    const std::function<void(const QString& text, const QString& caption)>& show = {});

// Shows the main window at start when "AutoHide" is false, and also when the
// desktop has no notification area to bring it back from (with the reason
// in its status bar). Returns whether it was shown.
bool showMainWindowAtStart(MainWindow& window, bool trayAvailable);

// Shows the remote window at start as "AShowRemote" and "ShowRemote" say.
// Returns whether it was shown.
bool showRemoteWindowAtStart(RemoteWindow& remote, const Settings& settings);

// The whole program after the application object exists: single instance,
// windows, message loop. request: what the command line asks of the
// running instance ("show" for --show; empty for a plain start), carried
// out by this process when it is the first. Returns the exit code.
int run(const QString& request = {});

} // namespace Startup
