// Line breaking for labels: plain code over a width measure, so it can be
// tested without fonts.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace ui {

// The lines a text shows at a width. Line feeds always break; otherwise a line
// breaks only at spaces, and the spaces at a break are dropped. A word wider
// than the width keeps its own line whole, to be clipped where it is drawn:
// breaking it would show a different text (a total of 12600 as "1260").
// A width of 0 or less breaks at line feeds only.
// The lines of a text broken at its line feeds alone; always one at least.
std::vector<std::string> SplitLines(std::string_view text);

std::vector<std::string> BreakLines(std::string_view text, int width,
                                    const std::function<int(std::string_view)>& measure);

} // namespace ui
