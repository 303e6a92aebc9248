// Fonts by family name, found by the system and opened with SDL_ttf at 96 dpi.
#pragma once

#include "ui/sdl_ptrs.h"

#include <map>
#include <optional>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

namespace ui {

struct FontSpec {
    std::string face = "Arial";
    float points = 8.25f;
    bool bold = false;
    friend bool operator==(const FontSpec&, const FontSpec&) = default;
};

struct ResolvedFace {
    std::string file;
    std::string family;       // the family fontconfig matched
    bool substituted = false; // the asked-for face is not on this system
    // A stand-in of another width is opened smaller, so that its digits
    // advance at most this much of an em; 0 keeps the size asked for.
    float digitAdvanceEm = 0.0f;
};

// A face the program asks for that the system may lack, and the family that
// stands in for it.
struct FaceStandIn {
    std::string face;
    std::string family;
    // A stand-in of another width is opened smaller, so that its digits
    // advance at most this much of an em; 0 for a metric twin, used at the
    // size asked for.
    float digitAdvanceEm = 0.0f;
};

// The face shown for a family: the family itself when installed, else its
// stand-in among `standIns`, else the system's default.
ResolvedFace ResolveFace(const std::string& face, bool bold,
                         const std::vector<FaceStandIn>& standIns = {});

// Points at 96 dots per inch to pixels: 14.25 pt is 19 px.
inline int PointsToPixels(float points) {
    return static_cast<int>(points * 96.0f / 72.0f + 0.5f);
}

class FontCache {
public:
    explicit FontCache(std::vector<FaceStandIn> standIns = {}) : standIns_(std::move(standIns)) {}

    // The opened font, or nullptr when no face could be opened.
    TTF_Font* Get(const FontSpec& wanted);
    // The face that draws one character of text asked for in `wanted`: that
    // face when it has the character, else a face the system names for it,
    // at the same size; `wanted`'s own again when no face has it.
    TTF_Font* FaceFor(const FontSpec& wanted, char32_t character);
    // Text rendered ahead of the window that shows it, by a key that names
    // all it was rendered from; nullptr when none was.
    SDL_Surface* Rendered(const std::string& key) const;
    void KeepRendered(std::string key, SurfacePtr pixels);
    // A size measured once, by a key naming all it was measured from: a
    // caption's advance, the points a line was found to fit a width at.
    std::optional<float> Measured(const std::string& key) const;
    void KeepMeasured(std::string key, float value);
    void Clear() {
        rendered_.clear();
        measured_.clear();
        fonts_.clear();
        resolved_.clear();
        fallbackFonts_.clear();
    }

private:
    TTF_Font* Fallback(std::size_t index, const FontSpec& wanted);

    std::vector<FaceStandIn> standIns_;
    // The system is asked once a face: each size opens the same file.
    std::map<std::pair<std::string, bool>, ResolvedFace> resolved_;
    std::map<std::tuple<std::string, int, bool>, FontPtr> fonts_;
    // Fallback files in the order found: one covers many characters, so
    // the system is asked only for a character that none found so far has.
    std::vector<std::string> fallbackFiles_;
    std::map<char32_t, int> fallbackOf_; // index in fallbackFiles_, -1 for none
    std::map<std::tuple<std::size_t, int, bool>, FontPtr> fallbackFonts_;
    std::map<std::string, SurfacePtr> rendered_;
    std::map<std::string, float> measured_;
};

} // namespace ui
