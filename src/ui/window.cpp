#include "ui/window.h"

#include "text/utf8.h"
#include "ui/application.h"

#include <algorithm>
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

Window::Window(std::string caption, int clientWidth, int clientHeight)
    : caption_(std::move(caption)), width_(clientWidth), height_(clientHeight),
      scale_(App().ScaleFor(clientWidth, clientHeight)) {
    window_.reset(SDL_CreateWindow(caption_.c_str(), SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED,
                                   width_ * scale_, height_ * scale_, SDL_WINDOW_HIDDEN));
    if (window_)
        nativeId_ = SDL_GetWindowID(window_.get());
    else
        App().Fail("cannot open a window: " + std::string(SDL_GetError()));
}

Window::~Window() {
    ReleaseNative();
}

void Window::Load() {
    Application::HandlerScope scope;
    Form_Load();
}

void Window::Show() {
    if (!loaded_ || shown_)
        return;
    shown_ = true;
    if (window_) {
        SDL_ShowWindow(window_.get());
        SDL_RaiseWindow(window_.get());
        shownAt_ = App().Showing(*this);
    }
    Invalidate();
    // A window opens with the focus on the first control of its tab order.
    if (focused_ == nullptr)
        FocusNext(false);
}

void Window::Unload() {
    if (!loaded_)
        return;
    const bool hadKeys = App().KeyWindow() == this;
    loaded_ = false;
    shown_ = false;
    ReleaseNative();
    // The keys go on to a window that is still there: a dialog gives them
    // back to its owner, as a desktop does.
    if (hadKeys)
        App().PassKeysOn(ownerId_);
}

void Window::SetScale(int scale) {
    if (fullScreen_) {
        windowScale_ = std::max(1, scale);
        return;
    }
    if (scale < 1 || scale == scale_ || !window_)
        return;
    int x = 0, y = 0, w = 0, h = 0;
    SDL_GetWindowPosition(window_.get(), &x, &y);
    SDL_GetWindowSize(window_.get(), &w, &h);
    scale_ = scale;
    const int newWidth = width_ * scale_, newHeight = height_ * scale_;
    SDL_SetWindowSize(window_.get(), newWidth, newHeight);
    SDL_SetWindowPosition(window_.get(), x + (w - newWidth) / 2, y + (h - newHeight) / 2);
    RemakeGraphics();
}

// Text is laid out again at the new scale, as on a dense screen.
void Window::RemakeGraphics() {
    for (Control* c : controls_)
        c->ReleaseGraphics();
    backgroundTexture_.reset();
    renderer_.reset();
    surface_ = nullptr;
    surfaceFailed_ = false;
    Invalidate();
}

void Window::SetFullScreen(bool on) {
    if (on == fullScreen_ || !window_)
        return;
    if (on) {
        SDL_Rect screen{};
        if (SDL_GetDisplayBounds(std::max(0, SDL_GetWindowDisplayIndex(window_.get())), &screen) !=
            0)
            return;
        SDL_GetWindowPosition(window_.get(), &windowX_, &windowY_);
        // The whole screen is a request to the window manager, and with none
        // nobody acts on it: the window first covers the screen itself, as
        // any system lets a window do.
        SDL_SetWindowPosition(window_.get(), screen.x, screen.y);
        SDL_SetWindowSize(window_.get(), screen.w, screen.h);
        if (SDL_SetWindowFullscreen(window_.get(), SDL_WINDOW_FULLSCREEN_DESKTOP) != 0) {
            SDL_SetWindowSize(window_.get(), width_ * scale_, height_ * scale_);
            SDL_SetWindowPosition(window_.get(), windowX_, windowY_);
            return;
        }
        windowScale_ = scale_;
        fullScreen_ = true;
        scale_ = FitScale(8, width_, height_, screen.w, screen.h);
        // Whole blocks from the corner, so that the picture lies on the
        // renderer's own grid and the pointer maps back exactly.
        offsetX_ = (screen.w - width_ * scale_) / 2 / scale_ * scale_;
        offsetY_ = (screen.h - height_ * scale_) / 2 / scale_ * scale_;
    } else {
        SDL_SetWindowFullscreen(window_.get(), 0);
        fullScreen_ = false;
        offsetX_ = offsetY_ = 0;
        scale_ = windowScale_;
        SDL_SetWindowSize(window_.get(), width_ * scale_, height_ * scale_);
        SDL_SetWindowPosition(window_.get(), windowX_, windowY_);
    }
    RemakeGraphics();
}

