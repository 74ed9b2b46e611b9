#pragma once

#include "ui/NotifyAreaIcon.h"

class Collector;

// The program's icon in the notification area as a view of the collector:
// its picture follows auto mode and its tooltip the hint text at each hint
// refresh; a double-click (when the menu has no default item) captures.
// The menu is the main window's tray menu; it opens only once start-up
// allows it (NotifyAreaIcon::setAutoPopup).
class TrayIcon final : public NotifyAreaIcon
{
    Q_OBJECT

public:
    TrayIcon(Collector& collector, QMenu* menu);

private:
    void showHints();

    Collector& m_collector;
};
