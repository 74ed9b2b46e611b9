// The hint refresh (icons, status text, tooltips) and the window commands
// around the tray: hiding and showing the main window, showing the remote
// window, a press on the tray icon.
#include "ui/MainForm.h"

#include "platform/NotifyAreaIcon.h"
#include "ui/Icons.h"
#include "ui/RemoteForm.h"

#include <QApplication>
#include <QClipboard>
#include <QMimeData>
#include <QStatusBar>
#include <QSystemTrayIcon>
#include <QToolButton>

namespace {

// How long a notice holds the status bar against the hint refresh.
constexpr int NoticeMs = 30'000;

bool clipboardHasText()
{
    const QMimeData* data = QGuiApplication::clipboard()->mimeData(QClipboard::Clipboard);
    return data != nullptr && data->hasText();
}

} // namespace

// The file-name part of a slot's file name: the text after the last "\" or
// ":", and after the last "/" as well, since paths here use it.
QString TMainForm::FileNamePart(const QString& fileName)
{
    const qsizetype cut =
        std::max({fileName.lastIndexOf(QLatin1Char('\\')), fileName.lastIndexOf(QLatin1Char(':')),
                  fileName.lastIndexOf(QLatin1Char('/'))});
    return fileName.mid(cut + 1);
}

void TMainForm::SetHints()
{
    const bool autoOn = IsAutoOn();
    const QIcon icon = autoOn ? Icons::autoProgramIcon() : Icons::programIcon();
    if (m_trayIcon)
        m_trayIcon->setIcon(icon);
    QApplication::setWindowIcon(icon);
    setWindowIcon(icon);

    QString text = QStringLiteral("No text in the Clipboard");
    if (clipboardHasText())
        text = (autoOn ? QStringLiteral("Auto clipstow to ")
                       : QStringLiteral("Ready to clipstow to ")) +
               GetFilename();
    SetStatusText(text);
    if (m_trayIcon)
        m_trayIcon->setHint(text);

    RSetHints();

    Button(QStringLiteral("ClearButton"))
        ->setToolTip(QStringLiteral("Clear ") + FileNamePart(GetFilename()));
}

bool TMainForm::TrayIconShown() const
{
    return m_trayIcon && m_trayIcon->IsAdded() && QSystemTrayIcon::isSystemTrayAvailable();
}

// Hidden, the window comes back through the tray icon. On a desktop with no
// notification area nothing could bring it back, so it is minimised to the
// taskbar instead.
void TMainForm::HidePanelClick(QObject*)
{
    if (TrayIconShown())
        hide();
    else
        showMinimized();
}

// A notice holds the status bar for a while: the hint refresh (a clipboard
// change, an activation) would otherwise overwrite it before it was read.
void TMainForm::ShowNotice(const QString& text)
{
    statusBar()->showMessage(text, NoticeMs);
}

void TMainForm::ShowMainClick(QObject*)
{
    showNormal();
    raise();
    activateWindow();
}

void TMainForm::ShowRemoteClick(QObject*)
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

void TMainForm::TrayIconMouseDown(QObject*)
{
    if (!isVisible())
        return;
    QWidget* window = m_lastActive ? m_lastActive.data() : this;
    if (!window->isVisible() || !window->isEnabled())
        return;
    window->raise();
    window->activateWindow();
}
