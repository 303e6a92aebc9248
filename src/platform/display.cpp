#include "platform/display.h"

#include <SDL.h>

#include <cmath>
#include <cstdlib>

namespace platform {

std::string NoWindowReason(const VideoStart& start) {
    if (!start.asked.empty() || (start.driver != "offscreen" && start.driver != "dummy"))
        return {};
    if (start.display.empty() && start.wayland.empty())
        return "no display to show it on (DISPLAY is not set)";
    if (!start.display.empty() && !start.xReachable)
        return "cannot connect to the X display \"" + start.display + "\"";
    return "no video driver could open the display (SDL fell back to \"" + start.driver + "\")";
}

bool PlausibleDpi(double dpi) {
    return std::isfinite(dpi) && dpi >= 24.0 && dpi <= 2400.0;
}

std::optional<double> ParseDpi(const char* text) {
    if (text == nullptr)
        return std::nullopt;
    char* end = nullptr;
    const double dpi = std::strtod(text, &end);
    if (end == text)
        return std::nullopt;
    while (*end == ' ' || *end == '\t' || *end == '\n' || *end == '\r')
        ++end;
    if (*end != '\0' || !PlausibleDpi(dpi))
        return std::nullopt;
    return dpi;
}

std::optional<double> DpiFromMillimetres(int pixels, int millimetres) {
    if (pixels <= 0 || millimetres <= 0)
        return std::nullopt;
    const double dpi = pixels * 25.4 / millimetres;
    if (!PlausibleDpi(dpi))
        return std::nullopt;
    return dpi;
}

DisplayDensity SdlDisplayDensity() {
    float ddpi = 0, hdpi = 0, vdpi = 0;
    if (SDL_GetNumVideoDisplays() > 0 && SDL_GetDisplayDPI(0, &ddpi, &hdpi, &vdpi) == 0 &&
        PlausibleDpi(hdpi))
        return {hdpi, "SDL"};
    return {kBaseDpi, "none"};
}

} // namespace platform
