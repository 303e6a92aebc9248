#include "ui/x11_errors.h"

#include <SDL.h>
#include <X11/Xlib.h>
#include <X11/Xproto.h>

#include <cstring>

namespace ui {
namespace {

XErrorHandler previous = nullptr;

int OnXError(Display* display, XErrorEvent* error) {
    if (error->error_code == BadWindow && error->request_code == X_SendEvent)
        return 0;
    return previous != nullptr ? previous(display, error) : 0;
}

} // namespace

void IgnoreStaleWakeUps() {
    const char* driver = SDL_GetCurrentVideoDriver();
    if (driver == nullptr || std::strcmp(driver, "x11") != 0)
        return;
    static bool installed = false;
    if (installed)
        return;
    installed = true;
    previous = XSetErrorHandler(OnXError);
}

} // namespace ui
