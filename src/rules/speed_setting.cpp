#include "rules/speed_setting.h"

namespace pegdrop {

std::int16_t ParseSpeed(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t'))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '-' || text[i] == '+'))
        negative = text[i++] == '-';
    if (i >= text.size() || text[i] < '0' || text[i] > '9')
        return kDefaultSpeed;
    long value = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        value = value * 10 + (text[i] - '0');
        if (value > 32768)
            return kDefaultSpeed;
    }
    value = negative ? -value : value;
    // The game only ever writes speeds it accepts; anything else would make a
    // fall take minutes or no time at all.
    if (!SpeedInRange(static_cast<std::int32_t>(value)))
        return kDefaultSpeed;
    return static_cast<std::int16_t>(value);
}

std::string FormatSpeed(std::int16_t speed) {
    return std::to_string(speed) + "\r\n";
}

} // namespace pegdrop