void Window::ReleaseNative() {
    for (Control* c : controls_)
        c->ReleaseGraphics();
    backgroundTexture_.reset();
    renderer_.reset();
    surface_ = nullptr;
    window_.reset();
}

// Drawing goes to the window's own surface, so that only the parts that
// changed are sent to the display: an idle board then costs next to nothing.
// Without a surface a renderer of SDL's choosing redraws everything.
bool Window::EnsureRenderer() {
    if (!window_)
        return false;
    if (renderer_ && (surfaceFailed_ || SDL_GetWindowSurface(window_.get()) == surface_))
        return true;
    for (Control* c : controls_)
        c->ReleaseGraphics();
    backgroundTexture_.reset();
    renderer_.reset();
    surface_ = surfaceFailed_ ? nullptr : SDL_GetWindowSurface(window_.get());
    if (surface_ != nullptr)
        renderer_.reset(SDL_CreateSoftwareRenderer(surface_));
    if (!renderer_) {
        surface_ = nullptr;
        surfaceFailed_ = true;
        renderer_.reset(SDL_CreateRenderer(window_.get(), -1, 0));
    }
    if (!renderer_)
        return false;
    // Everything is drawn in the window's own pixels; the renderer multiplies
    // them out. No logical size: SDL would then round the pointer to whole
    // logical pixels, and the pointer is mapped back here as a fraction.
    SDL_RenderSetScale(renderer_.get(), static_cast<float>(scale_), static_cast<float>(scale_));
    const SDL_Rect picture{offsetX_ / scale_, offsetY_ / scale_, width_, height_};
    SDL_RenderSetViewport(renderer_.get(), &picture);
    SDL_SetRenderDrawBlendMode(renderer_.get(), SDL_BLENDMODE_BLEND);
    fullRepaint_ = true;
    return true;
}

void Window::InvalidateRect(const Rect& area) {
    dirty_ = true;
    if (fullRepaint_)
        return;
    SDL_Rect r{area.left, area.top, area.width, area.height};
    const SDL_Rect client{0, 0, width_, height_};
    SDL_Rect clipped;
    if (!SDL_IntersectRect(&r, &client, &clipped))
        return;
    for (SDL_Rect& d : damaged_) {
        if (SDL_HasIntersection(&d, &clipped)) {
            SDL_UnionRect(&d, &clipped, &d);
            return;
        }
    }
    damaged_.push_back(clipped);
    if (damaged_.size() > 16)
        fullRepaint_ = true;
}

void Window::SetBackground(std::shared_ptr<const Bitmap> picture) {
    background_ = std::move(picture);
    backgroundTexture_.reset();
    Invalidate();
}

void Window::SetBackColor(Color color) {
    backColor_ = color;
    Invalidate();
}

