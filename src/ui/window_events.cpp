// SDL's input events turned into the window's and its controls' handler
// calls, with the pointer held by the control pressed.
#include "ui/window.h"

#include "text/utf8.h"
#include "ui/application.h"

#include <cctype>
#include <string_view>

namespace ui {
namespace {

std::int16_t ButtonBit(Uint8 sdlButton) {
    switch (sdlButton) {
    case SDL_BUTTON_LEFT:
        return kLeftButton;
    case SDL_BUTTON_RIGHT:
        return kRightButton;
    case SDL_BUTTON_MIDDLE:
        return kMiddleButton;
    default:
        return 0;
    }
}

std::int16_t ButtonsHeld(Uint32 state) {
    std::int16_t held = 0;
    if (state & SDL_BUTTON_LMASK)
        held |= kLeftButton;
    if (state & SDL_BUTTON_RMASK)
        held |= kRightButton;
    if (state & SDL_BUTTON_MMASK)
        held |= kMiddleButton;
    return held;
}

std::int16_t ShiftState(Uint16 mod) {
    std::int16_t shift = 0;
    if (mod & KMOD_SHIFT)
        shift |= kShiftMask;
    if (mod & KMOD_CTRL)
        shift |= kCtrlMask;
    if (mod & KMOD_ALT)
        shift |= kAltMask;
    return shift;
}

// A key that produces a character without text input.
std::int16_t KeyCode(const SDL_Keysym& key) {
    switch (key.sym) {
    case SDLK_RETURN:
    case SDLK_KP_ENTER:
        return 13;
    case SDLK_BACKSPACE:
        return 8;
    case SDLK_ESCAPE:
        return 27;
    default:
        break;
    }
    if ((key.mod & KMOD_CTRL) && !(key.mod & KMOD_ALT) && key.sym >= SDLK_a && key.sym <= SDLK_z)
        return static_cast<std::int16_t>(key.sym - SDLK_a + 1);
    return 0;
}

// Whether text that came with a key is typing. With Ctrl or Alt held a key
// is a command, whatever text the system sends with it. AltGr, which X
// reports as Right Alt and Windows as Ctrl+Alt, still types what it types:
// a character other than the key's own (Right Alt+T on a plain layout is
// Alt+T).
bool TypedText(const SDL_Keysym& key, std::u32string_view text) {
    const Uint16 mod = key.mod;
    const bool ctrl = (mod & KMOD_CTRL) != 0;
    const bool alt = (mod & KMOD_ALT) != 0;
    if (!ctrl && !alt)
        return true;
    const bool altGr = (mod & KMOD_MODE) != 0 || (ctrl && alt) ||
                       ((mod & KMOD_RALT) != 0 && (mod & KMOD_LALT) == 0 && !ctrl);
    if (!altGr)
        return false;
    const bool ownCharacter =
        text.size() == 1 && text[0] < 128 &&
        static_cast<SDL_Keycode>(std::tolower(static_cast<int>(text[0]))) == key.sym;
    return !ownCharacter;
}

std::int16_t ArrowKeyCode(SDL_Keycode sym) {
    switch (sym) {
    case SDLK_LEFT:
        return kKeyLeft;
    case SDLK_UP:
        return kKeyUp;
    case SDLK_RIGHT:
        return kKeyRight;
    case SDLK_DOWN:
        return kKeyDown;
    default:
        return 0;
    }
}

} // namespace

void Window::ForgetButton(Uint8 sdlButton) {
    buttonsHeld_ = static_cast<std::int16_t>(buttonsHeld_ & ~ButtonBit(sdlButton));
    if (buttonsHeld_ == 0)
        SDL_CaptureMouse(SDL_FALSE);
    if (sdlButton == SDL_BUTTON_LEFT) {
        if (pressedOn_ != nullptr)
            pressedOn_->ShowPressed(false);
        pressedOn_ = nullptr;
        pressedOnWindow_ = false;
    }
}

void Window::MouseDown(const SDL_MouseButtonEvent& e) {
    const std::int16_t bit = ButtonBit(e.button);
    if (bit == 0)
        return;
    const float x = FromScreenX(e.x);
    const float y = FromScreenY(e.y);
    // Moves outside the window keep coming while a button is held. SDL
    // captures for the window that holds the keys: a press that has just
    // sent them here, before the system says so, leaves it to the system's
    // own hold on a pressed window.
    if (buttonsHeld_ == 0 && window_ && SDL_GetKeyboardFocus() == window_.get())
        SDL_CaptureMouse(SDL_TRUE);
    buttonsHeld_ |= bit;
    Control* hit = ControlAt(x, y);
    if (bit == kLeftButton) {
        pressedOnWindow_ = hit == nullptr;
        pressedOn_ = hit != nullptr && hit->Enabled() ? hit : nullptr;
        if (pressedOn_ != nullptr && hit->CanFocus()) {
            // The press moves the focus first; a lost-focus handler that keeps
            // it elsewhere ends the click (and may have run a dialog meanwhile).
            if (!SetFocus(hit) && pressedOn_ == hit)
                pressedOn_ = nullptr;
        }
        if (pressedOn_ != nullptr && loaded_) {
            pressedOn_->MousePress(x, y);
            pressedOn_->ShowPressed(true);
        }
    }
    if (hit == nullptr && loaded_)
        Form_MouseDown(bit, ShiftState(SDL_GetModState()), x, y);
}

void Window::MouseUp(const SDL_MouseButtonEvent& e) {
    const std::int16_t bit = ButtonBit(e.button);
    if (bit == 0)
        return;
    const float x = FromScreenX(e.x);
    const float y = FromScreenY(e.y);
    buttonsHeld_ = static_cast<std::int16_t>(buttonsHeld_ & ~bit);
    if (buttonsHeld_ == 0)
        SDL_CaptureMouse(SDL_FALSE);
    if (bit != kLeftButton) {
        if (ControlAt(x, y) == nullptr)
            Form_MouseUp(bit, ShiftState(SDL_GetModState()), x, y);
        return;
    }
    Control* target = pressedOn_;
    const bool onWindow = pressedOnWindow_;
    // Forgotten before any handler runs, so that a press made inside a yield
    // of the click handler starts a click of its own.
    pressedOn_ = nullptr;
    pressedOnWindow_ = false;
    if (target != nullptr) {
        target->ShowPressed(false);
        if (target->Bounds().Contains(x, y) && target->Enabled() &&
            (!target->CanFocus() || focused_ == target) && target->Click)
            target->Click();
        return;
    }
    // A release that no control holds is the window's, wherever it was pressed.
    const bool overControl = ControlAt(x, y) != nullptr;
    if (onWindow || !overControl)
        Form_MouseUp(bit, ShiftState(SDL_GetModState()), x, y);
    const bool inside = x >= 0 && y >= 0 && x < width_ && y < height_;
    if (onWindow && loaded_ && inside && ControlAt(x, y) == nullptr)
        Form_Click();
}

void Window::KeyDown(const SDL_Keysym& key) {
    swallowText_ = false;
    textKey_ = key;
    if (focused_ != nullptr && focused_->Focusable() && focused_->KeyDown(key))
        return;
    const bool alt = (key.mod & KMOD_ALT) != 0 && (key.mod & KMOD_CTRL) == 0;
    if (alt &&
        ((key.sym >= SDLK_a && key.sym <= SDLK_z) || (key.sym >= SDLK_0 && key.sym <= SDLK_9))) {
        if (Control* c = AccessControl(static_cast<char>(key.sym))) {
            swallowText_ = true;
            if (!c->Enabled())
                return;
            if (c->CanFocus() && !SetFocus(c))
                return;
            if (loaded_)
                c->Press();
            return;
        }
    }
    if (std::int16_t arrow = ArrowKeyCode(key.sym)) {
        if (loaded_)
            Form_KeyDown(arrow, ShiftState(key.mod));
        return;
    }
    const bool chord = (key.mod & (KMOD_CTRL | KMOD_ALT)) != 0;
    if (key.sym == SDLK_TAB && HasFocusableControl())
        FocusNext((key.mod & KMOD_SHIFT) != 0);
    else if (key.sym == SDLK_TAB)
        DeliverKey(9, chord);
    else if (const std::int16_t code = KeyCode(key))
        DeliverKey(static_cast<std::uint32_t>(code),
                   chord && !(key.sym >= SDLK_a && key.sym <= SDLK_z));
}

void Window::HandleInput(const SDL_Event& e) {
    switch (e.type) {
    case SDL_MOUSEMOTION: {
        const float x = FromScreenX(e.motion.x);
        const float y = FromScreenY(e.motion.y);
        if (pressedOn_ != nullptr)
            pressedOn_->ShowPressed(pressedOn_->Bounds().Contains(x, y));
        else
            Form_MouseMove(ButtonsHeld(e.motion.state), ShiftState(SDL_GetModState()), x, y);
        break;
    }
    case SDL_MOUSEBUTTONDOWN:
        MouseDown(e.button);
        break;
    case SDL_MOUSEBUTTONUP:
        MouseUp(e.button);
        break;
    case SDL_KEYDOWN:
        KeyDown(e.key.keysym);
        break;
    case SDL_KEYUP:
        textKey_ = {};
        break;
    case SDL_TEXTINPUT: {
        // The text of the key still held; text without one (an input
        // method's) goes by the modifiers held now.
        SDL_Keysym key = textKey_;
        if (key.sym == SDLK_UNKNOWN)
            key.mod = static_cast<Uint16>(SDL_GetModState());
        const std::u32string text = text::DecodeUtf8(e.text.text);
        if (swallowText_ || !TypedText(key, text)) {
            swallowText_ = false;
            break;
        }
        for (const char32_t c : text) {
            if (c >= 32 && c != 127 && loaded_)
                DeliverKey(c);
        }
        break;
    }
    default:
        break;
    }
}

} // namespace ui
