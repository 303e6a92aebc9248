#include "png_writer.h"

#include "platform/files.h"

#include <png.h>

#include <string_view>
#include <vector>

std::vector<unsigned char> EncodePng(int width, int height, const std::uint32_t* argb) {
    if (width <= 0 || height <= 0 || !argb)
        return {};
    const std::size_t w = static_cast<std::size_t>(width), h = static_cast<std::size_t>(height);
    bool alpha = false;
    for (std::size_t k = 0; k < w * h && !alpha; ++k)
        alpha = (argb[k] >> 24) != 0xFF;
    const std::size_t channels = alpha ? 4 : 3;
    std::vector<png_byte> pixels(w * h * channels);
    for (std::size_t k = 0; k < w * h; ++k) {
        png_byte* out = &pixels[k * channels];
        out[0] = static_cast<png_byte>(argb[k] >> 16);
        out[1] = static_cast<png_byte>(argb[k] >> 8);
        out[2] = static_cast<png_byte>(argb[k]);
        if (alpha)
            out[3] = static_cast<png_byte>(argb[k] >> 24);
    }
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    image.width = static_cast<png_uint_32>(width);
    image.height = static_cast<png_uint_32>(height);
    image.format = alpha ? PNG_FORMAT_RGBA : PNG_FORMAT_RGB;
    png_alloc_size_t size = 0;
    if (!png_image_write_get_memory_size(image, size, 0, pixels.data(), 0, nullptr))
        return {};
    std::vector<unsigned char> png(size);
    const bool ok =
        png_image_write_to_memory(&image, png.data(), &size, 0, pixels.data(), 0, nullptr) != 0;
    png_image_free(&image);
    if (!ok)
        return {};
    png.resize(size);
    return png;
}

bool WritePng(const std::string& path, int width, int height, const std::uint32_t* argb) {
    if (path.empty())
        return false;
    const std::vector<unsigned char> png = EncodePng(width, height, argb);
    return !png.empty() &&
           static_cast<bool>(platform::WriteFileAtomically(
               path, std::string_view(reinterpret_cast<const char*>(png.data()), png.size())));
}
