// The faces the game's windows draw their text in, named once: the windows
// use them, and the program opens them all ahead of any window that needs one.
#pragma once

#include "ui/fonts.h"

#include <vector>

namespace faces {

inline const ui::FontSpec kControls{};                      // buttons, text boxes, dialogs
inline const ui::FontSpec kSplash{"Arial", 9.0f, false};    // the splash's small print
inline const ui::FontSpec kMessage{"Arial", 14.25f, false}; // the board's message line
inline const ui::FontSpec kScoreboard{"Arial", 18.0f, false};
inline const ui::FontSpec kScoreboardLed{"EggCrate", 18.0f, false};
inline const ui::FontSpec kSpeed{"Arial", 12.0f, false}; // the speed prompt and its box
inline const ui::FontSpec kTop10Row{"Arial", 12.0f, true};
inline const ui::FontSpec kTop10Title{"Arial", 15.75f, true};

inline std::vector<ui::FontSpec> All() {
    return {kControls,      kSplash, kMessage,  kScoreboard,
            kScoreboardLed, kSpeed,  kTop10Row, kTop10Title};
}

} // namespace faces
