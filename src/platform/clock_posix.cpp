#include "platform/clock.h"

#include <cerrno>
#include <ctime>

namespace platform {

std::uint64_t RealClock::NowUs() {
    timespec t{};
    clock_gettime(CLOCK_MONOTONIC, &t);
    return static_cast<std::uint64_t>(t.tv_sec) * 1000000u +
           static_cast<std::uint64_t>(t.tv_nsec) / 1000u;
}

void RealClock::SleepUntilUs(std::uint64_t when) {
    // An absolute deadline on the clock NowUs reads: no rounding to whole
    // milliseconds, and a signal that wakes us early cannot stretch the sleep.
    timespec deadline{};
    deadline.tv_sec = static_cast<time_t>(when / 1000000u);
    deadline.tv_nsec = static_cast<long>(when % 1000000u * 1000u);
    while (clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &deadline, nullptr) == EINTR) {
    }
}

} // namespace platform
