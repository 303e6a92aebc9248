// Finding a font's file by its family name, the way the system does.
#pragma once

#include <string>

namespace platform {

struct FontFile {
    std::string file;
    std::string family; // the family the system matched
};

// The file the system shows for a family; true when it is the family itself,
// false when another face stands in for it (`out` then names that one) or
// nothing could be found (`out.file` empty).
bool MatchFontFile(const std::string& family, bool bold, FontFile& out);

// The folder of faces that came with the game, when it should be there and is
// not (on Windows, fonts\ beside the executable); "" when it is there or the
// system has the faces itself.
std::string MissingShippedFonts();

// Starts reading the system's font lists on a thread of their own, so that
// the first face looked up need not wait for them after the display is up:
// called once, first thing. Every lookup waits for that reading to end.
void StartFontLookups();

// A scalable font file that has a glyph for the code point, the one the system
// likes best for text in `family`; false when no installed face has it.
bool FontFileWithCharacter(char32_t codePoint, const std::string& family, FontFile& out);

} // namespace platform
