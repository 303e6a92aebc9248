#include "ui/desktop.h"

#include "platform/display.h"
#include "ui/application.h"
#include "ui/draw3d.h"
#include "ui/scaled_text.h"
#include "ui/window.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace ui {
namespace {

constexpr Color kDesktopColor = RGB(0, 128, 128);
constexpr Color kInactiveTitle = kButtonShadow;
const FontSpec kCaptionFont{"Arial", 8.25f, true};

bool Contains(const SDL_Rect& r, int x, int y) {
    const SDL_Point p{x, y};
    return SDL_PointInRect(&p, &r) == SDL_TRUE;
}

int FrameWidth(const Window& w) {
    return Desktop::Frame(w).w;
}
int FrameHeight(const Window& w) {
    return Desktop::Frame(w).h;
}

// The close box in the picture, in the window's own pixels.
SDL_Rect CloseBoxIn(const Window& w) {
    return {FrameWidth(w) - Desktop::kBorder - 2 - Desktop::kCloseWidth, Desktop::kBorder + 2,
            Desktop::kCloseWidth, Desktop::kCloseHeight};
}

} // namespace

SDL_Rect Desktop::Frame(const Window& window) {
    return {0, 0, window.ClientWidth() + 2 * kBorder,
            window.ClientHeight() + kTitleHeight + 2 * kBorder};
}

SDL_Rect Desktop::ClientInFrame(const Window& window) {
    return {kBorder, kBorder + kTitleHeight, window.ClientWidth(), window.ClientHeight()};
}

WindowSystem ChooseWindowSystem(WindowSystem fallback, const std::string& variable,
                                const std::string& program) {
    const char* text = variable.empty() ? nullptr : SDL_getenv(variable.c_str());
    if (text == nullptr || *text == '\0')
        return fallback;
    if (std::strcmp(text, "native") == 0)
        return WindowSystem::kNative;
    if (std::strcmp(text, "composited") == 0)
        return WindowSystem::kComposited;
    std::fprintf(stderr, "%s%s=%s is not native or composited: ignored\n",
                 program.empty() ? "" : (program + ": ").c_str(), variable.c_str(), text);
    return fallback;
}

Desktop::Desktop() {
    SDL_Rect usable{0, 0, 1024, 768};
    if (SDL_GetDisplayUsableBounds(0, &usable) != 0 || usable.w <= 0 || usable.h <= 0)
        usable = {0, 0, 1024, 768};
    window_.reset(SDL_CreateWindow("", SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, usable.w,
                                   usable.h, SDL_WINDOW_RESIZABLE));
    if (!window_)
        return;
    nativeId_ = SDL_GetWindowID(window_.get());
    platform::ExposeOnPageResize(nativeId_);
    SDL_GetWindowSize(window_.get(), &width_, &height_);
    DamageAll();
}

std::uint32_t Desktop::Add(Window& window) {
    order_.push_back({&window, 0, 0, 0});
    CenterOver(window, nullptr);
    return nextId_++;
}

void Desktop::Remove(Window& window) {
    const auto it = std::find_if(order_.begin(), order_.end(),
                                 [&](const Placed& p) { return p.window == &window; });
    if (it == order_.end())
        return;
    DamageFrame(*it);
    const std::uint32_t id = window.NativeId();
    if (heldBy_ == id) {
        heldBy_ = 0;
        buttons_ = 0;
        SDL_CaptureMouse(SDL_FALSE);
    }
    if (dragging_ == id)
        dragging_ = 0;
    if (closing_ == id)
        closing_ = 0;
    order_.erase(it);
}

Desktop::Placed* Desktop::Find(const Window& window) {
    for (Placed& p : order_)
        if (p.window == &window)
            return &p;
    return nullptr;
}

const Desktop::Placed* Desktop::Find(const Window& window) const {
    return const_cast<Desktop*>(this)->Find(window);
}

SDL_Rect Desktop::FrameRect(const Placed& placed) const {
    const int scale = placed.window->Scale();
    return {placed.x, placed.y, FrameWidth(*placed.window) * scale,
            FrameHeight(*placed.window) * scale};
}

Desktop::Placed* Desktop::At(int x, int y) {
    for (auto it = order_.rbegin(); it != order_.rend(); ++it)
        if (it->window->IsShown() && Contains(FrameRect(*it), x, y))
            return &*it;
    return nullptr;
}

