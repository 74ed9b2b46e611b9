// The hint refresh (icons, status text, tooltips) and the window commands
// around the tray: hiding and showing the main window, showing the remote
// window, a press on the tray icon.
#include "ui/MainWindow.h"

#include "ui/Icons.h"
#include "ui/NotifyAreaIcon.h"
#include "ui/RemoteWindow.h"

#include <QApplication>
#include <QClipboard>
#include <QMimeData>
#include <QToolButton>

namespace {

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

void TMainForm::HidePanelClick(QObject*)
{
    hide();
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
