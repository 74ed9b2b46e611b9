#pragma once

#include <QByteArray>
#include <QMetaType>
#include <QObject>
#include <QString>
#include <QStringList>
#include <memory>

// Where the program learns that the clipboard changed and reads what it
// holds, without ever waiting on the clipboard's owner.
//
// Each new owner (or new selection) of the clipboard is an offer: a number
// that only grows, with the formats the owner lists (MIME types such as
// "text/plain;charset=utf-8", or X11 target names such as "UTF8_STRING").
// An offer with no formats: the clipboard was emptied. The offer a source
// finds when it starts is its current() one but is not announced, so text
// already on the clipboard at start causes nothing.
//
// fetch() asks for one format of an offer. The answer comes later, through
// received() or failed(), on the thread the source lives on, never from
// inside the call. A transfer that takes longer than its limit fails; so
// does one whose offer was replaced by a newer one before the transfer was
// complete, so that an old offer is never read as a newer one's data. A
// source never blocks the thread it lives on.
class ClipboardSource : public QObject
{
    Q_OBJECT

public:
    using OfferId = quint64;
    struct Offer
    {
        OfferId id = 0; // 0: none known
        QStringList formats;
    };
    enum class Failure
    {
        TimedOut,   // the owner did not deliver within the limit
        Superseded, // a newer offer replaced this one first
        Refused,    // the owner refused, or the format is not offered
        Broken      // the transfer or the connection broke
    };
    Q_ENUM(Failure)

    using QObject::QObject;

    // What the source is, for messages ("X11", "Wayland data-control").
    virtual QString name() const = 0;
    // The newest offer.
    virtual Offer current() const = 0;
    // Asks for the data of one format of an offer, within timeoutMs.
    virtual void fetch(OfferId offer, const QString& format, int timeoutMs) = 0;

Q_SIGNALS:
    // The clipboard has a new owner or was emptied.
    void offered(const ClipboardSource::Offer& offer);
    void received(ClipboardSource::OfferId offer, const QString& format, const QByteArray& data);
    void failed(ClipboardSource::OfferId offer, const QString& format,
                ClipboardSource::Failure why);
    // The source can no longer tell changes (the compositor went away); its
    // owner turns to another one.
    void lost(const QString& reason);
};

Q_DECLARE_METATYPE(ClipboardSource::Offer)
