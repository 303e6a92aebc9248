// Whole-number scaling of every window on dense screens. Windows, controls
// and the game keep working in their own (logical) pixels; only the window
// layer multiplies them out, and maps the pointer back.
#pragma once

#include "platform/display.h"

#include <optional>
#include <string>

namespace ui {

using platform::kBaseDpi;

// The scale a density asks for: 1 below one and a half times 96 dpi, else the
// nearest whole multiple of 96 dpi (144 and 192 give 2, 288 gives 3).
int ScaleForDpi(double dpi);
// The largest scale, at most wanted and at least 1, at which a window of the
// given size fits the usable part of the screen (sizes of 0 or less: unknown,
// wanted is kept).
int FitScale(int wanted, int width, int height, int usableWidth, int usableHeight);
// A scale the player names: a whole number from 1 to 8, else nothing.
std::optional<int> ParseScaleOverride(const char* text);

// The scale windows open at.
struct ScaleChoice {
    int wanted = 1;
    bool named = false; // the program named it: taken as it is
    // The variable the player named it in, else empty. A player's scale fits
    // the screen as a density's does: no window opens larger than it.
    std::string variable;
    // The scale of a window of this logical size: wanted, lowered until the
    // window fits the usable bounds of the first display unless named.
    int For(int width, int height) const;
};
// The scale named (above 0), else the environment variable `variable` (when
// given) set to a valid scale, else what the display's density asks for. A
// wrong value is ignored with a line on stderr beginning "program: ".
ScaleChoice ChooseScale(int named = 0, const std::string& variable = {},
                        const std::string& program = {});
// The player's last choice in the program (1 to 8) over the display's
// density; a scale the program or the variable named stays.
ScaleChoice WithPlayersChoice(const ScaleChoice& automatic, int chosen);
// The largest scale at which a window of this size fits the usable bounds of
// the first display (8 when they are unknown).
int LargestFittingScale(int width, int height);

} // namespace ui
