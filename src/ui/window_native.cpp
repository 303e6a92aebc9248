// The window on screen as a native window of its own: its renderer and
// surface, its scale and full screen, and its place over its owner.
#include "ui/window.h"

#include "ui/application.h"

#include <algorithm>

namespace ui {

Window::Window(std::string caption, int clientWidth, int clientHeight)
    : caption_(std::move(caption)), width_(clientWidth), height_(clientHeight),
      scale_(App().ScaleFor(clientWidth, clientHeight)) {
    if (Desktop* desktop = App().CompositedDesktop()) {
        desktop_ = desktop;
        PlaceClientInPicture();
        nativeId_ = desktop_->Add(*this);
        return;
    }
    window_.reset(SDL_CreateWindow(caption_.c_str(), SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED,
                                   width_ * scale_, height_ * scale_, SDL_WINDOW_HIDDEN));
    if (window_)
        nativeId_ = SDL_GetWindowID(window_.get());
    else
        App().Fail("cannot open a window: " + std::string(SDL_GetError()));
}

Window::~Window() {
    ReleaseNative(Leaving::Now);
}

void Window::Show() {
    if (!loaded_ || shown_)
        return;
    shown_ = true;
    if (window_) {
        SDL_ShowWindow(window_.get());
        raiseAsked_ = true;
        shownAt_ = App().Showing(*this);
    } else if (desktop_ != nullptr) {
        desktop_->Raise(*this);
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
    ReleaseNative(Leaving::AfterNextPicture);
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
    if (scale < 1 || scale == scale_ || (!window_ && desktop_ == nullptr))
        return;
    if (desktop_ != nullptr) {
        const int old = scale_;
        scale_ = scale;
        PlaceClientInPicture();
        desktop_->Resized(*this, old);
        RemakeGraphics();
        return;
    }
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

bool Window::IsFullScreen() const {
    return desktop_ != nullptr ? desktop_->IsFullScreen() : fullScreen_;
}

void Window::SetFullScreen(bool on) {
    if (desktop_ != nullptr) {
        desktop_->SetFullScreen(on);
        return;
    }
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

void Window::ReleaseNative(Leaving leaving) {
    for (Control* c : controls_)
        c->ReleaseGraphics();
    backgroundTexture_.reset();
    renderer_.reset();
    surface_ = nullptr;
    if (window_ && leaving == Leaving::AfterNextPicture)
        App().DestroyAfterNextPicture(std::move(window_));
    window_.reset();
    picture_.reset();
    if (desktop_ != nullptr)
        desktop_->Remove(*this);
}

// Drawing goes to the window's own surface, so that only the parts that
// changed are sent to the display: an idle board then costs next to nothing.
// Without a surface a renderer of SDL's choosing redraws everything.
bool Window::EnsureRenderer() {
    if (desktop_ != nullptr)
        return EnsurePicture();
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
    SetUpRenderer();
    return true;
}

void Window::SetUpRenderer() {
    // Everything is drawn in the window's own pixels; the renderer multiplies
    // them out. No logical size: SDL would then round the pointer to whole
    // logical pixels, and the pointer is mapped back here as a fraction.
    SDL_RenderSetScale(renderer_.get(), static_cast<float>(scale_), static_cast<float>(scale_));
    const SDL_Rect picture{offsetX_ / scale_, offsetY_ / scale_, width_, height_};
    SDL_RenderSetViewport(renderer_.get(), &picture);
    // Every colour drawn is opaque: unblended, a fill is written at memory
    // speed, where blending it took a multiply a pixel to the same result.
    SDL_SetRenderDrawBlendMode(renderer_.get(), SDL_BLENDMODE_NONE);
    fullRepaint_ = true;
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

void Window::CenterOver(const Window* owner) {
    if (desktop_ != nullptr) {
        ownerId_ = owner != nullptr ? owner->NativeId() : 0;
        desktop_->CenterOver(*this, owner);
        return;
    }
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

// At one screen pixel a pixel, an opaque picture goes straight onto the
// window's surface, as the software renderer would copy a texture of it,
// without a texture to fill first: a megabyte for the background.
bool Window::BlitStraight(const Bitmap& picture, int x, int y, const SDL_Rect* clip) {
    if (surface_ == nullptr || scale_ != 1 || desktop_ != nullptr)
        return false;
    const SurfacePtr from(SDL_CreateRGBSurfaceWithFormatFrom(
        const_cast<std::uint32_t*>(picture.pixels.data()), picture.width, picture.height, 32,
        picture.width * 4, SDL_PIXELFORMAT_ARGB8888));
    if (!from || SDL_SetSurfaceBlendMode(from.get(), SDL_BLENDMODE_NONE) != 0)
        return false;
    // What the renderer holds goes first: the picture lies over it.
    SDL_RenderFlush(renderer_.get());
    const SDL_Rect client{offsetX_, offsetY_, width_, height_};
    SDL_Rect within = client;
    if (clip != nullptr) {
        const SDL_Rect onScreen{offsetX_ + clip->x, offsetY_ + clip->y, clip->w, clip->h};
        if (!SDL_IntersectRect(&onScreen, &client, &within))
            return true;
    }
    SDL_Rect kept{};
    SDL_GetClipRect(surface_, &kept);
    SDL_SetClipRect(surface_, &within);
    SDL_Rect to{offsetX_ + x, offsetY_ + y, picture.width, picture.height};
    SDL_BlitSurface(from.get(), nullptr, surface_, &to);
    SDL_SetClipRect(surface_, &kept);
    return true;
}

// The fill and the picture under the controls.
void Window::DrawBackground(const SDL_Rect* area) {
    SDL_Renderer* r = renderer_.get();
    const auto fill = [this, r, area] {
        SDL_SetRenderDrawColor(r, backColor_.r, backColor_.g, backColor_.b, 255);
        if (area == nullptr && !fullScreen_)
            SDL_RenderClear(r);
        else
            SDL_RenderFillRect(r, area);
    };
    const bool hasBackground = background_ && background_->width > 0;
    // Only what the picture leaves bare is filled: the whole client would be
    // written twice. On a desktop the clear also readies the frame, so it stays.
    const bool pictureFirst = hasBackground && desktop_ == nullptr;
    if (!pictureFirst) {
        fill();
    } else if (background_->width < width_ || background_->height < height_) {
        SDL_SetRenderDrawColor(r, backColor_.r, backColor_.g, backColor_.b, 255);
        const SDL_Rect bare[] = {
            {background_->width, 0, std::max(0, width_ - background_->width), height_},
            {0, background_->height, std::min(background_->width, width_),
             std::max(0, height_ - background_->height)}};
        SDL_RenderFillRects(r, bare, 2);
    }
    if (!hasBackground || BlitStraight(*background_, 0, 0, area))
        return;
    if (!backgroundTexture_) {
        backgroundTexture_.reset(SDL_CreateTexture(r, SDL_PIXELFORMAT_ARGB8888,
                                                   SDL_TEXTUREACCESS_STATIC, background_->width,
                                                   background_->height));
        if (backgroundTexture_) {
            SDL_UpdateTexture(backgroundTexture_.get(), nullptr, background_->pixels.data(),
                              background_->width * 4);
            // Opaque: copied, not blended, pixel for pixel the same.
            SDL_SetTextureBlendMode(backgroundTexture_.get(), SDL_BLENDMODE_NONE);
        }
    }
    const SDL_Rect where{0, 0, background_->width, background_->height};
    if ((!backgroundTexture_ ||
         SDL_RenderCopy(r, backgroundTexture_.get(), nullptr, &where) != 0) &&
        pictureFirst)
        fill();
}

void Window::Render(const SDL_Rect* area) {
    SDL_Renderer* r = renderer_.get();
    SDL_RenderSetClipRect(r, area);
    if (area == nullptr && fullScreen_) {
        SDL_SetRenderDrawColor(r, 0, 0, 0, 255);
        SDL_RenderClear(r); // the whole screen, around the picture
    }
    // A part that one opaque control covers is all that control's: a
    // flickering label costs its own pixels only.
    const bool underControl =
        area != nullptr && std::any_of(controls_.begin(), controls_.end(), [area](Control* c) {
            const SDL_Rect box{c->Left(), c->Top(), c->Width(), c->Height()};
            SDL_Rect both{};
            return c->Visible() && c->Opaque() && SDL_IntersectRect(&box, area, &both) &&
                   SDL_RectEquals(&both, area);
        });
    if (!underControl)
        DrawBackground(area);
    FontCache& fonts = App().Fonts();
    for (Control* c : controls_) {
        const SDL_Rect box{c->Left(), c->Top(), c->Width(), c->Height()};
        if (c->Visible() && (area == nullptr || SDL_HasIntersection(&box, area)))
            c->Draw(r, fonts);
    }
    SDL_RenderSetClipRect(r, nullptr);
    if (area == nullptr && desktop_ != nullptr)
        desktop_->DrawFrame(*this, r);
}

void Window::Paint() {
    if (!IsShown() || !EnsureRenderer())
        return;
    if (fullRepaint_ || surface_ == nullptr) {
        Render(nullptr);
        SDL_RenderPresent(renderer_.get());
        ShowDrawn(nullptr);
    } else {
        std::vector<SDL_Rect> onScreen;
        for (const SDL_Rect& d : damaged_) {
            Render(&d);
            onScreen.push_back(
                {offsetX_ + d.x * scale_, offsetY_ + d.y * scale_, d.w * scale_, d.h * scale_});
        }
        SDL_RenderPresent(renderer_.get());
        ShowDrawn(&onScreen);
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
    ShowDrawn(nullptr);
    damaged_.clear();
    dirty_ = fullRepaint_ = false;
    return pixels;
}

void Window::Raise() {
    if (desktop_ != nullptr) {
        desktop_->Raise(*this);
    } else if (window_) {
        SDL_RaiseWindow(window_.get());
        SDL_SetWindowInputFocus(window_.get());
    }
}

void Window::RaiseOnceDrawn() {
    if (!raiseAsked_ || AwaitsFirstPicture())
        return;
    raiseAsked_ = false;
    if (window_ && shown_)
        SDL_RaiseWindow(window_.get());
}

void Window::ShowDrawn(const std::vector<SDL_Rect>* areas) {
    if (desktop_ != nullptr)
        desktop_->Damaged(*this, areas);
    else if (surface_ != nullptr && areas == nullptr)
        SDL_UpdateWindowSurface(window_.get());
    else if (surface_ != nullptr)
        SDL_UpdateWindowSurfaceRects(window_.get(), areas->data(), static_cast<int>(areas->size()));
}

} // namespace ui
