// The pictures' lettering: a small stroke alphabet (A-Z, 0-9 and a few signs)
// laid out as round-ended strokes, so one set of shapes serves every size,
// weight and outline.
#pragma once

#include "art/draw_canvas.h"

#include <string_view>
#include <vector>

namespace art::draw {

struct TextStyle {
    float size = 10;   // ink height of a capital, strokes included (px)
    float weight = 1;  // stroke radius (px)
    float slant = 0;   // x shift per px of height above the baseline
    float gap = -1;    // px between glyphs; negative: a fifth of the size
    float stretch = 1; // widens the glyphs without changing their height
};

bool HasGlyph(char c);
// Ink width of the text in this style (slant not counted).
float TextWidth(std::string_view text, const TextStyle& style);
// The strokes of the text with its ink's top-left corner at `at`. `grow`
// thickens every stroke without moving it: an outline drawn first.
std::vector<Capsule> TextCapsules(std::string_view text, Point at, const TextStyle& style,
                                  float grow = 0);
std::vector<Capsule> Offset(std::vector<Capsule> caps, float dx, float dy);
// Turns the strokes by `radians` about `pivot` (clockwise on screen).
std::vector<Capsule> Rotate(std::vector<Capsule> caps, Point pivot, float radians);

// How a line of lettering is finished: fill, outline, and a shadow that is
// either one offset copy or a solid block extruded from the letters to it.
struct TextLook {
    Paint fill = Paint::Solid({0, 0, 0});
    Rgb outline{0, 0, 0};
    float outlineWidth = 0;
    Point shadow{0, 0};
    Rgb shadowColour{0, 0, 0};
    float shadowAlpha = 1;
    bool extrude = false;
};

void PaintText(Canvas& canvas, std::string_view text, Point at, const TextStyle& style,
               const TextLook& look);
// The top-left corner that centres the text's ink on cx.
Point CentredText(std::string_view text, const TextStyle& style, float cx, float top);

} // namespace art::draw
