#include "platform/clock.h"

#include "platform/handle_windows.h"

#include <windows.h>

namespace platform {
namespace {

// CREATE_WAITABLE_TIMER_HIGH_RESOLUTION (Windows 10 1803 and later), which
// mingw-w64 10's headers lack.
constexpr DWORD kHighResolutionTimer = 0x2;

// Both ways of sleeping wake up to a millisecond late: the high-resolution
// timer about 0.7 ms, Sleep at a 1 ms timer period up to 1 ms. They sleep to
// this far before the deadline, and the rest is spun on the counter.
constexpr std::uint64_t kSpinUs = 1500;

std::uint64_t CounterFrequency() {
    static const std::uint64_t frequency = [] {
        LARGE_INTEGER f{};
        QueryPerformanceFrequency(&f);
        return static_cast<std::uint64_t>(f.QuadPart);
    }();
    return frequency;
}

// One timer a thread, since setting a timer moves every wait on it. Null
// where Windows refuses the flag.
HANDLE HighResolutionTimer() {
    thread_local const HandlePtr timer(
        CreateWaitableTimerExW(nullptr, nullptr, kHighResolutionTimer, TIMER_ALL_ACCESS));
    return timer.get();
}

// Without that timer, Sleep keeps to the system timer's period, 15.6 ms
// unless asked for less; asked once, it stays for the game's lifetime.
void FineSystemTimer() {
    static const bool asked = timeBeginPeriod(1) == TIMERR_NOERROR;
    (void)asked;
}

void SleepAbout(std::uint64_t us) {
    if (const HANDLE timer = HighResolutionTimer()) {
        LARGE_INTEGER due{};
        due.QuadPart = -static_cast<LONGLONG>(us * 10); // relative, in 100 ns
        if (SetWaitableTimer(timer, &due, 0, nullptr, nullptr, FALSE) &&
            WaitForSingleObject(timer, INFINITE) == WAIT_OBJECT_0)
            return;
    }
    FineSystemTimer();
    Sleep(static_cast<DWORD>(us / 1000));
}

} // namespace

std::uint64_t RealClock::NowUs() {
    LARGE_INTEGER count{};
    QueryPerformanceCounter(&count);
    const auto c = static_cast<std::uint64_t>(count.QuadPart);
    const std::uint64_t f = CounterFrequency();
    // In two parts, so that no product overflows however long Windows has run.
    return c / f * 1000000u + c % f * 1000000u / f;
}

void RealClock::SleepUntilUs(std::uint64_t when) {
    const std::uint64_t now = NowUs();
    if (when > now + kSpinUs)
        SleepAbout(when - now - kSpinUs);
    while (NowUs() < when)
        YieldProcessor();
}

} // namespace platform
