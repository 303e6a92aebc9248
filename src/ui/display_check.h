// Whether the video driver SDL settled on can show a window to anyone.
#pragma once

#include <string>

namespace ui {

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

} // namespace ui
