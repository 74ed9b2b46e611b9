#include "platform/WaylandClipboard.h"

namespace WaylandClipboard {

Opening open(int)
{
    if (qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
        return {Status::NoWayland, nullptr, QStringLiteral("WAYLAND_DISPLAY is not set")};
    return {Status::NotBuilt, nullptr,
            QStringLiteral("this build of Clipstow has no Wayland client library")};
}

} // namespace WaylandClipboard
