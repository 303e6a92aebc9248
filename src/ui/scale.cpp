#include "ui/scale.h"

#include <SDL.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <type_traits>

namespace ui {
namespace {

constexpr int kMostScale = 8;

} // namespace

int ScaleForDpi(double dpi) {
    if (!std::isfinite(dpi) || dpi < 1.5 * kBaseDpi)
        return 1;
    const double nearest = std::floor(dpi / kBaseDpi + 0.5);
    return static_cast<int>(std::clamp(nearest, 2.0, static_cast<double>(kMostScale)));
}

int FitScale(int wanted, int width, int height, int usableWidth, int usableHeight) {
    if (wanted <= 1)
        return 1;
    if (usableWidth <= 0 || usableHeight <= 0)
        return wanted;
    for (int scale = wanted; scale > 1; --scale)
        if (static_cast<long>(width) * scale <= usableWidth &&
            static_cast<long>(height) * scale <= usableHeight)
            return scale;
    return 1;
}

std::optional<int> ParseScaleOverride(const char* text) {
    if (text == nullptr)
        return std::nullopt;
    char* end = nullptr;
    const long scale = std::strtol(text, &end, 10);
    if (end == text || *end != '\0' || scale < 1 || scale > kMostScale)
        return std::nullopt;
    return static_cast<int>(scale);
}

int ScaleChoice::For(int width, int height) const {
    if (named || wanted <= 1)
        return std::max(1, wanted);
    SDL_Rect usable{};
    if (SDL_GetDisplayUsableBounds(0, &usable) != 0)
        return wanted;
    return FitScale(wanted, width, height, usable.w, usable.h);
}

int LargestFittingScale(int width, int height) {
    SDL_Rect usable{};
    if (SDL_GetDisplayUsableBounds(0, &usable) != 0)
        return kMostScale;
    return FitScale(kMostScale, width, height, usable.w, usable.h);
}

ScaleChoice ChooseScale(int named, const std::string& variable, const std::string& program) {
    // Pictures grow by whole pixels: blocks, never blur.
    SDL_SetHint(SDL_HINT_RENDER_SCALE_QUALITY, "nearest");
    ScaleChoice choice;
    if (named > 0)
        return {std::min(named, kMostScale), true, {}};
    const char* text = variable.empty() ? nullptr : SDL_getenv(variable.c_str());
    if (text != nullptr && *text != '\0') {
        if (const auto scale = ParseScaleOverride(text)) {
            choice.wanted = *scale;
            choice.variable = variable;
            return choice;
        }
        std::fprintf(stderr, "%s%s=%s is not a scale from 1 to %d: ignored\n",
                     program.empty() ? "" : (program + ": ").c_str(), variable.c_str(), text,
                     kMostScale);
    }
    choice.wanted = ScaleForDpi(platform::ReadDisplayDensity().dpi);
    return choice;
}

ScaleChoice WithPlayersChoice(const ScaleChoice& automatic, int chosen) {
    if (automatic.named || !automatic.variable.empty() || chosen < 1 || chosen > kMostScale)
        return automatic;
    return {chosen, false, {}};
}

} // namespace ui
