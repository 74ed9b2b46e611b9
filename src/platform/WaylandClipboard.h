#pragma once

#include "platform/ClipboardSource.h"

#include <QString>
#include <memory>

// The clipboard of a Wayland compositor, read through a data-control
// protocol: ext_data_control_manager_v1 where the compositor offers it,
// otherwise zwlr_data_control_manager_v1. Unlike the core protocol, these
// tell a client of every new selection whether or not it has the focus.
//
// The source has a connection of its own to the compositor named by
// WAYLAND_DISPLAY, whatever platform plugin Qt runs on, and serves it from
// the thread it was opened on. Only the clipboard proper is watched, not
// the primary selection. When the connection breaks (the compositor ended
// or restarted) the source says lost() and tells nothing more; open a new
// one to try again.
namespace WaylandClipboard {

enum class Status
{
    Opened,        // `source` watches the compositor's clipboard
    NoWayland,     // WAYLAND_DISPLAY is not set: not a Wayland session
    NotBuilt,      // this build has no Wayland client library
    NoConnection,  // the compositor could not be reached or did not answer
    NoDataControl, // the compositor offers neither protocol, or no seat
};

struct Opening
{
    Status status = Status::NoWayland;
    std::unique_ptr<ClipboardSource> source;
    // Opened: the protocol bound; otherwise why not, for a message.
    QString detail;
    // Opened: the compositor's process, which tells the compositor that
    // was watched before from one that has started since (0: unknown).
    qint64 compositor = 0;
};

// Connects and binds the protocol and the first seat, waiting at most
// timeoutMs for the compositor's answers. The selection found then is the
// first offer, announced (atStart) once the event loop runs.
Opening open(int timeoutMs = 2000);

} // namespace WaylandClipboard
