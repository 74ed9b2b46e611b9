#pragma once

#include <QObject>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>

class ClipboardMonitor;
class ClipboardSourceChooser;
class Collector;
class ErrorReporter;
class MainWindow;
class RemoteWindow;
class SaveSound;
class Settings;
class TerminationRequests;
class TrayIcon;

// The program from its start to its end: which objects it makes, in which
// order, and how it ends. The services it runs on (settings, error
// reporter, save sound) are made by run() and handed in; the rest it owns.
//
// Start-up, in this order (start() runs the steps; a test may run them
// one by one): the tray icon shows from the first moment; the first-run
// agreement when due; the splash window; the settings; the windows; the
// slots; the tray's menu; the clipboard monitor; the windows shown. The
// end: the tray icon goes, the settings are saved in one batch, the
// clipboard monitor stops and the event loop ends.
class Startup final : public QObject
{
    Q_OBJECT

public:
    // Whether the command line asks for the uninstall command: its first
    // parameter (arguments[1]; arguments[0] is the program) with the letters
    // A to Z lower-cased is "/uninstall" or "-uninstall".
    static bool isUninstallCommand(const QStringList& arguments);

    // Removes the program's registry data under both roots and says so. The
    // message goes to show (text, caption); by default a message box.
    static void
    runUninstall(Settings& settings,
                 const std::function<void(const QString& text, const QString& caption)>& show = {});

    // The whole program after the application object exists: the single
    // instance, the services, start-up, the event loop and the end.
    // request: what the command line asks of the running instance ("show"
    // for --show; empty for a plain start), carried out by this process
    // when it is the first. Returns the exit code.
    static int run(const QString& request = {});

    // The tray icon shows at once.
    Startup(Settings& settings, ErrorReporter& errors, SaveSound& sound, QObject* parent = nullptr);
    ~Startup() override;

    // --- Start-up ---------------------------------------------------------
    // Every step below, in one settings batch. False when the user declined
    // the agreement: the tray icon is gone then and nothing else was made.
    bool start();

    // The agreement, when it is due. False when the user declined it.
    bool showAgreement();
    // The splash window, when "ShowSplash" asks for it.
    void showSplash();
    // "Path", the autostart entry's program, and what the collector keeps
    // between runs (file names, stamp style, auto mode, active slot).
    void readSettings();
    // The main window with its stored look, then the remote window.
    void buildWindows();
    // Every slot's file, the active one first.
    void readSlots();
    // The tray menu opens from now on, from the icon and the remote window.
    void attachTray();
    // Copies are captured in auto mode from now on.
    void watchClipboard();
    // The remote window as "AShowRemote" says, the main window when
    // "AutoHide" is false or no notification area could bring it back (the
    // reason then in its status bar); what the windows cannot do on this
    // platform, and that the desktop shows only some copies, are said once.
    void showWindows(bool trayAvailable);

    // The requests to end from the session or the system: from the moment
    // one comes nothing more is captured, and the program ends without
    // asking anyone (see endSession).
    void listenForEndRequests(TerminationRequests& requests);

    // Runs the event loop until the program ends; at once when it has ended
    // already (during start-up). The exit code.
    int exec();

    // --- The end ------------------------------------------------------------
    // The main window closed (Exit, its close box): the tray icon goes, the
    // settings are saved in one batch (said once when they cannot be), the
    // clipboard monitor stops and the event loop ends. During start-up the
    // window it waits on (the agreement, a message, the splash) closes as by
    // its close box, and start() stops there.
    void end();
    // The session or the system ends the program: nobody can be asked, so
    // failures go to standard error from now on, each slot's unsaved text is
    // written next to its file, and the program ends as for Exit.
    void endSession();
    bool hasEnded() const { return m_ended; }

    Collector& collector() const { return *m_collector; }
    ClipboardMonitor& clipboard() const { return *m_clipboard; }
    TrayIcon* trayIcon() const { return m_trayIcon.get(); }
    MainWindow* mainWindow() const { return m_main.get(); }
    RemoteWindow* remoteWindow() const { return m_remote.get(); }

private:
    void tellNotSaved();

    Settings& m_settings;
    ErrorReporter& m_errors;
    // The clipboard as this session offers it, followed from the start; it
    // outlives the collector that captures from it, and the chooser of its
    // source does not outlive it.
    std::unique_ptr<ClipboardMonitor> m_clipboard;
    std::unique_ptr<ClipboardSourceChooser> m_sources;
    // What the user is told of the source chosen at start, or empty.
    QString m_sourceNotice;
    std::unique_ptr<Collector> m_collector;
    std::unique_ptr<TrayIcon> m_trayIcon;
    std::unique_ptr<MainWindow> m_main;
    std::unique_ptr<RemoteWindow> m_remote;
    TerminationRequests* m_endRequests = nullptr;
    bool m_running = false;
    bool m_ended = false;
};
