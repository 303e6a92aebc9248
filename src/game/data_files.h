// The data folder's two files, top10.dat and speed.dat: their formats saved
// and read through the platform's whole-file operations.
#pragma once

#include "rules/top10.h"

#include <cstdint>
#include <string>

namespace pegdrop {

// 300 for a missing, unreadable or damaged file; never blocks on a FIFO or device.
std::int16_t ReadSpeedFile(const std::string& path);
bool WriteSpeedFile(const std::string& path, std::int16_t speed);

// An empty table for a missing or unreadable file or one that is not a
// regular file; never blocks on a FIFO or device.
Top10Table ReadTop10File(const std::string& path);
bool WriteTop10File(const std::string& path, const Top10Table& table);

} // namespace pegdrop
