#include "core/ClipboardMonitor.h"

#include "core/ClipboardSecrets.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

ClipboardMonitor::ClipboardMonitor(QObject* owner) : QObject(owner)
{
    setEnabled(true);
}

ClipboardMonitor::~ClipboardMonitor()
{
    m_onChange = nullptr;
    setEnabled(false);
}

void ClipboardMonitor::setEnabled(bool value)
{
    if (value == m_enabled)
        return;
    if (value) {
        m_connection = connect(QGuiApplication::clipboard(), &QClipboard::dataChanged, this,
                               &ClipboardMonitor::onClipboardChanged);
    } else {
        disconnect(m_connection);
    }
    m_enabled = value;
}

void ClipboardMonitor::change()
{
    if (m_onChange)
        m_onChange(this);
}

void ClipboardMonitor::onClipboardChanged()
{
    // Nobody is listening yet: the change is dropped without looking at the
    // contents, which would mean a round trip to the clipboard's owner.
    if (!m_onChange)
        return;

    const QMimeData* data = QGuiApplication::clipboard()->mimeData(QClipboard::Clipboard);
    const bool empty = !data || data->formats().isEmpty();
    if (empty && m_lastSeenEmpty)
        return;
    m_lastSeenEmpty = empty;
    if (!empty && ClipboardSecrets::isSecret(data))
        return;

    change();
}
