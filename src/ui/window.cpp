#include "ui/window.h"

#include "ui/application.h"

#include <algorithm>

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

// Code points of UTF-8 text, for the 8-bit character codes handlers take.
std::vector<std::uint32_t> Decode(const char* text) {
    std::vector<std::uint32_t> out;
    const auto* p = reinterpret_cast<const unsigned char*>(text);
    while (*p != 0) {
        std::uint32_t c = *p;
        int extra = c >= 0xF0 ? 3 : c >= 0xE0 ? 2 : c >= 0xC0 ? 1 : 0;
        if (extra > 0)
            c &= 0x3Fu >> extra;
        ++p;
        for (; extra > 0 && (*p & 0xC0) == 0x80; --extra, ++p)
            c = c << 6 | (*p & 0x3Fu);
        out.push_back(c);
    }
    return out;
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

} // namespace

Window::Window(std::string caption, int clientWidth, int clientHeight)
    : caption_(std::move(caption)), width_(clientWidth), height_(clientHeight) {
    window_.reset(SDL_CreateWindow(caption_.c_str(), SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED,
                                   width_, height_, SDL_WINDOW_HIDDEN));
    if (window_)
        nativeId_ = SDL_GetWindowID(window_.get());
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
    }
    Invalidate();
}

void Window::Unload() {
    if (!loaded_)
        return;
    loaded_ = false;
    shown_ = false;
    ReleaseNative();
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
    // The one place where the logical size is set: integer scaling on dense
    // screens changes only this (and scales the damaged areas with it).
    SDL_RenderSetLogicalSize(renderer_.get(), width_, height_);
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
void Window::Form_CloseBox() {
    App().EndProgram();
}

void Window::RemoveControl(Control* control) {
    controls_.erase(std::remove(controls_.begin(), controls_.end(), control), controls_.end());
    if (focused_ == control)
        focused_ = nullptr;
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
    if (focused_ == control)
        return true;
    if (focused_ != nullptr && !focused_->AllowLeave())
        return false;
    Control* previous = focused_;
    focused_ = control;
    if (previous != nullptr)
        previous->LostFocus();
    if (focused_ != nullptr)
        focused_->GotFocus();
    Invalidate();
    return true;
}

bool Window::HasFocusableControl() const {
    return std::any_of(controls_.begin(), controls_.end(), [](const Control* c) {
        return c->CanFocus() && c->Visible() && c->Enabled();
    });
}

void Window::ForgetButton(Uint8 sdlButton) {
    buttonsHeld_ = static_cast<std::int16_t>(buttonsHeld_ & ~ButtonBit(sdlButton));
    if (buttonsHeld_ == 0)
        SDL_CaptureMouse(SDL_FALSE);
    pressedOn_ = nullptr;
    pressedOnWindow_ = false;
}

void Window::FocusNext(bool backwards) {
    std::vector<Control*> order;
    for (Control* c : controls_)
        if (c->CanFocus() && c->Visible() && c->Enabled())
            order.push_back(c);
    if (order.empty())
        return;
    std::stable_sort(order.begin(), order.end(),
                     [](const Control* a, const Control* b) { return a->tabIndex < b->tabIndex; });
    auto it = std::find(order.begin(), order.end(), focused_);
    std::size_t index = 0;
    if (it != order.end()) {
        const std::size_t at = static_cast<std::size_t>(it - order.begin());
        index = backwards ? (at + order.size() - 1) % order.size() : (at + 1) % order.size();
    }
    SetFocus(order[index]);
}

Control* Window::ControlAt(float x, float y) const {
    for (auto it = controls_.rbegin(); it != controls_.rend(); ++it)
        if ((*it)->Visible() && (*it)->Click && (*it)->Bounds().Contains(x, y))
            return *it;
    return nullptr;
}

void Window::DeliverKey(std::int16_t key) {
    if (key == 13 && defaultButton_ != nullptr && defaultButton_->Enabled() &&
        !(focused_ != nullptr && focused_->TakesEnter())) {
        defaultButton_->Press();
        return;
    }
    if (key == 27 && cancelButton_ != nullptr && cancelButton_->Enabled()) {
        cancelButton_->Press();
        return;
    }
    if (focused_ != nullptr && focused_->KeyPress(key))
        return;
    Form_KeyPress(key);
}

void Window::HandleInput(const SDL_Event& e) {
    switch (e.type) {
    case SDL_MOUSEMOTION:
        Form_MouseMove(ButtonsHeld(e.motion.state), ShiftState(SDL_GetModState()),
                       static_cast<float>(e.motion.x), static_cast<float>(e.motion.y));
        break;
    case SDL_MOUSEBUTTONDOWN: {
        const std::int16_t bit = ButtonBit(e.button.button);
        if (bit == 0)
            break;
        const float x = static_cast<float>(e.button.x);
        const float y = static_cast<float>(e.button.y);
        // Moves outside the window keep coming while a button is held.
        if (buttonsHeld_ == 0)
            SDL_CaptureMouse(SDL_TRUE);
        buttonsHeld_ |= bit;
        if (bit == kLeftButton) {
            pressedOn_ = ControlAt(x, y);
            pressedOnWindow_ = pressedOn_ == nullptr;
        }
        Form_MouseDown(bit, ShiftState(SDL_GetModState()), x, y);
        break;
    }
    case SDL_MOUSEBUTTONUP: {
        const std::int16_t bit = ButtonBit(e.button.button);
        if (bit == 0)
            break;
        const float x = static_cast<float>(e.button.x);
        const float y = static_cast<float>(e.button.y);
        buttonsHeld_ = static_cast<std::int16_t>(buttonsHeld_ & ~bit);
        if (buttonsHeld_ == 0)
            SDL_CaptureMouse(SDL_FALSE);
        Form_MouseUp(bit, ShiftState(SDL_GetModState()), x, y);
        if (bit != kLeftButton || !loaded_)
            break;
        Control* target = ControlAt(x, y);
        const bool inside = x >= 0 && y >= 0 && x < width_ && y < height_;
        if (target != nullptr && target == pressedOn_)
            target->Click();
        else if (target == nullptr && pressedOnWindow_ && inside)
            Form_Click();
        pressedOn_ = nullptr;
        pressedOnWindow_ = false;
        break;
    }
    case SDL_KEYDOWN:
        if (e.key.keysym.sym == SDLK_TAB && HasFocusableControl()) {
            FocusNext((e.key.keysym.mod & KMOD_SHIFT) != 0);
        } else if (e.key.keysym.sym == SDLK_TAB) {
            DeliverKey(9);
        } else if (const std::int16_t code = KeyCode(e.key.keysym)) {
            DeliverKey(code);
        }
        break;
    case SDL_TEXTINPUT: {
        const Uint16 mod = SDL_GetModState();
        if ((mod & KMOD_CTRL) && !(mod & KMOD_ALT))
            break;
        for (std::uint32_t c : Decode(e.text.text)) {
            if (c >= 32 && c < 256 && loaded_)
                DeliverKey(static_cast<std::int16_t>(c));
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
    SDL_SetRenderDrawColor(r, backColor_.r, backColor_.g, backColor_.b, 255);
    if (area == nullptr)
        SDL_RenderClear(r);
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
        for (const SDL_Rect& d : damaged_)
            Render(&d);
        SDL_RenderPresent(renderer_.get());
        SDL_UpdateWindowSurfaceRects(window_.get(), damaged_.data(),
                                     static_cast<int>(damaged_.size()));
    }
    damaged_.clear();
    dirty_ = fullRepaint_ = false;
}

std::vector<std::uint32_t> Window::ReadPixels() {
    std::vector<std::uint32_t> pixels(static_cast<std::size_t>(width_ * height_));
    if (!EnsureRenderer())
        return pixels;
    Render(nullptr);
    SDL_RenderReadPixels(renderer_.get(), nullptr, SDL_PIXELFORMAT_ARGB8888, pixels.data(),
                         width_ * 4);
    SDL_RenderPresent(renderer_.get());
    if (surface_ != nullptr)
        SDL_UpdateWindowSurface(window_.get());
    damaged_.clear();
    dirty_ = fullRepaint_ = false;
    return pixels;
}

} // namespace ui