void Desktop::Raise(Window& window) {
    const auto it = std::find_if(order_.begin(), order_.end(),
                                 [&](const Placed& p) { return p.window == &window; });
    if (it == order_.end())
        return;
    std::rotate(it, it + 1, order_.end());
    DamageFrame(order_.back());
    // Its dialogs stay above it, in their own order.
    const std::uint32_t id = window.NativeId();
    std::vector<Window*> owned;
    for (const Placed& p : order_)
        if (p.window->ownerId_ == id && p.window != &window)
            owned.push_back(p.window);
    for (Window* dialog : owned)
        Raise(*dialog);
}

void Desktop::CenterOver(Window& window, const Window* owner) {
    Placed* placed = Find(window);
    if (placed == nullptr)
        return;
    const Placed* over = owner != nullptr ? Find(*owner) : nullptr;
    const SDL_Rect area = over != nullptr ? FrameRect(*over) : SDL_Rect{0, 0, width_, height_};
    const SDL_Rect frame = FrameRect(*placed);
    DamageFrame(*placed);
    placed->x = area.x + (area.w - frame.w) / 2;
    // The title bar stays where the pointer can take it.
    placed->freeY = area.y + (area.h - frame.h) / 2;
    placed->y = std::max(0, placed->freeY);
    DamageFrame(*placed);
}

void Desktop::Resized(Window& window, int oldScale) {
    Placed* placed = Find(window);
    if (placed == nullptr || oldScale < 1)
        return;
    const int scale = window.Scale();
    const int oldWidth = FrameWidth(window) * oldScale, oldHeight = FrameHeight(window) * oldScale;
    dirty_.push_back({placed->x, placed->y, oldWidth, oldHeight});
    placed->x += (oldWidth - FrameWidth(window) * scale) / 2;
    placed->freeY += (oldHeight - FrameHeight(window) * scale) / 2;
    placed->y = std::max(0, placed->freeY);
    DamageFrame(*placed);
}

void Desktop::Damaged(const Window& window, const std::vector<SDL_Rect>* areas) {
    const Placed* placed = Find(window);
    if (placed == nullptr)
        return;
    if (areas == nullptr) {
        DamageFrame(*placed);
        return;
    }
    for (const SDL_Rect& a : *areas)
        dirty_.push_back({placed->x + a.x, placed->y + a.y, a.w, a.h});
}

void Desktop::DamageFrame(const Placed& placed) {
    dirty_.push_back(FrameRect(placed));
}

void Desktop::DamageAll() {
    dirty_.assign(1, SDL_Rect{0, 0, width_, height_});
}

void Desktop::DrawFrame(const Window& window, SDL_Renderer* r) const {
    SDL_Rect client{};
    SDL_RenderGetViewport(r, &client);
    SDL_RenderSetViewport(r, nullptr);
    const int w = FrameWidth(window), h = FrameHeight(window);
    const int top = kBorder + kTitleHeight;
    FillBox(r, {0, 0, w, top}, kButtonFace);
    FillBox(r, {0, top, kBorder, window.ClientHeight()}, kButtonFace);
    FillBox(r, {w - kBorder, top, kBorder, window.ClientHeight()}, kButtonFace);
    FillBox(r, {0, h - kBorder, w, kBorder}, kButtonFace);
    DrawRaised(r, {0, 0, w, h});
    const bool active = App().KeyWindow() == &window;
    const SDL_Rect bar{kBorder, kBorder, w - 2 * kBorder, kTitleHeight - 1};
    FillBox(r, bar, active ? kSelectionBack : kInactiveTitle);
    const TextPicture caption = RenderLine(r, App().Fonts(), kCaptionFont, window.Caption(),
                                           active ? kButtonHighlight : kButtonFace);
    const SDL_Rect box = CloseBoxIn(window);
    if (caption) {
        const ClipScope clip(r, {bar.x, bar.y, box.x - bar.x - 2, bar.h});
        if (!clip.Empty())
            DrawText(r, caption, static_cast<float>(bar.x + 2),
                     static_cast<float>(bar.y + (bar.h - caption.height) / 2));
    }
    FillBox(r, box, kButtonFace);
    DrawRaised(r, box);
    // The cross: two diagonals two pixels wide.
    SDL_SetRenderDrawColor(r, 0, 0, 0, 255);
    const int size = 7, left = box.x + (box.w - size - 1) / 2, up = box.y + (box.h - size) / 2;
    for (int i = 0; i < size; ++i) {
        SDL_RenderDrawLine(r, left + i, up + i, left + i + 1, up + i);
        SDL_RenderDrawLine(r, left + size - 1 - i, up + i, left + size - i, up + i);
    }
    SDL_RenderSetViewport(r, &client);
}

