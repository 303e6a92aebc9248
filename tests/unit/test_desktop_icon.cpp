// The desktop icon is read back at every size of the icon theme and the .ico: a tile with
// see-through corners, the chip and the lit slot where a player looks for
// them, and each size its own drawing, not a shrunk copy of a large one.
#include "art/pictures.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <utility>
#include <vector>

namespace {

using art::Picture;

// The four channels of a pixel.
struct Argb {
    int a, r, g, b;
    explicit Argb(std::uint32_t p)
        : a(static_cast<int>(p >> 24)), r(static_cast<int>(p >> 16 & 0xFF)),
          g(static_cast<int>(p >> 8 & 0xFF)), b(static_cast<int>(p & 0xFF)) {}
};
int A(std::uint32_t p) {
    return Argb(p).a;
}
bool IsChip(Argb p) {
    return p.a == 255 && p.r > 140 && p.g < 90 && p.b > 70;
}
bool IsLitYellow(Argb p) {
    return p.a == 255 && p.r > 230 && p.g > 230 && p.b < 120;
}
// The large icon box-filtered down to `size`, colours weighted by coverage,
// against the icon drawn at that size: the mean difference of a channel.
double DifferenceFromShrunk(const Picture& large, const Picture& small) {
    const int f = large.width / small.width;
    double sum = 0;
    for (int y = 0; y < small.height; ++y)
        for (int x = 0; x < small.width; ++x) {
            double c[3] = {0, 0, 0};
            for (int j = 0; j < f; ++j)
                for (int i = 0; i < f; ++i) {
                    const Argb p(large.At(x * f + i, y * f + j));
                    c[0] += p.r * p.a;
                    c[1] += p.g * p.a;
                    c[2] += p.b * p.a;
                }
            const Argb own(small.At(x, y));
            const int mine[3] = {own.r * own.a, own.g * own.a, own.b * own.a};
            for (int k = 0; k < 3; ++k)
                sum += std::abs(c[k] / (f * f) - mine[k]) / 255;
        }
    return sum / (3.0 * small.width * small.height);
}

TEST(DesktopIcon, EverySizeIsATileWithClearCornersAndASolidInside) {
    std::vector<int> sizes(art::kWindowsIconSizes.begin(), art::kWindowsIconSizes.end());
    sizes.insert(sizes.end(), art::kWebIconSizes.begin(), art::kWebIconSizes.end());
    for (int size : sizes) {
        SCOPED_TRACE(size);
        const Picture icon = art::DesktopIconPicture(size);
        ASSERT_EQ(icon.width, size);
        ASSERT_EQ(icon.height, size);
        ASSERT_EQ(icon.pixels.size(), static_cast<std::size_t>(size * size));
        for (auto [x, y] : {std::pair{0, 0}, {size - 1, 0}, {0, size - 1}, {size - 1, size - 1}})
            EXPECT_EQ(A(icon.At(x, y)), 0) << x << "," << y;
        // Along the middle row and column the tile is opaque from a few
        // pixels in, and edge-to-edge it fades in no more than two pixels.
        const int in = size / 12 + 1;
        int fading = 0;
        for (int k = 0; k < size; ++k) {
            if (k >= in && k < size - in) {
                EXPECT_EQ(A(icon.At(k, size / 2)), 255) << "row, x " << k;
                EXPECT_EQ(A(icon.At(size / 2, k)), 255) << "column, y " << k;
            }
            const int a = A(icon.At(k, size / 2));
            fading += a > 0 && a < 255;
        }
        EXPECT_LE(fading, 4);
    }
}

TEST(DesktopIcon, ShowsTheChipAboveTheLitMiddleSlot) {
    for (int size : art::kWindowsIconSizes) {
        SCOPED_TRACE(size);
        const Picture icon = art::DesktopIconPicture(size);
        double chipX = 0, chipY = 0, chip = 0, litX = 0, litY = 0, lit = 0;
        for (int y = 0; y < size; ++y)
            for (int x = 0; x < size; ++x) {
                if (IsChip(Argb(icon.At(x, y)))) {
                    chipX += x;
                    chipY += y;
                    ++chip;
                }
                if (IsLitYellow(Argb(icon.At(x, y)))) {
                    litX += x;
                    litY += y;
                    ++lit;
                }
            }
        const double area = static_cast<double>(size) * size;
        // The chip covers a few hundredths of the tile at every size.
        EXPECT_GT(chip / area, 0.02);
        EXPECT_LT(chip / area, 0.08);
        ASSERT_GT(lit, 0);
        EXPECT_NEAR(litX / lit, size / 2.0, size * 0.05);
        EXPECT_GT(litY / lit, size * 0.7);
        EXPECT_LT(chipY / chip, size * 0.5);
        EXPECT_NEAR(chipX / chip, size / 2.0, size * 0.15);
    }
}

TEST(DesktopIcon, IsDrawnForItsSizeNotShrunk) {
    // Fewer pegs and slots on whole pixels make a small icon differ from a
    // large one shrunk, by several levels a channel on average; a plain
    // shrink would differ by none.
    const Picture i32 = art::DesktopIconPicture(32), i64 = art::DesktopIconPicture(64),
                  i128 = art::DesktopIconPicture(128), i256 = art::DesktopIconPicture(256);
    EXPECT_GT(DifferenceFromShrunk(i256, i128), 5);
    EXPECT_GT(DifferenceFromShrunk(i128, i64), 5);
    EXPECT_GT(DifferenceFromShrunk(i64, i32), 5);
    EXPECT_GT(DifferenceFromShrunk(i256, i32), 5);
    // The measure itself: a picture against its own shrink differs by nothing.
    Picture halved;
    halved.width = halved.height = 128;
    for (int y = 0; y < 128; ++y)
        for (int x = 0; x < 128; ++x)
            halved.pixels.push_back(i256.At(2 * x, 2 * y));
    Picture same = i256;
    for (int y = 0; y < 256; ++y)
        for (int x = 0; x < 256; ++x)
            same.pixels[static_cast<std::size_t>(y * 256 + x)] = halved.At(x / 2, y / 2);
    EXPECT_LT(DifferenceFromShrunk(same, halved), 0.01);
}

TEST(DesktopIcon, OutsideTheThemesSizesThereIsNone) {
    EXPECT_TRUE(art::DesktopIconPicture(0).pixels.empty());
    EXPECT_TRUE(art::DesktopIconPicture(15).pixels.empty());
    EXPECT_TRUE(art::DesktopIconPicture(513).pixels.empty());
    EXPECT_EQ(art::DesktopIconPicture(48).pixels, art::DesktopIconPicture(48).pixels);
}

} // namespace
