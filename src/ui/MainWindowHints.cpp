// The window as a view of the collector's state (auto mode, hints, the
// active slot, the undo item) and the window's own commands: the toolbar
// and status bar shown or not, hiding and showing the main window, showing
// the remote window, a press on the tray icon.
#include "ui/MainWindow.h"

#include "core/Collector.h"
#include "ui/Icons.h"
#include "ui/RemoteWindow.h"
#include "ui/TrayIcon.h"
#include "ui/editor/SlotEditor.h"

#include <QApplication>
#include <QCoreApplication>
#include <QLabel>
#include <QStatusBar>
#include <QToolBar>

namespace {

// How long a notice holds the status bar against the hint refresh.
constexpr int NoticeMs = 30'000;

} // namespace

void MainWindow::showAutoMode(bool on)
{
    for (QAction* mark : {m_commands.autoMode, m_commands.trayAutoMode, m_commands.autoSwitch})
        mark->setChecked(on);
}

void MainWindow::showHints()
{
    const QIcon icon = m_collector.autoMode() ? Icons::autoProgramIcon() : Icons::programIcon();
    QApplication::setWindowIcon(icon);
    setWindowIcon(icon);
    m_statusText->setText(m_collector.hintText());
    //: The Clear button's tool tip; %1 is the active slot's file name
    m_commands.clearSlot->setToolTip(
        tr("Clear %1").arg(Collector::fileNamePart(m_collector.activeFileName())));
}

bool MainWindow::trayIconShown() const
{
    return m_trayIcon.isShown();
}

// Hidden, the window comes back through the tray icon. On a desktop with no
// notification area nothing could bring it back, so it is minimised to the
// taskbar instead.
void MainWindow::hideWindow()
{
    if (trayIconShown())
        hide();
    else
        showMinimized();
}

// A notice holds the status bar for a while: the hint refresh (a clipboard
// change, an activation) would otherwise overwrite it before it was read.
void MainWindow::showNotice(const QString& text)
{
    statusBar()->showMessage(text, NoticeMs);
}

// A minimised window comes back; a maximised one stays maximised.
void MainWindow::showWindow()
{
    setWindowState(windowState() & ~Qt::WindowMinimized);
    show();
    raise();
    activateWindow();
}

void MainWindow::showRemoteWindow()
{
    if (!m_remote)
        return;
    // A minimised remote window has no taskbar entry to bring it back from:
    // showing it restores it.
    m_remote->setWindowState(m_remote->windowState() & ~Qt::WindowMinimized);
    m_remote->show();
    m_remote->raise();
    m_remote->activateWindow();
}

void MainWindow::bringLastActiveWindowForward()
{
    if (!isVisible())
        return;
    QWidget* window = m_lastActive ? m_lastActive.data() : this;
    if (!window->isVisible() || !window->isEnabled())
        return;
    window->raise();
    window->activateWindow();
}

void MainWindow::onEditorChanged()
{
    m_commands.undo->setEnabled(activeEditor()->isModified());
}

void MainWindow::setToolbarShown(bool shown)
{
    m_commands.toolbar->setChecked(shown);
    m_toolBarRule->setVisible(shown);
    m_toolBar->setEnabled(shown);
    m_toolBar->setVisible(shown);
}

void MainWindow::setStatusBarShown(bool shown)
{
    m_commands.statusBar->setChecked(shown);
    // Start-up disables a bar it hides; shown again, its text is not grey.
    statusBar()->setEnabled(shown);
    statusBar()->setVisible(shown);
}
