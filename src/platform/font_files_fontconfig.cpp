#include "platform/font_files.h"

#include <SDL_stdinc.h>
#include <fontconfig/fontconfig.h>

#include <future>
#include <memory>
#include <system_error>

namespace platform {
namespace {

struct PatternDeleter {
    void operator()(FcPattern* p) const { FcPatternDestroy(p); }
};
using PatternPtr = std::unique_ptr<FcPattern, PatternDeleter>;

struct FontSetDeleter {
    void operator()(FcFontSet* s) const { FcFontSetDestroy(s); }
};
using FontSetPtr = std::unique_ptr<FcFontSet, FontSetDeleter>;

struct CharSetDeleter {
    void operator()(FcCharSet* s) const { FcCharSetDestroy(s); }
};
using CharSetPtr = std::unique_ptr<FcCharSet, CharSetDeleter>;

// fontconfig's configuration and caches, read ahead while the display
// comes up; fontconfig is then used only once that reading has ended.
std::future<void>& Reading() {
    static std::future<void> reading;
    return reading;
}

void AwaitReading() {
    if (Reading().valid())
        Reading().get();
}

bool IsTrue(FcPattern* font, const char* property) {
    FcBool value = FcFalse;
    return FcPatternGetBool(font, property, 0, &value) == FcResultMatch && value == FcTrue;
}

} // namespace

void StartFontLookups() {
    static bool started = false;
    if (started)
        return;
    started = true;
    try {
        Reading() = std::async(std::launch::async, [] { FcInit(); });
    } catch (const std::system_error&) {
        // No thread to spare: the first lookup reads the lists itself.
    }
}

bool MatchFontFile(const std::string& family, bool bold, FontFile& out) {
    AwaitReading();
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

bool FontFileWithCharacter(char32_t codePoint, const std::string& family, FontFile& out) {
    AwaitReading();
    PatternPtr pattern(FcPatternCreate());
    CharSetPtr wanted(FcCharSetCreate());
    if (!pattern || !wanted || FcCharSetAddChar(wanted.get(), codePoint) != FcTrue)
        return false;
    FcPatternAddString(pattern.get(), FC_FAMILY, reinterpret_cast<const FcChar8*>(family.c_str()));
    FcPatternAddCharSet(pattern.get(), FC_CHARSET, wanted.get());
    FcPatternAddBool(pattern.get(), FC_SCALABLE, FcTrue);
    FcConfigSubstitute(nullptr, pattern.get(), FcMatchPattern);
    FcDefaultSubstitute(pattern.get());
    // The match is only the nearest face, which may lack the character: the
    // sorted list is walked for the first face that has it, drawn from outlines
    // (a bitmap face would come at one size only).
    FcResult result = FcResultNoMatch;
    const FontSetPtr sorted(FcFontSort(nullptr, pattern.get(), FcFalse, nullptr, &result));
    if (!sorted)
        return false;
    for (int i = 0; i < sorted->nfont; ++i) {
        FcPattern* font = sorted->fonts[i];
        FcCharSet* has = nullptr;
        FcChar8* file = nullptr;
        FcChar8* matched = nullptr;
        if (FcPatternGetCharSet(font, FC_CHARSET, 0, &has) != FcResultMatch ||
            FcCharSetHasChar(has, codePoint) != FcTrue || !IsTrue(font, FC_SCALABLE) ||
            !IsTrue(font, FC_OUTLINE) ||
            FcPatternGetString(font, FC_FILE, 0, &file) != FcResultMatch)
            continue;
        out.file = reinterpret_cast<const char*>(file);
        out.family = FcPatternGetString(font, FC_FAMILY, 0, &matched) == FcResultMatch
                         ? reinterpret_cast<const char*>(matched)
                         : std::string();
        return true;
    }
    return false;
}

std::string MissingShippedFonts() {
    return {}; // the faces are the system's, found through fontconfig
}

} // namespace platform
