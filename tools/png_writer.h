// Writes 32-bit ARGB pixels to an 8-bit PNG file.
#pragma once

#include <cstdint>
#include <string>

// argb: width * height pixels, row-major, 0xAARRGGBB. The file is written as
// RGB when every pixel is opaque and as RGBA otherwise. It appears under
// `path` only when complete; on failure nothing is left behind.
bool WritePng(const std::string& path, int width, int height, const std::uint32_t* argb);
