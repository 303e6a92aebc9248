// The peg lattice: the whole geometry of a peg field and the one step rule that
// moves a falling chip through it. Plain code: the board's descent, the speed
// window's test board, the pictures and the odds tool all read these values.
#pragma once

#include <cstdint>
#include <vector>

namespace pegdrop {

enum class BandKind : std::uint8_t { None, First, BApproach, AApproach };

struct Band {
    std::int16_t from; // inclusive
    std::int16_t to;   // inclusive
    BandKind kind;
};

struct Lattice {
    std::vector<std::int16_t> aColumns;
    std::vector<std::int16_t> bColumns;
    std::vector<std::int16_t> aRows;          // pegs on the A columns
    std::vector<std::int16_t> bRows;          // pegs on the B columns
    std::int16_t leftWall;                    // x <= leftWall is at the left wall
    std::int16_t rightWall;                   // x >= rightWall is at the right wall
    std::vector<std::int16_t> pushRows;       // B-approach y where a wall pushes back
    std::vector<std::int16_t> aStops;         // columns that stop a chip in A-approach bands
    std::vector<std::int16_t> bStops;         // columns that stop a chip in B-approach bands
    std::vector<Band> bands;                  // every non-row y of the fall
    std::int16_t firstBandLeftWallFrom = 0;   // the left wall acts late in the first band
    std::vector<std::int16_t> firstBandStops; // A and B columns together
    std::int16_t pegHalfWidth = 9;            // a peg at c covers c - 9 .. c + 9
    std::int16_t pegCentreHalf = 1;           // the random centre of an A peg: c - 1 .. c + 1
};

// What one step does to the chip's direction.
enum class Steer : std::uint8_t { Keep, Straight, Left, Right, Random };

struct StepAction {
    bool bounce = false; // a deflection: the bounce cue plays (its digit drawn first)
    Steer steer = Steer::Keep;
};

inline constexpr std::int16_t kStraight = 0;
inline constexpr std::int16_t kLeft = 1;
inline constexpr std::int16_t kRight = 2;

// The step rule for a chip whose centre is at (x, y), y already advanced.
StepAction StepRule(const Lattice& lattice, int x, int y);

BandKind BandAt(const Lattice& lattice, int y);

// The field of the board window.
const Lattice& BoardLattice();

// The board picture's walls turn in and out this far below the peg rows.
inline constexpr int kBoardPegDrop = 10;
// The last A row is the tops of the slot dividers, drawn as bars instead of pegs.
inline constexpr int kBoardDividerRow = 298;
inline constexpr int kBoardDividerTop = 305;
inline constexpr int kBoardDividerBottom = 323;
inline constexpr int kBoardDividerWidth = 3;

// Board chip path.
inline constexpr std::int16_t kChipStartX = 300;
inline constexpr std::int16_t kChipTopY = 16;
inline constexpr std::int16_t kChipLandY = 316;
inline constexpr std::int16_t kAimMinX = 200;
inline constexpr std::int16_t kAimMaxX = 400;

} // namespace pegdrop
