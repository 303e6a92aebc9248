// The pace figures that both benchmark programs print: a whole board descent
// on the real clock, and how late a sleep to a deadline wakes.
#pragma once

#include <cstdint>

namespace bench {

// The CPU this process has used, in all its threads.
double ProcessCpuSeconds();

struct DescentTiming {
    double wallS = 0;     // the descent, from the drop to the landing
    double expectedS = 0; // 300 steps of the speed's counts at 33,000,000 a second
    double cpuPercent = 0;
    std::uint64_t frames = 0; // pictures presented meanwhile
};

// One chip dropped on a real board window at this speed.
DescentTiming TimeBoardDescent(std::int16_t speed);

struct Lateness {
    double meanUs = 0;
    std::uint64_t worstUs = 0;
};

// `sleeps` sleeps of the real clock, each to a deadline `aheadUs` off.
Lateness SleepLateness(int sleeps, std::uint64_t aheadUs);

} // namespace bench
