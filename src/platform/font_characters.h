// Whether a font file has a glyph for a character, as SDL_ttf reads its
// character map: for the systems whose fallback faces are a list of files
// (Windows, the browser) rather than a font service that answers it.
#pragma once

#include <SDL_ttf.h>

#include <memory>
#include <string>

namespace platform {

bool FontFileHasCharacter(const std::string& file, char32_t codePoint);

// SDL_ttf counts its users, so this starts it only when no one has.
class TtfInUse {
public:
    TtfInUse() : started_(TTF_Init() == 0) {}
    ~TtfInUse() {
        if (started_)
            TTF_Quit();
    }
    TtfInUse(const TtfInUse&) = delete;
    TtfInUse& operator=(const TtfInUse&) = delete;
    bool Started() const { return started_; }

private:
    bool started_;
};

struct TtfFontCloser {
    void operator()(TTF_Font* f) const { TTF_CloseFont(f); }
};
using TtfFontPtr = std::unique_ptr<TTF_Font, TtfFontCloser>;

} // namespace platform
