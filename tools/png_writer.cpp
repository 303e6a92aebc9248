#include "png_writer.h"

#include <png.h>

#include <cstdio>
#include <vector>

namespace {

// libpng reports errors by longjmp, so nothing with a destructor may live in
// this function: the rows are prepared by the caller.
bool Encode(std::FILE* file, int width, int height, bool alpha, png_bytep* rows) {
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    if (!png)
        return false;
    png_infop info = png_create_info_struct(png);
    if (!info) {
        png_destroy_write_struct(&png, nullptr);
        return false;
    }
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return false;
    }
    png_init_io(png, file);
    png_set_IHDR(png, info, static_cast<png_uint_32>(width), static_cast<png_uint_32>(height), 8,
                 alpha ? PNG_COLOR_TYPE_RGBA : PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    png_write_image(png, rows);
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return true;
}

} // namespace

bool WritePng(const std::string& path, int width, int height, const std::uint32_t* argb) {
    if (width <= 0 || height <= 0 || !argb || path.empty())
        return false;
    const std::size_t w = static_cast<std::size_t>(width), h = static_cast<std::size_t>(height);
    bool alpha = false;
    for (std::size_t k = 0; k < w * h && !alpha; ++k)
        alpha = (argb[k] >> 24) != 0xFF;
    const std::size_t channels = alpha ? 4 : 3;
    std::vector<png_byte> bytes(w * h * channels);
    for (std::size_t k = 0; k < w * h; ++k) {
        png_byte* out = &bytes[k * channels];
        out[0] = static_cast<png_byte>(argb[k] >> 16);
        out[1] = static_cast<png_byte>(argb[k] >> 8);
        out[2] = static_cast<png_byte>(argb[k]);
        if (alpha)
            out[3] = static_cast<png_byte>(argb[k] >> 24);
    }
    std::vector<png_bytep> rows(h);
    for (std::size_t y = 0; y < h; ++y)
        rows[y] = &bytes[y * w * channels];

    const std::string tmp = path + ".tmp";
    std::FILE* file = std::fopen(tmp.c_str(), "wb");
    if (!file)
        return false;
    bool ok = Encode(file, width, height, alpha, rows.data());
    ok = std::fclose(file) == 0 && ok;
    if (ok)
        ok = std::rename(tmp.c_str(), path.c_str()) == 0;
    if (!ok)
        std::remove(tmp.c_str());
    return ok;
}
