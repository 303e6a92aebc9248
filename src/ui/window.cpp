// The form: its controls and timers, the keyboard focus among them, the
// default and cancel buttons, access keys and what a controller's buttons do.
#include "ui/window.h"

#include "ui/application.h"

#include <algorithm>

namespace ui {

void Window::Load() {
    Application::HandlerScope scope;
    Form_Load();
}

void Window::Form_MouseDown(std::int16_t, std::int16_t, float, float) {}
void Window::Form_MouseMove(std::int16_t, std::int16_t, float, float) {}
void Window::Form_MouseUp(std::int16_t, std::int16_t, float, float) {}

void Window::RemoveControl(Control* control) {
    controls_.erase(std::remove(controls_.begin(), controls_.end(), control), controls_.end());
    if (focused_ == control)
        focused_ = nullptr;
    if (focusPending_ == control)
        focusPending_ = nullptr;
    if (defaultButton_ == control)
        defaultButton_ = nullptr;
    if (cancelButton_ == control)
        cancelButton_ = nullptr;
    if (pressedOn_ == control)
        pressedOn_ = nullptr;
}

void Window::RemoveTimer(Timer* timer) {
    timers_.erase(std::remove(timers_.begin(), timers_.end(), timer), timers_.end());
}

bool Window::SetFocus(Control* control) {
    if (control != nullptr && !control->Focusable())
        return false;
    if (focused_ == control)
        return true;
    // A control whose got-focus has not been raised yet never had the focus,
    // so it does not lose it either.
    Control* displaced = focused_;
    Control* previous = focused_ == focusPending_ ? nullptr : focused_;
    focused_ = control;
    focusPending_ = control;
    const std::uint64_t move = ++focusMoves_;
    if (displaced != nullptr)
        displaced->FocusChanged();
    if (control != nullptr)
        control->FocusChanged();
    if (defaultButton_ != nullptr)
        defaultButton_->FocusChanged();
    if (previous != nullptr && previous->LostFocus)
        previous->LostFocus(control);
    // The lost-focus handler sent the focus elsewhere: that move raised its
    // own got-focus, and this one did not hold.
    if (focusMoves_ != move)
        return false;
    focusPending_ = nullptr;
    if (control != nullptr && control->GotFocus)
        control->GotFocus();
    return focused_ == control;
}

bool Window::HasFocusableControl() const {
    return std::any_of(controls_.begin(), controls_.end(),
                       [](const Control* c) { return c->Focusable(); });
}

void Window::ControlUnavailable(Control* control) {
    if (control == pressedOn_) {
        control->ShowPressed(false);
        pressedOn_ = nullptr;
    }
    if (control != focused_)
        return;
    FocusNext(false);
    if (focused_ == control)
        SetFocus(nullptr);
}

void Window::FocusNext(bool backwards) {
    std::vector<Control*> order;
    for (Control* c : controls_)
        if (c->Focusable() || c == focused_)
            order.push_back(c);
    if (order.empty())
        return;
    std::stable_sort(order.begin(), order.end(),
                     [](const Control* a, const Control* b) { return a->tabIndex < b->tabIndex; });
    const auto it = std::find(order.begin(), order.end(), focused_);
    const std::size_t n = order.size();
    std::size_t at =
        it != order.end() ? static_cast<std::size_t>(it - order.begin()) : (backwards ? 0 : n - 1);
    for (std::size_t tries = 0; tries < n; ++tries) {
        at = backwards ? (at + n - 1) % n : (at + 1) % n;
        if (order[at]->Focusable()) {
            SetFocus(order[at]);
            return;
        }
    }
}

// The topmost control that takes the pointer: one with a click handler or
// one that can hold the focus. A disabled one still covers what lies below.
Control* Window::ControlAt(float x, float y) const {
    for (auto it = controls_.rbegin(); it != controls_.rend(); ++it)
        if ((*it)->Visible() && ((*it)->Click || (*it)->CanFocus()) &&
            (*it)->Bounds().Contains(x, y))
            return *it;
    return nullptr;
}

Control* Window::AccessControl(char letter) const {
    for (Control* c : controls_)
        if (c->AccessKey() == letter && c->Visible())
            return c;
    return nullptr;
}

void Window::DeliverKey(std::uint32_t key, bool chord) {
    Control* focused = focused_ != nullptr && focused_->Focusable() ? focused_ : nullptr;
    if (key == 13 && !(focused != nullptr && focused->TakesEnter()) && defaultButton_ != nullptr &&
        defaultButton_->Enabled() && defaultButton_->Visible()) {
        defaultButton_->Press();
        return;
    }
    if (key == 27 && cancelButton_ != nullptr && cancelButton_->Enabled() &&
        cancelButton_->Visible()) {
        cancelButton_->Press();
        return;
    }
    if (focused != nullptr && focused->KeyChar(key))
        return;
    // A control's editing keys come with Ctrl, but to the window a chord is
    // no character (Ctrl with a letter is, and comes as no chord). A
    // character past what the code holds comes as "?", as one outside the
    // code page did on the system the windows come from.
    if (!chord) {
        auto code = static_cast<std::int16_t>(key <= 0x7FFF ? key : '?');
        Form_KeyPress(code);
    }
}

void Window::PadButton(Uint8 button) {
    if (!loaded_)
        return;
    const auto usable = [](const Control* c) {
        return c != nullptr && c->Enabled() && c->Visible();
    };
    const bool dpad =
        button >= SDL_CONTROLLER_BUTTON_DPAD_UP && button <= SDL_CONTROLLER_BUTTON_DPAD_RIGHT;
    if (button == SDL_CONTROLLER_BUTTON_A && focused_ != nullptr && focused_->Focusable() &&
        focused_->TakesEnter())
        focused_->Press();
    else if (button == SDL_CONTROLLER_BUTTON_A && usable(defaultButton_))
        defaultButton_->Press();
    else if (button == SDL_CONTROLLER_BUTTON_B && usable(cancelButton_))
        cancelButton_->Press();
    else if (dpad && HasFocusableControl())
        FocusNext(button == SDL_CONTROLLER_BUTTON_DPAD_LEFT ||
                  button == SDL_CONTROLLER_BUTTON_DPAD_UP);
    else
        Form_PadButton(button);
}

} // namespace ui
