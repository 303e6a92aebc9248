#include "game/images.h"

#include "art/built_pictures.h"

#include <array>

namespace pegdrop::images {
namespace {

std::shared_ptr<const ui::Bitmap> Convert(art::PictureId id) {
    art::Picture picture = art::BuiltPixels(id);
    auto bitmap = std::make_shared<ui::Bitmap>();
    bitmap->width = picture.width;
    bitmap->height = picture.height;
    bitmap->pixels = std::move(picture.pixels);
    return bitmap;
}

} // namespace

std::shared_ptr<const ui::Bitmap> Splash() {
    static const auto picture = Convert(art::PictureId::Splash);
    return picture;
}

std::shared_ptr<const ui::Bitmap> Board() {
    static const auto picture = Convert(art::PictureId::Board);
    return picture;
}

std::shared_ptr<const ui::Bitmap> LitSlot(int slot) {
    static const auto pictures = [] {
        std::array<std::shared_ptr<const ui::Bitmap>, 9> all;
        for (int i = 0; i < 9; ++i)
            all[static_cast<std::size_t>(i)] = Convert(art::LitSlotId(i + 1));
        return all;
    }();
    return pictures.at(static_cast<std::size_t>(slot - 1));
}

std::shared_ptr<const ui::Bitmap> Icon() {
    static const auto picture = Convert(art::PictureId::Icon);
    return picture;
}

std::shared_ptr<const ui::Bitmap> MutedMark() {
    static const auto picture = Convert(art::PictureId::MutedMark);
    return picture;
}

std::shared_ptr<const ui::Bitmap> TestBoard() {
    static const auto picture = Convert(art::PictureId::TestBoard);
    return picture;
}

void UnpackAhead() {
    Board();
    for (int slot = 1; slot <= 9; ++slot)
        LitSlot(slot);
    MutedMark();
    TestBoard();
}

} // namespace pegdrop::images
