#include "platform/font_characters.h"

namespace platform {

bool FontFileHasCharacter(const std::string& file, char32_t codePoint) {
    const TtfInUse ttf;
    if (!ttf.Started())
        return false;
    const TtfFontPtr font(TTF_OpenFont(file.c_str(), 12));
    return font && TTF_GlyphIsProvided32(font.get(), static_cast<Uint32>(codePoint)) != 0;
}

} // namespace platform
