// The window as a view of the collector's state (auto mode, hints, the
// active slot) and the window commands around the tray: hiding and showing
// the main window, showing the remote window, a press on the tray icon.
#include "ui/MainWindow.h"

#include "core/Collector.h"
#include "ui/Icons.h"
#include "ui/RemoteWindow.h"

#include <QApplication>
#include <QLabel>

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
    m_commands.clearSlot->setToolTip(QStringLiteral("Clear ") +
                                     Collector::fileNamePart(m_collector.activeFileName()));
}

void MainWindow::hideWindow()
{
    hide();
}

void MainWindow::showWindow()
{
    showNormal();
    raise();
    activateWindow();
}

void MainWindow::showRemoteWindow()
{
    if (!m_remote)
        return;
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
