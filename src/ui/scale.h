// Whole-number scaling of every window on dense screens. Windows, controls
// and the game keep working in their own (logical) pixels; only the window
// layer multiplies them out, and maps the pointer back.
#pragma once

#include <optional>
#include <string>

namespace ui {

// The density at which a window shows at its own size.
inline constexpr double kBaseDpi = 96.0;

// A density as the X resource database holds Xft.dpi ("192", " 144.5 "):
// a positive number with nothing after it, else nothing.
std::optional<double> ParseDpi(const char* text);
// A screen's density from its size in pixels and in millimetres; nothing when
// the millimetres are unknown (0) or absurd.
std::optional<double> DpiFromMillimetres(int pixels, int millimetres);
// The scale a density asks for: 1 below one and a half times 96 dpi, else the
// nearest whole multiple of 96 dpi (144 and 192 give 2, 288 gives 3).
int ScaleForDpi(double dpi);
// The largest scale, at most wanted and at least 1, at which a window of the
// given size fits the usable part of the screen (sizes of 0 or less: unknown,
// wanted is kept).
int FitScale(int wanted, int width, int height, int usableWidth, int usableHeight);
// PEGDROP_SCALE: a whole number from 1 to 8, else nothing.
std::optional<int> ParseScaleOverride(const char* text);

// Where a density was found, and what it is.
struct DisplayDensity {
    double dpi = kBaseDpi;
    std::string source; // "Xft.dpi", "X screen", "SDL", or "none"
};
// The density of the display SDL's video runs on: Xft.dpi from the X resource
// database (what desktops set for scaling), then the X screen's size in
// millimetres, then SDL's own figure; 96 dpi when none is known.
DisplayDensity ReadDisplayDensity();

// The scale windows open at.
struct ScaleChoice {
    int wanted = 1;
    bool named = false; // the player named it (PEGDROP_SCALE): taken as it is
    // The scale of a window of this logical size: wanted, lowered until the
    // window fits the usable bounds of the first display unless named.
    int For(int width, int height) const;
};
// The scale named (above 0), else PEGDROP_SCALE when set to a valid scale,
// else what the display's density asks for.
ScaleChoice ChooseScale(int named = 0);

} // namespace ui
