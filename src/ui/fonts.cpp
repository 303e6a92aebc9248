#include "ui/fonts.h"

#include "platform/font_files.h"

#include <cmath>
#include <memory>

namespace ui {
namespace {

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

// The system's match for a family, as a face this layer resolves.
bool Matched(const std::string& family, bool bold, ResolvedFace& out) {
    platform::FontFile found;
    const bool exact = platform::MatchFontFile(family, bold, found);
    out.file = std::move(found.file);
    out.family = std::move(found.family);
    return exact;
}

// SDL_ttf takes whole points: four times the size at a quarter of 96 dpi
// keeps quarter points exact (14.25 pt opens as 57 pt at 24 dpi).
int QuarterPoints(const FontSpec& font) {
    return static_cast<int>(std::lround(font.points * 4.0f));
}

FontPtr OpenAt(const std::string& file, int quarterPoints, bool bold) {
    FontPtr font(TTF_OpenFontDPI(file.c_str(), quarterPoints, 24, 24));
    if (font && bold && (TTF_GetFontStyle(font.get()) & TTF_STYLE_BOLD) == 0) {
        const char* style = TTF_FontFaceStyleName(font.get());
        if (style == nullptr || SDL_strcasestr(style, "bold") == nullptr)
            TTF_SetFontStyle(font.get(), TTF_STYLE_BOLD);
    }
    return font;
}

} // namespace

ResolvedFace ResolveFace(const std::string& face, bool bold,
                         const std::vector<FaceStandIn>& standIns) {
    ResolvedFace fallback;
    if (Matched(face, bold, fallback))
        return fallback;
    fallback.substituted = true;
    for (const FaceStandIn& standIn : standIns) {
        if (SDL_strcasecmp(face.c_str(), standIn.face.c_str()) != 0)
            continue;
        ResolvedFace other;
        if (Matched(standIn.family, bold, other)) {
            other.substituted = standIn.digitAdvanceEm > 0.0f;
            other.digitAdvanceEm = standIn.digitAdvanceEm;
            return other;
        }
    }
    return fallback;
}

TTF_Font* FontCache::Get(const FontSpec& wanted) {
    const int quarterPoints = QuarterPoints(wanted);
    auto key = std::make_tuple(wanted.face, quarterPoints, wanted.bold);
    auto it = fonts_.find(key);
    if (it != fonts_.end())
        return it->second.get();
    auto known = resolved_.find({wanted.face, wanted.bold});
    if (known == resolved_.end())
        known = resolved_
                    .emplace(std::make_pair(wanted.face, wanted.bold),
                             ResolveFace(wanted.face, wanted.bold, standIns_))
                    .first;
    const ResolvedFace& face = known->second;
    FontPtr font;
    if (!face.file.empty())
        font =
            OpenAt(face.file, StandInQuarterPoints(face.file, quarterPoints, face.digitAdvanceEm),
                   wanted.bold);
    TTF_Font* raw = font.get();
    fonts_.emplace(std::move(key), std::move(font));
    return raw;
}

TTF_Font* FontCache::Fallback(std::size_t index, const FontSpec& wanted) {
    auto key = std::make_tuple(index, QuarterPoints(wanted), wanted.bold);
    auto it = fallbackFonts_.find(key);
    if (it == fallbackFonts_.end())
        it = fallbackFonts_
                 .emplace(key, OpenAt(fallbackFiles_[index], QuarterPoints(wanted), wanted.bold))
                 .first;
    return it->second.get();
}

TTF_Font* FontCache::FaceFor(const FontSpec& wanted, char32_t character) {
    TTF_Font* own = Get(wanted);
    if (own == nullptr || TTF_GlyphIsProvided32(own, character) != 0)
        return own;
    auto known = fallbackOf_.find(character);
    if (known == fallbackOf_.end()) {
        int found = -1;
        for (std::size_t i = 0; i < fallbackFiles_.size() && found < 0; ++i) {
            TTF_Font* face = Fallback(i, wanted);
            if (face != nullptr && TTF_GlyphIsProvided32(face, character) != 0)
                found = static_cast<int>(i);
        }
        platform::FontFile file;
        if (found < 0 && platform::FontFileWithCharacter(character, wanted.face, file)) {
            found = static_cast<int>(fallbackFiles_.size());
            fallbackFiles_.push_back(std::move(file.file));
        }
        known = fallbackOf_.emplace(character, found).first;
    }
    if (known->second < 0)
        return own;
    TTF_Font* face = Fallback(static_cast<std::size_t>(known->second), wanted);
    return face != nullptr && TTF_GlyphIsProvided32(face, character) != 0 ? face : own;
}

SDL_Surface* FontCache::Rendered(const std::string& key) const {
    const auto it = rendered_.find(key);
    return it != rendered_.end() ? it->second.get() : nullptr;
}

void FontCache::KeepRendered(std::string key, SurfacePtr pixels) {
    if (pixels)
        rendered_[std::move(key)] = std::move(pixels);
}

void FontCache::KeepMeasured(std::string key, float value) {
    // Typed text is measured too: a long session starts over rather than grow.
    if (measured_.size() >= 4096)
        measured_.clear();
    measured_[std::move(key)] = value;
}

std::optional<float> FontCache::Measured(const std::string& key) const {
    const auto it = measured_.find(key);
    if (it == measured_.end())
        return std::nullopt;
    return it->second;
}

} // namespace ui
