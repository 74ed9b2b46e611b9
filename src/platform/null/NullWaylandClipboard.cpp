#include "platform/WaylandClipboard.h"

#include <QCoreApplication>

namespace WaylandClipboard {

Opening open(int)
{
    if (qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
        return {Status::NoWayland, nullptr,
                QCoreApplication::translate("NullWaylandClipboard", "WAYLAND_DISPLAY is not set")};
    return {Status::NotBuilt, nullptr,
            QCoreApplication::translate("NullWaylandClipboard",
                                        "this build of Clipstow has no Wayland client library")};
}

} // namespace WaylandClipboard
