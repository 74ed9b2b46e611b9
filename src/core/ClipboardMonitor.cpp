#include "core/ClipboardMonitor.h"

#include "core/ClipboardSecrets.h"

#include <QLocale>
#include <QScopeGuard>

namespace {

using Failure = ClipboardSource::Failure;

// How often a read the user asked for follows the clipboard to a newer
// copy before it gives up (a clipboard that changes faster than its owners
// deliver).
constexpr int MaximumReadAttempts = 5;

// The text of a copy, from what was read of its formats.
QString textOf(const QStringList& formats, const QHash<QString, QByteArray>& read)
{
    const QString format = ClipboardMonitor::textFormat(formats);
    const QByteArray data = read.value(format);
    return format.isEmpty() || data.isNull() ? QString()
                                             : ClipboardMonitor::decodeText(format, data);
}

// Whether a copy whose reading failed is said: when there was text to take,
// or no telling (the owner did not even list its formats). One replaced
// before its owner answered anything, or that has no text, is not.
bool lossIsTold(const ClipboardSource::Offer& offer)
{
    switch (offer.failure) {
    case Failure::TimedOut:
    case Failure::Broken:
    case Failure::TooLarge:
    case Failure::Overtaken:
        return offer.formats.isEmpty() || !ClipboardMonitor::textFormat(offer.formats).isEmpty();
    default:
        return false;
    }
}

} // namespace

ClipboardMonitor::ClipboardMonitor(std::unique_ptr<ClipboardSource> source, QObject* parent)
    : QObject(parent)
{
    setSource(std::move(source));
}

ClipboardMonitor::~ClipboardMonitor()
{
    stop();
}

QString ClipboardMonitor::textFormat(const QStringList& formats)
{
    static const QLatin1String preferred[] = {
        QLatin1String("text/plain;charset=utf-8"), QLatin1String("UTF8_STRING"),
        QLatin1String("text/plain"), QLatin1String("STRING"), QLatin1String("TEXT")};
    for (const QLatin1String& name : preferred)
        for (const QString& format : formats)
            if (format.compare(name, name.startsWith(QLatin1String("text/"))
                                         ? Qt::CaseInsensitive
                                         : Qt::CaseSensitive) == 0)
                return format;
    return QString();
}

QString ClipboardMonitor::decodeText(const QString& format, const QByteArray& data)
{
    const QByteArray bytes = data.endsWith('\0') ? data.chopped(1) : data;
    if (format == QLatin1String("STRING"))
        return QString::fromLatin1(bytes);
    return QString::fromUtf8(bytes);
}

QString ClipboardMonitor::nextToRead(const QStringList& formats,
                                     const QHash<QString, QByteArray>& read, bool withText)
{
    for (const QString& format : formats)
        if (ClipboardSecrets::needsContent(format) && !read.contains(format))
            return format;
    if (!withText || ClipboardSecrets::isSecret(formats, read))
        return QString();
    const QString text = textFormat(formats);
    return read.contains(text) ? QString() : text;
}

QString ClipboardMonitor::notCapturedText(Failure why)
{
    if (why == Failure::TooLarge)
        return tr("Not captured: the copied text is larger than %1")
            .arg(QLocale().formattedDataSize(ClipboardSource::MaxTransferBytes, 0,
                                             QLocale::DataSizeIecFormat));
    if (why == Failure::Overtaken)
        return tr("Not captured: the next copy came before the text of the one before was read");
    return tr("Not captured: the program that copied did not deliver the text");
}

void ClipboardMonitor::setSource(std::unique_ptr<ClipboardSource> source, SourceStart start)
{
    if (m_source) {
        m_source->disconnect(this);
        // Not from inside one of its own signals.
        if (m_delivering > 0)
            m_source.release()->deleteLater();
    }
    m_source = std::move(source);
    m_current = {};
    m_currentSecret = false;
    m_resuming = start == SourceStart::Resumed;
    m_resumed.reset();
    // Reads waiting on the old source go to the new one's first copy.
    for (PendingRead& read : m_reads)
        read.waitsForNewerOffer = true;
    if (!m_source)
        return;
    connect(m_source.get(), &ClipboardSource::offered, this, &ClipboardMonitor::onOffered);
    connect(m_source.get(), &ClipboardSource::received, this, &ClipboardMonitor::onReceived);
    connect(m_source.get(), &ClipboardSource::failed, this, &ClipboardMonitor::onFailed);
    applyReadAhead();
}

void ClipboardMonitor::setReadingText(bool on)
{
    if (on == m_readingText)
        return;
    m_readingText = on;
    applyReadAhead();
}

