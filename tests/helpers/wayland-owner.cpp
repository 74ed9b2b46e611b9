// Test helper: takes the Wayland clipboard through data-control with several
// formats at once (which wl-copy cannot do) and serves it until another
// selection replaces it; or, with --silent, as an owner that never sends
// its data and holds every request open until it is killed; --types=N
// lists N more types as well (application/x-clipstow-1 and so on, each
// served as an empty text). Either ends after two minutes at the latest.
// Prints "ready" once it owns the clipboard.
// Usage: wayland-owner [--silent] [--types=N] TEXT [TYPE=VALUE ...]
#include "wlr-data-control-unstable-v1-client-protocol.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <poll.h>
#include <string>
#include <unistd.h>
#include <vector>
#include <wayland-client.h>

namespace {

std::map<std::string, std::string> g_formats;
bool g_silent = false;
bool g_cancelled = false;
std::vector<int> g_heldOpen;
zwlr_data_control_manager_v1* g_manager = nullptr;
wl_seat* g_seat = nullptr;

void writeAll(int fd, const std::string& data)
{
    for (size_t done = 0; done < data.size();) {
        const ssize_t n = write(fd, data.data() + done, data.size() - done);
        if (n > 0) {
            done += size_t(n);
        } else if (errno == EAGAIN) {
            pollfd out = {fd, POLLOUT, 0};
            poll(&out, 1, 1000);
        } else if (errno != EINTR) {
            return;
        }
    }
}

void onSend(void*, zwlr_data_control_source_v1*, const char* type, int fd)
{
    if (g_silent) {
        g_heldOpen.push_back(fd);
        return;
    }
    writeAll(fd, g_formats[type]);
    close(fd);
}

void onCancelled(void*, zwlr_data_control_source_v1*)
{
    g_cancelled = true;
}

void onGlobal(void*, wl_registry* registry, uint32_t name, const char* interface, uint32_t)
{
    if (std::strcmp(interface, zwlr_data_control_manager_v1_interface.name) == 0)
        g_manager = static_cast<zwlr_data_control_manager_v1*>(
            wl_registry_bind(registry, name, &zwlr_data_control_manager_v1_interface, 1));
    else if (!g_seat && std::strcmp(interface, wl_seat_interface.name) == 0)
        g_seat = static_cast<wl_seat*>(wl_registry_bind(registry, name, &wl_seat_interface, 1));
}

void onGlobalRemove(void*, wl_registry*, uint32_t) {}

} // namespace

int main(int argc, char** argv)
{
    int first = 1;
    long types = 0;
    for (; first < argc && std::strncmp(argv[first], "--", 2) == 0; ++first) {
        if (std::strcmp(argv[first], "--silent") == 0)
            g_silent = true;
        else if (std::strncmp(argv[first], "--types=", 8) == 0)
            types = std::atol(argv[first] + 8);
        else
            break;
    }
    if (first >= argc) {
        std::fprintf(stderr, "usage: wayland-owner [--silent] [--types=N] TEXT [TYPE=VALUE ...]\n");
        return 2;
    }
    for (long i = 1; i <= types; ++i)
        g_formats["application/x-clipstow-" + std::to_string(i)] = std::string();
    for (const char* type : {"text/plain;charset=utf-8", "text/plain", "UTF8_STRING"})
        g_formats[type] = argv[first];
    for (int i = first + 1; i < argc; ++i) {
        const char* equals = std::strchr(argv[i], '=');
        if (equals && equals != argv[i])
            g_formats[std::string(argv[i], size_t(equals - argv[i]))] = equals + 1;
    }

    wl_display* display = wl_display_connect(nullptr);
    if (!display) {
        std::perror("wayland-owner: cannot connect");
        return 1;
    }
    static const wl_registry_listener registryListener = {&onGlobal, &onGlobalRemove};
    wl_registry_add_listener(wl_display_get_registry(display), &registryListener, nullptr);
    wl_display_roundtrip(display);
    if (!g_manager || !g_seat) {
        std::fprintf(stderr, "wayland-owner: no data-control manager or seat\n");
        return 1;
    }
    static const zwlr_data_control_source_v1_listener sourceListener = {&onSend, &onCancelled};
    zwlr_data_control_source_v1* source =
        zwlr_data_control_manager_v1_create_data_source(g_manager);
    zwlr_data_control_source_v1_add_listener(source, &sourceListener, nullptr);
    // The requests go in batches: the socket holds only so many at once.
    int listed = 0;
    for (const auto& [type, value] : g_formats) {
        zwlr_data_control_source_v1_offer(source, type.c_str());
        if (++listed % 256 == 0)
            wl_display_roundtrip(display);
    }
    zwlr_data_control_device_v1* device =
        zwlr_data_control_manager_v1_get_data_device(g_manager, g_seat);
    zwlr_data_control_device_v1_set_selection(device, source);
    wl_display_roundtrip(display);
    std::printf("ready\n");
    std::fflush(stdout);

    alarm(120);
    while ((g_silent || !g_cancelled) && wl_display_dispatch(display) >= 0) {
    }
    for (int fd : g_heldOpen)
        close(fd);
    wl_display_disconnect(display);
    return 0;
}
