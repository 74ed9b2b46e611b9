#include "ui/NotifyAreaIcon.h"

#include <QMenu>

namespace {
const char kAutoPopupProperty[] = "AutoPopup";
} // namespace

NotifyAreaIcon::NotifyAreaIcon(QObject* owner, const QIcon& icon)
    : QObject(owner), m_tray(new QSystemTrayIcon(this)), m_icon(icon)
{
    // Reports are handled after the tray's own mouse handler has returned:
    // a command run from them (the popup menu's Exit, say) may remove the
    // icon, which destroys the window that handler runs in.
    connect(m_tray, &QSystemTrayIcon::activated, this, &NotifyAreaIcon::Activated,
            Qt::QueuedConnection);
    Add();
}

NotifyAreaIcon::~NotifyAreaIcon()
{
    Remove();
}

void NotifyAreaIcon::setActive(bool value)
{
    if (value == m_active)
        return;
    m_active = value;
    if (value)
        Add();
    else
        Remove();
}

void NotifyAreaIcon::setIcon(const QIcon& icon)
{
    m_icon = icon;
    Update();
}

void NotifyAreaIcon::setHint(const QString& hint)
{
    if (hint == m_hint)
        return;
    m_hint = hint;
    Update();
}

bool NotifyAreaIcon::AutoPopup(const QMenu* menu)
{
    const QVariant value = menu ? menu->property(kAutoPopupProperty) : QVariant();
    return !value.isValid() || value.toBool();
}

void NotifyAreaIcon::setAutoPopup(QMenu* menu, bool on)
{
    if (menu)
        menu->setProperty(kAutoPopupProperty, on);
}

QString NotifyAreaIcon::ShortHint(const QString& hint)
{
    QString text = hint.section(QLatin1Char('|'), 0, 0);
    if (text.size() > MaxHintLength) {
        text.truncate(MaxHintLength);
        if (text.back().isHighSurrogate())
            text.chop(1);
    }
    return text;
}

QString NotifyAreaIcon::ToolTip() const
{
    return m_tray->toolTip();
}

QRect NotifyAreaIcon::Geometry() const
{
    return m_tray->geometry();
}

bool NotifyAreaIcon::AddToArea()
{
    m_tray->setIcon(m_icon);
    m_tray->setToolTip(ShortHint(m_hint));
    m_tray->show();
    return QSystemTrayIcon::isSystemTrayAvailable() && m_tray->isVisible();
}

void NotifyAreaIcon::ModifyInArea()
{
    m_tray->setIcon(m_icon);
    m_tray->setToolTip(ShortHint(m_hint));
}

void NotifyAreaIcon::DeleteFromArea()
{
    m_tray->hide();
}

void NotifyAreaIcon::Add()
{
    Remove();
    if (m_icon.isNull())
        return;
    m_leftPressed = false;
    m_rightPressed = false;
    m_added = AddToArea();
}

void NotifyAreaIcon::Remove()
{
    DeleteFromArea();
    m_added = false;
    m_leftPressed = false;
    m_rightPressed = false;
}

void NotifyAreaIcon::Update()
{
    if (m_added) {
        if (m_icon.isNull())
            Remove();
        else
            ModifyInArea();
    } else if (m_active) {
        Add();
    }
}
