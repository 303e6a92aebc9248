#include "rules/test_lattice.h"

namespace pegdrop {

const Lattice& TestBoardLattice() {
    static const Lattice test = [] {
        Lattice l;
        for (int k = 0; k < 5; ++k) {
            l.aColumns.push_back(static_cast<std::int16_t>(120 + 24 * k));
            l.bColumns.push_back(static_cast<std::int16_t>(132 + 24 * k));
        }
        l.aRows = {76, 124, 172, 220};
        l.bRows = {100, 148, 196};
        // The outer B columns stand on the wall lines, so they are no stops:
        // a chip there slides down and is pushed in at the next push row.
        l.leftWall = 132;
        l.rightWall = 228;
        l.pushRows = {94, 142, 190, 238};
        // The leftmost A column lets a chip slide past it to the wall.
        l.aStops = {144, 168, 192, 216};
        l.bStops = {156, 180, 204};
        // 220 lies inside the last B-approach band; rows are tested first.
        l.bands = {
            {73, 75, BandKind::AApproach},   {77, 99, BandKind::BApproach},
            {101, 123, BandKind::AApproach}, {125, 147, BandKind::BApproach},
            {149, 171, BandKind::AApproach}, {173, 195, BandKind::BApproach},
            {197, 216, BandKind::AApproach}, {217, 260, BandKind::BApproach},
        };
        return l;
    }();
    return test;
}

} // namespace pegdrop
