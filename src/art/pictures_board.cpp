// The board picture and its lit slots. The board is painted as one scene; a
// lit slot is the same scene painted lit and cut to the slot's image, so the
// image lies over the unlit board without a seam.
#include "art/pictures.h"
#include "art/pictures_common.h"
#include "rules/lattice.h"
#include "rules/slots.h"

#include <algorithm>
#include <cmath>
#include <string>

namespace art {
namespace {

using namespace draw;
using namespace detail;

constexpr float kFieldTop = 30;
constexpr float kWallOuterWidth = 12; // the wall's band beyond its outer zig-zag points
constexpr float kWallFlat = 2.5f;     // half height of the flat at an inner point
constexpr float kFanTop = 327;        // the prize slots start here
constexpr float kFanFocusY = 27;      // the slots fan out from the drop point
constexpr float kFanBottom = 399.2f;  // the middle slots reach the picture's foot
constexpr float kFanSag = 5.9e-4f;    // the outer slots are shorter
constexpr float kFanGap = 1;          // half the dark gap between two slots

const pegdrop::Lattice& Board() {
    return pegdrop::BoardLattice();
}
int Pitch() {
    return Board().aColumns[1] - Board().aColumns[0];
}
// Continuous x of the middle of the board; the field is symmetric about it.
float MidX() {
    return (static_cast<float>(Board().leftWall) + 1 + static_cast<float>(Board().rightWall)) / 2;
}
float Mirror(float x) {
    return 2 * MidX() - x;
}

// ---- the walls ----------------------------------------------------------

// The inner zig-zag of the left wall, top to bottom: in at the B-row peg
// heights (the wall line), out half a pitch at the A-row peg heights.
std::vector<Point> LeftWallEdge() {
    const pegdrop::Lattice& l = Board();
    const float inner = static_cast<float>(l.leftWall) + 1;
    const float outer = inner - static_cast<float>(Pitch()) / 2;
    struct Mark {
        float y;
        bool in;
    };
    std::vector<Mark> marks;
    for (int r : l.aRows)
        if (r != pegdrop::kBoardDividerRow)
            marks.push_back({static_cast<float>(r + pegdrop::kBoardPegDrop) + 0.5f, false});
    for (int r : l.bRows)
        marks.push_back({static_cast<float>(r + pegdrop::kBoardPegDrop) + 0.5f, true});
    std::sort(marks.begin(), marks.end(), [](const Mark& a, const Mark& b) { return a.y < b.y; });
    // Below the last pegs the wall comes in once more and runs down to the slots.
    marks.push_back({marks.back().y + static_cast<float>(Pitch()), true});

    std::vector<Point> edge{{outer, kFieldTop}};
    for (const Mark& m : marks) {
        if (m.in) {
            edge.push_back({inner, m.y - kWallFlat});
            edge.push_back({inner, m.y + kWallFlat});
        } else {
            edge.push_back({outer, m.y});
        }
    }
    edge.push_back({inner, static_cast<float>(pegdrop::kBoardDividerBottom) + 1});
    return edge;
}

std::vector<Point> MirrorAll(std::vector<Point> pts) {
    for (Point& p : pts)
        p.x = Mirror(p.x);
    return pts;
}

void PaintWall(Canvas& c, const std::vector<Point>& edge, bool left) {
    const float side = left ? -1.0f : 1.0f;
    const float outerX = edge.front().x + side * kWallOuterWidth;
    const float bottom = edge.back().y;
    std::vector<Point> shape = edge;
    shape.push_back({outerX, bottom});
    shape.push_back({outerX, kFieldTop});
    c.FillPolygon(shape, Paint::Linear({outerX, 0}, Hex(0xFFE000), {edge.front().x, 0}, kYellow));

    // A dark line a little behind the rim gives the wall its depth; the rim
    // itself stays yellow up to the wall line.
    std::vector<Point> line;
    for (const Point& p : edge)
        line.push_back({p.x + side * 3.2f, p.y});
    line.front().y += 1.6f;
    line.back().y -= 1.6f;
    c.StrokePolyline(line, 0.75f, Paint::Solid(kWallEdge));
    c.StrokePolyline(
        {{outerX - side * 1.2f, kFieldTop + 1.2f}, {outerX - side * 1.2f, bottom - 1.2f}}, 0.75f,
        Paint::Solid(kWallEdge));
    c.StrokePolyline({{outerX - side * 1.2f, kFieldTop + 1.2f},
                      {edge.front().x + side * 3.2f, kFieldTop + 1.2f}},
                     0.75f, Paint::Solid(kWallEdge));
    // Rivets on the zig-zag points.
    for (std::size_t k = 1; k + 1 < edge.size(); ++k) {
        const bool flatTop = edge[k + 1].x == edge[k].x;
        const bool flatBottom = edge[k - 1].x == edge[k].x;
        if (flatBottom)
            continue; // the lower end of a flat: its rivet is drawn at the upper end
        const float y = flatTop ? (edge[k].y + edge[k + 1].y) / 2 : edge[k].y;
        const float x = edge[k].x + side * 5.5f;
        c.FillCircle(x, y, 2.3f, Paint::Solid(kDarkRed));
        c.FillCircle(x, y, 1.7f, Paint::Radial({x - 0.6f, y - 0.6f}, 2, Hex(0xFF6060), kRed));
    }
}

// ---- the prize slots ----------------------------------------------------

// Slot boundaries run from the dividers' feet up to the drop point; their
// offsets are from the middle of the board at the top of the slots.
float Boundary(int k) { // k = 0..9; slot s lies between k = s - 1 and k = s
    const pegdrop::Lattice& l = Board();
    const int n = static_cast<int>(l.aColumns.size());
    const float col = k == 0  ? static_cast<float>(l.aColumns.front() - Pitch())
                      : k > n ? static_cast<float>(l.aColumns.back() + Pitch())
                              : static_cast<float>(l.aColumns[static_cast<std::size_t>(k - 1)]);
    return col + 0.5f - MidX();
}

float RayX(float offset, float y) {
    return MidX() + offset * (y - kFanFocusY) / (kFanTop - kFanFocusY);
}
float FanBottom(float x) {
    return kFanBottom - kFanSag * (x - MidX()) * (x - MidX());
}

// Where a boundary (moved sideways by `shift`) meets the fan's lower edge.
Point BottomCorner(float offset, float shift, float lift) {
    float y = FanBottom(RayX(offset, kFanBottom)) - lift;
    for (int k = 0; k < 3; ++k)
        y = FanBottom(RayX(offset, y) + shift) - lift;
    return {RayX(offset, y) + shift, y};
}

std::vector<Point> Wedge(float leftOff, float rightOff, float gap, float top, float lift) {
    std::vector<Point> w{{RayX(leftOff, top) + gap, top}, {RayX(rightOff, top) - gap, top}};
    const Point br = BottomCorner(rightOff, -gap, lift);
    const Point bl = BottomCorner(leftOff, gap, lift);
    w.push_back(br);
    for (int k = 1; k < 6; ++k) {
        const float x = br.x + (bl.x - br.x) * static_cast<float>(k) / 6;
        w.push_back({x, FanBottom(x) - lift});
    }
    w.push_back(bl);
    return w;
}

struct SlotLook {
    Rgb top, bottom, text, outline;
};

SlotLook LookOf(int prize, bool lit) {
    switch (prize) {
    case 100:
        return lit ? SlotLook{Hex(0x80FFFF), Hex(0x00D0E0), kWhite, Hex(0x005080)}
                   : SlotLook{Hex(0x1A8080), Hex(0x0A5058), Hex(0x9CC8C8), Hex(0x002830)};
    case 500:
        return lit ? SlotLook{Hex(0xFF80FF), Hex(0xE000E0), kWhite, Hex(0x700070)}
                   : SlotLook{Hex(0x80207A), Hex(0x500050), Hex(0xC8A0C8), Hex(0x280028)};
    case 1000:
        return lit ? SlotLook{Hex(0x8080FF), Hex(0x3030F0), Hex(0xFFFF40), Hex(0x000070)}
                   : SlotLook{Hex(0x282890), Hex(0x141460), Hex(0xB0B0D8), Hex(0x000030)};
    case 0:
        return lit ? SlotLook{Hex(0xF8F8F8), Hex(0xC0C0C0), Hex(0xF00000), Hex(0x600000)}
                   : SlotLook{Hex(0x585858), Hex(0x383838), Hex(0xA8A8A8), Hex(0x181818)};
    default:
        return lit ? SlotLook{Hex(0xFF7050), Hex(0xF00000), Hex(0xFFFF00), Hex(0x800000)}
                   : SlotLook{Hex(0x902010), Hex(0x600000), Hex(0xD8B880), Hex(0x300000)};
    }
}

std::string PrizeText(int prize) {
    const std::string digits = std::to_string(prize);
    std::string text = "$";
    for (std::size_t k = 0; k < digits.size(); ++k) {
        if (k > 0 && (digits.size() - k) % 3 == 0)
            text += ',';
        text += digits[k];
    }
    return text;
}

// The prize label runs up the slot's axis, as if read off a fan of cards.
void PaintPrize(Canvas& c, const std::string& text, float axis, float top, float bottom,
                float narrow, const SlotLook& look) {
    const float length = bottom - top;
    float size = std::min(17.0f, narrow - 7);
    TextStyle style{size, std::max(1.2f, size * 0.11f), 0, size * 0.13f, 0.9f};
    const float w = TextWidth(text, style);
    if (w > length) {
        style.stretch *= length / w;
        style.gap *= length / w;
    }
    const float midY = (top + bottom) / 2;
    const Point mid{RayX(axis, midY), midY};
    const float tilt = std::atan(axis / (kFanTop - kFanFocusY));
    const Point at{mid.x - TextWidth(text, style) / 2, mid.y - style.size / 2};
    const float turn = -1.5707963f - tilt;
    const auto caps = [&](float grow) {
        return Rotate(TextCapsules(text, at, style, grow), mid, turn);
    };
    c.FillCapsules(caps(1.1f), Paint::Solid(look.outline));
    c.FillCapsules(caps(0), Paint::Solid(look.text));
}

void PaintSlots(Canvas& c, int lit) {
    // The dark backing: the gaps between the slots and a rail under the dividers.
    c.FillPolygon(Wedge(Boundary(0) - 1.5f, Boundary(9) + 1.5f, 0,
                        static_cast<float>(pegdrop::kBoardDividerBottom) + 1, -0.8f),
                  Paint::Solid(kNavy));
    for (const pegdrop::Slot& s : pegdrop::kSlots) {
        const float l = Boundary(s.number - 1), r = Boundary(s.number);
        const bool on = s.number == lit;
        const SlotLook look = LookOf(s.prize, on);
        c.SetClip(static_cast<float>(s.left), static_cast<float>(s.top),
                  static_cast<float>(s.left + s.width), static_cast<float>(s.top + s.height));
        const std::vector<Point> w = Wedge(l, r, kFanGap, kFanTop, 0.6f);
        c.FillPolygon(w, Paint::Linear({0, kFanTop}, look.top, {0, 398}, look.bottom));
        if (on) {
            // A gloss on the upper part.
            c.FillPolygon(Wedge(l, r, kFanGap + 1.5f, kFanTop + 1.5f, 44),
                          Paint::Linear({0, kFanTop}, kWhite, {0, kFanTop + 26}, look.top, 0.55f));
        }
        const Point bl = BottomCorner(l, kFanGap, 0.6f), br = BottomCorner(r, -kFanGap, 0.6f);
        const float bottom = std::min(bl.y, br.y);
        PaintPrize(c, PrizeText(s.prize), (l + r) / 2, kFanTop + 4, bottom - 4, w[1].x - w[0].x,
                   look);
        c.ResetClip();
    }
}

// ---- the rest of the board ------------------------------------------------

void PaintTitle(Canvas& c) {
    const auto plate = [&c](float x0, float x1, const char* text, Rgb letters) {
        c.FillRoundRect(x0 + 2, 4, x1 + 2, 30, 7, Paint::Solid(Hex(0xB0B0B0)));
        c.FillRoundRect(x0, 2, x1, 28, 7, Paint::Solid(kBlack));
        c.FillRoundRect(x0 + 1.5f, 3.5f, x1 - 1.5f, 26.5f, 5.5f, Paint::Solid(kRed));
        c.FillRoundRect(x0 + 3.5f, 5.5f, x1 - 3.5f, 24.5f, 4,
                        Paint::Linear({0, 5}, Hex(0xFFFF90), {0, 25}, Hex(0xFFE000)));
        TextStyle st{15, 1.45f, 0.12f, 2.8f, 1.55f};
        const float room = x1 - x0 - 18;
        if (const float w = TextWidth(text, st); w > room) {
            st.stretch *= room / w;
            st.gap *= room / w;
        }
        TextLook tl;
        tl.fill = Paint::Linear({0, 8}, letters, {0, 22}, Shade(letters, 0.25f));
        tl.outline = kBlack;
        tl.outlineWidth = 0.9f;
        tl.shadow = {1.5f, 1.5f};
        tl.shadowColour = kDarkRed;
        tl.extrude = true;
        PaintText(c, text, CentredText(text, st, (x0 + x1) / 2, 7.5f), st, tl);
    };
    plate(8, 183, "PEGDROP!!!", kRed);
    plate(417, 592, "DROP TO WIN!", Hex(0xD000B0));
}

void PaintScoreboard(Canvas& c) {
    c.FillRoundRect(36, 112, 182, 214, 12, Paint::Solid(Hex(0xB0B0B0)));
    c.FillRoundRect(32, 108, 178, 210, 12, Paint::Solid(kBlack));
    c.FillRoundRect(34, 110, 176, 208, 10.5f, Paint::Solid(kRed));
    c.FillRoundRect(37, 113, 173, 205, 8,
                    Paint::Linear({0, 113}, Hex(0xFFFF80), {0, 205}, Hex(0xFFD000)));
    TextStyle st{14, 1.9f, 0.1f, 2.4f};
    TextLook tl;
    tl.fill = Paint::Solid(kRed);
    tl.outline = kBlack;
    tl.outlineWidth = 1.0f;
    tl.shadow = {1.4f, 1.4f};
    tl.shadowColour = Hex(0xA06000);
    tl.shadowAlpha = 0.7f;
    PaintText(c, "WINNINGS", CentredText("WINNINGS", st, 105, 124), st, tl);
    // A sunken frame round the score label's own red field.
    const float x0 = kScoreFieldLeft, y0 = kScoreFieldTop;
    const float x1 = x0 + kScoreFieldWidth, y1 = y0 + kScoreFieldHeight;
    c.FillRect(x0 - 4, y0 - 4, x1 + 4, y1 + 4, Paint::Solid(Hex(0x806000)));
    c.FillRect(x0 - 2, y0 - 2, x1 + 4, y1 + 4, Paint::Solid(kWhite));
    c.FillRect(x0 - 2, y0 - 2, x1 + 2, y1 + 2, Paint::Solid(kBlack));
    c.FillRect(x0, y0, x1, y1, Paint::Solid(Hex(kScoreRed & 0xFFFFFF)));
    // Three lamps under it.
    const Rgb lamps[] = {kRed, kMagenta, kCyan};
    for (int k = 0; k < 3; ++k) {
        const float x = 81 + 24 * static_cast<float>(k), y = 192;
        c.FillCircle(x, y, 5.5f, Paint::Solid(kBlack));
        c.FillCircle(x, y, 4.3f,
                     Paint::Radial({x - 1.5f, y - 1.5f}, 5, Tint(lamps[k], 0.7f), lamps[k]));
    }
}

void PaintStarburst(Canvas& c) {
    const float cx = 505, cy = 172;
    const int points = 18;
    const auto star = [&](float outer, float inner) {
        std::vector<Point> pts;
        for (int k = 0; k < 2 * points; ++k) {
            const float a = static_cast<float>(k) * 3.14159265f / points - 1.5708f;
            const float r = k % 2 ? inner : outer;
            pts.push_back({cx + r * std::cos(a) * 1.08f, cy + r * std::sin(a)});
        }
        return pts;
    };
    std::vector<Point> shadow = star(78, 60);
    for (Point& p : shadow)
        p = {p.x + 4, p.y + 4};
    c.FillPolygon(shadow, Paint::Solid(Hex(0xB0B0B0)));
    c.FillPolygon(star(78, 60), Paint::Solid(kBlack));
    c.FillPolygon(star(75, 57.5f), Paint::Solid(kRed));
    c.FillPolygon(star(71, 54),
                  Paint::Radial({cx - 12, cy - 14}, 75, Hex(0xFFFFC0), Hex(0xFFE000)));
    const auto line = [&](const char* text, float top, float size, Rgb colour) {
        TextStyle st{size, size * 0.13f, 0.1f, size * 0.16f};
        TextLook tl;
        tl.fill = Paint::Linear({0, top}, colour, {0, top + size}, Shade(colour, 0.3f));
        tl.outline = kBlack;
        tl.outlineWidth = 1.1f;
        tl.shadow = {1.5f, 1.5f};
        tl.shadowColour = Hex(0xA06000);
        tl.shadowAlpha = 0.6f;
        PaintText(c, text, CentredText(text, st, cx, top), st, tl);
    };
    line("TOP", 136, 14, Hex(0x0000C0));
    line("PRIZE", 153, 14, Hex(0x0000C0));
    line("$10,000", 175, 22, kRed);
}

// A chip falling past a few pegs, in the empty corner beside the slots.
void PaintChipEmblem(Canvas& c, float cx, float cy) {
    for (int k = 0; k < 3; ++k) {
        const float x = cx - 10 + 10 * static_cast<float>(k);
        c.StrokePolyline({{x, cy - 46 + 4 * std::abs(static_cast<float>(k - 1))}, {x, cy - 26}},
                         1.6f, Paint::Linear({0, cy - 46}, kWhite, {0, cy - 26}, Hex(0xE080C0)));
    }
    const Point pegs[] = {{cx - 36, cy - 8},
                          {cx + 36, cy - 8},
                          {cx - 18, cy + 30},
                          {cx + 18, cy + 30},
                          {cx, cy + 30 + 0.01f}};
    for (const Point& p : pegs) {
        c.FillCircle(p.x + 1.2f, p.y + 1.2f, 4.5f, Paint::Solid(Hex(0xC8C8C8)));
        c.FillCircle(p.x, p.y, 4.5f,
                     Paint::Radial({p.x - 1.5f, p.y - 1.5f}, 5.5f, Hex(0xE0E0E0), Hex(0x606060)));
    }
    c.FillCircle(cx + 2.5f, cy + 2.5f, 17, Paint::Solid(Hex(0xC8C8C8)));
    c.FillCircle(cx, cy, 17, Paint::Solid(Hex(0xC0C0C0)));
    c.FillCircle(cx, cy, 15.5f,
                 Paint::Radial({cx - 5, cy - 6}, 19, Tint(kChip, 0.45f), Shade(kChip, 0.15f)));
    c.FillEllipse(cx - 5, cy - 7, 5.5f, 3.2f, Paint::Solid(kWhite, 0.55f));
}

void PaintGoodLuck(Canvas& c, float cx, float top) {
    TextStyle st{20, 2.3f, 0.16f, 3, 1.1f};
    TextLook tl;
    tl.outline = kBlack;
    tl.outlineWidth = 1.2f;
    tl.shadow = {2, 2};
    tl.shadowColour = Hex(0xB0B0B0);
    tl.fill = Paint::Linear({0, top}, Hex(0xFF40FF), {0, top + 20}, Hex(0xA000A0));
    PaintText(c, "GOOD", CentredText("GOOD", st, cx, top), st, tl);
    tl.fill = Paint::Linear({0, top + 28}, Hex(0xFF4040), {0, top + 48}, Hex(0xB00000));
    PaintText(c, "LUCK!", CentredText("LUCK!", st, cx, top + 28), st, tl);
}

void PaintBoardScene(Canvas& c, int lit) {
    PaintTitle(c);
    const std::vector<Point> left = LeftWallEdge();
    PaintWall(c, left, true);
    PaintWall(c, MirrorAll(left), false);
    PaintSlots(c, lit);
    // The last A row is the dividers' tops, drawn as bars instead.
    PaintLatticePegs(c, Board(), [](int, int row) { return row != pegdrop::kBoardDividerRow; });
    PaintScoreboard(c);
    PaintStarburst(c);
    PaintChipEmblem(c, 92, 310);
    PaintGoodLuck(c, 508, 294);
}

// The dividers are read back as whole pixels, never smoothed.
void StampDividers(Picture& pic, int left, int top) {
    Stamp s(pic, left, top);
    for (int col : Board().aColumns)
        s.Rect(col - pegdrop::kBoardDividerWidth / 2, pegdrop::kBoardDividerTop,
               col + pegdrop::kBoardDividerWidth / 2, pegdrop::kBoardDividerBottom, kPegGrey);
}

Picture PaintBoardPart(int left, int top, int width, int height, int lit) {
    Canvas c(left, top, width, height, kWhite);
    PaintBoardScene(c, lit);
    Picture pic = c.Resolve();
    StampDividers(pic, left, top);
    return pic;
}

} // namespace

Picture BoardPicture() {
    return PaintBoardPart(0, 0, kBoardWidth, kBoardHeight, 0);
}

// Painted over the board's own part, so that it lies on the board without a seam.
Picture MutedMarkPicture() {
    const float x = kMutedMarkLeft, y = kMutedMarkTop, s = kMutedMarkSize;
    Canvas c(kMutedMarkLeft, kMutedMarkTop, kMutedMarkSize, kMutedMarkSize, kWhite);
    PaintBoardScene(c, 0);
    const float mid = y + s / 2;
    c.FillRect(x + 3, mid - 3.5f, x + 8, mid + 3.5f, Paint::Solid(kBlack));
    c.FillPolygon(
        {{x + 7, mid - 3.5f}, {x + 13, mid - 8.5f}, {x + 13, mid + 8.5f}, {x + 7, mid + 3.5f}},
        Paint::Solid(kBlack));
    c.StrokePolyline({{x + 2.5f, y + 2.5f}, {x + s - 2.5f, y + s - 2.5f}}, 1.6f,
                     Paint::Solid(kRed));
    return c.Resolve();
}

Picture LitSlotPicture(int slot) {
    const pegdrop::Slot* s = pegdrop::SlotByNumber(slot);
    if (!s)
        return {};
    return PaintBoardPart(s->left, s->top, s->width, s->height, slot);
}

} // namespace art
