#include "platform/display.h"

#include <emscripten/html5.h>

namespace platform {

// The page is always seen on the canvas it was given.
std::string NoWindowReasonHere() {
    return {};
}

// The browser has no window server to answer a stale wake-up.
void IgnoreStaleWakeUps() {}

// The browser's CSS pixel is the 96 dpi pixel; devicePixelRatio says how many
// of the screen's pixels make one.
DisplayDensity ReadDisplayDensity() {
    const double dpi = emscripten_get_device_pixel_ratio() * kBaseDpi;
    if (PlausibleDpi(dpi))
        return {dpi, "devicePixelRatio"};
    return {kBaseDpi, "none"};
}

} // namespace platform
