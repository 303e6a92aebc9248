#include "rules/descent.h"

namespace pegdrop {

int RandomChoice(RandomSource& random) {
    // In single precision 2r + 1 rounds up to 3 for the largest r below 1; the
    // comparison is what the integer part of 2r + 1 means for every r in [0, 1).
    return random.Next() < 0.5f ? 1 : 2;
}

int AdvanceChip(const Lattice& lattice, ChipMotion& chip, const Chooser& choose) {
    chip.y = static_cast<std::int16_t>(chip.y + 1);
    const StepAction action = StepRule(lattice, chip.x, chip.y);
    int digit = 0;
    if (action.bounce)
        digit = choose(Choice::CueDigit);
    switch (action.steer) {
    case Steer::Keep:
        break;
    case Steer::Straight:
        chip.direction = kStraight;
        break;
    case Steer::Left:
        chip.direction = kLeft;
        break;
    case Steer::Right:
        chip.direction = kRight;
        break;
    case Steer::Random:
        chip.direction = static_cast<std::int16_t>(choose(Choice::Direction));
        break;
    }
    if (chip.direction == kLeft)
        chip.x = static_cast<std::int16_t>(chip.x - 1);
    else if (chip.direction == kRight)
        chip.x = static_cast<std::int16_t>(chip.x + 1);
    return digit;
}

Chooser RandomChooser(RandomSource& random) {
    return [&random](Choice) { return RandomChoice(random); };
}

} // namespace pegdrop
