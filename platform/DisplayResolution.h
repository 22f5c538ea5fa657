// The resolution an X display reports for its screen. Where the display's resources set no
// Xft.dpi, Qt takes 96 dpi whatever the screen is; the screen's size in pixels and millimetres,
// as the X server reports it, tells its resolution then.
#pragma once

#include <optional>
#include <string>

namespace platform {

// Whether an X resource list (the text of the root window's RESOURCE_MANAGER property) sets
// Xft.dpi.
bool SetsXftDpi(const std::string& resources);

// The pixels per inch of `pixels` across `millimetres`, rounded; nullopt for a size of none.
std::optional<int> PixelsPerInch(int pixels, int millimetres);

// The pixels per inch of the default screen of the X display named by DISPLAY, across its
// width, when its resources set no Xft.dpi; nullopt when they set it, when no display can be
// reached or when it reports no size.
std::optional<int> ScreenResolutionWithoutXftDpi();

} // namespace platform
