// What the display the game shows on is: whether anyone can see it, and how
// dense its pixels are. The answers live in display_x11.cpp and
// display_windows.cpp.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace platform {

struct VideoStart {
    std::string driver;  // the driver SDL chose
    std::string asked;   // SDL_VIDEODRIVER, when the user set it
    std::string display; // DISPLAY
    std::string wayland; // WAYLAND_DISPLAY
    bool xReachable = false;
};

// Why no window of ours could be seen, or "" when one can. Without a display
// SDL falls back to a driver that draws into memory; a game started that way
// would run forever with nothing on screen. Asking for a driver by name is
// always honoured: that is how headless runs are made.
std::string NoWindowReason(const VideoStart& start);

// The same for this process, once SDL's video is started.
std::string NoWindowReasonHere();

// SDL's event wait wakes itself by sending a message to one of our windows
// over a second connection; when that window has just been destroyed the
// server answers BadWindow, and Xlib's default handler would exit. Only that
// error is ignored; every other one goes to the handler that was there.
// Call it before SDL's video starts: SDL puts back the handler it found before
// it closes that connection at the program's end, where such an answer is
// often read, so it must find this one. Harmless when X11 is not used.
void IgnoreStaleWakeUps();

// A browser clears its canvas whenever its window is resized, to the same
// size too, and SDL tells only of a new size: the window `windowId` is then
// sent SDL_WINDOWEVENT_EXPOSED, so that it is drawn again. Call it after the
// window is made. Elsewhere a window manager sends that itself.
void ExposeOnPageResize(std::uint32_t windowId);

// The density at which a window shows at its own size.
inline constexpr double kBaseDpi = 96.0;

// A density as the X resource database holds Xft.dpi ("192", " 144.5 "):
// a positive number with nothing after it, else nothing.
std::optional<double> ParseDpi(const char* text);
// A screen's density from its size in pixels and in millimetres; nothing when
// the millimetres are unknown (0) or absurd.
std::optional<double> DpiFromMillimetres(int pixels, int millimetres);
// Figures outside this range are a server's guess gone wrong, not a screen.
bool PlausibleDpi(double dpi);

// Where a density was found, and what it is.
struct DisplayDensity {
    double dpi = kBaseDpi;
    std::string source; // "Xft.dpi", "X screen", "SDL", or "none"
};
// The density of the display SDL's video runs on: on X11, Xft.dpi from the X
// resource database (what desktops set for scaling), then the X screen's size
// in millimetres, then SDL's own figure; on Windows SDL's figure; 96 dpi when
// none is known.
DisplayDensity ReadDisplayDensity();
// SDL's own figure for its first display, or 96 dpi ("none").
DisplayDensity SdlDisplayDensity();

} // namespace platform
