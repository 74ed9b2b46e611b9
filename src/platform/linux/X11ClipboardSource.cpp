#include "platform/linux/X11ClipboardSource.h"

#include "platform/linux/X11SelectionReader.h"

X11ClipboardSource::X11ClipboardSource() = default;

// The reader stops before the object goes; answers it has already queued
// go with the object.
X11ClipboardSource::~X11ClipboardSource()
{
    m_reader.reset();
}

std::unique_ptr<X11ClipboardSource> X11ClipboardSource::open(const QByteArray& display,
                                                             QString* error)
{
    std::unique_ptr<X11ClipboardSource> source(new X11ClipboardSource);
    X11ClipboardSource* self = source.get();
    X11SelectionReader::Callbacks callbacks;
    callbacks.offered = [self](const Offer& offer) {
        QMetaObject::invokeMethod(
            self, [self, offer] { Q_EMIT self->offered(offer); }, Qt::QueuedConnection);
    };
    callbacks.received = [self](OfferId offer, const QString& format, const QByteArray& data) {
        QMetaObject::invokeMethod(
            self, [self, offer, format, data] { Q_EMIT self->received(offer, format, data); },
            Qt::QueuedConnection);
    };
    callbacks.failed = [self](OfferId offer, const QString& format, Failure why) {
        QMetaObject::invokeMethod(
            self, [self, offer, format, why] { Q_EMIT self->failed(offer, format, why); },
            Qt::QueuedConnection);
    };
    callbacks.lost = [self](const QString& reason) {
        QMetaObject::invokeMethod(
            self, [self, reason] { Q_EMIT self->lost(reason); }, Qt::QueuedConnection);
    };
    source->m_reader = X11SelectionReader::open(display, std::move(callbacks), error);
    if (!source->m_reader)
        return nullptr;
    return source;
}

void X11ClipboardSource::setReadAhead(ReadAhead plan, int timeoutMs)
{
    m_reader->setReadAhead(std::move(plan), timeoutMs);
}

void X11ClipboardSource::fetch(OfferId offer, const QString& format, int timeoutMs)
{
    m_reader->fetch(offer, format, timeoutMs);
}

void X11ClipboardSource::setSizeLimit(qsizetype bytes)
{
    m_reader->setSizeLimit(bytes);
}
