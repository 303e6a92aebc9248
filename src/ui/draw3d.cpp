#include "ui/draw3d.h"

namespace ui {

void FillBox(SDL_Renderer* renderer, const SDL_Rect& box, Color color) {
    SDL_SetRenderDrawColor(renderer, color.r, color.g, color.b, 255);
    SDL_RenderFillRect(renderer, &box);
}

void DrawEdge(SDL_Renderer* renderer, const SDL_Rect& box, Color topLeft, Color bottomRight) {
    if (box.w <= 0 || box.h <= 0)
        return;
    const int right = box.x + box.w - 1;
    const int bottom = box.y + box.h - 1;
    SDL_SetRenderDrawColor(renderer, topLeft.r, topLeft.g, topLeft.b, 255);
    SDL_RenderDrawLine(renderer, box.x, box.y, right - 1, box.y);
    SDL_RenderDrawLine(renderer, box.x, box.y, box.x, bottom - 1);
    SDL_SetRenderDrawColor(renderer, bottomRight.r, bottomRight.g, bottomRight.b, 255);
    SDL_RenderDrawLine(renderer, box.x, bottom, right, bottom);
    SDL_RenderDrawLine(renderer, right, box.y, right, bottom);
}

SDL_Rect Inset(const SDL_Rect& box, int by) {
    return SDL_Rect{box.x + by, box.y + by, box.w - 2 * by, box.h - 2 * by};
}

SDL_Rect DrawRaised(SDL_Renderer* renderer, const SDL_Rect& box) {
    DrawEdge(renderer, box, kButtonHighlight, kButtonDarkShadow);
    DrawEdge(renderer, Inset(box, 1), kButtonFace, kButtonShadow);
    return Inset(box, 2);
}

SDL_Rect DrawSunken(SDL_Renderer* renderer, const SDL_Rect& box) {
    DrawEdge(renderer, box, kButtonShadow, kButtonHighlight);
    DrawEdge(renderer, Inset(box, 1), kButtonDarkShadow, kButtonFace);
    return Inset(box, 2);
}

void DrawFocusRect(SDL_Renderer* renderer, const SDL_Rect& box) {
    SDL_SetRenderDrawColor(renderer, 0, 0, 0, 255);
    const int right = box.x + box.w - 1;
    const int bottom = box.y + box.h - 1;
    for (int x = box.x; x <= right; x += 2) {
        SDL_RenderDrawPoint(renderer, x, box.y);
        SDL_RenderDrawPoint(renderer, x, bottom);
    }
    for (int y = box.y; y <= bottom; y += 2) {
        SDL_RenderDrawPoint(renderer, box.x, y);
        SDL_RenderDrawPoint(renderer, right, y);
    }
}

} // namespace ui
