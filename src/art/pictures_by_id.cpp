#include "art/pictures.h"

namespace art {

Picture DrawPicture(PictureId id) {
    const int n = static_cast<int>(id);
    const int slots = static_cast<int>(PictureId::LitSlot1);
    if (n >= slots && n < slots + 9)
        return LitSlotPicture(n - slots + 1);
    switch (id) {
    case PictureId::Splash:
        return SplashPicture();
    case PictureId::Board:
        return BoardPicture();
    case PictureId::TestBoard:
        return TestBoardPicture();
    case PictureId::Icon:
        return IconPicture();
    case PictureId::MutedMark:
        return MutedMarkPicture();
    default:
        return {};
    }
}

} // namespace art
