// The speed setting and its file speed.dat: the one range a speed may take.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace pegdrop {

inline constexpr std::int16_t kDefaultSpeed = 300;
inline constexpr std::int16_t kMinSpeed = 1;
inline constexpr std::int16_t kMaxSpeed = 500;

// The most of speed.dat that is read: "-32768\r\n" is 8 bytes, and a few
// leading blanks or a UTF-8 byte-order mark still fit.
inline constexpr std::size_t kSpeedReadLimit = 64;

inline constexpr bool SpeedInRange(std::int32_t speed) {
    return speed >= kMinSpeed && speed <= kMaxSpeed;
}

// The first number of a speed file's text; kDefaultSpeed when the text does not
// begin with a whole number from kMinSpeed to kMaxSpeed.
std::int16_t ParseSpeed(std::string_view text);
std::string FormatSpeed(std::int16_t speed); // "300\r\n"

} // namespace pegdrop
