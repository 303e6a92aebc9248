// The nine prize slots along the bottom of the board, left to right.
#pragma once

#include <array>
#include <cstdint>

namespace pegdrop {

struct Slot {
    std::int16_t number;          // LandedSlot value, 1..9 from the left
    std::int16_t prize;           // dollars
    const char* image;            // name of the lit slot's image control
    int left, top, width, height; // the image control over the painted slot
    std::int16_t minX, maxX;      // final chip x that lands here (inclusive)
    const char* cue;              // prize cue; nullptr: the zero rule decides
    const char* caption;          // landing message
};

inline constexpr std::array<Slot, 9> kSlots = {{
    {1, 100, "img100left", 167, 327, 48, 62, INT16_MIN, 213, "100.wav", "You win $100"},
    {2, 500, "img500left", 195, 327, 44, 67, 219, 237, "500.wav", "You win $500"},
    {3, 1000, "img1000left", 223, 327, 40, 70, 243, 261, "1000.wav", "You win $1,000"},
    {4, 0, "img0left", 254, 327, 33, 72, 267, 285, nullptr, "Zero!"},
    {5, 10000, "img10000", 283, 327, 35, 72, 291, 309, "10000.wav", "You win $10,000!"},
    {6, 0, "img0right", 314, 327, 33, 72, 315, 333, nullptr, "Zero!"},
    {7, 1000, "img1000right", 338, 327, 40, 70, 339, 357, "1000.wav", "You win $1,000"},
    {8, 500, "img500right", 362, 327, 43, 67, 363, 381, "500.wav", "You win $500"},
    {9, 100, "img100right", 386, 327, 47, 62, 387, INT16_MAX, "100.wav", "You win $100"},
}};

// The slot a descent that ended at x lands in, or nullptr between two ranges.
inline const Slot* SlotForX(int x) {
    for (const Slot& s : kSlots)
        if (x >= s.minX && x <= s.maxX)
            return &s;
    return nullptr;
}

inline const Slot* SlotByNumber(int n) {
    return n >= 1 && n <= 9 ? &kSlots[static_cast<std::size_t>(n - 1)] : nullptr;
}

} // namespace pegdrop
