// What the picture painters share: the palette, the pegs, and the pixel-exact
// marks that other code reads back (dividers), laid after the smoothing.
#pragma once

#include "art/draw_canvas.h"
#include "art/draw_glyphs.h"
#include "art/pictures.h"
#include "rules/lattice.h"

#include <utility>

namespace art::detail {

using draw::Hex;
using draw::Rgb;

inline constexpr Rgb kWhite = Hex(0xFFFFFF);
inline constexpr Rgb kBlack = Hex(0x000000);
inline constexpr Rgb kYellow = Hex(kWallYellow & 0xFFFFFF);
inline constexpr Rgb kRed = Hex(0xE60000);
inline constexpr Rgb kMagenta = Hex(0xE600E6);
inline constexpr Rgb kCyan = Hex(0x00E6E6);
inline constexpr Rgb kChip = Hex(0xC00080);
inline constexpr Rgb kDarkRed = Hex(0x800000);
inline constexpr Rgb kWallEdge = Hex(0xC08000);
inline constexpr Rgb kNavy = Hex(0x000040);
inline constexpr Rgb kPegLight = Hex(0xFAFAFA);
inline constexpr Rgb kPegShadow = Hex(0x303030);
inline constexpr Rgb kPegRimLit = Hex(0x909090);
inline constexpr Rgb kPegBody = Hex(0x8A8A8A);

// Both chips are 17 x 17 discs drawn from (x - 8, y - 8): the lower edge of a
// chip on a peg's row is 8 pixels below that row. The peg starts on the next
// pixel row, so the chip comes to rest on the peg it meets and never hides it.
inline constexpr int kChipReach = 8;
inline constexpr int kPegReach = 2; // a peg is 5 pixels across
inline constexpr int kPegBelowRow = kChipReach + 1 + kPegReach;

// A peg centred on pixel (x, y): a small grey ball lit from the top-left, as
// the chip is, the light falling off to its shadowed lower right.
inline void PaintPeg(draw::Canvas& c, int x, int y) {
    const float cx = static_cast<float>(x) + 0.5f, cy = static_cast<float>(y) + 0.5f;
    const float radius = static_cast<float>(kPegReach) + 0.5f;
    c.FillCircle(cx, cy, radius,
                 draw::Paint::Linear({cx - radius, cy - radius}, kPegRimLit,
                                     {cx + radius, cy + radius}, kPegShadow));
    c.FillCircle(cx, cy, radius - 0.7f,
                 draw::Paint::Radial({cx - 0.7f, cy - 0.7f}, radius, kPegLight, kPegBody));
}

// The pegs of a lattice on their rows and columns, those that `stands(column,
// row)` keeps.
template <class Stands>
void PaintLatticePegs(draw::Canvas& c, const pegdrop::Lattice& l, Stands stands) {
    for (const auto& [rows, columns] : {std::pair{&l.aRows, &l.aColumns}, {&l.bRows, &l.bColumns}})
        for (int r : *rows)
            for (int col : *columns)
                if (stands(col, r))
                    PaintPeg(c, col, r + kPegBelowRow);
}

// Writes whole pixels into a picture that shows [left, left + width) x
// [top, top + height) of a larger one; marks outside it are dropped.
class Stamp {
public:
    Stamp(Picture& pic, int left, int top) : pic_(pic), left_(left), top_(top) {}
    void Set(int x, int y, std::uint32_t argb) {
        const int px = x - left_, py = y - top_;
        if (px >= 0 && py >= 0 && px < pic_.width && py < pic_.height)
            pic_.pixels[static_cast<std::size_t>(py) * static_cast<std::size_t>(pic_.width) +
                        static_cast<std::size_t>(px)] = argb;
    }
    // Both corners included.
    void Rect(int x0, int y0, int x1, int y1, std::uint32_t argb) {
        for (int y = y0; y <= y1; ++y)
            for (int x = x0; x <= x1; ++x)
                Set(x, y, argb);
    }

private:
    Picture& pic_;
    int left_, top_;
};

} // namespace art::detail
