#include "platform/font_files.h"

#include <SDL_stdinc.h>
#include <fontconfig/fontconfig.h>

#include <memory>

namespace platform {
namespace {

struct PatternDeleter {
    void operator()(FcPattern* p) const { FcPatternDestroy(p); }
};
using PatternPtr = std::unique_ptr<FcPattern, PatternDeleter>;

} // namespace

bool MatchFontFile(const std::string& family, bool bold, FontFile& out) {
    PatternPtr pattern(FcPatternCreate());
    if (!pattern)
        return false;
    FcPatternAddString(pattern.get(), FC_FAMILY, reinterpret_cast<const FcChar8*>(family.c_str()));
    FcPatternAddInteger(pattern.get(), FC_WEIGHT, bold ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR);
    FcPatternAddInteger(pattern.get(), FC_SLANT, FC_SLANT_ROMAN);
    FcConfigSubstitute(nullptr, pattern.get(), FcMatchPattern);
    FcDefaultSubstitute(pattern.get());
    FcResult result = FcResultNoMatch;
    PatternPtr match(FcFontMatch(nullptr, pattern.get(), &result));
    if (!match)
        return false;
    FcChar8* file = nullptr;
    FcChar8* matched = nullptr;
    if (FcPatternGetString(match.get(), FC_FILE, 0, &file) != FcResultMatch ||
        FcPatternGetString(match.get(), FC_FAMILY, 0, &matched) != FcResultMatch)
        return false;
    out.file = reinterpret_cast<const char*>(file);
    out.family = reinterpret_cast<const char*>(matched);
    return SDL_strcasecmp(out.family.c_str(), family.c_str()) == 0;
}

} // namespace platform