void Desktop::KeysMoved(Window* from, Window* to) {
    if (from != nullptr)
        from->Invalidate();
    if (to != nullptr) {
        to->Invalidate();
        if (window_)
            SDL_SetWindowTitle(window_.get(), to->Caption().c_str());
    }
}

void Desktop::Present() {
    if (dirty_.empty())
        return;
    SDL_Surface* screen = window_ ? SDL_GetWindowSurface(window_.get()) : nullptr;
    if (screen == nullptr) {
        dirty_.clear();
        return;
    }
    const SDL_Rect whole{0, 0, screen->w, screen->h};
    std::vector<SDL_Rect> shown;
    for (const SDL_Rect& d : dirty_) {
        SDL_Rect area;
        if (!SDL_IntersectRect(&d, &whole, &area))
            continue;
        const auto overlap = std::find_if(shown.begin(), shown.end(), [&](const SDL_Rect& s) {
            return SDL_HasIntersection(&s, &area) == SDL_TRUE;
        });
        if (overlap != shown.end())
            SDL_UnionRect(&*overlap, &area, &*overlap);
        else
            shown.push_back(area);
    }
    dirty_.clear();
    const Uint32 background =
        SDL_MapRGB(screen->format, kDesktopColor.r, kDesktopColor.g, kDesktopColor.b);
    for (const SDL_Rect& area : shown) {
        SDL_SetClipRect(screen, &area);
        SDL_FillRect(screen, &area, background);
        for (const Placed& p : order_) {
            if (!p.window->IsShown() || !p.window->picture_)
                continue;
            SDL_Rect at{p.x, p.y, 0, 0};
            SDL_BlitSurface(p.window->picture_.get(), nullptr, screen, &at);
        }
    }
    SDL_SetClipRect(screen, nullptr);
    if (!shown.empty())
        SDL_UpdateWindowSurfaceRects(window_.get(), shown.data(), static_cast<int>(shown.size()));
}

void Desktop::SetFullScreen(bool on) {
    if (!window_ || on == fullScreen_)
        return;
    if (SDL_SetWindowFullscreen(window_.get(), on ? SDL_WINDOW_FULLSCREEN_DESKTOP : 0) != 0)
        return;
    fullScreen_ = on;
    SizeChanged();
}

void Desktop::SizeChanged() {
    int w = 0, h = 0;
    SDL_GetWindowSize(window_.get(), &w, &h);
    for (Placed& p : order_) {
        p.x += (w - width_) / 2;
        p.freeY += (h - height_) / 2;
        p.y = std::max(0, p.freeY);
    }
    width_ = w;
    height_ = h;
    DamageAll();
}

SDL_Point Desktop::Origin(const Window& window) const {
    const Placed* placed = Find(window);
    if (placed == nullptr)
        return {0, 0};
    return {placed->x + window.offsetX_, placed->y + window.offsetY_};
}

SDL_Rect Desktop::CloseBox(const Window& window) const {
    const Placed* placed = Find(window);
    if (placed == nullptr)
        return {};
    const int s = window.Scale();
    const SDL_Rect box = CloseBoxIn(window);
    return {placed->x + box.x * s, placed->y + box.y * s, box.w * s, box.h * s};
}

std::vector<std::uint32_t> Desktop::ReadPixels(const SDL_Rect& area) {
    std::vector<std::uint32_t> pixels(static_cast<std::size_t>(std::max(0, area.w * area.h)));
    Present();
    SDL_Surface* screen = window_ ? SDL_GetWindowSurface(window_.get()) : nullptr;
    const SDL_Rect whole{0, 0, screen != nullptr ? screen->w : 0,
                         screen != nullptr ? screen->h : 0};
    SDL_Rect inside;
    if (screen == nullptr || !SDL_IntersectRect(&area, &whole, &inside) ||
        !SDL_RectEquals(&inside, &area))
        return pixels;
    const auto* from = static_cast<const Uint8*>(screen->pixels) + area.y * screen->pitch +
                       area.x * screen->format->BytesPerPixel;
    SDL_ConvertPixels(area.w, area.h, screen->format->format, from, screen->pitch,
                      SDL_PIXELFORMAT_ARGB8888, pixels.data(), area.w * 4);
    return pixels;
}

void Desktop::SendClose(Window& window, Application& app) {
    SDL_Event close{};
    close.type = SDL_WINDOWEVENT;
    close.window.event = SDL_WINDOWEVENT_CLOSE;
    close.window.windowID = window.NativeId();
    app.Dispatch(close);
}

