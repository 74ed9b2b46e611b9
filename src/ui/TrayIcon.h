#pragma once

#include <QMenu>
#include <QPointer>
#include <QSystemTrayIcon>

class Collector;

// The program's icon in the desktop's notification area, a view of the
// collector: its picture follows auto mode and its tooltip the hint text at
// each hint refresh.
//
// What the status-icon service reports (QSystemTrayIcon::ActivationReason)
// and what follows:
//   Trigger, MiddleClick  pressed()
//   DoubleClick           the menu's enabled default item (the capture), or
//                         a capture when there is none; then pressed()
//   Context               pressed(); then the menu opens, once start-up has
//                         handed it over (setMenu)
// An X11 tray reports a left double-click as Trigger then DoubleClick. The
// reports are handled after the service's own handler has returned, since
// a command run from the menu (Exit) may destroy the icon.
class TrayIcon final : public QSystemTrayIcon
{
    Q_OBJECT

public:
    // Longest tooltip the icon shows, in UTF-16 code units.
    static constexpr int MaxToolTipLength = 63;

    // Shows the program's normal picture, with no tooltip and no menu yet.
    explicit TrayIcon(Collector& collector, QObject* parent = nullptr);

    // The menu a right click opens and whose default item a double-click
    // runs; null until start-up allows it to open.
    void setMenu(QMenu* menu);
    QMenu* menu() const { return m_menu; }

    // Whether a notification area shows the icon.
    bool isShown() const;

    // The tooltip a hint text gives: the text before the first "|", cut to
    // MaxToolTipLength without splitting a surrogate pair.
    static QString shortToolTip(const QString& hint);

    // The icon's name for screen readers: the program and auto mode's
    // state.
    static QString accessibleName(bool autoMode);

Q_SIGNALS:
    // A mouse button went down on the icon.
    void pressed();

private:
    void onActivated(QSystemTrayIcon::ActivationReason reason);
    void runDefaultItem();
    void openMenu();
    void showHints();
    void nameForScreenReaders();

    Collector& m_collector;
    QPointer<QMenu> m_menu;
};
