// The time that timers, frame pacing and the pace of a fall run on. Tests drive
// a manual clock so that a 3.5 s timer or a paced descent costs no real time.
#pragma once

#include <cstdint>

namespace platform {

class Clock {
public:
    virtual ~Clock() = default;
    virtual std::uint64_t NowUs() = 0;
    // Returns at once when `when` has passed.
    virtual void SleepUntilUs(std::uint64_t when) = 0;
};

// The monotonic clock in microseconds. Sleeps end on their deadline to within
// the kernel's timer slack, well under a millisecond.
class RealClock final : public Clock {
public:
    std::uint64_t NowUs() override;
    void SleepUntilUs(std::uint64_t when) override;
};

class ManualClock final : public Clock {
public:
    std::uint64_t NowUs() override { return now_; }
    void SleepUntilUs(std::uint64_t when) override {
        if (when > now_)
            now_ = when;
    }
    void SetUs(std::uint64_t when) { SleepUntilUs(when); }

private:
    std::uint64_t now_ = 0;
};

} // namespace platform
