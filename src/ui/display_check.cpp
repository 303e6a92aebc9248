#include "ui/display_check.h"

#include <SDL.h>
#include <X11/Xlib.h>

namespace ui {

std::string NoWindowReason(const VideoStart& start) {
    if (!start.asked.empty() || (start.driver != "offscreen" && start.driver != "dummy"))
        return {};
    if (start.display.empty() && start.wayland.empty())
        return "no display to show it on (DISPLAY is not set)";
    if (!start.display.empty() && !start.xReachable)
        return "cannot connect to the X display \"" + start.display + "\"";
    return "no video driver could open the display (SDL fell back to \"" + start.driver + "\")";
}

std::string NoWindowReasonHere() {
    const auto env = [](const char* name) {
        const char* value = SDL_getenv(name);
        return std::string(value != nullptr ? value : "");
    };
    VideoStart start;
    const char* driver = SDL_GetCurrentVideoDriver();
    start.driver = driver != nullptr ? driver : "";
    start.asked = env("SDL_VIDEODRIVER");
    start.display = env("DISPLAY");
    start.wayland = env("WAYLAND_DISPLAY");
    if (NoWindowReason(start).empty())
        return {};
    if (!start.display.empty()) {
        if (Display* x = XOpenDisplay(start.display.c_str())) {
            start.xReachable = true;
            XCloseDisplay(x);
        }
    }
    return NoWindowReason(start);
}

} // namespace ui
