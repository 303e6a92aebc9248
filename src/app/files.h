// The data folder and its small text files. Plain POSIX code, no SDL.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace pegdrop {

// The data folder for a working directory: always ends in "/", so "/" stays "/".
std::string DataPathFor(std::string workingDirectory);

// The process's working directory, or "" when it cannot be had.
std::string CurrentDirectory();

// Replaces the file whole or not at all: a temporary file beside it is
// written, synced and renamed over it, then the folder is synced.
bool WriteFileAtomically(const std::string& path, std::string_view content);

std::optional<std::string> ReadWholeFile(const std::string& path);

// What a bounded read does with a file longer than its limit.
enum class Overlong {
    Cut,    // the first `limit` bytes, for formats read from the front
    Missing // nothing, for formats that are useless cut short
};

// A regular file's first bytes, up to `limit`; nothing for a missing or
// unreadable path or one that is not a regular file. Never blocks on a FIFO
// or device and never opens one further than to see what it is.
std::optional<std::string> ReadRegularFile(const std::string& path, std::size_t limit,
                                           Overlong overlong = Overlong::Cut);

inline constexpr std::int16_t kDefaultSpeed = 300;
inline constexpr std::int16_t kMinSpeed = 1;
inline constexpr std::int16_t kMaxSpeed = 500;

// The most of speed.dat that is read: "-32768\r\n" is 8 bytes, and a few
// leading blanks or a UTF-8 byte-order mark still fit.
inline constexpr std::size_t kSpeedReadLimit = 64;

// The first number of a speed file's text; kDefaultSpeed when the text does not
// begin with a whole number from kMinSpeed to kMaxSpeed.
std::int16_t ParseSpeed(std::string_view text);
std::string FormatSpeed(std::int16_t speed); // "300\r\n"

std::int16_t ReadSpeedFile(const std::string& path);
bool WriteSpeedFile(const std::string& path, std::int16_t speed);

} // namespace pegdrop
