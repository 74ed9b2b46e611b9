#include "core/ClipboardMonitor.h"

#include "core/ClipboardSecrets.h"
#include "core/ErrorReporter.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

TClipboardMonitor::TClipboardMonitor(QObject* owner) : QObject(owner)
{
    setEnabled(true);
}

TClipboardMonitor::~TClipboardMonitor()
{
    m_onChange = nullptr;
    setEnabled(false);
}

void TClipboardMonitor::setEnabled(bool value)
{
    if (value == m_enabled)
        return;
    if (value) {
        m_connection = connect(QGuiApplication::clipboard(), &QClipboard::dataChanged, this,
                               &TClipboardMonitor::ClipboardChanged);
    } else {
        disconnect(m_connection);
    }
    m_enabled = value;
}

void TClipboardMonitor::Change()
{
    if (m_onChange)
        m_onChange(this);
}

void TClipboardMonitor::ClipboardChanged()
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

    ErrorReporter::reportFailures([this] { Change(); });
}
