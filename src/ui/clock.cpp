#include "ui/clock.h"

#include <SDL.h>

namespace ui {

RealClock::RealClock()
    : frequency_(SDL_GetPerformanceFrequency()), origin_(SDL_GetPerformanceCounter()) {}

std::uint64_t RealClock::NowUs() {
    const std::uint64_t ticks = SDL_GetPerformanceCounter() - origin_;
    return ticks / frequency_ * 1000000u + ticks % frequency_ * 1000000u / frequency_;
}

void RealClock::SleepUntilUs(std::uint64_t when) {
    const std::uint64_t now = NowUs();
    if (when > now)
        SDL_Delay(static_cast<Uint32>((when - now + 999u) / 1000u));
}

} // namespace ui
