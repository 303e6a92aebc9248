// Writes a Windows icon file (.ico) whose images are PNG-compressed, as
// Windows has read them since Vista: smaller than bitmaps, alpha kept.
#pragma once

#include <string>
#include <vector>

namespace tools {

struct IcoImage {
    int size = 0;                   // width and height, 1 to 256
    std::vector<unsigned char> png; // the whole PNG file
};

// The .ico's bytes: the header, one directory entry a picture in the order
// given, then the PNGs. Empty when there is no picture, a size is outside 1
// to 256 or a PNG is empty.
std::vector<unsigned char> EncodeIco(const std::vector<IcoImage>& images);

// The game's drawn icon at every size a Windows icon carries, as an .ico
// replacing `path` whole; false when it cannot be encoded or written.
bool WriteDesktopIco(const std::string& path);

} // namespace tools
