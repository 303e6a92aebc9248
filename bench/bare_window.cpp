#include "bare_window.h"

BareWindow::BareWindow(const char* title, int width, int height) {
    window_ =
        SDL_CreateWindow(title, SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, width, height, 0);
    SDL_Surface* surface = window_ != nullptr ? SDL_GetWindowSurface(window_) : nullptr;
    renderer_ = surface != nullptr ? SDL_CreateSoftwareRenderer(surface) : nullptr;
    if (renderer_ == nullptr)
        return;
    SDL_RenderClear(renderer_);
    SDL_RenderPresent(renderer_);
    shown_ = SDL_UpdateWindowSurface(window_) == 0;
}

BareWindow::~BareWindow() {
    if (renderer_ != nullptr)
        SDL_DestroyRenderer(renderer_);
    if (window_ != nullptr)
        SDL_DestroyWindow(window_);
}
