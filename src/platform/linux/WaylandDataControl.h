#pragma once

#include <cstdint>
#include <vector>

struct wl_interface;
struct wl_proxy;

// A data-control protocol as the client sees it: the interfaces of its
// manager, device and offer, as wayland-scanner generated them. The ext and
// the wlr protocol number their requests and events alike (the files that
// describe each check it against the generated code), so one client serves
// both through the generic proxy calls.
struct DataControlProtocol
{
    const wl_interface* manager;
    const wl_interface* device;
    const wl_interface* offer;
};

// Request numbers shared by the data-control protocols.
namespace DataControlRequest {
enum : uint32_t
{
    ManagerGetDataDevice = 1,
    ManagerDestroy = 2,
    DeviceDestroy = 1,
    OfferReceive = 0,
    OfferDestroy = 1,
};
}

// The events of a device and of an offer, in the protocols' order.
struct DataControlDeviceListener
{
    void (*dataOffer)(void* data, wl_proxy* device, wl_proxy* offer);
    void (*selection)(void* data, wl_proxy* device, wl_proxy* offer);
    void (*finished)(void* data, wl_proxy* device);
    void (*primarySelection)(void* data, wl_proxy* device, wl_proxy* offer);
};
struct DataControlOfferListener
{
    void (*offer)(void* data, wl_proxy* offer, const char* mimeType);
};

// The protocols this build knows, the preferred one first.
std::vector<DataControlProtocol> dataControlProtocols();
// The wlroots protocol, which every build knows.
DataControlProtocol wlrDataControl();
