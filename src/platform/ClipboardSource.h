#pragma once

#include <QByteArray>
#include <QHash>
#include <QMetaType>
#include <QObject>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>

// Where the program learns that the clipboard changed and reads what it
// holds, without ever waiting on the clipboard's owner.
//
// Offers. Each new owner (or new selection) of the clipboard is an offer:
// a number that only grows, with the formats the owner lists (MIME types
// such as "text/plain;charset=utf-8", or X11 target names such as
// "UTF8_STRING"; the selection protocol's own targets such as TARGETS,
// MULTIPLE and TIMESTAMP are left out). offered() announces every offer, in
// the order the owners took the clipboard; the one a source finds when it
// starts comes first, marked atStart, so that text already on the clipboard
// can be told from a copy. An offer with no formats and no failure: the
// clipboard was emptied.
//
// Reading ahead. An owner often ends as soon as the next one takes the
// clipboard (xclip, wl-copy do), and its data goes with it; a reader that
// waits for a busy user-interface thread before it asks loses that data. So
// a source reads what its read-ahead plan names the moment an offer
// appears, by itself, and offered() carries that data. An offer is
// announced once the plan wants nothing more of it or a transfer failed
// (its failure says how); an offer still being read holds back the later
// ones, so that the order stays.
//
// Reading on demand. fetch() asks for one format of an offer; the answer
// comes later through received() or failed(), never from inside the call.
//
// Every transfer: fails as TimedOut when the owner sends nothing for its
// time limit (neither the start of the answer nor the next piece of a long
// one); fails as Superseded when a newer offer replaced its offer before
// the owner got the request, so that data a source hands on is always its
// own offer's, never the next one's; fails as TooLarge as soon as its data
// would pass the size limit, and what it had read is let go at once.
//
// An offer whose owner had answered a request (for its formats, or a
// format of the plan) and that a newer one replaced before the plan was
// done fails as Overtaken: its reading had begun, so its loss is to be
// told. One replaced before its owner answered anything fails as
// Superseded.
//
// A source never blocks the thread it lives on, and all its signals come
// on that thread. Destroying a source abandons its transfers and the
// offers it has not announced yet.
class ClipboardSource : public QObject
{
    Q_OBJECT

public:
    using OfferId = quint64;
    enum class Failure
    {
        None,
        TimedOut,   // the owner did not deliver within the limit
        Superseded, // a newer offer replaced this one first
        Refused,    // the owner refused, or the format is not offered
        Broken,     // the transfer or the connection broke
        TooLarge,   // the data passed the size limit
        Overtaken   // (offers only) a newer offer replaced it while it was read
    };
    Q_ENUM(Failure)

    // The size limit of every transfer: more than any clipboard text a
    // person copies, it keeps an owner that sends without end from filling
    // the memory.
    static constexpr qsizetype MaxTransferBytes = qsizetype(1) << 30;

    struct Offer
    {
        OfferId id = 0;
        QStringList formats;
        // Each format the read-ahead plan asked for, with what the owner
        // delivered: a null QByteArray when it refused or does not list it.
        QHash<QString, QByteArray> data;
        // Why reading ahead (or listing the formats) stopped short.
        Failure failure = Failure::None;
        bool atStart = false;
    };

    // The read-ahead plan: from an offer's formats and what has been read
    // of it so far (as in Offer::data), the next format to read, or an
    // empty text when nothing more is wanted. A format asked for once ends
    // the reading. It is called on the source's own threads: it may look
    // only at its arguments and at values it holds itself.
    using ReadAhead =
        std::function<QString(const QStringList& formats, const QHash<QString, QByteArray>& read)>;

    using QObject::QObject;

    // What the source is, for messages ("X11", "Wayland data-control").
    virtual QString name() const = 0;
    // The plan, and the time limit of each of its transfers, for the offers
    // that appear from now on. Without a plan (the start) offers come with
    // their formats only.
    virtual void setReadAhead(ReadAhead plan, int timeoutMs) = 0;
    // Asks for the data of one format of an offer, within timeoutMs.
    virtual void fetch(OfferId offer, const QString& format, int timeoutMs) = 0;
    // A lower size limit than MaxTransferBytes for the transfers that start
    // from now on (a test's, which need not send a gigabyte to pass it).
    virtual void setSizeLimit(qsizetype bytes) = 0;

Q_SIGNALS:
    // The clipboard has a new owner or was emptied.
    void offered(const ClipboardSource::Offer& offer);
    void received(ClipboardSource::OfferId offer, const QString& format, const QByteArray& data);
    void failed(ClipboardSource::OfferId offer, const QString& format,
                ClipboardSource::Failure why);
    // The source can no longer tell changes (the compositor or the X
    // server went away); its owner turns to another one.
    void lost(const QString& reason);
};

Q_DECLARE_METATYPE(ClipboardSource::Offer)

// The source for this session: on Qt's xcb platform the X11 clipboard
// through a connection of its own; elsewhere (offscreen, a platform without
// a back end here) QClipboard's.
std::unique_ptr<ClipboardSource> createClipboardSource();
