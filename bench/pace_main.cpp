// pegdrop-pace [DESCENTS]: the pace of a fall on this machine, as a markdown
// table. Drops DESCENTS chips (3 by default) on a real board window at speeds
// 1, 300 and 500 and prints the mean and the slowest descent beside the
// expected time, 300 steps of (1,000,001 - 1500 x speed) counts at 33,000,000
// counts a second; then how late the clock wakes from a sleep. For machines
// Google Benchmark does not reach: make windows-pace runs it under Wine.
#include "descent_timing.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv) {
    const int descents = argc > 1 ? std::max(1, std::atoi(argv[1])) : 3;
    std::printf("| Speed | expected | measured, mean of %d | slowest | off by | CPU of one core |\n"
                "| ---: | ---: | ---: | ---: | ---: | ---: |\n",
                descents);
    for (const std::int16_t speed : {1, 300, 500}) {
        double total = 0, slowest = 0, cpu = 0, expected = 0;
        for (int i = 0; i < descents; ++i) {
            const bench::DescentTiming t = bench::TimeBoardDescent(speed);
            total += t.wallS;
            slowest = std::max(slowest, t.wallS);
            cpu += t.cpuPercent;
            expected = t.expectedS;
        }
        const double mean = total / descents;
        std::printf("| %d | %.3f s | %.3f s | %.3f s | %+.2f %% | %.1f %% |\n", speed, expected,
                    mean, slowest, 100.0 * (mean - expected) / expected, cpu / descents);
        std::fflush(stdout);
    }
    const bench::Lateness late = bench::SleepLateness(400, 2500);
    std::printf("\nSleeps of 2.5 ms wake %.0f us late on average, %llu us at worst (400 sleeps).\n",
                late.meanUs, static_cast<unsigned long long>(late.worstUs));
    return 0;
}
