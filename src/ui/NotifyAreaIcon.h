#pragma once

#include <QIcon>
#include <QMenu>
#include <QObject>
#include <QPointer>
#include <QRect>
#include <QString>
#include <QSystemTrayIcon>

// The program's icon in the desktop's notification area (status-icon
// service), with its tooltip, its popup menu and its mouse events.
//
// The icon is shown while Active is true and Icon holds an image. A refused
// add (no status-icon service, or the service did not take the icon) leaves
// the icon not added; the next change of Icon or Hint tries again.
//
// Mouse events. Status-icon services report clicks, not raw button presses
// and releases, so each report becomes a press-and-release sequence here,
// raised in this order while Enabled is true (dropped while false):
//
//   report (QSystemTrayIcon::ActivationReason)   events
//   Trigger      (left press)       OnMouseDown(left), OnClick(left), OnMouseUp(left)
//   DoubleClick  (left, 2nd press)  the menu's default item or OnDblClick,
//                                   OnMouseDown(left, ssDouble), OnMouseUp(left)
//   Context      (right press)      OnMouseDown(right), then the popup menu opens
//                                   and runs; OnClick(right) only if it did not
//                                   open; OnMouseUp(right) after it has closed
//   MiddleClick  (middle press)     OnMouseDown(middle), OnMouseUp(middle)
//
// On an X11 tray (XEmbed) a left double-click is reported as Trigger then
// DoubleClick, which gives: down, click, up, default item, down (double),
// up. Services speaking the D-Bus StatusNotifierItem protocol report no
// double-clicks and no middle button presses of their own (their
// "secondary activation" arrives as MiddleClick). No service reports mouse
// movement, so there is no move event. Positions are the cursor's screen
// position and modifier keys those down when the report is handled.
//
// The popup menu opens on a right click only while the menu's automatic
// pop-up setting (AutoPopup, a setting of the menu itself) is on; a
// double-click runs the menu's enabled default item (QMenu::defaultAction)
// whatever that setting. While the menu is open its command runs, and the
// menu's "PopupComponent" property names this icon.
//
// A failure (AppError or std::exception) raised by a connected slot or a
// menu command is shown in the common error box; the icon goes on working.
class NotifyAreaIcon : public QObject
{
    Q_OBJECT
    Q_PROPERTY(bool Active READ Active WRITE setActive)
    Q_PROPERTY(bool Enabled READ Enabled WRITE setEnabled)
    Q_PROPERTY(QIcon Icon READ Icon WRITE setIcon)
    Q_PROPERTY(QString Hint READ Hint WRITE setHint)

public:
    // Modifier keys and the mouse button concerned, as the mouse events
    // report them.
    enum ShiftFlag
    {
        ssShift = 0x01,
        ssAlt = 0x02,
        ssCtrl = 0x04,
        ssLeft = 0x08,
        ssRight = 0x10,
        ssMiddle = 0x20,
        ssDouble = 0x40,
    };
    Q_DECLARE_FLAGS(ShiftState, ShiftFlag)
    Q_FLAG(ShiftState)

    // Longest tooltip the icon shows, in UTF-16 code units.
    static constexpr int MaxHintLength = 63;

    // Active is true; the icon is added at once when `icon` holds an image.
    explicit NotifyAreaIcon(QObject* owner = nullptr, const QIcon& icon = QIcon());
    // Removes the icon.
    ~NotifyAreaIcon() override;

    NotifyAreaIcon(const NotifyAreaIcon&) = delete;
    NotifyAreaIcon& operator=(const NotifyAreaIcon&) = delete;

    // The icon is wanted in the notification area: true adds it, false
    // removes it (each only when the value changes).
    bool Active() const { return m_active; }
    void setActive(bool value);

    // Mouse reports become events only while true.
    bool Enabled() const { return m_enabled; }
    void setEnabled(bool value) { m_enabled = value; }

    // The image shown. Setting it always updates the icon; an icon without
    // an image removes it from the notification area.
    QIcon Icon() const { return m_icon; }
    void setIcon(const QIcon& icon);

    // The tooltip: the text before the first "|", at most MaxHintLength
    // characters of it. Setting the text it already has does nothing.
    QString Hint() const { return m_hint; }
    void setHint(const QString& hint);

    // The menu opened by a right click; becomes null when the menu is
    // destroyed. Setting it does not update the icon.
    QMenu* PopupMenu() const { return m_popupMenu; }
    void setPopupMenu(QMenu* menu) { m_popupMenu = menu; }

    // The automatic pop-up setting of a menu, kept on the menu (property
    // "AutoPopup") so that every place that pops it up can honour it. A menu
    // that was never set pops up.
    static bool AutoPopup(const QMenu* menu);
    static void setAutoPopup(QMenu* menu, bool on);

    // The tooltip text a hint gives: before the first "|", cut to
    // MaxHintLength without splitting a surrogate pair.
    static QString ShortHint(const QString& hint);

    // Whether the notification area has taken the icon (the added flag).
    bool IsAdded() const { return m_added; }
    // What the status-icon service has been given, and where it shows it.
    QString ToolTip() const;
    QRect Geometry() const;

Q_SIGNALS:
    void OnMouseDown(NotifyAreaIcon* sender, Qt::MouseButton button,
                     NotifyAreaIcon::ShiftState shift, int x, int y);
    void OnMouseUp(NotifyAreaIcon* sender, Qt::MouseButton button, NotifyAreaIcon::ShiftState shift,
                   int x, int y);
    void OnClick(NotifyAreaIcon* sender, Qt::MouseButton button, NotifyAreaIcon::ShiftState shift,
                 int x, int y);
    // A left double-click when the popup menu has no enabled default item.
    void OnDblClick(NotifyAreaIcon* sender);

protected:
    // The three requests made of the status-icon service. AddToArea returns
    // whether the service took the icon.
    virtual bool AddToArea();
    virtual void ModifyInArea();
    virtual void DeleteFromArea();

private:
    enum class MouseMessage
    {
        Down,
        Up,
        DoubleClick
    };

    void Add();
    void Remove();
    void Update();

    // NotifyAreaIconEvents.cpp
    void Activated(QSystemTrayIcon::ActivationReason reason);
    bool HandleMouse(MouseMessage message, Qt::MouseButton button);
    void Click(Qt::MouseButton button, ShiftState shift);
    void DoubleClick();
    bool OpenPopupMenu();

    QSystemTrayIcon* m_tray = nullptr;
    QPointer<QMenu> m_popupMenu;
    QIcon m_icon;
    QString m_hint;
    bool m_active = true;
    bool m_enabled = true;
    bool m_added = false;
    bool m_leftPressed = false;
    bool m_rightPressed = false;
};

Q_DECLARE_OPERATORS_FOR_FLAGS(NotifyAreaIcon::ShiftState)
