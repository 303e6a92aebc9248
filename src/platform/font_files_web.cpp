#include "platform/font_files.h"

#include "platform/font_characters.h"

#include <SDL_stdinc.h>
#include <emscripten.h>

namespace platform {
namespace {

// The faces in the page's data (/fonts): Liberation Sans, which stands in for
// Arial, and DSEG7 Classic, the scoreboard's LED face.
struct KnownFace {
    const char* family;
    const char* regular;
    const char* bold;
};
constexpr KnownFace kFaces[] = {
    {"Liberation Sans", "/fonts/LiberationSans-Regular.ttf", "/fonts/LiberationSans-Bold.ttf"},
    {"DSEG7 Classic", "/fonts/DSEG7Classic-Regular.ttf", "/fonts/DSEG7Classic-Bold.ttf"},
};

// The face for other scripts (Chinese, Japanese, Korean and more) is large,
// so it is not in the first download: it is fetched beside the page the
// first time a name needs it.
constexpr const char* kLateFaceFamily = "Droid Sans Fallback";
constexpr const char* kLateFaceName = "DroidSansFallbackFull.ttf";
constexpr const char* kLateFaceFile = "/fonts/DroidSansFallbackFull.ttf";

// clang-format off
EM_ASYNC_JS(int, FetchLateFace, (const char* url, const char* file), {
    try {
        const response = await fetch(UTF8ToString(url));
        if (!response.ok)
            return 0;
        FS.writeFile(UTF8ToString(file), new Uint8Array(await response.arrayBuffer()));
        return 1;
    } catch (error) {
        return 0;
    }
});
// clang-format on

bool LateFaceHere() {
    // Asked once: a page that could not fetch it draws what it can.
    static const bool here =
        FetchLateFace((std::string("fonts/") + kLateFaceName).c_str(), kLateFaceFile) != 0;
    return here;
}

} // namespace

bool MatchFontFile(const std::string& family, bool bold, FontFile& out) {
    for (const KnownFace& face : kFaces)
        if (SDL_strcasecmp(face.family, family.c_str()) == 0) {
            out = {bold ? face.bold : face.regular, face.family};
            return true;
        }
    // Any other family, Arial among them, shows in Liberation Sans.
    out = {bold ? kFaces[0].bold : kFaces[0].regular, kFaces[0].family};
    return false;
}

// The faces are in the page's own data, which loads whole or not at all.
std::string MissingShippedFonts() {
    return {};
}

void StartFontLookups() {} // the page's faces are listed in its code

bool FontFileWithCharacter(char32_t codePoint, const std::string&, FontFile& out) {
    if (FontFileHasCharacter(kFaces[0].regular, codePoint)) {
        out = {kFaces[0].regular, kFaces[0].family};
        return true;
    }
    if (LateFaceHere() && FontFileHasCharacter(kLateFaceFile, codePoint)) {
        out = {kLateFaceFile, kLateFaceFamily};
        return true;
    }
    return false;
}

} // namespace platform
