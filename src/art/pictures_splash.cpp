// The splash picture (also the top-ten window's ground) and the window icon.
#include "art/pictures.h"
#include "art/pictures_common.h"

#include <cmath>
#include <numbers>

namespace art {
namespace {

using namespace draw;
using namespace detail;

constexpr float kPi = std::numbers::pi_v<float>;

// Rays of the three table colours, fanning out from behind the panel.
void PaintRays(Canvas& c, Point centre) {
    const Rgb colours[] = {kRed, kMagenta, kCyan};
    const int rays = 30;
    for (int k = 0; k < rays; ++k) {
        const float a0 = (static_cast<float>(k) - 0.5f) * 2 * kPi / rays - kPi / 2;
        const float a1 = a0 + 2 * kPi / rays;
        const std::vector<Point> wedge{
            centre,
            {centre.x + 600 * std::cos(a0), centre.y + 600 * std::sin(a0)},
            {centre.x + 600 * std::cos(a1), centre.y + 600 * std::sin(a1)}};
        const Rgb c0 = colours[k % 3];
        c.FillPolygon(wedge, Paint::Radial(centre, 300, Tint(c0, 0.35f), c0));
    }
}

void PaintPanelFrame(Canvas& c, float x0, float y0, float x1, float y1, float r) {
    c.FillRoundRect(x0 + 6, y0 + 6, x1 + 6, y1 + 6, r, Paint::Solid(kBlack, 0.45f));
    c.FillRoundRect(x0, y0, x1, y1, r, Paint::Solid(kBlack));
    c.FillRoundRect(x0 + 2, y0 + 2, x1 - 2, y1 - 2, r - 2, Paint::Solid(kRed));
    c.FillRoundRect(x0 + 5, y0 + 5, x1 - 5, y1 - 5, r - 5,
                    Paint::Linear({0, y0}, Hex(0xFFFF70), {0, y1}, Hex(0xFFE400)));
}

void PaintTitle(Canvas& c, float cx, float top) {
    TextStyle st{50, 5.0f, 0.14f, 4.4f, 1.0f};
    TextLook tl;
    tl.fill = Paint::Linear({0, top}, Hex(0xFF5030), {0, top + 54}, Hex(0xC00000));
    tl.outline = kBlack;
    tl.outlineWidth = 2.2f;
    tl.shadow = {4, 5};
    tl.shadowColour = Hex(0x500000);
    tl.extrude = true;
    PaintText(c, "PEGDROP!!!", CentredText("PEGDROP!!!", st, cx, top), st, tl);
    // A gloss along the top of the letters.
    c.SetClip(0, top, 479, top + 18);
    TextLook gloss;
    gloss.fill = Paint::Solid(kWhite, 0.28f);
    PaintText(c, "PEGDROP!!!", CentredText("PEGDROP!!!", st, cx, top), st, gloss);
    c.ResetClip();
}

// A little peg board under the title: a chip on its way down.
void PaintPegRow(Canvas& c, float cx, float top) {
    for (int row = 0; row < 3; ++row)
        for (int k = -5 + row % 2; k <= 5; k += 2) {
            const float x = cx + 13 * static_cast<float>(k), y = top + 16 * static_cast<float>(row);
            if (row == 2 && std::abs(k) > 3)
                continue;
            c.FillCircle(x + 1, y + 1, 3.4f, Paint::Solid(Hex(0xB09000)));
            c.FillCircle(x, y, 3.4f,
                         Paint::Radial({x - 1.2f, y - 1.2f}, 4, Hex(0xF0F0F0), Hex(0x707070)));
        }
    const float x = cx + 13, y = top + 6;
    c.FillCircle(x + 2, y + 2, 10, Paint::Solid(Hex(0xB09000)));
    c.FillCircle(x, y, 10, Paint::Solid(Hex(0xC0C0C0)));
    c.FillCircle(x, y, 9, Paint::Radial({x - 3, y - 3.5f}, 12, Tint(kChip, 0.5f), kChip));
    c.FillEllipse(x - 3, y - 4, 3.4f, 2, Paint::Solid(kWhite, 0.6f));
}

void PaintTagline(Canvas& c, float cx, float top) {
    const char* text = "TOP PRIZE $10,000";
    TextStyle st{15, 1.7f, 0.1f, 2.8f, 1.1f};
    TextLook tl;
    tl.fill = Paint::Linear({0, top}, Hex(0x3030FF), {0, top + 15}, Hex(0x0000A0));
    tl.outline = kWhite;
    tl.outlineWidth = 1.2f;
    tl.shadow = {1.5f, 1.5f};
    tl.shadowColour = Hex(0xA08000);
    PaintText(c, text, CentredText(text, st, cx, top), st, tl);
}

} // namespace

Picture SplashPicture() {
    Canvas c(0, 0, kSplashWidth, kSplashHeight, kWhite);
    const float cx = static_cast<float>(kSplashWidth) / 2;
    PaintRays(c, {cx, 162});
    // The panel holds the top-ten table in the other window: 74..405 x 52..284.
    PaintPanelFrame(c, 56, 34, 423, 289, 16);
    PaintTitle(c, cx, 86);
    PaintPegRow(c, cx, 176);
    PaintTagline(c, cx, 236);
    // Light places for the version line and the copyright line.
    c.FillRoundRect(3, 3, 76, 27, 6, Paint::Solid(kBlack));
    c.FillRoundRect(4, 4, 75, 26, 5, Paint::Solid(Hex(0xFFFFD8)));
    // The band's edge stays above the copyright label's first line, whose
    // capitals start three rows into the label at 292.
    c.FillRoundRect(30, 290, 449, 334, 10, Paint::Solid(kBlack));
    c.FillRoundRect(31, 291, 448, 333, 9,
                    Paint::Linear({0, 291}, Hex(0xFFFFF0), {0, 333}, Hex(0xFFF8B0)));
    return c.Resolve();
}

Picture IconPicture() {
    const float s = kIconSize;
    Canvas c(0, 0, kIconSize, kIconSize, kWhite);
    c.FillRoundRect(0, 0, s, s, 6, Paint::Solid(kBlack));
    c.FillRoundRect(1, 1, s - 1, s - 1, 5, Paint::Solid(kRed));
    c.FillRoundRect(3, 3, s - 3, s - 3, 3.5f,
                    Paint::Linear({0, 3}, Hex(0xFFFF80), {0, s - 3}, Hex(0xFFD800)));
    const Point pegs[] = {{8, 10}, {24, 10}, {8.5f, 22}, {16, 26}, {23.5f, 22}};
    for (const Point& p : pegs)
        c.FillCircle(p.x, p.y, 2.4f,
                     Paint::Radial({p.x - 0.8f, p.y - 0.8f}, 3, Hex(0xE8E8E8), Hex(0x606060)));
    c.FillCircle(16, 15, 7.6f, Paint::Solid(Hex(0x808080)));
    c.FillCircle(16, 15, 6.6f, Paint::Radial({13.5f, 12.5f}, 9, Tint(kChip, 0.5f), kChip));
    c.FillEllipse(13.8f, 12.3f, 2.4f, 1.4f, Paint::Solid(kWhite, 0.7f));
    return c.Resolve();
}

} // namespace art
