// The window on a composited desktop: it draws into a picture of its own,
// framed, which the desktop shows in the window's place.
#include "ui/window.h"

namespace ui {

void Window::PlaceClientInPicture() {
    const SDL_Rect client = Desktop::ClientInFrame(*this);
    offsetX_ = client.x * scale_;
    offsetY_ = client.y * scale_;
}

// The picture, like a native window's surface, has no alpha: the client area
// is drawn to the very same pixels.
bool Window::EnsurePicture() {
    if (renderer_)
        return true;
    for (Control* c : controls_)
        c->ReleaseGraphics();
    backgroundTexture_.reset();
    const SDL_Rect frame = Desktop::Frame(*this);
    picture_.reset(SDL_CreateRGBSurfaceWithFormat(0, frame.w * scale_, frame.h * scale_, 32,
                                                  SDL_PIXELFORMAT_RGB888));
    surface_ = picture_.get();
    if (surface_ != nullptr)
        renderer_.reset(SDL_CreateSoftwareRenderer(surface_));
    if (!renderer_) {
        picture_.reset();
        surface_ = nullptr;
        return false;
    }
    SetUpRenderer();
    return true;
}

} // namespace ui
