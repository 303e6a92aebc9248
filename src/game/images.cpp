#include "game/images.h"

#include "art/pictures.h"

#include <array>

namespace pegdrop::images {
namespace {

std::shared_ptr<const ui::Bitmap> Convert(art::Picture picture) {
    auto bitmap = std::make_shared<ui::Bitmap>();
    bitmap->width = picture.width;
    bitmap->height = picture.height;
    bitmap->pixels = std::move(picture.pixels);
    return bitmap;
}

} // namespace

std::shared_ptr<const ui::Bitmap> Splash() {
    static const auto picture = Convert(art::SplashPicture());
    return picture;
}

std::shared_ptr<const ui::Bitmap> Board() {
    static const auto picture = Convert(art::BoardPicture());
    return picture;
}

std::shared_ptr<const ui::Bitmap> LitSlot(int slot) {
    static const auto pictures = [] {
        std::array<std::shared_ptr<const ui::Bitmap>, 9> all;
        for (int i = 0; i < 9; ++i)
            all[static_cast<std::size_t>(i)] = Convert(art::LitSlotPicture(i + 1));
        return all;
    }();
    return pictures.at(static_cast<std::size_t>(slot - 1));
}

std::shared_ptr<const ui::Bitmap> Icon() {
    static const auto picture = Convert(art::IconPicture());
    return picture;
}

std::shared_ptr<const ui::Bitmap> MutedMark() {
    static const auto picture = Convert(art::MutedMarkPicture());
    return picture;
}

std::shared_ptr<const ui::Bitmap> TestBoard() {
    static const auto picture = Convert(art::TestBoardPicture());
    return picture;
}

} // namespace pegdrop::images
