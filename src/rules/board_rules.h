// Board rules that need no window: aiming, the step wait and its pace, the texts.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace pegdrop {

// The chip x that a pointer at x aims at: rounded half to even, clamped to
// 200..400, then kept even.
std::int16_t AimChipX(float pointerX);

// Counts of the step wait at a speed: 1,000,001 - 1500 x speed, none above 666.
std::int32_t StepWaitCounts(std::int16_t speed);

// The step wait itself: a counted busy loop the optimiser must keep. Returns
// the counts made.
std::int32_t StepWait(std::int16_t speed);

// The pace is the one the step wait has on a machine counting this many a
// second, whatever the machine the game runs on.
inline constexpr std::int64_t kReferenceCountsPerSecond = 33'000'000;

// How long the reference machine takes to count this many: microseconds,
// rounded up.
std::uint64_t ReferenceCountUs(std::uint64_t counts);

std::string ChipsLeftMessage(std::int16_t chipsLeft);
// The thousands grouped with the player's separator, as the top-ten table's.
std::string ClosingMessage(std::int32_t winnings, std::string_view separator = ",");
// Digits grouped in threes with the separator given, a comma when it is
// empty (a locale without one): 90000 -> "90,000".
std::string GroupThousands(std::int32_t value, std::string_view separator = ",");

} // namespace pegdrop
