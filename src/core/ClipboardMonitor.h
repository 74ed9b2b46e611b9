#pragma once

#include "platform/ClipboardSource.h"

#include <QObject>
#include <QPointer>
#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

// Follows the clipboard through a ClipboardSource: hands each copy's text
// to the capture, and answers what the clipboard holds now (for the hints,
// the capture commands and the clipboard viewer), never waiting on the
// clipboard's owner.
//
// Automatic captures. While a capture handler is set, it is called once
// for every change of the clipboard, in order, with the copy's text, or an
// empty text when there is none to take:
// - the text is read the moment the copy appears (setReadingText), so an
//   owner that ends as soon as the next copy replaces it is still read; a
//   copy whose reading had not started when a newer one replaced it has no
//   text, never the newer one's;
// - no text: an emptied clipboard, a copy without text, content marked
//   secret by its owner (ClipboardSecrets), whose text is not even read, a
//   copy that came while reading text was off;
// - a copy whose owner does not deliver within the time limit, whose text
//   is larger than the sources take, or that the next copy replaced while
//   it was being read has no text and is said through notDelivered(); the
//   next copy goes on at once;
// - the text on the clipboard when the source started causes no call.
// The handler is called on the monitor's thread; changes that come while
// it runs wait for it. It must not raise.
//
// The source can be replaced while running (setSource): what the new one
// finds on the clipboard counts as the text at start, and texts already
// read from the old one are still handed on. A source that takes up again
// where one broke off (the compositor's clipboard, opened again after its
// connection broke) is Resumed: what it finds is a copy made meanwhile when
// its text differs from the newest text read before, and is read (secret
// marks first, as always) and handed on before the copies after it. When
// the newest copy before was never read (the text at start, a copy made
// outside auto mode) there is nothing to tell it from, and it is not.
class ClipboardMonitor final : public QObject
{
    Q_OBJECT

public:
    using OfferId = ClipboardSource::OfferId;
    using CaptureHandler = std::function<void(const QString& text)>;

    // How long the owner of a copy may take to deliver (each piece of a
    // long text); the user-interface thread never waits for it.
    static constexpr int ReadAheadMs = 3000;
    // The same for a text read when the user asks for a capture.
    static constexpr int ReadMs = 3000;

    // What the clipboard holds for a capture the user asked for.
    enum class Outcome
    {
        Text,
        NoText,
        Secret,
        NotDelivered, // its owner did not deliver within the limit
    };
    using TextReceiver = std::function<void(Outcome outcome, const QString& text)>;

    explicit ClipboardMonitor(std::unique_ptr<ClipboardSource> source, QObject* parent = nullptr);
    ~ClipboardMonitor() override;
    ClipboardMonitor(const ClipboardMonitor&) = delete;
    ClipboardMonitor& operator=(const ClipboardMonitor&) = delete;

    // --- The source -----------------------------------------------------
    enum class SourceStart
    {
        Fresh,   // what the source finds is the text at start
        Resumed, // it watches again what another source lost (see above)
    };
    // Replaces the source (null: none); reads waiting on the old one go to
    // the new one's first offer.
    void setSource(std::unique_ptr<ClipboardSource> source, SourceStart start = SourceStart::Fresh);
    ClipboardSource* source() const { return m_source.get(); }

    // --- Automatic captures ----------------------------------------------
    void setCaptureHandler(CaptureHandler handler) { m_onCapture = std::move(handler); }
    bool hasCaptureHandler() const { return bool(m_onCapture); }
    // Whether each copy's text is read as it appears (auto mode); without
    // it only the formats and the secret marks are.
    void setReadingText(bool on);
    bool isReadingText() const { return m_readingText; }
    // Stops at once: the handler is unset, copies waiting for it are
    // dropped, transfers in progress abandoned and the source let go; reads
    // the user asked for are not answered. Nothing is reported afterwards.
    void stop();
    bool isStopped() const { return m_stopped; }