void ClipboardMonitor::applyReadAhead()
{
    if (!m_source)
        return;
    const bool withText = m_readingText;
    m_source->setReadAhead(
        [withText](const QStringList& formats, const QHash<QString, QByteArray>& read) {
            return nextToRead(formats, read, withText);
        },
        ReadAheadMs);
}

void ClipboardMonitor::stop()
{
    m_stopped = true;
    m_onCapture = nullptr;
    m_texts.clear();
    m_reads.clear();
    m_resumed.reset();
    setSource(nullptr);
}

bool ClipboardMonitor::hasCapturableText() const
{
    return !textFormat(m_current.formats).isEmpty() && !m_currentSecret;
}

void ClipboardMonitor::onOffered(const ClipboardSource::Offer& offer)
{
    ++m_delivering;
    const auto delivered = qScopeGuard([this] { --m_delivering; });
    m_current = offer;
    m_currentSecret = ClipboardSecrets::isSecret(offer.formats, offer.data);
    Q_EMIT changed();

    // Reads that a newer copy overtook follow it.
    std::vector<PendingRead> overtaken;
    for (auto it = m_reads.begin(); it != m_reads.end();) {
        if (it->waitsForNewerOffer) {
            overtaken.push_back(std::move(*it));
            it = m_reads.erase(it);
        } else {
            ++it;
        }
    }
    for (PendingRead& read : overtaken)
        startRead(std::move(read));

    if (offer.atStart) {
        const bool resumed = std::exchange(m_resuming, false);
        if (resumed && m_onCapture && m_readingText && m_newest != Newest::Unread) {
            m_resumed = ResumedRead{offer.id,       offer.formats, offer.data,  {},
                                    m_texts.size(), m_newest,      m_newestText};
            readResumed();
        }
        return;
    }
    noteNewest(offer);
    if (!m_onCapture)
        return;
    // Every change reaches the capture, with the text when there is one to
    // take.
    QString text;
    if (m_currentSecret) {
    } else if (offer.failure == Failure::None) {
        text = textOf(offer.formats, offer.data);
    } else if (m_readingText && lossIsTold(offer)) {
        Q_EMIT notDelivered(notCapturedText(offer.failure));
    }
    m_texts.push_back(text);
    deliverTexts();
}

void ClipboardMonitor::noteNewest(const ClipboardSource::Offer& offer)
{
    const QString format = textFormat(offer.formats);
    if (offer.failure != Failure::None || m_currentSecret) {
        m_newest = Newest::Lost;
    } else if (!format.isEmpty() && !offer.data.contains(format)) {
        m_newest = Newest::Unread;
    } else {
        m_newest = Newest::Read;
        m_newestText = textOf(offer.formats, offer.data);
    }
}

// Reads the first copy of a resumed source as the read-ahead plan would,
// one format after the other.
void ClipboardMonitor::readResumed()
{
    ResumedRead& resumed = *m_resumed;
    resumed.format = nextToRead(resumed.formats, resumed.read, true);
    if (resumed.format.isEmpty())
        endResumed(Failure::None);
    else
        m_source->fetch(resumed.offer, resumed.format, ReadAheadMs);
}

void ClipboardMonitor::endResumed(Failure why)
{
    const ResumedRead resumed = std::move(*m_resumed);
    m_resumed.reset();
    const bool secret = ClipboardSecrets::isSecret(resumed.formats, resumed.read);
    const bool newest = m_current.id == resumed.offer;
    if (why == Failure::None && secret) {
        if (newest)
            m_newest = Newest::Lost;
    } else if (why == Failure::None) {
        const QString text = textOf(resumed.formats, resumed.read);
        const bool seen = resumed.before == Newest::Read && resumed.beforeText == text;
        if (!seen && !text.isEmpty())
            m_texts.insert(m_texts.begin() + qsizetype(resumed.queuedBefore), text);
        if (newest) {
            m_newest = Newest::Read;
            m_newestText = text;
        }
    } else if (why != Failure::Superseded) {
        if (newest)
            m_newest = Newest::Lost;
        if (!secret && !textFormat(resumed.formats).isEmpty())
            Q_EMIT notDelivered(notCapturedText(why));
    }
    deliverTexts();
}

// Hands the waiting texts on, oldest first. A copy that comes while the
// handler runs (it may let events run, an error box for one) waits, so the
// order stays.
void ClipboardMonitor::deliverTexts()
{
    while (!m_capturing && !m_texts.empty() && m_onCapture) {
        // The copies after a resumed source's first one wait for it.
        if (m_resumed && m_resumed->queuedBefore == 0)
            return;
        if (m_resumed)
            --m_resumed->queuedBefore;
        const QString text = std::move(m_texts.front());
        m_texts.pop_front();
        m_capturing = true;
        const auto done = qScopeGuard([this] { m_capturing = false; });
        m_onCapture(text);
    }
}

