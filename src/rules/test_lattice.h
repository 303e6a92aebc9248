// The small test board of the speed window, in the same terms as the board's
// peg field, so a test run moves its chip by the board's own step rule.
#pragma once

#include "rules/lattice.h"

#include <cstdint>

namespace pegdrop {

const Lattice& TestBoardLattice();

// A run starts at (180, 72) and steps while y is below 260: 188 steps.
inline constexpr std::int16_t kTestStartX = 180, kTestStartY = 72, kTestEndY = 260;

} // namespace pegdrop
