// What the picture painters share: the palette and the pixel-exact marks that
// other code reads back (pegs, dividers), laid after the smoothing.
#pragma once

#include "assets/draw_canvas.h"
#include "assets/draw_glyphs.h"
#include "assets/pictures.h"

namespace assets::detail {

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
    // A peg: the centre pixel and its four neighbours.
    void Peg(int x, int y) {
        Set(x, y, kPegGrey);
        Set(x - 1, y, kPegGrey);
        Set(x + 1, y, kPegGrey);
        Set(x, y - 1, kPegGrey);
        Set(x, y + 1, kPegGrey);
    }

private:
    Picture& pic_;
    int left_, top_;
};

} // namespace assets::detail
