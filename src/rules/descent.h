// One step of a falling chip, shared by the board's descent, the speed window's
// test run and the odds tool, so all of them move a chip by the same rule.
#pragma once

#include "rules/lattice.h"

#include <cstdint>
#include <functional>

namespace pegdrop {

// The one pseudo-random source: uniform values in [0, 1).
class RandomSource {
public:
    virtual ~RandomSource() = default;
    virtual void Reseed(double secondsSinceMidnight) = 0;
    virtual float Next() = 0;
};

// A random choice of 1 or 2: the integer part of 2r + 1 for one fresh draw r,
// that is 1 when r < 0.5 and 2 otherwise.
int RandomChoice(RandomSource& random);

// The random choices a step may make, in the order it makes them.
enum class Choice : std::uint8_t { CueDigit, Direction };
using Chooser = std::function<int(Choice)>;

struct ChipMotion {
    std::int16_t x;
    std::int16_t y;
    std::int16_t direction; // kStraight, kLeft or kRight
};

// y + 1, the step rule, then the sideways move. Returns the bounce cue's digit
// (1 or 2) when the step deflected the chip, else 0.
int AdvanceChip(const Lattice& lattice, ChipMotion& chip, const Chooser& choose);

// A chooser that draws every choice from the random source.
Chooser RandomChooser(RandomSource& random);

} // namespace pegdrop
