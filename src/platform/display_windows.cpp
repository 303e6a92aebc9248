#include "platform/display.h"

namespace platform {

// Windows always has a desktop to show a window on.
std::string NoWindowReasonHere() {
    return {};
}

// On Windows a wake-up posted to a window already destroyed only fails;
// nothing ends the program for it.
void ExposeOnPageResize(std::uint32_t) {}

void IgnoreStaleWakeUps() {}

// With per-monitor awareness (the manifest, SDL's hint) SDL reports the
// density the player chose in Windows' display settings: 96 at 100 %, 144 at
// 150 %.
DisplayDensity ReadDisplayDensity() {
    return SdlDisplayDensity();
}

} // namespace platform
