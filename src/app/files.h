// The data folder and its small text files. Plain POSIX code, no SDL.
#pragma once

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

inline constexpr std::int16_t kDefaultSpeed = 300;

// The first number of a speed file's text; kDefaultSpeed when the text does not
// begin with a whole number that fits 16 bits.
std::int16_t ParseSpeed(std::string_view text);
std::string FormatSpeed(std::int16_t speed); // "300\r\n"

std::int16_t ReadSpeedFile(const std::string& path);
bool WriteSpeedFile(const std::string& path, std::int16_t speed);

} // namespace pegdrop
