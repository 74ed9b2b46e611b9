// Start-up and shutdown of the main window: what is read from the settings
// when it is created and written back when it closes.
#include "ui/MainWindow.h"

#include "core/Collector.h"
#include "core/ErrorReporter.h"
#include "platform/Autostart.h"
#include "platform/Shell.h"
#include "settings/Settings.h"
#include "ui/AgreementDialog.h"
#include "ui/Icons.h"
#include "ui/RemoteWindow.h"
#include "ui/SplashWindow.h"
#include "ui/TrayIcon.h"
#include "ui/WindowPlacement.h"
#include "ui/editor/SlotEditor.h"

#include <QApplication>
#include <QFontDatabase>

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
    const Settings::Batch batch(settings());
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
    settings().setProgramPath(program);
    m_collector.startWatchingClipboard();
    // An existing autostart entry is pointed at this program, wherever it
    // was started from this time.
    reportFailures([&] { createSystemAutostart()->updateProgramPath(program); });

    restoreSettings();
}

void MainWindow::restoreSettings()
{
    readPlacement();

    // A font value that cannot be read leaves the editors the desktop's
    // general font.
    for (SlotNumber slot : SlotNumber::all()) {
        FontRecord defaults = m_editorFonts[slot.index()];
        defaults.font = QFontDatabase::systemFont(QFontDatabase::GeneralFont);
        FontRecord record = settings().editorFont(defaults);
        record.font = installedEditorFont(record.font);
        applyEditorFont(slot, record);
    }

    m_commands.toolbar->setChecked(settings().toolbarShown());
    m_commands.statusBar->setChecked(settings().statusBarShown());
    m_confirmClear = settings().confirmClear();
    // The slots' file names, the stamp style and auto mode, with a first
    // hint refresh.
    m_collector.restoreSettings();

    const int active = settings().activeSlot();
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
        const Settings::Batch batch(settings());
        saveSettings();
    }
    const QString notSaved = settings().takeNotSavedMessage();
    if (!notSaved.isEmpty())
        ErrorReporter::show(notSaved);
    // The clipboard monitor leaves with the window.
    m_collector.stopWatchingClipboard();
}

void MainWindow::saveSettings()
{
    // Each value is written on its own: one that cannot be written is
    // reported and the rest are still saved.
    writePlacement();
    m_collector.saveSettings();
    settings().setEditorFont(m_editorFonts[m_collector.activeSlot().index()]);
    settings().setToolbarShown(m_commands.toolbar->isChecked());
    settings().setStatusBarShown(m_commands.statusBar->isChecked());
    settings().setRemoteWasShown(remoteVisible());
}

// Until the remote window exists the remembered choice stays as it is.
bool MainWindow::remoteVisible() const
{
    return m_remote ? m_remote->isVisible() : settings().remoteWasShown();
}

// An unreadable acceptance asks again.
bool MainWindow::showAgreementIfNeeded()
{
    bool declined = false;
    ErrorReporter::reportFailures([&] {
        if (settings().agreementDue())
            declined = AgreementDialog::run(settings()) == AgreementDialog::Outcome::Declined;
    });
    return !declined;
}

void MainWindow::showStartupSplash()
{
    ErrorReporter::reportFailures([this] {
        if (settings().showSplash())
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
        m_placement = std::make_unique<WindowPlacement>(*this, settings(), Placement::Window::Main,
                                                        WindowPlacement::Mode::Explicit, true);
    return *m_placement;
}