void Window::SetIcon(std::shared_ptr<const Bitmap> icon) {
    icon_ = std::move(icon);
    if (!window_ || !icon_ || icon_->width <= 0)
        return;
    SurfacePtr surface(SDL_CreateRGBSurfaceWithFormatFrom(
        const_cast<std::uint32_t*>(icon_->pixels.data()), icon_->width, icon_->height, 32,
        icon_->width * 4, SDL_PIXELFORMAT_ARGB8888));
    if (surface)
        SDL_SetWindowIcon(window_.get(), surface.get());
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

void Window::CenterOver(const Window* owner) {
    if (!window_)
        return;
    int x = SDL_WINDOWPOS_CENTERED;
    int y = SDL_WINDOWPOS_CENTERED;
    ownerId_ = owner != nullptr ? owner->NativeId() : 0;
    if (owner != nullptr && owner->Native() != nullptr) {
        int ox = 0, oy = 0, ow = 0, oh = 0;
        SDL_GetWindowPosition(owner->Native(), &ox, &oy);
        SDL_GetWindowSize(owner->Native(), &ow, &oh);
        x = ox + (ow - width_ * scale_) / 2;
        y = oy + (oh - height_ * scale_) / 2;
        SDL_SetWindowModalFor(window_.get(), owner->Native());
    }
    SDL_SetWindowPosition(window_.get(), x, y);
}

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

void Window::Render(const SDL_Rect* area) {
    SDL_Renderer* r = renderer_.get();
    SDL_RenderSetClipRect(r, area);
    if (area == nullptr && fullScreen_) {
        SDL_SetRenderDrawColor(r, 0, 0, 0, 255);
        SDL_RenderClear(r); // the whole screen, around the picture
    }
    SDL_SetRenderDrawColor(r, backColor_.r, backColor_.g, backColor_.b, 255);
    if (area == nullptr && !fullScreen_)
        SDL_RenderClear(r);
    else if (area == nullptr)
        SDL_RenderFillRect(r, nullptr);
    else
        SDL_RenderFillRect(r, area);
    if (background_ && background_->width > 0) {
        if (!backgroundTexture_) {
            backgroundTexture_.reset(SDL_CreateTexture(r, SDL_PIXELFORMAT_ARGB8888,
                                                       SDL_TEXTUREACCESS_STATIC, background_->width,
                                                       background_->height));
            if (backgroundTexture_)
                SDL_UpdateTexture(backgroundTexture_.get(), nullptr, background_->pixels.data(),
                                  background_->width * 4);
        }
        const SDL_Rect where{0, 0, background_->width, background_->height};
        SDL_RenderCopy(r, backgroundTexture_.get(), nullptr, &where);
    }
    FontCache& fonts = App().Fonts();
    for (Control* c : controls_) {
        const SDL_Rect box{c->Left(), c->Top(), c->Width(), c->Height()};
        if (c->Visible() && (area == nullptr || SDL_HasIntersection(&box, area)))
            c->Draw(r, fonts);
    }
    SDL_RenderSetClipRect(r, nullptr);
}

void Window::Paint() {
    if (!IsShown() || !EnsureRenderer())
        return;
    if (fullRepaint_ || surface_ == nullptr) {
        Render(nullptr);
        SDL_RenderPresent(renderer_.get());
        if (surface_ != nullptr)
            SDL_UpdateWindowSurface(window_.get());
    } else {
        std::vector<SDL_Rect> onScreen;
        for (const SDL_Rect& d : damaged_) {
            Render(&d);
            onScreen.push_back(
                {offsetX_ + d.x * scale_, offsetY_ + d.y * scale_, d.w * scale_, d.h * scale_});
        }
        SDL_RenderPresent(renderer_.get());
        SDL_UpdateWindowSurfaceRects(window_.get(), onScreen.data(),
                                     static_cast<int>(onScreen.size()));
    }
    damaged_.clear();
    dirty_ = fullRepaint_ = false;
}

std::vector<std::uint32_t> Window::ReadPixels() {
    if (scale_ == 1)
        return ReadScreenPixels();
    const std::vector<std::uint32_t> screen = ReadScreenPixels();
    std::vector<std::uint32_t> pixels(static_cast<std::size_t>(width_ * height_));
    for (int y = 0; y < height_; ++y)
        for (int x = 0; x < width_; ++x)
            pixels[static_cast<std::size_t>(y * width_ + x)] =
                screen[static_cast<std::size_t>((y * width_ * scale_ + x) * scale_)];
    return pixels;
}

std::vector<std::uint32_t> Window::ReadScreenPixels() {
    const int w = width_ * scale_;
    std::vector<std::uint32_t> pixels(static_cast<std::size_t>(w * height_ * scale_));
    if (!EnsureRenderer())
        return pixels;
    Render(nullptr);
    SDL_RenderReadPixels(renderer_.get(), nullptr, SDL_PIXELFORMAT_ARGB8888, pixels.data(), w * 4);
    SDL_RenderPresent(renderer_.get());
    if (surface_ != nullptr)
        SDL_UpdateWindowSurface(window_.get());
    damaged_.clear();
    dirty_ = fullRepaint_ = false;
    return pixels;
}

} // namespace ui
