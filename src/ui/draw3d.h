// The classic raised and sunken edges of a 96 dpi desktop, for buttons,
// text boxes and dialogs.
#pragma once

#include "ui/graphics.h"
#include "ui/sdl_ptrs.h"

namespace ui {

inline constexpr Color kButtonFace = RGB(212, 208, 200);
inline constexpr Color kButtonHighlight = RGB(255, 255, 255);
inline constexpr Color kButtonShadow = RGB(128, 128, 128);
inline constexpr Color kButtonDarkShadow = RGB(64, 64, 64);
inline constexpr Color kSelectionBack = RGB(10, 36, 106);

void FillBox(SDL_Renderer* renderer, const SDL_Rect& box, Color color);
// A one-pixel frame: top and left in one colour, bottom and right in another.
void DrawEdge(SDL_Renderer* renderer, const SDL_Rect& box, Color topLeft, Color bottomRight);
// Two-pixel edges; returns the box inside them.
SDL_Rect DrawRaised(SDL_Renderer* renderer, const SDL_Rect& box);
SDL_Rect DrawSunken(SDL_Renderer* renderer, const SDL_Rect& box);
// The dotted rectangle that marks the focus.
void DrawFocusRect(SDL_Renderer* renderer, const SDL_Rect& box);
SDL_Rect Inset(const SDL_Rect& box, int by);

// Narrows the renderer's clip to a box for a scope: a control drawn during a
// partial repaint stays inside both its own box and the damaged area.
class ClipScope {
public:
    ClipScope(SDL_Renderer* renderer, const SDL_Rect& box) : renderer_(renderer) {
        enabled_ = SDL_RenderIsClipEnabled(renderer_) == SDL_TRUE;
        SDL_RenderGetClipRect(renderer_, &saved_);
        SDL_Rect clip = box;
        empty_ = enabled_ ? SDL_IntersectRect(&box, &saved_, &clip) != SDL_TRUE
                          : SDL_RectEmpty(&box) == SDL_TRUE;
        if (!empty_)
            SDL_RenderSetClipRect(renderer_, &clip);
    }
    ~ClipScope() { SDL_RenderSetClipRect(renderer_, enabled_ ? &saved_ : nullptr); }
    ClipScope(const ClipScope&) = delete;
    ClipScope& operator=(const ClipScope&) = delete;
    bool Empty() const { return empty_; }

private:
    SDL_Renderer* renderer_;
    SDL_Rect saved_{};
    bool enabled_ = false;
    bool empty_ = false;
};

} // namespace ui
