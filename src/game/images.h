// The game's pictures as the control layer takes them, unpacked from the
// built pixels at first use.
#pragma once

#include "ui/graphics.h"

#include <memory>

namespace pegdrop::images {

std::shared_ptr<const ui::Bitmap> Splash();
std::shared_ptr<const ui::Bitmap> Board();
std::shared_ptr<const ui::Bitmap> LitSlot(int slot); // 1..9
std::shared_ptr<const ui::Bitmap> Icon();
std::shared_ptr<const ui::Bitmap> MutedMark();
std::shared_ptr<const ui::Bitmap> TestBoard();

// Unpacks the pictures of the windows opened later, so that none waits for
// it: called once the splash is on the screen.
void UnpackAhead();

} // namespace pegdrop::images
