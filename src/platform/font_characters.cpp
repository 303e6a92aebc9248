#include "platform/font_characters.h"

#include <SDL_ttf.h>

#include <memory>

namespace platform {
namespace {

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

struct FontCloser {
    void operator()(TTF_Font* f) const { TTF_CloseFont(f); }
};

} // namespace

bool FontFileHasCharacter(const std::string& file, char32_t codePoint) {
    const TtfInUse ttf;
    if (!ttf.Started())
        return false;
    const std::unique_ptr<TTF_Font, FontCloser> font(TTF_OpenFont(file.c_str(), 12));
    return font && TTF_GlyphIsProvided32(font.get(), static_cast<Uint32>(codePoint)) != 0;
}

} // namespace platform
