// Exact landing odds of a chip: every random direction choice is followed
// both ways with weight 1/2, so the results are exact fractions of a power of
// two, not samples. The motion itself comes from AdvanceChip.
#pragma once

#include "rules/lattice.h"
#include "rules/slots.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <map>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

namespace pegdrop {

// Probability of each final x of a fall from (startX, startY), stepping while
// y < endY.
std::map<int, double> EndDistribution(const Lattice& lattice, int startX, int startY, int endY);

// Probability of each slot, 1..9 at index 0..8, for a board chip released at x.
std::array<double, 9> SlotOdds(int releaseX);

// The prize a chip with these slot odds wins on average, in dollars.
double ExpectedPrize(const std::array<double, 9>& odds);

struct TraceStep {
    std::int16_t y;         // after the step's increment
    std::int16_t x;         // after the sideways move
    std::int16_t direction; // after the step rule
    bool bounce;            // the step deflected the chip
};

enum class TraceStatus : std::uint8_t {
    Ok,
    TooFewChoices, // the fall needed a direction choice beyond the last one given
    BadChoice,     // a choice used was neither '1' nor '2'
};

struct Trace {
    TraceStatus status = TraceStatus::Ok;
    std::vector<TraceStep> steps; // up to the failing step when not Ok
    std::size_t choicesUsed = 0;
    std::int16_t endX = 0;
    const Slot* slot = nullptr; // board traces only; nullptr between two ranges
};

// One fall whose direction choices are read in order from choices ('1' left,
// '2' right). Choices left over are ignored.
Trace TraceDescent(const Lattice& lattice, int startX, int startY, int endY,
                   std::string_view choices);

// A board fall from release x at the top, down to the slots.
Trace TraceRelease(int releaseX, std::string_view choices);

// The pegdrop-odds command line, without the program name (see ParseOddsArgs).
// A scripted fall must use exactly the choices given. Returns the exit code:
// 0; 1 when the chart cannot be written; 2 after a one-line message and the
// usage line on err.
int RunOddsCli(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

} // namespace pegdrop
