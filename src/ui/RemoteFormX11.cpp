// The remote window on X11. Qt gives a tool window the utility type and the
// "above" state, but no way to keep it off the taskbar and pager, and it
// makes a tool window without a parent transient for the program's hidden
// client-leader window, which some window managers treat as a transient of
// every window of the program, minimising it along with the main window.
// So, through the connection of Qt's own X11 platform:
// - before the window is mapped, _NET_WM_STATE gets SKIP_TASKBAR and
//   SKIP_PAGER (Qt keeps states already set on an unmapped window);
// - right after it is mapped, WM_TRANSIENT_FOR is removed, so the window
//   belongs to the desktop alone.
// libxcb is already loaded by the platform plugin; its functions are looked
// up there rather than linked, so the program runs on other platforms too.
#include "ui/RemoteForm.h"

#include <QGuiApplication>
#include <QWindow>

#include <dlfcn.h>
#include <xcb/xcb.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

struct XcbCalls
{
    decltype(&xcb_intern_atom) internAtom = nullptr;
    decltype(&xcb_intern_atom_reply) internAtomReply = nullptr;
    decltype(&xcb_get_property) getProperty = nullptr;
    decltype(&xcb_get_property_reply) getPropertyReply = nullptr;
    decltype(&xcb_get_property_value) propertyValue = nullptr;
    decltype(&xcb_get_property_value_length) propertyValueLength = nullptr;
    decltype(&xcb_change_property) changeProperty = nullptr;
    decltype(&xcb_delete_property) deleteProperty = nullptr;
    decltype(&xcb_flush) flush = nullptr;

    bool complete() const
    {
        return internAtom && internAtomReply && getProperty && getPropertyReply && propertyValue &&
               propertyValueLength && changeProperty && deleteProperty && flush;
    }
};

template <typename F> void resolve(void* library, const char* name, F& function)
{
    function = reinterpret_cast<F>(dlsym(library, name));
}

const XcbCalls* xcbCalls()
{
    static const XcbCalls calls = [] {
        XcbCalls c;
        // Only an already loaded libxcb: without the X11 platform there is
        // nothing to do.
        void* library = dlopen("libxcb.so.1", RTLD_LAZY | RTLD_NOLOAD);
        if (!library)
            return c;
        resolve(library, "xcb_intern_atom", c.internAtom);
        resolve(library, "xcb_intern_atom_reply", c.internAtomReply);
        resolve(library, "xcb_get_property", c.getProperty);
        resolve(library, "xcb_get_property_reply", c.getPropertyReply);
        resolve(library, "xcb_get_property_value", c.propertyValue);
        resolve(library, "xcb_get_property_value_length", c.propertyValueLength);
        resolve(library, "xcb_change_property", c.changeProperty);
        resolve(library, "xcb_delete_property", c.deleteProperty);
        resolve(library, "xcb_flush", c.flush);
        return c;
    }();
    return calls.complete() ? &calls : nullptr;
}

xcb_connection_t* x11Connection()
{
    auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    return x11 ? x11->connection() : nullptr;
}

xcb_atom_t atom(const XcbCalls& xcb, xcb_connection_t* connection, const char* name)
{
    const xcb_intern_atom_cookie_t cookie =
        xcb.internAtom(connection, 0, static_cast<uint16_t>(std::strlen(name)), name);
    xcb_intern_atom_reply_t* reply = xcb.internAtomReply(connection, cookie, nullptr);
    xcb_atom_t result = XCB_ATOM_NONE;
    if (reply)
        result = reply->atom;
    std::free(reply);
    return result;
}

std::vector<xcb_atom_t> atomList(const XcbCalls& xcb, xcb_connection_t* connection,
                                 xcb_window_t window, xcb_atom_t property)
{
    std::vector<xcb_atom_t> atoms;
    const xcb_get_property_cookie_t cookie =
        xcb.getProperty(connection, 0, window, property, XCB_ATOM_ATOM, 0, 1024);
    xcb_get_property_reply_t* reply = xcb.getPropertyReply(connection, cookie, nullptr);
    if (reply && reply->type == XCB_ATOM_ATOM && reply->format == 32) {
        const auto* data = static_cast<const xcb_atom_t*>(xcb.propertyValue(reply));
        const int count = xcb.propertyValueLength(reply) / int(sizeof(xcb_atom_t));
        atoms.assign(data, data + count);
    }
    std::free(reply);
    return atoms;
}

} // namespace

void TRemoteForm::PrepareNativeWindow()
{
    const XcbCalls* xcb = xcbCalls();
    xcb_connection_t* connection = x11Connection();
    if (!xcb || !connection || !windowHandle())
        return;
    const auto window = static_cast<xcb_window_t>(winId());
    const xcb_atom_t state = atom(*xcb, connection, "_NET_WM_STATE");
    if (state == XCB_ATOM_NONE)
        return;
    std::vector<xcb_atom_t> atoms = atomList(*xcb, connection, window, state);
    for (const char* name : {"_NET_WM_STATE_SKIP_TASKBAR", "_NET_WM_STATE_SKIP_PAGER"}) {
        const xcb_atom_t wanted = atom(*xcb, connection, name);
        if (wanted != XCB_ATOM_NONE && std::find(atoms.begin(), atoms.end(), wanted) == atoms.end())
            atoms.push_back(wanted);
    }
    xcb->changeProperty(connection, XCB_PROP_MODE_REPLACE, window, state, XCB_ATOM_ATOM, 32,
                        static_cast<uint32_t>(atoms.size()), atoms.data());
    xcb->flush(connection);
}

void TRemoteForm::DetachNativeOwner()
{
    const XcbCalls* xcb = xcbCalls();
    xcb_connection_t* connection = x11Connection();
    if (!xcb || !connection || !windowHandle())
        return;
    xcb->deleteProperty(connection, static_cast<xcb_window_t>(winId()), XCB_ATOM_WM_TRANSIENT_FOR);
    xcb->flush(connection);
}
