#include "ui/fonts.h"

#include <fontconfig/fontconfig.h>
#include <strings.h>

#include <cmath>
#include <memory>

namespace ui {
namespace {

struct PatternDeleter {
    void operator()(FcPattern* p) const { FcPatternDestroy(p); }
};
using PatternPtr = std::unique_ptr<FcPattern, PatternDeleter>;

// Faces this system is not expected to have, and what stands in for them.
const char* StandIn(const std::string& face) {
    if (strcasecmp(face.c_str(), "Arial") == 0)
        return "Liberation Sans";
    if (strcasecmp(face.c_str(), "EggCrate") == 0)
        return "DSEG7 Classic";
    return nullptr;
}

bool Match(const std::string& family, bool bold, ResolvedFace& out) {
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
    return strcasecmp(out.family.c_str(), family.c_str()) == 0;
}

} // namespace

ResolvedFace ResolveFace(const std::string& face, bool bold) {
    ResolvedFace fallback;
    if (Match(face, bold, fallback))
        return fallback;
    fallback.substituted = true;
    if (const char* standIn = StandIn(face)) {
        ResolvedFace other;
        if (Match(standIn, bold, other)) {
            other.substituted = strcasecmp(face.c_str(), "Arial") != 0;
            return other;
        }
    }
    return fallback;
}

TTF_Font* FontCache::Get(const FontSpec& wanted) {
    // SDL_ttf takes whole points: four times the size at a quarter of 96 dpi
    // keeps quarter points exact (14.25 pt opens as 57 pt at 24 dpi).
    const int quarterPoints = static_cast<int>(std::lround(wanted.points * 4.0f));
    auto key = std::make_tuple(wanted.face, quarterPoints, wanted.bold);
    auto it = fonts_.find(key);
    if (it != fonts_.end())
        return it->second.get();
    const ResolvedFace face = ResolveFace(wanted.face, wanted.bold);
    FontPtr font;
    if (!face.file.empty())
        font.reset(TTF_OpenFontDPI(face.file.c_str(), quarterPoints, 24, 24));
    if (font && wanted.bold && (TTF_GetFontStyle(font.get()) & TTF_STYLE_BOLD) == 0) {
        const char* style = TTF_FontFaceStyleName(font.get());
        if (style == nullptr || strcasestr(style, "bold") == nullptr)
            TTF_SetFontStyle(font.get(), TTF_STYLE_BOLD);
    }
    TTF_Font* raw = font.get();
    fonts_.emplace(std::move(key), std::move(font));
    return raw;
}

} // namespace ui
