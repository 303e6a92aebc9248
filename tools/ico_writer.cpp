#include "ico_writer.h"

#include "art/pictures.h"
#include "platform/files.h"
#include "png_writer.h"

#include <cstdint>
#include <string_view>

namespace tools {
namespace {

void Put16(std::vector<unsigned char>& out, unsigned v) {
    out.push_back(static_cast<unsigned char>(v));
    out.push_back(static_cast<unsigned char>(v >> 8));
}

void Put32(std::vector<unsigned char>& out, std::uint32_t v) {
    Put16(out, v & 0xFFFF);
    Put16(out, v >> 16);
}

} // namespace

std::vector<unsigned char> EncodeIco(const std::vector<IcoImage>& images) {
    if (images.empty() || images.size() > 0xFFFF)
        return {};
    constexpr std::size_t kHeader = 6, kEntry = 16;
    std::vector<unsigned char> out;
    Put16(out, 0); // reserved
    Put16(out, 1); // an icon, not a cursor
    Put16(out, static_cast<unsigned>(images.size()));
    std::size_t offset = kHeader + kEntry * images.size();
    for (const IcoImage& image : images) {
        if (image.size < 1 || image.size > 256 || image.png.empty())
            return {};
        // 256 does not fit the byte: 0 stands for it.
        const auto side = static_cast<unsigned char>(image.size == 256 ? 0 : image.size);
        out.push_back(side);
        out.push_back(side);
        out.push_back(0); // no palette
        out.push_back(0);
        Put16(out, 1);  // planes
        Put16(out, 32); // bits a pixel
        Put32(out, static_cast<std::uint32_t>(image.png.size()));
        Put32(out, static_cast<std::uint32_t>(offset));
        offset += image.png.size();
    }
    for (const IcoImage& image : images)
        out.insert(out.end(), image.png.begin(), image.png.end());
    return out;
}

bool WriteDesktopIco(const std::string& path) {
    std::vector<IcoImage> images;
    for (int size : art::kWindowsIconSizes) {
        const art::Picture icon = art::DesktopIconPicture(size);
        images.push_back({size, EncodePng(icon.width, icon.height, icon.pixels.data())});
    }
    const std::vector<unsigned char> ico = EncodeIco(images);
    return !ico.empty() &&
           platform::WriteFileAtomically(
               path, std::string_view(reinterpret_cast<const char*>(ico.data()), ico.size()));
}

} // namespace tools
