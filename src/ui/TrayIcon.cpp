#include "ui/TrayIcon.h"

#include "core/Collector.h"
#include "core/ErrorReporter.h"
#include "ui/Icons.h"

#include <QAction>
#include <QCursor>
#include <QMenu>
#include <QWidget>

TrayIcon::TrayIcon(Collector& collector, QObject* parent)
    : QSystemTrayIcon(Icons::programIcon(), parent), m_collector(collector)
{
    setObjectName(QStringLiteral("trayIcon"));
    connect(this, &QSystemTrayIcon::activated, this, &TrayIcon::onActivated, Qt::QueuedConnection);
    connect(&m_collector, &Collector::hintsChanged, this, &TrayIcon::showHints);
    show();
}

void TrayIcon::setMenu(QMenu* menu)
{
    m_menu = menu;
}

bool TrayIcon::isShown() const
{
    return isVisible() && QSystemTrayIcon::isSystemTrayAvailable();
}

QString TrayIcon::shortToolTip(const QString& hint)
{
    QString text = hint.section(QLatin1Char('|'), 0, 0);
    if (text.size() > MaxToolTipLength) {
        text.truncate(MaxToolTipLength);
        if (text.back().isHighSurrogate())
            text.chop(1);
    }
    return text;
}

void TrayIcon::onActivated(QSystemTrayIcon::ActivationReason reason)
{
    const QPointer<TrayIcon> self(this);
    switch (reason) {
    case QSystemTrayIcon::Trigger:
    case QSystemTrayIcon::MiddleClick:
        m_collector.errors().reportFailures([this] { Q_EMIT pressed(); });
        break;
    case QSystemTrayIcon::DoubleClick:
        m_collector.errors().reportFailures([this] { runDefaultItem(); });
        if (self)
            m_collector.errors().reportFailures([this] { Q_EMIT pressed(); });
        break;
    case QSystemTrayIcon::Context:
        m_collector.errors().reportFailures([this] { Q_EMIT pressed(); });
        if (self)
            openMenu();
        break;
    case QSystemTrayIcon::Unknown:
        break;
    }
}

void TrayIcon::runDefaultItem()
{
    if (m_menu) {
        QAction* item = m_menu->defaultAction();
        if (item && item->isEnabled() && m_menu->actions().contains(item)) {
            item->trigger();
            return;
        }
    }
    m_collector.captureInto(m_collector.activeSlot(), Collector::Trigger::Tray);
}

void TrayIcon::openMenu()
{
    const QPointer<QMenu> menu = m_menu;
    if (!menu)
        return;
    // A window holding the mouse would keep the menu from getting it.
    if (QWidget* grabber = QWidget::mouseGrabber())
        grabber->releaseMouse();
    menu->exec(QCursor::pos());
}

// Setting the same tooltip again sends nothing to the notification area.
void TrayIcon::showHints()
{
    setIcon(m_collector.autoMode() ? Icons::autoProgramIcon() : Icons::programIcon());
    const QString tip = shortToolTip(m_collector.hintText());
    if (tip != toolTip())
        setToolTip(tip);
}
