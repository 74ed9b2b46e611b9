#include "platform/linux/WaylandDataControl.h"

// A build whose wayland-protocols has no ext-data-control-v1.xml.
std::vector<DataControlProtocol> dataControlProtocols()
{
    return {wlrDataControl()};
}