    // --- What the clipboard holds now --------------------------------------
    // The newest copy lists a text format and is not marked secret (as far
    // as its marks are known). No owner is asked.
    bool hasCapturableText() const;
    // The newest copy's text, handed to receiver once it is known: at once
    // when it has been read already, else later (never after context is
    // gone). A copy that a newer one replaces before its owner delivered is
    // followed by the newer one's text; before the source has told the
    // first copy, that one's.
    void readText(QObject* context, TextReceiver receiver);
    // The newest copy as the source announced it (formats, what was read
    // ahead), and whether it is marked secret.
    const ClipboardSource::Offer& current() const { return m_current; }
    bool currentIsSecret() const { return m_currentSecret; }
    // Asks the newest copy's owner for one format; the answer comes as
    // formatRead() or formatFailed().
    void readFormat(const QString& format, int timeoutMs);

    // --- Pure helpers --------------------------------------------------
    // The format to take a copy's text from: the first of
    // text/plain;charset=utf-8, UTF8_STRING, text/plain, STRING and TEXT
    // that formats lists (MIME types in any letter case); empty if none.
    static QString textFormat(const QStringList& formats);
    // The text of data in that format: STRING is Latin-1, the others UTF-8;
    // a closing NUL is not part of it.
    static QString decodeText(const QString& format, const QByteArray& data);
    // The read-ahead plan: the secret marks that need their content, then,
    // if withText and the copy is not secret, its text.
    static QString nextToRead(const QStringList& formats, const QHash<QString, QByteArray>& read,
                              bool withText);

Q_SIGNALS:
    // The newest copy has changed (a new owner, an emptied clipboard).
    void changed();
    void formatRead(ClipboardMonitor::OfferId offer, const QString& format, const QByteArray& data);
    void formatFailed(ClipboardMonitor::OfferId offer, const QString& format,
                      ClipboardSource::Failure why);
    // A copy's text could not be taken (its owner did not deliver it, it
    // was too large, the next copy came first); text says which, for the
    // status bar.
    void notDelivered(const QString& text);

private:
    struct PendingRead
    {
        QPointer<QObject> context;
        TextReceiver receiver;
        OfferId offer = 0;
        QString format;
        int attempts = 0;
        bool waitsForNewerOffer = false;
    };

    void onOffered(const ClipboardSource::Offer& offer);
    void onReceived(OfferId offer, const QString& format, const QByteArray& data);
    void onFailed(OfferId offer, const QString& format, ClipboardSource::Failure why);
    void startRead(PendingRead read);
    void answer(const PendingRead& read, Outcome outcome, const QString& text,
                ClipboardSource::Failure why = ClipboardSource::Failure::None);
    void applyReadAhead();
    void deliverTexts();
    void noteNewest(const ClipboardSource::Offer& offer);
    void readResumed();
    void endResumed(ClipboardSource::Failure why);
    static QString notCapturedText(ClipboardSource::Failure why);

    std::unique_ptr<ClipboardSource> m_source;
    ClipboardSource::Offer m_current;
    bool m_currentSecret = false;
    CaptureHandler m_onCapture;
    bool m_readingText = false;
    bool m_stopped = false;
    bool m_capturing = false;
    // Inside one of the source's signals.
    int m_delivering = 0;
    std::deque<QString> m_texts;
    std::vector<PendingRead> m_reads;

    // The newest copy's text, as far as it was read: what a resumed
    // source's first copy is told from.
    enum class Newest
    {
        Unread, // not read (the text at start, a copy outside auto mode)
        Read,   // m_newestText (empty: it had no text)
        Lost,   // its reading failed, or it was secret
    };
    Newest m_newest = Newest::Unread;
    QString m_newestText;
    // The first offer of a resumed source, announced or being read; the
    // copies after it wait.
    bool m_resuming = false;
    struct ResumedRead
    {
        OfferId offer = 0;
        QStringList formats;
        QHash<QString, QByteArray> read;
        QString format;
        // The copies queued before it, and the newest copy seen before it.
        size_t queuedBefore = 0;
        Newest before = Newest::Unread;
        QString beforeText;
    };
    std::optional<ResumedRead> m_resumed;
};
