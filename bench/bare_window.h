// What any SDL2 program must do to show a window's first picture, and no
// more: the window, a software renderer on its own surface (as the game
// draws), one clear and one present. The floor a window of the game is
// weighed against, and the start's floor's window.
#pragma once

#include <SDL.h>

class BareWindow {
public:
    BareWindow(const char* title, int width, int height);
    ~BareWindow();
    BareWindow(const BareWindow&) = delete;
    BareWindow& operator=(const BareWindow&) = delete;
    // Shown, with its first picture presented.
    bool Shown() const { return shown_; }

private:
    SDL_Window* window_ = nullptr;
    SDL_Renderer* renderer_ = nullptr;
    bool shown_ = false;
};
