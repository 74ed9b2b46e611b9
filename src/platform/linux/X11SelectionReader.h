#pragma once

#include "platform/ClipboardSource.h"

#include <QByteArray>
#include <QString>
#include <functional>
#include <memory>

// The X11 CLIPBOARD selection, watched and read on a thread of its own
// through a connection of its own, so that neither a busy user-interface
// thread nor a clipboard owner that never answers holds the other up.
//
// XFixes tells each change of owner, with the time the owner gave (the
// ownership's identity). The targets and the read-ahead plan's formats are
// asked for at once, with that time, INCR transfers included. Whether an
// answer came from the owner asked or from a newer one is decided exactly:
// an XFixes event carries the number of the last of this connection's
// requests the server had handled when the owner changed, so an owner
// change before the request reached the server makes the transfer
// superseded, one after it leaves the answer to the old owner (xclip, for
// one, finishes a transfer it has begun before it ends).
//
// The reader hands everything on through its callbacks, on its own thread.
class X11SelectionReader final
{
public:
    using Offer = ClipboardSource::Offer;
    using OfferId = ClipboardSource::OfferId;
    using Failure = ClipboardSource::Failure;
    struct Callbacks
    {
        std::function<void(const Offer& offer)> offered;
        std::function<void(OfferId offer, const QString& format, const QByteArray& data)> received;
        std::function<void(OfferId offer, const QString& format, Failure why)> failed;
        std::function<void(const QString& reason)> lost;
    };

    // Connects to the display (the DISPLAY variable's when empty) and
    // starts watching; null with the reason in *error when the display
    // cannot be opened or has no XFixes.
    static std::unique_ptr<X11SelectionReader> open(const QByteArray& display, Callbacks callbacks,
                                                    QString* error);
    // Stops the thread; nothing is handed on after it returns.
    ~X11SelectionReader();
    X11SelectionReader(const X11SelectionReader&) = delete;
    X11SelectionReader& operator=(const X11SelectionReader&) = delete;

    // These may be called from any thread.
    void setReadAhead(ClipboardSource::ReadAhead plan, int timeoutMs);
    void fetch(OfferId offer, const QString& format, int timeoutMs);
    void setSizeLimit(qsizetype bytes);

    struct State;

private:
    explicit X11SelectionReader(std::unique_ptr<State> state);
    std::unique_ptr<State> m_state;
};
