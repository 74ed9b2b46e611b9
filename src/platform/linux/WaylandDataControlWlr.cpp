#include "platform/linux/WaylandDataControl.h"

#include "wlr-data-control-unstable-v1-client-protocol.h"

#include <cstddef>

static_assert(ZWLR_DATA_CONTROL_MANAGER_V1_GET_DATA_DEVICE ==
              DataControlRequest::ManagerGetDataDevice);
static_assert(ZWLR_DATA_CONTROL_MANAGER_V1_DESTROY == DataControlRequest::ManagerDestroy);
static_assert(ZWLR_DATA_CONTROL_DEVICE_V1_DESTROY == DataControlRequest::DeviceDestroy);
static_assert(ZWLR_DATA_CONTROL_OFFER_V1_RECEIVE == DataControlRequest::OfferReceive);
static_assert(ZWLR_DATA_CONTROL_OFFER_V1_DESTROY == DataControlRequest::OfferDestroy);
static_assert(offsetof(zwlr_data_control_device_v1_listener, selection) ==
              offsetof(DataControlDeviceListener, selection));
static_assert(offsetof(zwlr_data_control_device_v1_listener, finished) ==
              offsetof(DataControlDeviceListener, finished));
static_assert(offsetof(zwlr_data_control_device_v1_listener, primary_selection) ==
              offsetof(DataControlDeviceListener, primarySelection));

DataControlProtocol wlrDataControl()
{
    return {&zwlr_data_control_manager_v1_interface, &zwlr_data_control_device_v1_interface,
            &zwlr_data_control_offer_v1_interface};
}
