#include "game/step_pace.h"

#include "ui/application.h"

#include <utility>

namespace pegdrop {

StepPacer::StepPacer(Count count)
    : StepPacer(ui::App().GetClock(), kFarBehindUs, std::move(count)) {}

StepPacer::StepPacer(platform::Clock& clock, std::uint64_t farBehindUs, Count count)
    : clock_(clock), farBehindUs_(farBehindUs), count_(std::move(count)) {}

std::int32_t StepPacer::Step(std::int16_t speed) {
    const std::uint64_t now = clock_.NowUs();
    // A step begins where the last one ended, so drawing and yielding between
    // steps do not slow the fall. Far behind (a modal box, a nested run) the
    // fall goes on from now rather than rushing through the steps it missed.
    if (!started_ || now > endUs_ + farBehindUs_) {
        started_ = true;
        startUs_ = now;
        counted_ = 0;
    }
    const std::int32_t counts = count_(speed);
    if (counts > 0)
        counted_ += static_cast<std::uint64_t>(counts);
    endUs_ = startUs_ + ReferenceCountUs(counted_);
    clock_.SleepUntilUs(endUs_);
    return counts;
}

} // namespace pegdrop
