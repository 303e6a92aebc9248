// Whether a font file has a glyph for a character, as SDL_ttf reads its
// character map: for the systems whose fallback faces are a list of files
// (Windows, the browser) rather than a font service that answers it.
#pragma once

#include <string>

namespace platform {

bool FontFileHasCharacter(const std::string& file, char32_t codePoint);

} // namespace platform
