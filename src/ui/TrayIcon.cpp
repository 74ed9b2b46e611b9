#include "ui/TrayIcon.h"

#include "core/Collector.h"
#include "ui/Icons.h"

TrayIcon::TrayIcon(Collector& collector, QMenu* menu)
    : NotifyAreaIcon(nullptr, Icons::programIcon()), m_collector(collector)
{
    setObjectName(QStringLiteral("TrayIcon"));
    NotifyAreaIcon::setAutoPopup(menu, false);
    setPopupMenu(menu);
    connect(&m_collector, &Collector::hintsChanged, this, &TrayIcon::showHints);
    // Failures of the double-click handler are shown by NotifyAreaIcon.
    connect(this, &NotifyAreaIcon::OnDblClick, this,
            [this] { m_collector.capture(Collector::Trigger::Tray); });
}

void TrayIcon::showHints()
{
    setIcon(m_collector.autoMode() ? Icons::autoProgramIcon() : Icons::programIcon());
    setHint(m_collector.hintText());
}
