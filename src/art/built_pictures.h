// The game's pictures as the build drew them (pegdrop-built-pictures), built
// into the program as ready pixels: no window waits for drawing. The drawing
// code itself is the build tool's and the tests'.
#pragma once

#include "art/pictures.h"

#include <bit>
#include <cstring>

namespace art {

struct BuiltPicture {
    int width = 0, height = 0;
    const char* argb = nullptr; // width x height pixels, each 0xAARRGGBB in little-endian bytes
};

// Defined in the source the build generates.
BuiltPicture Built(PictureId id);

// Every target the game is built for stores a pixel as the tool wrote it.
static_assert(std::endian::native == std::endian::little);

inline Picture BuiltPixels(PictureId id) {
    const BuiltPicture built = Built(id);
    Picture picture;
    picture.width = built.width;
    picture.height = built.height;
    picture.pixels.resize(static_cast<std::size_t>(built.width) *
                          static_cast<std::size_t>(built.height));
    std::memcpy(picture.pixels.data(), built.argb, picture.pixels.size() * 4);
    return picture;
}

} // namespace art
