#include "platform/QtClipboardSource.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>
#include <QSet>
#include <QTimer>

QtClipboardSource::QtClipboardSource(QObject* parent) : ClipboardSource(parent)
{
    connect(QGuiApplication::clipboard(), &QClipboard::dataChanged, this,
            [this] { announce(false); });
    // What the clipboard holds now; a change reported before the event loop
    // gets here comes first and makes it stale.
    const OfferId startId = ++m_lastId;
    QTimer::singleShot(0, this, [this, startId] {
        if (m_lastId == startId) {
            --m_lastId;
            announce(true);
        }
    });
}

void QtClipboardSource::setReadAhead(ReadAhead plan, int)
{
    m_plan = std::move(plan);
}

void QtClipboardSource::announce(bool atStart)
{
    Offer offer;
    offer.id = ++m_lastId;
    offer.atStart = atStart;
    const QMimeData* data = QGuiApplication::clipboard()->mimeData(QClipboard::Clipboard);
    if (data)
        offer.formats = data->formats();
    QSet<QString> asked;
    while (m_plan && data) {
        const QString format = m_plan(offer.formats, offer.data);
        if (format.isEmpty() || asked.contains(format))
            break;
        asked.insert(format);
        const QByteArray read = offer.formats.contains(format) ? data->data(format) : QByteArray();
        if (read.size() > m_sizeLimit) {
            offer.failure = Failure::TooLarge;
            break;
        }
        offer.data.insert(format, read);
    }
    Q_EMIT offered(offer);
}

void QtClipboardSource::fetch(OfferId offer, const QString& format, int)
{
    // Answered once the caller has returned, as every source does.
    QTimer::singleShot(0, this, [this, offer, format] {
        const QMimeData* data = QGuiApplication::clipboard()->mimeData(QClipboard::Clipboard);
        if (offer != m_lastId)
            Q_EMIT failed(offer, format, Failure::Superseded);
        else if (!data || !data->formats().contains(format))
            Q_EMIT failed(offer, format, Failure::Refused);
        else if (const QByteArray read = data->data(format); read.size() > m_sizeLimit)
            Q_EMIT failed(offer, format, Failure::TooLarge);
        else
            Q_EMIT received(offer, format, read);
    });
}
