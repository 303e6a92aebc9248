#include "rules/board_rules.h"

#include "rules/lattice.h"

#include <cmath>

namespace pegdrop {

std::int16_t AimChipX(float pointerX) {
    // nearbyint follows the default rounding mode, which rounds halves to even.
    const double r = std::nearbyint(static_cast<double>(pointerX));
    if (r < kAimMinX)
        return kAimMinX;
    if (r > kAimMaxX)
        return kAimMaxX;
    const auto ri = static_cast<std::int16_t>(r);
    return static_cast<std::int16_t>(ri - (ri & 1));
}

std::int32_t StepWaitCounts(std::int16_t speed) {
    const std::int32_t from = static_cast<std::int32_t>(speed) * 1500;
    return from > 1000000 ? 0 : 1000001 - from;
}

std::int32_t StepWait(std::int16_t speed) {
    // volatile keeps every count: the pace of the fall is this loop.
    volatile std::int32_t counter = static_cast<std::int32_t>(speed) * 1500;
    std::int32_t counts = 0;
    while (counter <= 1000000) {
        counter = counter + 1;
        ++counts;
    }
    return counts;
}

std::uint64_t ReferenceCountUs(std::uint64_t counts) {
    // A whole number of counts per microsecond keeps this exact and free of
    // overflow for any count.
    static_assert(kReferenceCountsPerSecond % 1000000 == 0);
    constexpr std::uint64_t perUs = kReferenceCountsPerSecond / 1000000;
    return counts / perUs + (counts % perUs != 0 ? 1 : 0);
}

std::string ChipsLeftMessage(std::int16_t chipsLeft) {
    return "You have " + std::to_string(chipsLeft) +
           (chipsLeft == 1 ? " chip left" : " chips left");
}

std::string GroupThousands(std::int32_t value, std::string_view separator) {
    std::string digits = std::to_string(value < 0 ? -static_cast<std::int64_t>(value) : value);
    std::string out;
    const std::size_t n = digits.size();
    if (separator.empty())
        separator = ",";
    for (std::size_t i = 0; i < n; ++i) {
        if (i > 0 && (n - i) % 3 == 0)
            out += separator;
        out += digits[i];
    }
    return value < 0 ? "-" + out : out;
}

std::string ClosingMessage(std::int32_t winnings, std::string_view separator) {
    return "You finish with $" + GroupThousands(winnings, separator) +
           "\rThank you for playing PEGDROP!";
}

} // namespace pegdrop
