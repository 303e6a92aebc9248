#include "art/draw_glyphs.h"

#include <array>
#include <cmath>
#include <cstdlib>
#include <numbers>
#include <string>

namespace art::draw {
namespace {

// Skeletons on a grid ten units high, y down, baseline at 10. Paths: "M x y"
// starts a stroke, "L x y" draws to a point, "A cx cy rx ry from to" follows
// an elliptic arc (degrees; 0 is right, 90 is down).
struct GlyphDef {
    char c;
    float width;
    const char* path;
};

constexpr GlyphDef kGlyphDefs[] = {
    {'A', 6, "M0 10 L3 0 L6 10 M1.05 6.6 L4.95 6.6"},
    {'B', 5.8,
     "M0 0 L0 10 L3.4 10 A3.4 7.5 2.4 2.5 90 -90 L0 5 M3.4 5 A3.4 2.5 2.1 2.5 90 -90 L0 0"},
    {'C', 6, "A3.2 5 3.2 5 -42 -318"},
    {'D', 6, "M0 0 L0 10 L2.6 10 A2.6 5 3.4 5 90 -90 L0 0"},
    {'E', 5, "M5 0 L0 0 L0 10 L5 10 M0 5 L4 5"},
    {'F', 5, "M5 0 L0 0 L0 10 M0 5 L4 5"},
    {'G', 6.4, "A3.2 5 3.2 5 -42 -360 L3.6 5"},
    {'H', 6, "M0 0 L0 10 M6 0 L6 10 M0 5 L6 5"},
    {'I', 0, "M0 0 L0 10"},
    {'J', 5, "M5 0 L5 7 A2.5 7 2.5 3 0 180"},
    {'K', 5.8, "M0 0 L0 10 M5.6 0 L0 6.4 M2.1 4.6 L5.8 10"},
    {'L', 5, "M0 0 L0 10 L5 10"},
    {'M', 7.4, "M0 10 L0 0 L3.7 7.6 L7.4 0 L7.4 10"},
    {'N', 6, "M0 10 L0 0 L6 10 L6 0"},
    {'O', 6.6, "A3.3 5 3.3 5 0 360"},
    {'P', 5.6, "M0 10 L0 0 L3.2 0 A3.2 2.7 2.4 2.7 -90 90 L0 5.4"},
    {'Q', 6.6, "A3.3 5 3.3 5 0 360 M3.9 7.2 L6.6 10.4"},
    {'R', 5.8, "M0 10 L0 0 L3.2 0 A3.2 2.7 2.4 2.7 -90 90 L0 5.4 M2.9 5.4 L5.8 10"},
    {'S', 5.7, "A2.9 2.5 2.6 2.5 -25 -270 A2.9 7.5 2.8 2.5 -90 155"},
    {'T', 6, "M0 0 L6 0 M3 0 L3 10"},
    {'U', 6, "M0 0 L0 7 A3 7 3 3 180 0 L6 0"},
    {'V', 6, "M0 0 L3 10 L6 0"},
    {'W', 8.4, "M0 0 L2.1 10 L4.2 2.6 L6.3 10 L8.4 0"},
    {'X', 6, "M0 0 L6 10 M6 0 L0 10"},
    {'Y', 6, "M0 0 L3 5.2 L6 0 M3 5.2 L3 10"},
    {'Z', 6, "M0 0 L6 0 L0 10 L6 10"},
    {'0', 6, "A3 5 3 5 0 360"},
    {'1', 2.6, "M0 2.2 L2.6 0 L2.6 10"},
    {'2', 6, "A3 3 2.9 3 -160 25 L0 10 L6 10"},
    {'3', 5.8, "A2.8 2.5 2.6 2.5 -155 90 A2.8 7.5 3 2.5 -90 155"},
    {'4', 6.2, "M4.6 10 L4.6 0 L0 7 L6.2 7"},
    {'5', 5.9, "M5.4 0 L0.8 0 L0.4 4.5 A2.9 6.9 3 3.1 -140 150"},
    {'6', 6, "A3 7 3 7 -52 -180 A3 7 3 3 180 -180"},
    {'7', 6, "M0 0 L6 0 L2.2 10"},
    {'8', 6, "A3 2.5 2.6 2.5 90 450 A3 7.5 3 2.5 -90 270"},
    {'9', 6, "A3 3 3 3 0 360 A3 3 3 7 0 128"},
    {'$', 5.7, "A2.9 2.5 2.6 2.5 -25 -270 A2.9 7.5 2.8 2.5 -90 155 M2.9 -1.4 L2.9 11.4"},
    {',', 1.2, "M1.2 9.4 L0 12.2"},
    {'.', 0, "M0 10 L0 10"},
    {'!', 0, "M0 0 L0 6.6 M0 10 L0 10"},
    {'-', 4, "M0 5.5 L4 5.5"},
    {':', 0, "M0 3.4 L0 3.4 M0 10 L0 10"},
    {'/', 4, "M4 0 L0 10"},
    {'=', 5, "M0 3.8 L5 3.8 M0 6.6 L5 6.6"},
    {' ', 3.5, ""},
};

using Stroke = std::vector<Point>;

struct Glyph {
    float width = 0;
    std::vector<Stroke> strokes;
    bool known = false;
};

std::vector<Stroke> ParsePath(const char* path) {
    std::vector<Stroke> strokes;
    const char* p = path;
    const auto number = [&p] {
        char* end = nullptr;
        const float v = std::strtof(p, &end);
        p = end;
        return v;
    };
    while (*p) {
        const char op = *p++;
        if (op == ' ')
            continue;
        if (op == 'M') {
            strokes.emplace_back();
            const float x = number(), y = number();
            strokes.back().push_back({x, y});
        } else if (op == 'L') {
            const float x = number(), y = number();
            strokes.back().push_back({x, y});
        } else if (op == 'A') {
            const float cx = number(), cy = number(), rx = number(), ry = number();
            const float from = number(), to = number();
            if (strokes.empty())
                strokes.emplace_back();
            const int steps = std::max(6, static_cast<int>(std::abs(to - from) / 10));
            for (int k = 0; k <= steps; ++k) {
                const float a =
                    (from + (to - from) * static_cast<float>(k) / static_cast<float>(steps)) *
                    std::numbers::pi_v<float> / 180;
                strokes.back().push_back({cx + rx * std::cos(a), cy + ry * std::sin(a)});
            }
        }
    }
    return strokes;
}

const Glyph& GlyphFor(char c) {
    static const std::array<Glyph, 128> table = [] {
        std::array<Glyph, 128> t{};
        for (const GlyphDef& d : kGlyphDefs) {
            Glyph& g = t[static_cast<unsigned char>(d.c)];
            g.width = d.width;
            g.strokes = ParsePath(d.path);
            g.known = true;
        }
        return t;
    }();
    const unsigned char u = static_cast<unsigned char>(c);
    return u < 128 ? table[u] : table[0];
}

float GapOf(const TextStyle& s) {
    return s.gap >= 0 ? s.gap : s.size / 5;
}
float UnitOf(const TextStyle& s) {
    return (s.size - 2 * s.weight) / 10;
}

} // namespace

bool HasGlyph(char c) {
    return GlyphFor(c).known;
}

float TextWidth(std::string_view text, const TextStyle& style) {
    const float unit = UnitOf(style);
    float w = 0;
    for (std::size_t k = 0; k < text.size(); ++k) {
        const Glyph& g = GlyphFor(text[k]);
        const bool ink = !g.strokes.empty();
        w += g.width * unit * style.stretch + (ink ? 2 * style.weight : 0);
        if (k + 1 < text.size())
            w += GapOf(style);
    }
    return w;
}

std::vector<Capsule> TextCapsules(std::string_view text, Point at, const TextStyle& style,
                                  float grow) {
    const float unit = UnitOf(style);
    const float baseline = at.y + style.weight + 10 * unit;
    std::vector<Capsule> caps;
    float pen = at.x;
    for (char c : text) {
        const Glyph& g = GlyphFor(c);
        const bool ink = !g.strokes.empty();
        const float x0 = pen + (ink ? style.weight : 0);
        const auto place = [&](Point p) {
            const float y = at.y + style.weight + p.y * unit;
            return Point{x0 + p.x * unit * style.stretch + style.slant * (baseline - y), y};
        };
        for (const Stroke& s : g.strokes) {
            if (s.size() == 1)
                caps.push_back({place(s[0]), place(s[0]), style.weight + grow});
            for (std::size_t k = 0; k + 1 < s.size(); ++k)
                caps.push_back({place(s[k]), place(s[k + 1]), style.weight + grow});
        }
        pen += g.width * unit * style.stretch + (ink ? 2 * style.weight : 0) + GapOf(style);
    }
    return caps;
}

std::vector<Capsule> Offset(std::vector<Capsule> caps, float dx, float dy) {
    for (Capsule& c : caps) {
        c.a = {c.a.x + dx, c.a.y + dy};
        c.b = {c.b.x + dx, c.b.y + dy};
    }
    return caps;
}

std::vector<Capsule> Rotate(std::vector<Capsule> caps, Point pivot, float radians) {
    const float cs = std::cos(radians), sn = std::sin(radians);
    const auto turn = [&](Point p) {
        const float x = p.x - pivot.x, y = p.y - pivot.y;
        return Point{pivot.x + x * cs - y * sn, pivot.y + x * sn + y * cs};
    };
    for (Capsule& c : caps) {
        c.a = turn(c.a);
        c.b = turn(c.b);
    }
    return caps;
}

void PaintText(Canvas& canvas, std::string_view text, Point at, const TextStyle& style,
               const TextLook& look) {
    const bool shadow = look.shadow.x != 0 || look.shadow.y != 0;
    if (shadow) {
        std::vector<Capsule> block = TextCapsules(text, at, style, look.outlineWidth);
        for (Capsule& c : block) {
            if (look.extrude) {
                c.sweep = look.shadow;
            } else {
                c.a = {c.a.x + look.shadow.x, c.a.y + look.shadow.y};
                c.b = {c.b.x + look.shadow.x, c.b.y + look.shadow.y};
            }
        }
        canvas.FillCapsules(block, Paint::Solid(look.shadowColour, look.shadowAlpha));
    }
    if (look.outlineWidth > 0)
        canvas.FillCapsules(TextCapsules(text, at, style, look.outlineWidth),
                            Paint::Solid(look.outline));
    canvas.FillCapsules(TextCapsules(text, at, style), look.fill);
}

Point CentredText(std::string_view text, const TextStyle& style, float cx, float top) {
    // A slanted line leans right by half its slant on average.
    return {cx - TextWidth(text, style) / 2 - style.slant * style.size / 2, top};
}

} // namespace art::draw
