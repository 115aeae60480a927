// Waits on the X display for a window whose title holds the given text to be mapped, then
// prints its id and the wall-clock time of the map in milliseconds. Unlike polling the window
// list, the time is that of the server's own notice, so the launch figures carry no poll delay.
//
//   WindowMapped TITLE [TIMEOUT_MS]     prints "ready" once it listens, then "ID MS"

#include <xcb/xcb.h>

#include <poll.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

namespace {

long long nowMs() {
    using namespace std::chrono;
    return duration_cast<milliseconds>(system_clock::now().time_since_epoch()).count();
}

xcb_atom_t atom(xcb_connection_t* connection, const char* name) {
    const auto cookie =
        xcb_intern_atom(connection, 0, static_cast<uint16_t>(std::strlen(name)), name);
    std::unique_ptr<xcb_intern_atom_reply_t, decltype(&std::free)> reply(
        xcb_intern_atom_reply(connection, cookie, nullptr), &std::free);
    return reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
}

std::string title(xcb_connection_t* connection, xcb_window_t window, xcb_atom_t property) {
    const auto cookie =
        xcb_get_property(connection, 0, window, property, XCB_GET_PROPERTY_TYPE_ANY, 0, 1024);
    std::unique_ptr<xcb_get_property_reply_t, decltype(&std::free)> reply(
        xcb_get_property_reply(connection, cookie, nullptr), &std::free);
    if (!reply)
        return {};
    return std::string(static_cast<const char*>(xcb_get_property_value(reply.get())),
                       static_cast<std::size_t>(xcb_get_property_value_length(reply.get())));
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: WindowMapped TITLE [TIMEOUT_MS]\n");
        return 2;
    }
    const std::string wanted = argv[1];
    const long long deadline = nowMs() + (argc > 2 ? std::atoll(argv[2]) : 30000);
    xcb_connection_t* connection = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(connection)) {
        std::fprintf(stderr, "WindowMapped: no X display\n");
        return 2;
    }
    xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(connection)).data;
    const uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
    xcb_change_window_attributes(connection, screen->root, XCB_CW_EVENT_MASK, &mask);
    const xcb_atom_t netName = atom(connection, "_NET_WM_NAME");
    xcb_flush(connection);
    std::printf("ready\n");
    std::fflush(stdout);
    int status = 1;
    while (status == 1 && nowMs() < deadline) {
        pollfd descriptor{xcb_get_file_descriptor(connection), POLLIN, 0};
        poll(&descriptor, 1, static_cast<int>(std::max(1LL, deadline - nowMs())));
        while (xcb_generic_event_t* event = xcb_poll_for_event(connection)) {
            const long long at = nowMs();
            if ((event->response_type & 0x7f) == XCB_MAP_NOTIFY && status == 1) {
                const xcb_window_t window =
                    reinterpret_cast<xcb_map_notify_event_t*>(event)->window;
                const std::string name = title(connection, window, netName) +
                                         title(connection, window, XCB_ATOM_WM_NAME);
                if (name.find(wanted) != std::string::npos) {
                    std::printf("%u %lld\n", window, at);
                    status = 0;
                }
            }
            std::free(event);
        }
        if (xcb_connection_has_error(connection))
            break;
    }
    xcb_disconnect(connection);
    return status;
}
