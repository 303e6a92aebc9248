#include "platform/clock.h"

#include <emscripten.h>

#include <cmath>

namespace platform {

std::uint64_t RealClock::NowUs() {
    return static_cast<std::uint64_t>(emscripten_get_now() * 1000.0);
}

void RealClock::SleepUntilUs(std::uint64_t when) {
    // Every wait hands the page back to the browser, which draws and takes
    // input meanwhile; it may wake late, never early, so the deadline is
    // checked again.
    for (std::uint64_t now = NowUs(); now < when; now = NowUs())
        emscripten_sleep(static_cast<unsigned>(std::ceil((when - now) / 1000.0)));
}

} // namespace platform
