#include "ui/gamepad.h"

#include <algorithm>
#include <cstdlib>

namespace ui {
namespace {

// About a quarter of the travel, the size most controllers' makers advise.
constexpr int kDeadZone = 8000;
constexpr int kFullPush = 32767;

} // namespace

float StickPush(Sint16 axis) {
    const int distance = std::min(std::abs(static_cast<int>(axis)), kFullPush);
    if (distance <= kDeadZone)
        return 0.0f;
    const float push = static_cast<float>(distance - kDeadZone) / (kFullPush - kDeadZone);
    return axis < 0 ? -push : push;
}

Gamepads::Gamepads() {
    // Left to itself, SDL would read an open controller by waking every
    // millisecond while the game waits; the loop reads them once a frame.
    SDL_SetHint(SDL_HINT_AUTO_UPDATE_JOYSTICKS, "0");
    // A system without controller support still plays with the keys and the mouse.
    started_ = SDL_InitSubSystem(SDL_INIT_GAMECONTROLLER) == 0;
}

void Gamepads::Update() {
    if (started_)
        SDL_GameControllerUpdate();
}

Gamepads::~Gamepads() {
    pads_.clear();
    if (started_)
        SDL_QuitSubSystem(SDL_INIT_GAMECONTROLLER);
    SDL_ResetHint(SDL_HINT_AUTO_UPDATE_JOYSTICKS);
}

bool Gamepads::Track(const SDL_Event& e) {
    switch (e.type) {
    case SDL_CONTROLLERDEVICEADDED:
        // SDL tells of the controllers present at the start as arrivals too.
        if (GameControllerPtr pad{SDL_GameControllerOpen(e.cdevice.which)}) {
            const SDL_JoystickID id =
                SDL_JoystickInstanceID(SDL_GameControllerGetJoystick(pad.get()));
            if (std::none_of(pads_.begin(), pads_.end(),
                             [id](const auto& p) { return p.first == id; }))
                pads_.emplace_back(id, std::move(pad));
        }
        return true;
    case SDL_CONTROLLERDEVICEREMOVED:
        std::erase_if(pads_, [&e](const auto& p) { return p.first == e.cdevice.which; });
        if (stickOwner_ == e.cdevice.which) {
            stickOwner_.reset();
            stickX_ = 0;
        }
        return true;
    case SDL_CONTROLLERAXISMOTION:
        if (e.caxis.axis == SDL_CONTROLLER_AXIS_LEFTX) {
            const float push = StickPush(e.caxis.value);
            // A stick at rest on one controller leaves another's push alone.
            if (push != 0.0f || stickOwner_ == e.caxis.which) {
                stickX_ = push;
                stickOwner_ = e.caxis.which;
            }
        }
        return true;
    default:
        return false;
    }
}

} // namespace ui
