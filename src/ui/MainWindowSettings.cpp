// Start-up and shutdown of the main window: what is read from the settings
// when it is created and written back when it closes.
#include "ui/MainWindow.h"

#include "core/Collector.h"
#include "core/ErrorReporter.h"
#include "core/FirstRun.h"
#include "platform/Autostart.h"
#include "platform/Shell.h"
#include "settings/RegistryLayout.h"
#include "ui/AgreementDialog.h"
#include "ui/Icons.h"
#include "ui/RemoteWindow.h"
#include "ui/SplashWindow.h"
#include "ui/TrayIcon.h"
#include "ui/WindowPlacement.h"
#include "ui/editor/SlotEditor.h"

#include <QApplication>
#include <QFontDatabase>

// A setting that cannot be read (stored with the wrong type) or written is
// shown in the error box, and start-up and shutdown go on with its default.
using ErrorReporter::readOrDefault;
using ErrorReporter::reportFailures;

namespace {

// A stored family that is not installed would be replaced by some small
// fallback: the editors take the desktop's general font at its size
// instead, keeping only the stored style.
QFont installedEditorFont(const QFont& stored)
{
    if (QFontDatabase::hasFamily(stored.family()))
        return stored;
    QFont font = QFontDatabase::systemFont(QFontDatabase::GeneralFont);
    font.setBold(stored.bold());
    font.setItalic(stored.italic());
    font.setUnderline(stored.underline());
    font.setStrikeOut(stored.strikeOut());
    return font;
}

} // namespace

void MainWindow::startUp()
{
    // One batch for all of start-up's settings: a store another process
    // holds locked costs one short wait.
    const SettingsBatch batch;
    if (!showAgreementIfNeeded()) {
        // The tray icon, already up, goes at once.
        m_trayIcon->hide();
        m_agreementDeclined = true;
        return;
    }

    // The clipboard viewer, where the platform has one.
    m_commands.clipboardViewer->setVisible(Shell::hasClipboardViewer());

    showStartupSplash();
    // The tray menu (from the tray icon and the remote window's toolbar) may
    // open from now on, after the agreement and the splash window.
    m_trayIcon->setMenu(m_trayMenu);
    QApplication::setWindowIcon(Icons::programIcon());

    const QString program = QCoreApplication::applicationFilePath();
    reportFailures([&] { Layout::Path.write(program); });
    m_collector.startWatchingClipboard();
    // An existing autostart entry is pointed at this program, wherever it
    // was started from this time.
    reportFailures([&] { createSystemAutostart()->updateProgramPath(program); });

    restoreSettings();
}

void MainWindow::restoreSettings()
{
    reportFailures([this] { readPlacement(); });

    // A font value of the wrong type is told once, and the editors take the
    // desktop's general font.
    bool fontReadable = true;
    for (SlotNumber slot : SlotNumber::all()) {
        FontRecord record = m_editorFonts[slot.index()];
        record.font = QFontDatabase::systemFont(QFontDatabase::GeneralFont);
        try {
            if (fontReadable)
                Layout::readFont(record);
        } catch (const std::exception& failure) {
            ErrorReporter::showFailure(failure);
            fontReadable = false;
        }
        record.font = installedEditorFont(record.font);
        applyEditorFont(slot, record);
    }

    m_commands.toolbar->setChecked(readOrDefault(Layout::Toolbar));
    m_commands.statusBar->setChecked(readOrDefault(Layout::StatusBar));
    m_confirmClear = readOrDefault(Layout::ConfirmClr);
    // The slots' file names, the stamp style and auto mode, with a first
    // hint refresh.
    m_collector.restoreSettings();

    const int active = Layout::decodeActiveFile(readOrDefault(Layout::ActiveFile));
    QCoreApplication::processEvents();
    m_collector.setActiveSlot(active);
    QCoreApplication::processEvents();

    // Every slot is read now, so that no later write can put a buffer that
    // never saw its file's text over that file.
    m_collector.loadSlots();

    applyViewMarks();
    // The hints name the active slot's file.
    m_collector.refreshHints();
}

void MainWindow::shutDown()
{
    m_trayIcon->hide();
    QCoreApplication::processEvents();
    {
        const SettingsBatch batch;
        saveSettings();
    }
    const QString notSaved = RegTools::takeNotSavedMessage();
    if (!notSaved.isEmpty())
        ErrorReporter::show(notSaved);
    // The clipboard monitor leaves with the window.
    m_collector.stopWatchingClipboard();
}

void MainWindow::saveSettings()
{
    // Each value is written on its own: one that cannot be written is shown
    // and the rest are still saved.
    reportFailures([this] { writePlacement(); });
    m_collector.saveSettings();
    reportFailures([this] { Layout::writeFont(m_editorFonts[m_collector.activeSlot().index()]); });
    reportFailures([this] { Layout::Toolbar.write(m_commands.toolbar->isChecked()); });
    reportFailures([this] { Layout::StatusBar.write(m_commands.statusBar->isChecked()); });
    reportFailures([this] { Layout::ShowRemote.write(remoteVisible()); });
}

// Until the remote window exists the remembered choice stays as it is.
bool MainWindow::remoteVisible() const
{
    return m_remote ? m_remote->isVisible() : readOrDefault(Layout::ShowRemote);
}

// A setting of the wrong type is reported and start-up goes on: an
// unreadable acceptance asks again.
bool MainWindow::showAgreementIfNeeded()
{
    bool needed = true;
    ErrorReporter::reportFailures(
        [&needed] { needed = FirstRun::agreementNeeded(Layout::AcceptedLicense.read()); });
    bool declined = false;
    ErrorReporter::reportFailures([&] {
        if (needed)
            declined = AgreementDialog::run() == AgreementDialog::Outcome::Declined;
    });
    return !declined;
}

void MainWindow::showStartupSplash()
{
    ErrorReporter::reportFailures([] {
        if (Layout::ShowSplash.read())
            SplashWindow::run(SplashWindow::Mode::Startup);
    });
}

// The main window's place is read once before it is first shown and written
// once as it closes, also when it is hidden then.
void MainWindow::readPlacement()
{
    placement().read();
}

void MainWindow::writePlacement()
{
    placement().write();
}

WindowPlacement& MainWindow::placement()
{
    if (!m_placement)
        m_placement = std::make_unique<WindowPlacement>(
            *this, QString::fromLatin1(Placement::MainWindowSection),
            WindowPlacement::Mode::Explicit, true);
    return *m_placement;
}
