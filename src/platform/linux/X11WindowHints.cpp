// Window hints on X11. Qt gives a tool window the utility type and the
// "above" state, but no way to keep it off the taskbar and pager, and it
// makes a tool window without a parent transient for the program's hidden
// client-leader window, which some window managers treat as a transient of
// every window of the program, minimising it along with the main window.
// So, through the connection of Qt's own X11 platform:
// - before the window is mapped, _NET_WM_STATE gets SKIP_TASKBAR and
//   SKIP_PAGER (Qt keeps states already set on an unmapped window);
// - right after it is mapped, WM_TRANSIENT_FOR is removed, so the window
//   belongs to the desktop alone.
// - for a title bar with a close button only, _MOTIF_WM_HINTS asks for a
//   border and a title, and for moving and closing as the only functions
//   (Qt asks for resizing as well); window managers that keep the minimise
//   button whatever these hints say (openbox) leave it off a window of the
//   toolbar type, so _NET_WM_WINDOW_TYPE names that type first, the utility
//   type Qt gave staying second for those that do not know it.
// On any other platform plugin (offscreen, Wayland) there is no X11
// connection and nothing is done.
#include "platform/WindowHints.h"

#include <QGuiApplication>
#include <QWidget>

#include <xcb/xcb.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

xcb_connection_t* x11Connection()
{
    auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    return x11 ? x11->connection() : nullptr;
}

xcb_atom_t atom(xcb_connection_t* connection, const char* name)
{
    const xcb_intern_atom_cookie_t cookie =
        xcb_intern_atom(connection, 0, static_cast<uint16_t>(std::strlen(name)), name);
    xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(connection, cookie, nullptr);
    xcb_atom_t result = XCB_ATOM_NONE;
    if (reply)
        result = reply->atom;
    std::free(reply);
    return result;
}

std::vector<xcb_atom_t> atomList(xcb_connection_t* connection, xcb_window_t window,
                                 xcb_atom_t property)
{
    std::vector<xcb_atom_t> atoms;
    const xcb_get_property_cookie_t cookie =
        xcb_get_property(connection, 0, window, property, XCB_ATOM_ATOM, 0, 1024);
    xcb_get_property_reply_t* reply = xcb_get_property_reply(connection, cookie, nullptr);
    if (reply && reply->type == XCB_ATOM_ATOM && reply->format == 32) {
        const auto* data = static_cast<const xcb_atom_t*>(xcb_get_property_value(reply));
        const int count = xcb_get_property_value_length(reply) / int(sizeof(xcb_atom_t));
        atoms.assign(data, data + count);
    }
    std::free(reply);
    return atoms;
}

} // namespace

namespace WindowHints {

void keepOffTaskbar(QWidget& widget)
{
    xcb_connection_t* connection = x11Connection();
    if (!connection)
        return;
    const auto window = static_cast<xcb_window_t>(widget.winId());
    const xcb_atom_t state = atom(connection, "_NET_WM_STATE");
    if (state == XCB_ATOM_NONE)
        return;
    std::vector<xcb_atom_t> atoms = atomList(connection, window, state);
    for (const char* name : {"_NET_WM_STATE_SKIP_TASKBAR", "_NET_WM_STATE_SKIP_PAGER"}) {
        const xcb_atom_t wanted = atom(connection, name);
        if (wanted != XCB_ATOM_NONE && std::find(atoms.begin(), atoms.end(), wanted) == atoms.end())
            atoms.push_back(wanted);
    }
    xcb_change_property(connection, XCB_PROP_MODE_REPLACE, window, state, XCB_ATOM_ATOM, 32,
                        static_cast<uint32_t>(atoms.size()), atoms.data());
    xcb_flush(connection);
}

void closeButtonOnly(QWidget& widget)
{
    xcb_connection_t* connection = x11Connection();
    if (!connection)
        return;
    const xcb_atom_t hints = atom(connection, "_MOTIF_WM_HINTS");
    if (hints == XCB_ATOM_NONE)
        return;
    // flags, functions, decorations, input mode, status
    constexpr uint32_t FlagFunctions = 1, FlagDecorations = 2;
    constexpr uint32_t FuncMove = 4, FuncClose = 32;
    constexpr uint32_t DecorBorder = 2, DecorTitle = 8;
    const uint32_t values[5] = {FlagFunctions | FlagDecorations, FuncMove | FuncClose,
                                DecorBorder | DecorTitle, 0, 0};
    const auto window = static_cast<xcb_window_t>(widget.winId());
    xcb_change_property(connection, XCB_PROP_MODE_REPLACE, window, hints, hints, 32, 5, values);

    const xcb_atom_t type = atom(connection, "_NET_WM_WINDOW_TYPE");
    const xcb_atom_t toolbar = atom(connection, "_NET_WM_WINDOW_TYPE_TOOLBAR");
    if (type != XCB_ATOM_NONE && toolbar != XCB_ATOM_NONE) {
        std::vector<xcb_atom_t> types = atomList(connection, window, type);
        if (types.empty() || types.front() != toolbar) {
            std::erase(types, toolbar);
            types.insert(types.begin(), toolbar);
            xcb_change_property(connection, XCB_PROP_MODE_REPLACE, window, type, XCB_ATOM_ATOM, 32,
                                static_cast<uint32_t>(types.size()), types.data());
        }
    }
    xcb_flush(connection);
}

void detachFromOwner(QWidget& widget)
{
    xcb_connection_t* connection = x11Connection();
    if (!connection || !widget.windowHandle())
        return;
    xcb_delete_property(connection, static_cast<xcb_window_t>(widget.winId()),
                        XCB_ATOM_WM_TRANSIENT_FOR);
    xcb_flush(connection);
}

} // namespace WindowHints
