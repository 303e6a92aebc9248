// The pace of a falling chip, the same on every machine. Each step still counts
// the step wait, and then lasts as long as those counts take on the reference
// machine; whatever the count left of that time is slept on the layer's clock.
// The board's descent and the speed window's test run both step through this.
#pragma once

#include "platform/clock.h"
#include "rules/board_rules.h"

#include <cstdint>
#include <functional>

namespace pegdrop {

class StepPacer {
public:
    // Makes a step's counts and returns how many it made: the step wait, or a
    // stand-in that only reports them.
    using Count = std::function<std::int32_t(std::int16_t speed)>;

    // Behind by more than this, a pacer restarts. A loaded machine, or a
    // browser that draws and wakes its page late, holds the game back for a
    // few frames at a time (0.26 s was seen in the page on a 2-core machine
    // at load 14): the steps after catch up. Anything longer is taken for an
    // interruption.
    static constexpr std::uint64_t kFarBehindUs = 500'000;

    // On the layer's clock.
    explicit StepPacer(Count count = StepWait);
    StepPacer(platform::Clock& clock, std::uint64_t farBehindUs, Count count);

    // One step at this speed: count, then sleep until the step's end. Returns
    // the counts made.
    std::int32_t Step(std::int16_t speed);

private:
    platform::Clock& clock_;
    std::uint64_t farBehindUs_;
    Count count_;
    bool started_ = false;
    // Ends are kept as counts since a start so that rounding never adds up.
    std::uint64_t startUs_ = 0;
    std::uint64_t counted_ = 0;
    std::uint64_t endUs_ = 0;
};

} // namespace pegdrop
