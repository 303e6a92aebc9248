#include "platform/display.h"

#include <SDL.h>
#include <X11/Xlib.h>
#include <X11/Xproto.h>
#include <X11/Xresource.h>

#include <cstring>
#include <memory>
#include <type_traits>

namespace platform {
namespace {

bool VideoOnX11() {
    const char* driver = SDL_GetCurrentVideoDriver();
    return driver != nullptr && std::strcmp(driver, "x11") == 0;
}

XErrorHandler previous = nullptr;

int OnXError(Display* display, XErrorEvent* error) {
    if (error->error_code == BadWindow && error->request_code == X_SendEvent)
        return 0;
    return previous != nullptr ? previous(display, error) : 0;
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
        if (const DisplayPtr x{XOpenDisplay(start.display.c_str())})
            start.xReachable = true;
    }
    return NoWindowReason(start);
}

void ExposeOnPageResize(std::uint32_t) {}

void IgnoreStaleWakeUps() {
    static bool installed = false;
    if (installed)
        return;
    installed = true;
    previous = XSetErrorHandler(OnXError);
}

DisplayDensity ReadDisplayDensity() {
    if (VideoOnX11()) {
        // SDL opens the display DISPLAY names; a second, short connection to
        // it reads what SDL 2.26 does not pass on.
        if (const DisplayPtr display{XOpenDisplay(nullptr)}) {
            if (auto dpi = XftDpi(display.get()))
                return {*dpi, "Xft.dpi"};
            if (auto dpi = ScreenDpi(display.get()))
                return {*dpi, "X screen"};
        }
    }
    return SdlDisplayDensity();
}

} // namespace platform
