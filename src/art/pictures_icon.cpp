// The desktop's icon: a little peg board with a chip on its way to a lit slot.
// Each size is laid out on its own pixel grid rather than shrunk from a large
// one: a small icon gets fewer pegs and slots, and its lines land on whole
// pixels so they stay sharp.
#include "art/pictures.h"
#include "art/pictures_common.h"

#include <algorithm>
#include <cmath>

namespace art {
namespace {

using namespace draw;
using namespace detail;

// Where things go at one size, in whole pixels wherever an edge shows.
struct IconLayout {
    float size;
    float margin;  // transparent border around the tile
    float outline; // black edge of the tile
    float frame;   // red frame inside the edge
    float corner;  // radius of the tile's corners
    int pegRows;
    int slots;
    float pegRadius;
    float chipRadius;
};

IconLayout LayoutFor(int size) {
    const float s = static_cast<float>(size);
    IconLayout l{};
    l.size = s;
    l.margin = std::max(1.0f, std::round(s / 32));
    l.outline = std::max(1.0f, std::round(s / 64));
    // Below 32 pixels the frame thins to one pixel and the chip keeps a few
    // pixels of colour inside its rim, or it would read as a grey dot.
    l.frame = size < 32 ? 1.0f : std::max(2.0f, std::round(s * 0.07f));
    l.corner = std::max(3.0f, std::round(s * 0.16f));
    l.pegRows = size < 24 ? 1 : size < 48 ? 2 : size < 128 ? 3 : size < 256 ? 4 : 5;
    l.slots = size < 64 ? 3 : 5;
    l.pegRadius = std::max(1.3f, s * 0.03f);
    l.chipRadius = std::max(3.0f, std::round(s * 0.13f));
    return l;
}

// A round peg lit from the top left, as on the board; too small for its
// light to show, a dark dot on whole pixels.
void PaintPeg(Canvas& c, float x, float y, float r) {
    if (r < 2) {
        c.FillCircle(std::round(x), std::round(y), 1.2f, Paint::Solid(Hex(0x505050)));
        return;
    }
    c.FillCircle(x, y, r,
                 Paint::Radial({x - r * 0.35f, y - r * 0.35f}, r * 1.3f, Hex(0xF0F0F0),
                               Hex(kPegGrey & 0xFFFFFF)));
}

void PaintBoard(Canvas& c, const IconLayout& l) {
    const float s = l.size, m = l.margin;
    c.FillRoundRect(m, m, s - m, s - m, l.corner, Paint::Solid(kBlack));
    const float f0 = m + l.outline;
    c.FillRoundRect(f0, f0, s - f0, s - f0, l.corner - l.outline,
                    Paint::Linear({0, f0}, Hex(0xFF3020), {0, s - f0}, kDarkRed));
    // The white field the pegs stand on; its top and sides on whole pixels.
    const float x0 = f0 + l.frame, x1 = s - x0, y0 = x0, y1 = s - x0;
    c.FillRoundRect(x0, y0, x1, y1, std::max(1.0f, l.corner - l.outline - l.frame),
                    Paint::Solid(kWhite));

    // Prize slots along the bottom, the middle one lit.
    const float slotTop = std::round(y1 - (y1 - y0) * 0.24f);
    const float slotWidth = (x1 - x0) / static_cast<float>(l.slots);
    const float divider = std::max(1.0f, std::round(s / 48));
    for (int k = 0; k < l.slots; ++k) {
        const float a = std::round(x0 + slotWidth * static_cast<float>(k));
        const float b = std::round(x0 + slotWidth * static_cast<float>(k + 1));
        const bool lit = k == l.slots / 2;
        c.SetClip(x0, y0, x1, y1 - 0.01f);
        c.FillRect(a, slotTop, b, y1,
                   lit ? Paint::Linear({0, slotTop}, Hex(0xFFFF90), {0, y1}, kYellow)
                       : Paint::Solid(Hex(0xFFE8B0)));
        c.ResetClip();
        if (k > 0)
            c.FillRect(a - divider / 2, slotTop, a + divider / 2, y1,
                       Paint::Solid(Hex(kPegGrey & 0xFFFFFF)));
    }

    // Rows of pegs, each row offset by half a gap from the one above.
    const float top = y0 + (slotTop - y0) * 0.22f;
    const float rowGap = (slotTop - top) / static_cast<float>(l.pegRows);
    const float colGap = (x1 - x0) / static_cast<float>(l.pegRows + 1);
    for (int row = 0; row < l.pegRows; ++row) {
        const float y = std::round(top + rowGap * static_cast<float>(row)) + 0.5f;
        const float shift = row % 2 ? colGap / 2 : 0;
        for (int k = 0; k <= l.pegRows + 1; ++k) {
            const float x = std::round(x0 + colGap * (static_cast<float>(k) - 0.5f) + shift) + 0.5f;
            if (x - l.pegRadius > x0 && x + l.pegRadius < x1)
                PaintPeg(c, x, y, l.pegRadius);
        }
    }
}

void PaintChip(Canvas& c, const IconLayout& l) {
    const float r = l.chipRadius, cx = l.size / 2 + r * 0.35f, cy = l.size * 0.36f;
    const float rim = std::max(1.0f, std::round(r / 8));
    c.FillCircle(cx + rim, cy + rim, r, Paint::Solid(kBlack, 0.35f));
    c.FillCircle(cx, cy, r, Paint::Solid(Hex(0x808080)));
    c.FillCircle(
        cx, cy, r - rim,
        Paint::Radial({cx - r * 0.35f, cy - r * 0.4f}, r * 1.3f, Tint(kChip, 0.5f), kChip));
    c.FillEllipse(cx - r * 0.3f, cy - r * 0.38f, r * 0.32f, r * 0.19f, Paint::Solid(kWhite, 0.7f));
}

} // namespace

Picture DesktopIconPicture(int size) {
    if (size < kWindowsIconSizes.front() || size > kWebIconSizes.back())
        return {};
    const IconLayout l = LayoutFor(size);
    // The colours, on the outline's black so the tile's rim blends into it.
    Canvas colour(0, 0, size, size, kBlack);
    PaintBoard(colour, l);
    PaintChip(colour, l);
    // The tile's own coverage becomes the alpha: white tile on black.
    Canvas cover(0, 0, size, size, kBlack);
    cover.FillRoundRect(l.margin, l.margin, l.size - l.margin, l.size - l.margin, l.corner,
                        Paint::Solid(kWhite));
    Picture pic = colour.Resolve();
    const Picture mask = cover.Resolve();
    for (std::size_t i = 0; i < pic.pixels.size(); ++i)
        pic.pixels[i] = (pic.pixels[i] & 0x00FFFFFFu) | (mask.pixels[i] & 0xFFu) << 24;
    return pic;
}

} // namespace art
