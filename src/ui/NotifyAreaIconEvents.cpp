// Turning the status-icon service's reports into mouse events, the
// double-click on the menu's default item, and the popup menu.
#include "ui/NotifyAreaIcon.h"

#include "core/ErrorReporter.h"

#include <QAction>
#include <QCoreApplication>
#include <QCursor>
#include <QGuiApplication>
#include <QMenu>
#include <QWidget>

namespace {

NotifyAreaIcon::ShiftState currentShift(Qt::MouseButton button)
{
    NotifyAreaIcon::ShiftState shift;
    const Qt::KeyboardModifiers keys = QGuiApplication::queryKeyboardModifiers();
    if (keys & Qt::ShiftModifier)
        shift |= NotifyAreaIcon::ssShift;
    if (keys & Qt::AltModifier)
        shift |= NotifyAreaIcon::ssAlt;
    if (keys & Qt::ControlModifier)
        shift |= NotifyAreaIcon::ssCtrl;
    switch (button) {
    case Qt::LeftButton:
        shift |= NotifyAreaIcon::ssLeft;
        break;
    case Qt::RightButton:
        shift |= NotifyAreaIcon::ssRight;
        break;
    case Qt::MiddleButton:
        shift |= NotifyAreaIcon::ssMiddle;
        break;
    default:
        break;
    }
    return shift;
}

using ErrorReporter::reportFailures;

} // namespace

void NotifyAreaIcon::Activated(QSystemTrayIcon::ActivationReason reason)
{
    if (!m_enabled)
        return;
    Qt::MouseButton button = Qt::NoButton;
    MouseMessage first = MouseMessage::Down;
    switch (reason) {
    case QSystemTrayIcon::Trigger:
        button = Qt::LeftButton;
        break;
    case QSystemTrayIcon::DoubleClick:
        button = Qt::LeftButton;
        first = MouseMessage::DoubleClick;
        break;
    case QSystemTrayIcon::Context:
        button = Qt::RightButton;
        break;
    case QSystemTrayIcon::MiddleClick:
        button = Qt::MiddleButton;
        break;
    default:
        return;
    }
    // A menu command may destroy the icon while the menu is open.
    if (HandleMouse(first, button))
        HandleMouse(MouseMessage::Up, button);
}

// Raises the events of one mouse message; false when the icon was destroyed
// meanwhile.
bool NotifyAreaIcon::HandleMouse(MouseMessage message, Qt::MouseButton button)
{
    const QPointer<NotifyAreaIcon> self(this);
    const QPoint pos = QCursor::pos();
    ShiftState shift = currentShift(button);
    switch (message) {
    case MouseMessage::Down:
        reportFailures([&] { Q_EMIT OnMouseDown(this, button, shift, pos.x(), pos.y()); });
        if (!self)
            return false;
        if (button == Qt::LeftButton)
            m_leftPressed = true;
        else if (button == Qt::RightButton)
            m_rightPressed = true;
        break;
    case MouseMessage::DoubleClick:
        if (button == Qt::LeftButton) {
            reportFailures([&] { DoubleClick(); });
            if (!self)
                return false;
        }
        shift |= ssDouble;
        reportFailures([&] { Q_EMIT OnMouseDown(this, button, shift, pos.x(), pos.y()); });
        break;
    case MouseMessage::Up: {
        bool& pressed = button == Qt::LeftButton ? m_leftPressed : m_rightPressed;
        if (button != Qt::MiddleButton && pressed) {
            pressed = false;
            reportFailures([&] { Click(button, shift); });
            if (!self)
                return false;
        }
        const QPoint upPos = QCursor::pos();
        reportFailures([&] { Q_EMIT OnMouseUp(this, button, shift, upPos.x(), upPos.y()); });
        break;
    }
    }
    return !self.isNull();
}

void NotifyAreaIcon::Click(Qt::MouseButton button, ShiftState shift)
{
    if (button == Qt::RightButton) {
        const QPointer<NotifyAreaIcon> self(this);
        const bool opened = OpenPopupMenu();
        if (!self || opened)
            return;
    }
    const QPoint pos = QCursor::pos();
    Q_EMIT OnClick(this, button, shift, pos.x(), pos.y());
}

void NotifyAreaIcon::DoubleClick()
{
    if (m_active && m_popupMenu) {
        QAction* item = m_popupMenu->defaultAction();
        if (item && item->isEnabled() && m_popupMenu->actions().contains(item)) {
            item->trigger();
            return;
        }
    }
    Q_EMIT OnDblClick(this);
}

bool NotifyAreaIcon::OpenPopupMenu()
{
    const QPointer<QMenu> menu = m_popupMenu;
    if (!m_active || !menu || !AutoPopup(menu))
        return false;
    menu->setProperty("PopupComponent", QVariant::fromValue<QObject*>(this));
    if (QWidget* grabber = QWidget::mouseGrabber())
        grabber->releaseMouse();
    QCoreApplication::processEvents();
    if (menu)
        reportFailures([&] { menu->exec(QCursor::pos()); });
    return true;
}