void ClipboardMonitor::readText(QObject* context, TextReceiver receiver)
{
    PendingRead read;
    read.context = context;
    read.receiver = std::move(receiver);
    startRead(std::move(read));
}

void ClipboardMonitor::startRead(PendingRead read)
{
    if (m_stopped || !m_source) {
        answer(read, Outcome::NoText, QString());
        return;
    }
    // Asked for before the source has told what the clipboard holds (just
    // after start): its first copy answers.
    if (m_current.id == 0) {
        read.waitsForNewerOffer = true;
        m_reads.push_back(std::move(read));
        return;
    }
    if (m_currentSecret) {
        answer(read, Outcome::Secret, QString());
        return;
    }
    const QString format = textFormat(m_current.formats);
    if (format.isEmpty()) {
        answer(read, Outcome::NoText, QString());
        return;
    }
    const QByteArray data = m_current.data.value(format);
    if (!data.isNull()) {
        const QString text = decodeText(format, data);
        answer(read, text.isEmpty() ? Outcome::NoText : Outcome::Text, text);
        return;
    }
    read.offer = m_current.id;
    read.format = format;
    read.waitsForNewerOffer = false;
    ++read.attempts;
    m_reads.push_back(std::move(read));
    m_source->fetch(m_current.id, format, ReadMs);
}

void ClipboardMonitor::answer(const PendingRead& read, Outcome outcome, const QString& text,
                              Failure why)
{
    if (outcome == Outcome::NotDelivered)
        Q_EMIT notDelivered(notCapturedText(why));
    if (read.context && read.receiver)
        read.receiver(outcome, text);
}

void ClipboardMonitor::onReceived(OfferId offer, const QString& format, const QByteArray& data)
{
    ++m_delivering;
    const auto delivered = qScopeGuard([this] { --m_delivering; });
    if (offer == m_current.id)
        m_current.data.insert(format, data);
    Q_EMIT formatRead(offer, format, data);
    std::vector<PendingRead> done;
    for (auto it = m_reads.begin(); it != m_reads.end();) {
        if (!it->waitsForNewerOffer && it->offer == offer && it->format == format) {
            done.push_back(std::move(*it));
            it = m_reads.erase(it);
        } else {
            ++it;
        }
    }
    const QString text = decodeText(format, data);
    for (const PendingRead& read : done)
        answer(read, text.isEmpty() ? Outcome::NoText : Outcome::Text, text);
    if (m_resumed && m_resumed->offer == offer && m_resumed->format == format) {
        m_resumed->read.insert(format, data);
        readResumed();
    }
}

void ClipboardMonitor::onFailed(OfferId offer, const QString& format, Failure why)
{
    ++m_delivering;
    const auto delivered = qScopeGuard([this] { --m_delivering; });
    Q_EMIT formatFailed(offer, format, why);
    std::vector<PendingRead> done;
    std::vector<PendingRead> overtaken;
    for (auto it = m_reads.begin(); it != m_reads.end();) {
        if (it->waitsForNewerOffer || it->offer != offer || it->format != format) {
            ++it;
        } else if (why == Failure::Superseded && it->attempts < MaximumReadAttempts) {
            // A newer copy replaced it: its text is what the clipboard holds,
            // read once the newer copy is announced.
            it->waitsForNewerOffer = true;
            if (m_current.id != offer) {
                overtaken.push_back(std::move(*it));
                it = m_reads.erase(it);
            } else {
                ++it;
            }
        } else {
            done.push_back(std::move(*it));
            it = m_reads.erase(it);
        }
    }
    for (PendingRead& read : overtaken)
        startRead(std::move(read));
    for (const PendingRead& read : done)
        answer(read, why == Failure::Refused ? Outcome::NoText : Outcome::NotDelivered, QString(),
               why);
    if (m_resumed && m_resumed->offer == offer && m_resumed->format == format) {
        // A format the owner refuses is only missing, as in reading ahead.
        if (why == Failure::Refused) {
            m_resumed->read.insert(format, QByteArray());
            readResumed();
        } else {
            endResumed(why);
        }
    }
}

void ClipboardMonitor::readFormat(const QString& format, int timeoutMs)
{
    if (m_source && m_current.id != 0)
        m_source->fetch(m_current.id, format, timeoutMs);
}
