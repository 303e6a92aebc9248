#include "ui/scaled_text.h"

#include "ui/text_layout.h"

#include <cmath>
#include <string_view>

namespace ui {
namespace {

FontSpec Scaled(FontSpec font, int scale) {
    font.points *= static_cast<float>(scale);
    return font;
}

TextPicture FromSurface(SDL_Renderer* renderer, SDL_Surface* surface, int scale) {
    TextPicture picture;
    if (surface == nullptr)
        return picture;
    picture.texture.reset(SDL_CreateTextureFromSurface(renderer, surface));
    picture.scale = scale;
    picture.width = (surface->w + scale - 1) / scale;
    picture.height = (surface->h + scale - 1) / scale;
    return picture;
}

} // namespace

int RendererScale(SDL_Renderer* renderer) {
    float sx = 1.0f;
    float sy = 1.0f;
    SDL_RenderGetScale(renderer, &sx, &sy);
    return std::max(1, static_cast<int>(std::lround(sx)));
}

TextPicture RenderLine(SDL_Renderer* renderer, FontCache& fonts, const FontSpec& font,
                       const std::string& utf8, Color fore) {
    const int scale = RendererScale(renderer);
    TTF_Font* face = fonts.Get(Scaled(font, scale));
    if (face == nullptr || utf8.empty())
        return {};
    const SurfacePtr surface(
        TTF_RenderUTF8_Blended(face, utf8.c_str(), SDL_Color{fore.r, fore.g, fore.b, 255}));
    return FromSurface(renderer, surface.get(), scale);
}

std::string WrapText(TTF_Font* face, const std::string& utf8, int width) {
    if (face == nullptr || width <= 0)
        return utf8;
    const auto measure = [face](std::string_view line) {
        int w = 0;
        int h = 0;
        if (line.empty() || TTF_SizeUTF8(face, std::string(line).c_str(), &w, &h) != 0)
            return 0;
        return w;
    };
    std::string out;
    for (const std::string& line : BreakLines(utf8, width, measure))
        out += line + '\n';
    out.pop_back(); // there is always one line
    return out;
}

TextPicture RenderWrapped(SDL_Renderer* renderer, FontCache& fonts, const FontSpec& font,
                          const std::string& utf8, Color fore, int wrapWidth, int align) {
    const int scale = RendererScale(renderer);
    TTF_Font* face = fonts.Get(Scaled(font, scale));
    if (face == nullptr || utf8.empty())
        return {};
    const std::string lines = WrapText(fonts.Get(font), utf8, wrapWidth);
    TTF_SetFontWrappedAlign(face, align);
    const SurfacePtr surface(TTF_RenderUTF8_Blended_Wrapped(
        face, lines.c_str(), SDL_Color{fore.r, fore.g, fore.b, 255}, 0));
    return FromSurface(renderer, surface.get(), scale);
}

void DrawText(SDL_Renderer* renderer, const TextPicture& text, float x, float y) {
    if (!text)
        return;
    int w = 0;
    int h = 0;
    SDL_QueryTexture(text.texture.get(), nullptr, nullptr, &w, &h);
    const float scale = static_cast<float>(text.scale);
    const SDL_FRect where{x, y, static_cast<float>(w) / scale, static_cast<float>(h) / scale};
    SDL_RenderCopyF(renderer, text.texture.get(), nullptr, &where);
}

float TextAdvance(FontCache& fonts, const FontSpec& font, int scale, const std::string& utf8) {
    scale = std::max(1, scale);
    TTF_Font* face = fonts.Get(Scaled(font, scale));
    int w = 0;
    int h = 0;
    if (face == nullptr || utf8.empty() || TTF_SizeUTF8(face, utf8.c_str(), &w, &h) != 0)
        return 0.0f;
    return static_cast<float>(w) / static_cast<float>(scale);
}

float FontAscent(FontCache& fonts, const FontSpec& font, int scale) {
    scale = std::max(1, scale);
    TTF_Font* face = fonts.Get(Scaled(font, scale));
    return face != nullptr ? static_cast<float>(TTF_FontAscent(face)) / static_cast<float>(scale)
                           : 0.0f;
}

} // namespace ui
