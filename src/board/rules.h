// Board rules that need no window: aiming, the step wait and the texts.
#pragma once

#include <cstdint>
#include <string>

namespace pegdrop {

// The chip x that a pointer at x aims at: rounded half to even, clamped to
// 200..400, then kept even.
std::int16_t AimChipX(float pointerX);

// Counts of the step wait at a speed: 1,000,001 - 1500 x speed, none above 666.
std::int32_t StepWaitCounts(std::int16_t speed);

// The step wait itself: a counted busy loop the optimiser must keep. Returns
// the counts made.
std::int32_t StepWait(std::int16_t speed);

std::string ChipsLeftMessage(std::int16_t chipsLeft);
std::string ClosingMessage(std::int32_t winnings);
// Digits grouped in threes with a comma: 90000 -> "90,000".
std::string GroupThousands(std::int32_t value);

} // namespace pegdrop
