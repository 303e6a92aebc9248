// Colours, rectangles and pixel pictures handed to the control layer.
#pragma once

#include <cstdint>
#include <vector>

namespace ui {

struct Color {
    std::uint8_t r = 0, g = 0, b = 0;
    friend bool operator==(const Color&, const Color&) = default;
};

inline constexpr Color RGB(int r, int g, int b) {
    return Color{static_cast<std::uint8_t>(r), static_cast<std::uint8_t>(g),
                 static_cast<std::uint8_t>(b)};
}

struct Rect {
    int left = 0, top = 0, width = 0, height = 0;
    bool Contains(float x, float y) const {
        return x >= static_cast<float>(left) && y >= static_cast<float>(top) &&
               x < static_cast<float>(left + width) && y < static_cast<float>(top + height);
    }
};

// Opaque pixels, 0xAARRGGBB, row by row.
struct Bitmap {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> pixels;
};

} // namespace ui