void Desktop::Dispatch(const SDL_Event& e, Application& app) {
    switch (e.type) {
    case SDL_WINDOWEVENT:
        switch (e.window.event) {
        case SDL_WINDOWEVENT_CLOSE:
            // The desktop's own close box closes the window with the keys.
            if (Window* keys = app.KeyWindow())
                SendClose(*keys, app);
            break;
        case SDL_WINDOWEVENT_SIZE_CHANGED:
            SizeChanged();
            break;
        case SDL_WINDOWEVENT_EXPOSED:
        case SDL_WINDOWEVENT_SHOWN:
        case SDL_WINDOWEVENT_RESTORED:
            DamageAll();
            break;
        default:
            break;
        }
        return;
    case SDL_KEYDOWN:
    case SDL_KEYUP:
    case SDL_TEXTINPUT: {
        const Window* keys = app.KeyWindow();
        if (keys == nullptr)
            return;
        SDL_Event sent = e;
        if (e.type == SDL_TEXTINPUT)
            sent.text.windowID = keys->NativeId();
        else
            sent.key.windowID = keys->NativeId();
        app.Dispatch(sent);
        return;
    }
    case SDL_MOUSEMOTION:
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP:
        Pointer(e, app);
        return;
    default:
        return;
    }
}

void Desktop::Pointer(const SDL_Event& e, Application& app) {
    const bool motion = e.type == SDL_MOUSEMOTION;
    const bool down = e.type == SDL_MOUSEBUTTONDOWN;
    const bool leftUp = e.type == SDL_MOUSEBUTTONUP && e.button.button == SDL_BUTTON_LEFT;
    const int x = motion ? e.motion.x : e.button.x;
    const int y = motion ? e.motion.y : e.button.y;
    const auto byId = [this](std::uint32_t id) -> Placed* {
        for (Placed& p : order_)
            if (p.window->NativeId() == id)
                return &p;
        return nullptr;
    };
    if (dragging_ != 0) {
        if (Placed* p = byId(dragging_); p != nullptr && motion) {
            DamageFrame(*p);
            p->x = x - grab_.x;
            p->freeY = std::max(0, y - grab_.y);
            p->y = p->freeY;
            DamageFrame(*p);
        }
        if (leftUp)
            dragging_ = 0;
        return;
    }
    if (closing_ != 0) {
        if (leftUp) {
            Placed* p = byId(closing_);
            closing_ = 0;
            if (p != nullptr && Contains(CloseBox(*p->window), x, y))
                SendClose(*p->window, app);
        }
        return;
    }
    Placed* target = heldBy_ != 0 ? byId(heldBy_) : At(x, y);
    if (target == nullptr) {
        heldBy_ = 0;
        buttons_ = 0;
        return;
    }
    Window& window = *target->window;
    const SDL_Point origin = Origin(window);
    const SDL_Rect client{origin.x, origin.y, window.ClientWidth() * window.Scale(),
                          window.ClientHeight() * window.Scale()};
    if (heldBy_ == 0 && !Contains(client, x, y)) {
        // The frame: a press there raises the window, as a window manager
        // would, unless a dialog keeps the input.
        if (!down || e.button.button != SDL_BUTTON_LEFT || app.InputBlocked(&window))
            return;
        const std::uint32_t id = window.NativeId();
        const bool onClose = Contains(CloseBox(window), x, y);
        const SDL_Point frame{target->x, target->y};
        app.GiveKeys(window);
        if (onClose) {
            closing_ = id;
        } else if (y < origin.y) {
            dragging_ = id;
            grab_ = {x - frame.x, y - frame.y};
        }
        return;
    }
    SDL_Event sent = e;
    const std::uint32_t id = window.NativeId();
    if (motion) {
        sent.motion.windowID = id;
        sent.motion.x = x - target->x;
        sent.motion.y = y - target->y;
    } else {
        sent.button.windowID = id;
        sent.button.x = x - target->x;
        sent.button.y = y - target->y;
        const Uint32 bit = SDL_BUTTON(e.button.button);
        buttons_ = down ? buttons_ | bit : buttons_ & ~bit;
        heldBy_ = buttons_ != 0 ? id : 0;
        // Moves outside the desktop keep coming while a button is held.
        SDL_CaptureMouse(buttons_ != 0 ? SDL_TRUE : SDL_FALSE);
    }
    app.Dispatch(sent);
}

} // namespace ui
