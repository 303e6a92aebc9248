// The .ico that goes into pegdrop.exe, read back as Windows reads it: the
// directory, then each entry's PNG at the size the entry claims.
#include "ico_writer.h"

#include "art/pictures.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<unsigned char>;

unsigned U16(const Bytes& b, std::size_t at) {
    return b.at(at) | b.at(at + 1) << 8;
}
std::uint32_t U32(const Bytes& b, std::size_t at) {
    return U16(b, at) | static_cast<std::uint32_t>(U16(b, at + 2)) << 16;
}
std::uint32_t BigU32(const Bytes& b, std::size_t at) {
    return static_cast<std::uint32_t>(b.at(at)) << 24 | b.at(at + 1) << 16 | b.at(at + 2) << 8 |
           b.at(at + 3);
}

TEST(Ico, TheGamesIconHoldsEverySizeAsAPngOfThatSize) {
    const std::string path = testing::TempDir() + "pegdrop-test.ico";
    ASSERT_TRUE(tools::WriteDesktopIco(path));
    std::ifstream in(path, std::ios::binary);
    const Bytes ico{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    std::remove(path.c_str());

    ASSERT_GE(ico.size(), 6u);
    EXPECT_EQ(U16(ico, 0), 0u);
    EXPECT_EQ(U16(ico, 2), 1u); // an icon
    const auto& sizes = art::kWindowsIconSizes;
    ASSERT_EQ(U16(ico, 4), sizes.size());
    // The pictures follow the directory one after another, to the file's end.
    std::size_t next = 6 + 16 * sizes.size();
    for (std::size_t k = 0; k < sizes.size(); ++k) {
        SCOPED_TRACE(sizes[k]);
        const std::size_t e = 6 + 16 * k;
        const unsigned side = sizes[k] == 256 ? 0 : static_cast<unsigned>(sizes[k]);
        EXPECT_EQ(ico.at(e), side);
        EXPECT_EQ(ico.at(e + 1), side);
        EXPECT_EQ(U16(ico, e + 4), 1u);
        EXPECT_EQ(U16(ico, e + 6), 32u);
        const std::uint32_t length = U32(ico, e + 8), offset = U32(ico, e + 12);
        ASSERT_EQ(offset, next);
        ASSERT_LE(offset + length, ico.size());
        next = offset + length;
        // The PNG signature, then IHDR with the entry's width and height.
        const Bytes signature = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
        EXPECT_TRUE(std::equal(signature.begin(), signature.end(), ico.begin() + offset));
        EXPECT_EQ(BigU32(ico, offset + 12), 0x49484452u); // "IHDR"
        EXPECT_EQ(BigU32(ico, offset + 16), static_cast<std::uint32_t>(sizes[k]));
        EXPECT_EQ(BigU32(ico, offset + 20), static_cast<std::uint32_t>(sizes[k]));
    }
    EXPECT_EQ(next, ico.size());
}

TEST(Ico, RefusesWhatAnIcoCannotHold) {
    const Bytes png = {1, 2, 3};
    EXPECT_TRUE(tools::EncodeIco({}).empty());
    EXPECT_TRUE(tools::EncodeIco({{0, png}}).empty());
    EXPECT_TRUE(tools::EncodeIco({{257, png}}).empty());
    EXPECT_TRUE(tools::EncodeIco({{16, png}, {32, {}}}).empty());
    EXPECT_EQ(tools::EncodeIco({{16, png}, {256, png}}).size(), 6u + 2 * 16 + 2 * png.size());
}

} // namespace
