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

struct StandIn {
    const char* face;
    const char* family;
    float digitAdvanceEm; // 0: a metric twin, used at the size asked for
};

// Faces this system is not expected to have, and what stands in for them. The
// LED face's labels were laid out for a narrow face: the scoreboard holds
// "90000" in 90 pixels at 18 points, so its digits advance under 0.75 em,
// where the stand-in's digits advance 0.83 em.
constexpr StandIn kStandIns[] = {
    {"Arial", "Liberation Sans", 0.0f},
    {"EggCrate", "DSEG7 Classic", 0.7f},
};

const StandIn* StandInFor(const std::string& face) {
    for (const StandIn& standIn : kStandIns)
        if (strcasecmp(face.c_str(), standIn.face) == 0)
            return &standIn;
    return nullptr;
}

// The size in quarter points at which a stand-in's digits advance no more
// than the face it stands in for. The advance is read at a large size, where
// hinting rounds it least, so that the same text fits at every scale alike.
int StandInQuarterPoints(const std::string& file, int quarterPoints, float digitAdvanceEm) {
    constexpr int kReference = 1200; // quarter points: an em of 400 pixels at 24 dpi
    if (digitAdvanceEm <= 0.0f)
        return quarterPoints;
    const FontPtr big(TTF_OpenFontDPI(file.c_str(), kReference, 24, 24));
    int minX = 0, maxX = 0, minY = 0, maxY = 0, advance = 0;
    if (!big || TTF_GlyphMetrics32(big.get(), '0', &minX, &maxX, &minY, &maxY, &advance) != 0 ||
        advance <= 0)
        return quarterPoints;
    const float advanceEm = static_cast<float>(advance) / (kReference / 3.0f);
    if (advanceEm <= digitAdvanceEm)
        return quarterPoints;
    return static_cast<int>(static_cast<float>(quarterPoints) * digitAdvanceEm / advanceEm);
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
    if (const StandIn* standIn = StandInFor(face)) {
        ResolvedFace other;
        if (Match(standIn->family, bold, other)) {
            other.substituted = standIn->digitAdvanceEm > 0.0f;
            other.digitAdvanceEm = standIn->digitAdvanceEm;
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
        font.reset(TTF_OpenFontDPI(
            face.file.c_str(), StandInQuarterPoints(face.file, quarterPoints, face.digitAdvanceEm),
            24, 24));
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
