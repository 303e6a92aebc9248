// Text for a renderer that may draw at a whole-number scale: rendered with the
// face at that many times its size, so that it stays sharp, and placed and
// measured in the window's own pixels. A character the face lacks is drawn in
// a face the system names for it, at the same size and on the same baseline.
#pragma once

#include "ui/fonts.h"
#include "ui/graphics.h"
#include "ui/sdl_ptrs.h"

#include <initializer_list>
#include <string>
#include <vector>

namespace ui {

// The scale a renderer draws at (1 when unscaled).
int RendererScale(SDL_Renderer* renderer);

struct TextPicture {
    TexturePtr texture;
    int width = 0; // in the window's pixels, rounded up
    int height = 0;
    int scale = 1;
    explicit operator bool() const { return texture != nullptr; }
};

// The width of one line of text in pixels of the face's own size.
int LineWidth(FontCache& fonts, const FontSpec& font, const std::string& utf8);

// One line of text.
TextPicture RenderLine(SDL_Renderer* renderer, FontCache& fonts, const FontSpec& font,
                       const std::string& utf8, Color fore);
// Lines broken at line feeds and wrapped at wrapWidth (0: at line feeds only),
// each aligned within the widest as TTF_WRAPPED_ALIGN_* says. The breaks are
// chosen at the window's own size, so a scale never moves one.
TextPicture RenderWrapped(SDL_Renderer* renderer, FontCache& fonts, const FontSpec& font,
                          const std::string& utf8, Color fore, int wrapWidth, int align);
// The pixels RenderLine and RenderWrapped would give at that scale, rendered
// now and kept, so that a window's first picture takes them ready.
void RenderLineAhead(FontCache& fonts, const FontSpec& font, const std::string& utf8, Color fore,
                     int scale);
void RenderWrappedAhead(FontCache& fonts, const FontSpec& font, const std::string& utf8, Color fore,
                        int wrapWidth, int align, int scale);
// The text with a line feed wherever it wraps at that width in that face:
// only between words; a word wider than the width stays whole on its line.
std::string WrapText(FontCache& fonts, const FontSpec& font, const std::string& utf8, int width);
// Draws the picture with its top-left corner at (x, y), one texel a pixel.
void DrawText(SDL_Renderer* renderer, const TextPicture& text, float x, float y);

// Opens each face at that scale and renders its printable ASCII once, so
// that SDL_ttf holds those glyphs when a window first draws text in it.
void PrepareFaces(FontCache& fonts, const std::vector<FontSpec>& faces, int scale);

// The width of text in the window's pixels as the renderer's scale draws it:
// where a caret or a selection goes.
float TextAdvance(FontCache& fonts, const FontSpec& font, int scale, const std::string& utf8);
// The same, measured once and kept: for text that never changes, a caption's.
float KeptAdvance(FontCache& fonts, const FontSpec& font, int scale, const std::string& utf8);
// A key naming text in a face at a scale, with `more` that its pixels or its
// size depend on.
std::string TextKey(const FontSpec& font, int scale, std::initializer_list<int> more,
                    const std::string& utf8);
// The face's ascent in the window's pixels at that scale.
float FontAscent(FontCache& fonts, const FontSpec& font, int scale);

} // namespace ui
