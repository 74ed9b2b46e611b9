#pragma once

#include "support/TestSupport.h"

#include <QIcon>
#include <QStringList>
#include <QTemporaryDir>
#include <memory>
#include <optional>

class Collector;
class MainWindow;
class RemoteWindow;
class QWidget;
class Startup;

// Set-up shared by the tests of the program's windows.
namespace TestSupport {

// A fresh temporary folder made the current one while this lives; the old
// current folder is restored before the folder is removed.
class ScopedWorkFolder final
{
public:
    ScopedWorkFolder();
    ~ScopedWorkFolder();
    ScopedWorkFolder(const ScopedWorkFolder&) = delete;
    ScopedWorkFolder& operator=(const ScopedWorkFolder&) = delete;
    QString path() const { return m_dir.path(); }
    QString filePath(const QString& name) const { return m_dir.filePath(name); }

private:
    QTemporaryDir m_dir;
    QString m_oldDir;
};

// What each test of the windows runs in: a fresh registry, a temporary
// current folder, the error reports collected instead of shown, a save
// sound that only counts, and an empty clipboard. All is undone when it is
// destroyed.
class DesktopFixture final
{
public:
    DesktopFixture();
    ~DesktopFixture();
    DesktopFixture(const DesktopFixture&) = delete;
    DesktopFixture& operator=(const DesktopFixture&) = delete;

    Settings& settings() { return m_registry.settings(); }
    RegistryStore& store() { return m_registry.store(); }
    ErrorReporter& reporter() { return m_registry.errors(); }
    // Before start-up: the registry closed while whileClosed runs.
    void reopenStore(const std::function<void()>& whileClosed) { m_registry.reopen(whileClosed); }
    QString folder() const { return m_folder.path(); }
    QString path(const QString& name) const { return m_folder.filePath(name); }
    // The messages that would have been shown to the user, oldest first.
    QStringList& errors() { return m_errors; }
    // Stores text as the program's value name holds it, bypassing the
    // typed setters: for texts those never write.
    void storeText(const QString& name, const QString& text);
    // How many sounds were played.
    int played() { return m_registry.soundOutput().played; }
    SaveSound& saveSound() { return m_registry.saveSound(); }

private:
    ScopedRegistry m_registry;
    ScopedWorkFolder m_folder;
    QStringList m_errors;
};

// Runs start-up on the fixture's services up to the clipboard monitor (the
// agreement and the splash are not due for its returning user), leaving the
// windows hidden.
void startWindows(DesktopFixture& desk, std::unique_ptr<Startup>& program);

// The running windows of a test class, which derives from it beside
// QObject: its init() calls beginDesk, its cleanup() endDesk.
class WindowsFixture
{
protected:
    // A fresh DesktopFixture.
    void beginDesk();
    // startWindows on it, with auto mode on or off at start when asked
    // ("AutoOn" 1 or 0), else with what is stored.
    void startWindows(std::optional<bool> autoOn = std::nullopt);
    // Ends the program without its end sequence: the remote window first,
    // then the main window, then the collector go.
    void closeWindows();
    // closeWindows, then the fixture goes; a message it would have shown
    // fails the test unless messagesAllowed.
    void endDesk(bool messagesAllowed = false);
    QString path(const QString& name) const;
    // Shows window and waits until it is the active one.
    static void activate(QWidget& window);

    std::unique_ptr<DesktopFixture> m_desk;
    std::unique_ptr<Startup> m_program;
    Collector* m_collector = nullptr;
    MainWindow* m_main = nullptr;
    RemoteWindow* m_remote = nullptr;
};

// Which slot buttons of the remote window show down, as "1-3" style text
// for readable failures.
QString downButtons(const RemoteWindow& remote);

// Whether two icons look the same at tray size.
bool sameIcon(const QIcon& a, const QIcon& b);

} // namespace TestSupport
