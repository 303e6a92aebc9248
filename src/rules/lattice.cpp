#include "rules/lattice.h"

#include <algorithm>

namespace pegdrop {
namespace {

bool Contains(const std::vector<std::int16_t>& v, int x) {
    return std::find(v.begin(), v.end(), x) != v.end();
}

// The column whose peg zone holds x, if any.
const std::int16_t* PegAt(const std::vector<std::int16_t>& columns, int x, int half) {
    for (const std::int16_t& c : columns)
        if (x >= c - half && x <= c + half)
            return &c;
    return nullptr;
}

StepAction WallPush(const Lattice& l, int y, Steer inward) {
    if (Contains(l.pushRows, y))
        return {true, inward};
    return {false, Steer::Straight};
}

} // namespace

BandKind BandAt(const Lattice& l, int y) {
    for (const Band& b : l.bands)
        if (y >= b.from && y <= b.to)
            return b.kind;
    return BandKind::None;
}

StepAction StepRule(const Lattice& l, int x, int y) {
    if (Contains(l.aRows, y)) {
        if (const std::int16_t* c = PegAt(l.aColumns, x, l.pegHalfWidth)) {
            if (x < *c - l.pegCentreHalf)
                return {true, Steer::Left};
            if (x > *c + l.pegCentreHalf)
                return {true, Steer::Right};
            return {true, Steer::Random};
        }
        return {};
    }
    if (Contains(l.bRows, y)) {
        if (PegAt(l.bColumns, x, l.pegHalfWidth))
            return {true, Steer::Random};
        return {};
    }
    switch (BandAt(l, y)) {
    case BandKind::First:
        if (x <= l.leftWall)
            return y >= l.firstBandLeftWallFrom ? StepAction{true, Steer::Right} : StepAction{};
        if (Contains(l.firstBandStops, x))
            return {false, Steer::Straight};
        if (x >= l.rightWall)
            return {true, Steer::Left};
        return {};
    case BandKind::BApproach:
        if (x <= l.leftWall)
            return WallPush(l, y, Steer::Right);
        if (Contains(l.bStops, x))
            return {false, Steer::Straight};
        if (x >= l.rightWall)
            return WallPush(l, y, Steer::Left);
        return {};
    case BandKind::AApproach:
        if (Contains(l.aStops, x))
            return {false, Steer::Straight};
        return {};
    case BandKind::None:
        break;
    }
    return {};
}

const Lattice& BoardLattice() {
    static const Lattice board = [] {
        Lattice l;
        for (int k = 0; k < 8; ++k)
            l.aColumns.push_back(static_cast<std::int16_t>(216 + 24 * k));
        for (int k = 0; k < 7; ++k)
            l.bColumns.push_back(static_cast<std::int16_t>(228 + 24 * k));
        l.aRows = {34, 82, 130, 178, 226, 274, 298};
        l.bRows = {58, 106, 154, 202, 250};
        l.leftWall = 204;
        l.rightWall = 396;
        l.pushRows = {100, 148, 196, 244};
        l.aStops = l.aColumns;
        l.bStops = l.bColumns;
        l.bands = {
            {17, 33, BandKind::AApproach},   {35, 57, BandKind::First},
            {59, 81, BandKind::AApproach},   {83, 105, BandKind::BApproach},
            {107, 129, BandKind::AApproach}, {131, 153, BandKind::BApproach},
            {155, 177, BandKind::AApproach}, {179, 201, BandKind::BApproach},
            {203, 225, BandKind::AApproach}, {227, 251, BandKind::BApproach},
            {252, 273, BandKind::AApproach}, {275, 297, BandKind::BApproach},
            {299, 316, BandKind::BApproach},
        };
        l.firstBandLeftWallFrom = 52;
        l.firstBandStops = l.aColumns;
        l.firstBandStops.insert(l.firstBandStops.end(), l.bColumns.begin(), l.bColumns.end());
        std::sort(l.firstBandStops.begin(), l.firstBandStops.end());
        return l;
    }();
    return board;
}

} // namespace pegdrop
