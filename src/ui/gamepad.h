// Game controllers: opened as they are plugged in, closed as they go, their
// buttons told to the window with the keys and their left stick read as a
// push from -1 (all the way left) to 1.
#pragma once

#include "ui/sdl_ptrs.h"

#include <cstdint>
#include <optional>
#include <utility>
#include <vector>

namespace ui {

// The stick's push from an axis reading: nothing inside the dead zone, where
// a stick at rest wanders, then growing evenly to 1 at either end.
float StickPush(Sint16 axis);

class Gamepads {
public:
    Gamepads();
    ~Gamepads();
    Gamepads(const Gamepads&) = delete;
    Gamepads& operator=(const Gamepads&) = delete;

    // Takes a controller's arrival, departure or stick motion; false for any
    // other event, buttons included.
    bool Track(const SDL_Event& event);
    // Reads the controllers, and notices any plugged in or out: their
    // events join SDL's queue.
    void Update();
    bool AnyOpen() const { return !pads_.empty(); }
    // The left stick's push, as the controller that last moved it left it.
    float StickX() const { return stickX_; }

    // A held d-pad direction repeats as a held key does: first after this
    // long, then at this interval.
    static constexpr std::uint64_t kRepeatDelayUs = 400'000;
    static constexpr std::uint64_t kRepeatIntervalUs = 50'000;

private:
    bool started_ = false;
    std::vector<std::pair<SDL_JoystickID, GameControllerPtr>> pads_;
    std::optional<SDL_JoystickID> stickOwner_;
    float stickX_ = 0;
};

} // namespace ui
