// Writes 32-bit ARGB pixels to an 8-bit PNG file.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// argb: width * height pixels, row-major, 0xAARRGGBB. The image is RGB when
// every pixel is opaque and RGBA otherwise; empty when it cannot be encoded.
std::vector<unsigned char> EncodePng(int width, int height, const std::uint32_t* argb);

// EncodePng's bytes, replacing the file whole (WriteFileAtomically): it
// appears under `path` only when complete; on failure nothing is left behind.
bool WritePng(const std::string& path, int width, int height, const std::uint32_t* argb);
