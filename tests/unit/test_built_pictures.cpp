// The pixels built into the game are the drawing code's, bit for bit. Every
// scale is the renderer's whole-pixel enlargement of these same pixels, so
// equal pictures here are equal pictures at 1x, 2x and every other scale.
#include "art/built_pictures.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

namespace {

class BuiltPictures : public testing::TestWithParam<int> {};

TEST_P(BuiltPictures, AreTheDrawingCodesPixels) {
    const auto id = static_cast<art::PictureId>(GetParam());
    const art::Picture drawn = art::DrawPicture(id);
    const art::Picture built = art::BuiltPixels(id);
    ASSERT_GT(drawn.width, 0);
    ASSERT_EQ(built.width, drawn.width);
    ASSERT_EQ(built.height, drawn.height);
    int wrong = 0;
    std::string first;
    for (int y = 0; y < drawn.height; ++y)
        for (int x = 0; x < drawn.width; ++x)
            if (built.At(x, y) != drawn.At(x, y) && wrong++ == 0) {
                char text[80];
                std::snprintf(text, sizeof text, "(%d, %d): built %08X, drawn %08X", x, y,
                              built.At(x, y), drawn.At(x, y));
                first = text;
            }
    EXPECT_EQ(wrong, 0) << "first at " << first;
}

INSTANTIATE_TEST_SUITE_P(Every, BuiltPictures, testing::Range(0, art::kPictureCount));

} // namespace
