// Start-up and shutdown of the main window: what is read from the settings
// when it is created and written back when it closes.
#include "ui/MainWindow.h"

#include "core/Collector.h"
#include "core/ErrorReporter.h"
#include "core/FirstRun.h"
#include "platform/Shell.h"
#include "settings/RegistryLayout.h"
#include "ui/AgreementDialog.h"
#include "ui/Icons.h"
#include "ui/RemoteWindow.h"
#include "ui/SplashWindow.h"
#include "ui/TrayIcon.h"
#include "ui/editor/SlotEditor.h"

#include <QApplication>
#include <QFontDatabase>
#include <cstdlib>

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
    showAgreementIfNeeded();

    // The clipboard viewer, where the platform has one.
    m_commands.clipboardViewer->setVisible(Shell::hasClipboardViewer());

    showStartupSplash();
    // The tray menu (from the tray icon and the remote window's toolbar) may
    // open from now on, after the agreement and the splash window.
    NotifyAreaIcon::setAutoPopup(m_trayMenu, true);
    QApplication::setWindowIcon(Icons::programIcon());

    const QString program = QCoreApplication::applicationFilePath();
    Layout::Path.write(program);
    m_collector.startWatchingClipboard();
    if (Layout::RunEntry.exists())
        Layout::RunEntry.write(program);

    restoreSettings();
}

void MainWindow::restoreSettings()
{
    readPlacement();

    for (SlotNumber slot : SlotNumber::all()) {
        FontRecord record = m_editorFonts[slot.index()];
        record.font = QFontDatabase::systemFont(QFontDatabase::GeneralFont);
        Layout::readFont(record);
        record.font = installedEditorFont(record.font);
        applyEditorFont(slot, record);
    }

    m_commands.toolbar->setChecked(Layout::Toolbar.read());
    m_commands.statusBar->setChecked(Layout::StatusBar.read());
    m_confirmClear = Layout::ConfirmClr.read();
    // The slots' file names, the stamp style and auto mode, with a first
    // hint refresh.
    m_collector.restoreSettings();

    const int active = Layout::decodeActiveFile(Layout::ActiveFile.read());
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
    m_trayIcon->setActive(false);
    QCoreApplication::processEvents();
    saveSettings();
    // The clipboard monitor leaves with the window.
    m_collector.stopWatchingClipboard();
}

void MainWindow::saveSettings()
{
    writePlacement();
    m_collector.saveSettings();
    Layout::writeFont(m_editorFonts[m_collector.activeSlot().index()]);
    Layout::Toolbar.write(m_commands.toolbar->isChecked());
    Layout::StatusBar.write(m_commands.statusBar->isChecked());
    Layout::ShowRemote.write(remoteVisible());
}

// Until the remote window exists the remembered choice stays as it is.
bool MainWindow::remoteVisible() const
{
    return m_remote ? m_remote->isVisible() : Layout::ShowRemote.read();
}

// A setting of the wrong type is reported and start-up goes on: an
// unreadable acceptance asks again.
void MainWindow::showAgreementIfNeeded()
{
    bool needed = true;
    ErrorReporter::reportFailures(
        [&needed] { needed = FirstRun::agreementNeeded(Layout::AcceptedLicense.read()); });
    bool declined = false;
    ErrorReporter::reportFailures([&] {
        if (needed)
            declined = AgreementDialog::run() == AgreementDialog::Outcome::Declined;
    });
    if (!declined)
        return;
    // Declined: the program ends here, inside the main window's creation,
    // before the main or remote window shows, the clipboard is watched or a
    // setting other than the answer is written. The tray icon, already up,
    // goes first.
    m_trayIcon->setActive(false);
    std::exit(0);
}

void MainWindow::showStartupSplash()
{
    ErrorReporter::reportFailures([] {
        if (Layout::ShowSplash.read())
            SplashWindow::run(SplashWindow::Mode::Startup);
    });
}

// The window placement comes with settings of its own; until then these
// steps do nothing.
void MainWindow::readPlacement() {}
void MainWindow::writePlacement() {}
