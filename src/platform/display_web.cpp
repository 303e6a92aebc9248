#include "platform/display.h"

#include <SDL.h>
#include <emscripten/html5.h>

namespace platform {

// The page is always seen on the canvas it was given.
std::string NoWindowReasonHere() {
    return {};
}

// The browser has no window server to answer a stale wake-up.
void IgnoreStaleWakeUps() {}

namespace {

// Runs after SDL's own resize handler, which set the canvas's size and so
// cleared it.
EM_BOOL SendExposed(int, const EmscriptenUiEvent*, void* data) {
    SDL_Event exposed{};
    exposed.type = SDL_WINDOWEVENT;
    exposed.window.event = SDL_WINDOWEVENT_EXPOSED;
    exposed.window.windowID = static_cast<Uint32>(reinterpret_cast<std::uintptr_t>(data));
    SDL_PushEvent(&exposed);
    return EM_FALSE;
}

} // namespace

void ExposeOnPageResize(std::uint32_t windowId) {
    emscripten_set_resize_callback(EMSCRIPTEN_EVENT_TARGET_WINDOW,
                                   reinterpret_cast<void*>(static_cast<std::uintptr_t>(windowId)),
                                   EM_FALSE, SendExposed);
}

// The browser's CSS pixel is the 96 dpi pixel; devicePixelRatio says how many
// of the screen's pixels make one.
DisplayDensity ReadDisplayDensity() {
    const double dpi = emscripten_get_device_pixel_ratio() * kBaseDpi;
    if (PlausibleDpi(dpi))
        return {dpi, "devicePixelRatio"};
    return {kBaseDpi, "none"};
}

} // namespace platform
