// The step rule on the board's peg field and on the speed window's test board,
// driven step by step through AdvanceChip.
#include "rules/test_lattice.h"
#include "odds.h"
#include "rules/descent.h"
#include "rules/lattice.h"
#include "rules/slots.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>
#include <string_view>
#include <vector>

namespace pegdrop {
namespace {

struct Step {
    int y, x, direction; // after the step
    bool bounce;
    bool random; // the step asked for a direction
};

struct Fall {
    int startY;
    std::vector<Step> steps;
    const Step& At(int y) const { return steps.at(static_cast<std::size_t>(y - startY - 1)); }
    std::vector<int> BouncesIn(int fromY, int toY) const {
        std::vector<int> ys;
        for (const Step& s : steps)
            if (s.bounce && s.y >= fromY && s.y <= toY)
                ys.push_back(s.y);
        return ys;
    }
};

// A fall whose direction choices come from script ('1' left, '2' right) in
// order; a choice beyond the script fails the test.
Fall Drop(const Lattice& lattice, int x, int y, int endY, std::string_view script = "") {
    Fall fall{y, {}};
    ChipMotion chip{static_cast<std::int16_t>(x), static_cast<std::int16_t>(y), kStraight};
    std::size_t next = 0;
    while (chip.y < endY) {
        std::vector<Choice> asked;
        const int digit = AdvanceChip(lattice, chip, [&](Choice c) {
            asked.push_back(c);
            if (c == Choice::CueDigit)
                return 2;
            if (next == script.size()) {
                ADD_FAILURE() << "unscripted choice at y " << chip.y << " from x " << x;
                return static_cast<int>(kLeft);
            }
            return script[next++] == '2' ? static_cast<int>(kRight) : static_cast<int>(kLeft);
        });
        const bool random = std::find(asked.begin(), asked.end(), Choice::Direction) != asked.end();
        if (random) { // the cue's digit is drawn before the direction
            EXPECT_EQ(asked, (std::vector<Choice>{Choice::CueDigit, Choice::Direction}));
        }
        EXPECT_EQ(digit != 0, !asked.empty() && asked.front() == Choice::CueDigit);
        fall.steps.push_back({chip.y, chip.x, chip.direction, digit != 0, random});
    }
    return fall;
}

std::vector<int> Range(int from, int to) {
    std::vector<int> v;
    for (int i = from; i <= to; ++i)
        v.push_back(i);
    return v;
}

std::vector<int> Concat(std::vector<int> a, const std::vector<int>& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

const Lattice& Board() {
    return BoardLattice();
}

TEST(LatticeBands, EveryYOfAFallIsARowOrInABand) {
    struct Field {
        const Lattice& lattice;
        int firstY, lastY;
    };
    for (const Field& f : {Field{Board(), kChipTopY + 1, kChipLandY},
                           Field{TestBoardLattice(), kTestStartY + 1, kTestEndY}}) {
        for (int y = f.firstY; y <= f.lastY; ++y) {
            const auto isRow = [&](const std::vector<std::int16_t>& rows) {
                return std::find(rows.begin(), rows.end(), y) != rows.end();
            };
            int bands = 0;
            for (const Band& b : f.lattice.bands)
                bands += y >= b.from && y <= b.to;
            EXPECT_TRUE(isRow(f.lattice.aRows) || isRow(f.lattice.bRows) || bands == 1)
                << "y " << y;
            EXPECT_LE(bands, 1) << "y " << y;
        }
    }
    EXPECT_EQ(BandAt(Board(), 251), BandKind::BApproach);
    EXPECT_EQ(BandAt(Board(), 252), BandKind::AApproach);
    EXPECT_EQ(BandAt(TestBoardLattice(), 220), BandKind::BApproach); // a row inside a band
}

TEST(BoardWalls, LeftWallPushesOnlyFromY52) {
    for (const auto& [release, pushes] : {std::pair{200, 5}, {202, 3}, {204, 1}}) {
        SCOPED_TRACE(release);
        const Fall fall = Drop(Board(), release, kChipTopY, 82, "1");
        EXPECT_EQ(fall.At(51).x, release); // straight down to the wall's first push
        EXPECT_EQ(fall.BouncesIn(17, 81), Range(52, 51 + pushes));
        EXPECT_EQ(fall.At(68).x, 216);
        EXPECT_EQ(fall.At(68).direction, kStraight);
        EXPECT_EQ(fall.At(81).x, 216);
        EXPECT_TRUE(fall.At(82).random); // on the peg's centre
    }
}

TEST(BoardWalls, RightWallPushesFromTheFirstBandsTop) {
    for (const auto& [release, pushes] : {std::pair{400, 5}, {398, 3}, {396, 1}}) {
        SCOPED_TRACE(release);
        const Fall fall = Drop(Board(), release, kChipTopY, 82, "1");
        EXPECT_EQ(fall.At(34).x, release);
        EXPECT_EQ(fall.BouncesIn(17, 81), Range(35, 34 + pushes));
        EXPECT_EQ(fall.At(51).x, 384);
        EXPECT_EQ(fall.At(51).direction, kStraight);
        EXPECT_EQ(fall.At(81).x, 384);
        EXPECT_TRUE(fall.At(82).random);
    }
}

TEST(BoardFirstRow, OuterPegsSendChipsIntoTheWalls) {
    const Fall left = Drop(Board(), 208, kChipTopY, 82, "1");
    EXPECT_EQ(left.At(51).x, 190);
    EXPECT_EQ(left.BouncesIn(17, 81), Concat({34}, Range(52, 57)));
    EXPECT_EQ(std::min_element(left.steps.begin(), left.steps.end(),
                               [](const Step& a, const Step& b) { return a.x < b.x; })
                  ->x,
              190);

    const Fall right = Drop(Board(), 386, kChipTopY, 82, "1");
    EXPECT_EQ(right.At(43).x, 396);
    EXPECT_EQ(right.At(44).x, 395);
    EXPECT_EQ(right.At(44).direction, kLeft);
    EXPECT_EQ(right.BouncesIn(17, 81), (std::vector<int>{34, 44}));

    // Off the outer peg centres the walls differ: the left one pushes a chip
    // back onto 216 by y 70, the right one too late for 384, which the chip
    // passes on the B row and leaves for 360.
    const Fall fromLeftCentre = Drop(Board(), 216, kChipTopY, 82, "11");
    EXPECT_EQ(fromLeftCentre.At(69).x, 216);
    EXPECT_EQ(fromLeftCentre.At(70).direction, kStraight);
    const Fall fromRightCentre = Drop(Board(), 384, kChipTopY, 82, "22");
    EXPECT_EQ(fromRightCentre.BouncesIn(17, 81), (std::vector<int>{34, 46}));
    EXPECT_EQ(fromRightCentre.At(57).x, 384);
    EXPECT_EQ(fromRightCentre.At(58).x, 383);
    EXPECT_EQ(fromRightCentre.At(81).x, 360);
}

TEST(BoardFirstRow, PegSidesDeflectAndItsCentreIsRandom) {
    for (int c : Board().aColumns) {
        for (int d = -9; d <= 9; ++d) {
            SCOPED_TRACE(c + d);
            const Fall fall = Drop(Board(), c + d, kChipTopY, 34, "2");
            EXPECT_TRUE(fall.BouncesIn(17, 33).empty());
            const Step& hit = fall.At(34);
            EXPECT_TRUE(hit.bounce);
            EXPECT_EQ(hit.random, d >= -1 && d <= 1);
            if (d <= -2) {
                EXPECT_EQ(hit.direction, kLeft);
            } else if (d >= 2) {
                EXPECT_EQ(hit.direction, kRight);
            }
        }
    }
    // Between two zones the first row leaves the chip alone.
    for (int x : {206, 226, 230, 298, 302, 374, 394})
        EXPECT_FALSE(Drop(Board(), x, kChipTopY, 34).At(34).bounce) << x;
}

TEST(BoardDescent, ReleasesOutsideEveryZoneFallStraight) {
    for (const auto& [release, slot] : {std::pair{206, 1}, {394, 9}}) {
        const Fall fall = Drop(Board(), release, kChipTopY, kChipLandY);
        ASSERT_EQ(fall.steps.size(), 300u);
        EXPECT_TRUE(fall.BouncesIn(17, 316).empty());
        for (const Step& s : fall.steps)
            EXPECT_EQ(s.x, release) << "y " << s.y;
        ASSERT_NE(SlotForX(fall.steps.back().x), nullptr);
        EXPECT_EQ(SlotForX(fall.steps.back().x)->number, slot);
    }
    const Fall centre = Drop(Board(), 300, kChipTopY, kChipLandY, std::string(12, '2'));
    ASSERT_EQ(centre.steps.size(), 300u);
    EXPECT_TRUE(centre.BouncesIn(17, 57).empty());
    EXPECT_TRUE(centre.At(58).bounce);
    EXPECT_TRUE(centre.At(58).random);
}

TEST(BoardDescent, BColumnsCatchChipsOffTheLastBRow) {
    for (std::size_t i = 0; i < Board().bColumns.size(); ++i) {
        const int c = Board().bColumns[i];
        for (const auto& [from, script] : {std::pair{c - 1, "2"}, {c + 1, "1"}}) {
            SCOPED_TRACE(from);
            const Fall fall = Drop(Board(), from, 249, kChipLandY, script);
            EXPECT_EQ(fall.At(250).x, c);
            EXPECT_EQ(fall.At(251).x, c);
            EXPECT_EQ(fall.At(251).direction, kStraight);
            EXPECT_TRUE(fall.BouncesIn(251, 316).empty());
            EXPECT_EQ(fall.steps.back().x, c);
            ASSERT_NE(SlotForX(c), nullptr);
            EXPECT_EQ(SlotForX(c)->number, static_cast<int>(i) + 2);
        }
    }
}

TEST(BoardDescent, EveryFallFromEveryReleaseEndsInASlot) {
    std::set<int> evenEnds{204, 206, 394, 396};
    evenEnds.insert(Board().bColumns.begin(), Board().bColumns.end());
    std::set<int> anyEnds = evenEnds;
    anyEnds.insert({205, 395});

    std::set<int> seenEven;
    for (int release = kAimMinX; release <= kAimMaxX; ++release) {
        SCOPED_TRACE(release);
        for (const auto& [x, p] : EndDistribution(Board(), release, kChipTopY, kChipLandY)) {
            EXPECT_GT(p, 0.0);
            EXPECT_NE(SlotForX(x), nullptr) << "end " << x;
            EXPECT_TRUE(anyEnds.count(x)) << "end " << x;
            if (release % 2 == 0) {
                EXPECT_TRUE(evenEnds.count(x)) << "end " << x;
                seenEven.insert(x);
            }
        }
    }
    EXPECT_EQ(seenEven, evenEnds);
}

TEST(TestBoard, RunStartsUntouchedAndMeetsTheCentralBPeg) {
    const Fall fall = Drop(TestBoardLattice(), kTestStartX, kTestStartY, kTestEndY, "2222222");
    EXPECT_EQ(fall.steps.size(), 188u);
    EXPECT_EQ(fall.steps.back().y, kTestEndY);
    EXPECT_FALSE(fall.At(76).bounce);
    EXPECT_TRUE(fall.BouncesIn(73, 99).empty());
    EXPECT_EQ(fall.At(99).x, 180);
    EXPECT_TRUE(fall.At(100).random);
}

TEST(TestBoard, ChipSentLeftOffTheLastBRowSlidesPastTheLeftmostColumn) {
    const Fall fall = Drop(TestBoardLattice(), kTestStartX, kTestStartY, kTestEndY, "11111");
    EXPECT_EQ(fall.At(195).x, 138);
    EXPECT_TRUE(fall.At(196).random);
    EXPECT_EQ(fall.At(216).x, 117);
    EXPECT_TRUE(fall.At(220).bounce);
    EXPECT_FALSE(fall.At(220).random); // the left part of the peg at 120
    EXPECT_EQ(fall.At(220).x, 116);
    EXPECT_EQ(fall.At(237).x, 116);
    EXPECT_EQ(fall.At(238).x, 117);
    EXPECT_EQ(fall.BouncesIn(197, 260), (std::vector<int>{220, 238}));
    EXPECT_EQ(fall.steps.back().x, 117);
}

TEST(TestBoard, EveryRunStaysOnTheBoardAndEndsAtAKnownPlace) {
    // Seven rows, so seven choices cover every run; unused ones are left over.
    const std::set<int> ends{117, 155, 156, 180, 204, 205, 242};
    std::set<int> seen;
    for (int bits = 0; bits < 128; ++bits) {
        std::string script;
        for (int i = 0; i < 7; ++i)
            script += (bits >> i & 1) ? '2' : '1';
        SCOPED_TRACE(script);
        const Fall fall = Drop(TestBoardLattice(), kTestStartX, kTestStartY, kTestEndY, script);
        ASSERT_EQ(fall.steps.size(), 188u);
        for (const Step& s : fall.steps) {
            EXPECT_GE(s.x, 116);
            EXPECT_LE(s.x, 243);
        }
        EXPECT_TRUE(ends.count(fall.steps.back().x)) << fall.steps.back().x;
        seen.insert(fall.steps.back().x);
    }
    EXPECT_EQ(seen, ends);
}

} // namespace
} // namespace pegdrop
