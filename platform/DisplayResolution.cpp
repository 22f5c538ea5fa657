#include "DisplayResolution.h"

#include <cmath>
#include <cstdlib>
#include <memory>
#include <sstream>
#include <xcb/xcb.h>

namespace platform {

bool SetsXftDpi(const std::string& resources) {
    std::istringstream lines(resources);
    for (std::string line; std::getline(lines, line);) {
        const auto name = line.find_first_not_of(" \t");
        if (name == std::string::npos || line.compare(name, 7, "Xft.dpi") != 0) continue;
        const auto colon = line.find_first_not_of(" \t", name + 7);
        if (colon != std::string::npos && line[colon] == ':') return true;
    }
    return false;
}

std::optional<int> PixelsPerInch(int pixels, int millimetres) {
    if (pixels <= 0 || millimetres <= 0) return std::nullopt;
    return static_cast<int>(std::lround(pixels * 25.4 / millimetres));
}

namespace {

struct ConnectionCloser {
    void operator()(xcb_connection_t* connection) const { xcb_disconnect(connection); }
};

// The text of the root window's RESOURCE_MANAGER property (empty when it has none).
std::string ResourceManagerText(xcb_connection_t* connection, xcb_window_t root) {
    constexpr uint32_t kLongestRead = 1 << 20; // in 32-bit units
    const xcb_get_property_cookie_t cookie = xcb_get_property(
        connection, 0, root, XCB_ATOM_RESOURCE_MANAGER, XCB_ATOM_STRING, 0, kLongestRead);
    std::unique_ptr<xcb_get_property_reply_t, decltype(&std::free)> reply(
        xcb_get_property_reply(connection, cookie, nullptr), &std::free);
    if (!reply) return {};
    const auto* text = static_cast<const char*>(xcb_get_property_value(reply.get()));
    return std::string(text, static_cast<size_t>(xcb_get_property_value_length(reply.get())));
}

} // namespace

std::optional<int> ScreenResolutionWithoutXftDpi() {
    int screenNumber = 0;
    std::unique_ptr<xcb_connection_t, ConnectionCloser> connection(
        xcb_connect(nullptr, &screenNumber));
    if (xcb_connection_has_error(connection.get())) return std::nullopt;
    xcb_screen_iterator_t screens = xcb_setup_roots_iterator(xcb_get_setup(connection.get()));
    for (int i = 0; i < screenNumber && screens.rem > 0; ++i)
        xcb_screen_next(&screens);
    if (screens.rem <= 0) return std::nullopt;
    const xcb_screen_t& screen = *screens.data;
    if (SetsXftDpi(ResourceManagerText(connection.get(), screen.root))) return std::nullopt;
    return PixelsPerInch(screen.width_in_pixels, screen.width_in_millimeters);
}

} // namespace platform
