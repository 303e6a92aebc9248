#include "ui/scale.h"

#include <SDL.h>
#include <X11/Xlib.h>
#include <X11/Xresource.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <type_traits>

namespace ui {
namespace {

constexpr int kMostScale = 8;

// Figures outside this range are a server's guess gone wrong, not a screen.
bool PlausibleDpi(double dpi) {
    return std::isfinite(dpi) && dpi >= 24.0 && dpi <= 2400.0;
}

struct DisplayCloser {
    void operator()(Display* d) const { XCloseDisplay(d); }
};
using DisplayPtr = std::unique_ptr<Display, DisplayCloser>;

struct DatabaseCloser {
    void operator()(XrmDatabase db) const { XrmDestroyDatabase(db); }
};
using DatabasePtr = std::unique_ptr<std::remove_pointer_t<XrmDatabase>, DatabaseCloser>;

std::optional<double> XftDpi(Display* display) {
    const char* resources = XResourceManagerString(display);
    if (resources == nullptr)
        return std::nullopt;
    XrmInitialize();
    const DatabasePtr db(XrmGetStringDatabase(resources));
    if (!db)
        return std::nullopt;
    char* type = nullptr;
    XrmValue value{};
    if (!XrmGetResource(db.get(), "Xft.dpi", "Xft.Dpi", &type, &value) || value.addr == nullptr)
        return std::nullopt;
    // The value is not promised to end in a NUL of its own.
    const std::string text(value.addr, strnlen(value.addr, value.size));
    return ParseDpi(text.c_str());
}

std::optional<double> ScreenDpi(Display* display) {
    const int screen = DefaultScreen(display);
    if (auto dpi =
            DpiFromMillimetres(DisplayWidth(display, screen), DisplayWidthMM(display, screen)))
        return dpi;
    return DpiFromMillimetres(DisplayHeight(display, screen), DisplayHeightMM(display, screen));
}

} // namespace

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

int ScaleForDpi(double dpi) {
    if (!std::isfinite(dpi) || dpi < 1.5 * kBaseDpi)
        return 1;
    const double nearest = std::floor(dpi / kBaseDpi + 0.5);
    return static_cast<int>(std::clamp(nearest, 2.0, static_cast<double>(kMostScale)));
}

int FitScale(int wanted, int width, int height, int usableWidth, int usableHeight) {
    if (wanted <= 1)
        return 1;
    if (usableWidth <= 0 || usableHeight <= 0)
        return wanted;
    for (int scale = wanted; scale > 1; --scale)
        if (static_cast<long>(width) * scale <= usableWidth &&
            static_cast<long>(height) * scale <= usableHeight)
            return scale;
    return 1;
}

std::optional<int> ParseScaleOverride(const char* text) {
    if (text == nullptr)
        return std::nullopt;
    char* end = nullptr;
    const long scale = std::strtol(text, &end, 10);
    if (end == text || *end != '\0' || scale < 1 || scale > kMostScale)
        return std::nullopt;
    return static_cast<int>(scale);
}

DisplayDensity ReadDisplayDensity() {
    DisplayDensity density;
    const char* driver = SDL_GetCurrentVideoDriver();
    if (driver != nullptr && std::strcmp(driver, "x11") == 0) {
        // SDL opens the display DISPLAY names; a second, short connection to
        // it reads what SDL 2.26 does not pass on.
        if (const DisplayPtr display{XOpenDisplay(nullptr)}) {
            if (auto dpi = XftDpi(display.get()))
                return {*dpi, "Xft.dpi"};
            if (auto dpi = ScreenDpi(display.get()))
                return {*dpi, "X screen"};
        }
    }
    float ddpi = 0, hdpi = 0, vdpi = 0;
    if (SDL_GetNumVideoDisplays() > 0 && SDL_GetDisplayDPI(0, &ddpi, &hdpi, &vdpi) == 0 &&
        PlausibleDpi(hdpi))
        return {hdpi, "SDL"};
    density.source = "none";
    return density;
}

int ScaleChoice::For(int width, int height) const {
    if (named || wanted <= 1)
        return std::max(1, wanted);
    SDL_Rect usable{};
    if (SDL_GetDisplayUsableBounds(0, &usable) != 0)
        return wanted;
    return FitScale(wanted, width, height, usable.w, usable.h);
}

ScaleChoice ChooseScale(int named) {
    // Pictures grow by whole pixels: blocks, never blur.
    SDL_SetHint(SDL_HINT_RENDER_SCALE_QUALITY, "nearest");
    ScaleChoice choice;
    if (named > 0)
        return {std::min(named, kMostScale), true};
    if (const char* text = SDL_getenv("PEGDROP_SCALE"); text != nullptr && *text != '\0') {
        if (const auto scale = ParseScaleOverride(text)) {
            choice.wanted = *scale;
            choice.named = true;
            return choice;
        }
        std::fprintf(stderr, "PEGDROP_SCALE=%s is not a scale from 1 to %d: ignored\n", text,
                     kMostScale);
    }
    choice.wanted = ScaleForDpi(ReadDisplayDensity().dpi);
    return choice;
}

} // namespace ui
