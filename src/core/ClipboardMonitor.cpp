#include "core/ClipboardMonitor.h"

#include "core/ClipboardSecrets.h"

#include <QCoreApplication>
#include <QScopeGuard>

namespace {

using Failure = ClipboardSource::Failure;

// How often a read the user asked for follows the clipboard to a newer
// copy before it gives up (a clipboard that changes faster than its owners
// deliver).
constexpr int MaximumReadAttempts = 5;

QString notDeliveredText()
{
    return QCoreApplication::translate(
        "ClipboardMonitor", "Not captured: the program that copied did not deliver the text");
}

// A copy whose text can be read: it lists a text format.
QString textOf(const ClipboardSource::Offer& offer)
{
    const QString format = ClipboardMonitor::textFormat(offer.formats);
    const QByteArray data = offer.data.value(format);
    return format.isEmpty() || data.isNull() ? QString()
                                             : ClipboardMonitor::decodeText(format, data);
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

void ClipboardMonitor::setSource(std::unique_ptr<ClipboardSource> source)
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
    // Reads waiting on the old source go to the new one's first copy.
    for (PendingRead& read : m_reads)
        read.waitsForNewerOffer = true;
    if (!m_source)
        return;
    connect(m_source.get(), &ClipboardSource::offered, this, &ClipboardMonitor::onOffered);
    connect(m_source.get(), &ClipboardSource::received, this, &ClipboardMonitor::onReceived);
    connect(m_source.get(), &ClipboardSource::failed, this, &ClipboardMonitor::onFailed);
    connect(m_source.get(), &ClipboardSource::lost, this, &ClipboardMonitor::sourceLost);
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

    if (offer.atStart || !m_onCapture)
        return;
    // Every change reaches the capture, with the text when there is one to
    // take.
    QString text;
    if (m_currentSecret) {
    } else if (offer.failure == Failure::TimedOut || offer.failure == Failure::Broken) {
        // Said when there was text to take, or no telling (the owner did
        // not even list its formats).
        if (m_readingText && (offer.formats.isEmpty() || !textFormat(offer.formats).isEmpty()))
            Q_EMIT notDelivered(notDeliveredText());
    } else if (offer.failure == Failure::None) {
        text = textOf(offer);
    }
    m_texts.push_back(text);
    deliverTexts();
}

// Hands the waiting texts on, oldest first. A copy that comes while the
// handler runs (it may let events run, an error box for one) waits, so the
// order stays.
void ClipboardMonitor::deliverTexts()
{
    while (!m_capturing && !m_texts.empty() && m_onCapture) {
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

void ClipboardMonitor::answer(const PendingRead& read, Outcome outcome, const QString& text)
{
    if (outcome == Outcome::NotDelivered)
        Q_EMIT notDelivered(notDeliveredText());
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
        answer(read, why == Failure::Refused ? Outcome::NoText : Outcome::NotDelivered, QString());
}

void ClipboardMonitor::readFormat(const QString& format, int timeoutMs)
{
    if (m_source && m_current.id != 0)
        m_source->fetch(m_current.id, format, timeoutMs);
}
