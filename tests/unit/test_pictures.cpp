// The pictures are read back pixel by pixel against the lattice they must
// agree with: a chip's path is only honest if the pegs stand where it bounces.
#include "art/draw_canvas.h"
#include "art/draw_glyphs.h"
#include "art/pictures.h"
#include "rules/lattice.h"
#include "rules/slots.h"
#include "rules/test_lattice.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <functional>
#include <set>
#include <utility>

namespace {

using art::Picture;
using pegdrop::BoardLattice;

int R(std::uint32_t p) {
    return (p >> 16) & 0xFF;
}
int G(std::uint32_t p) {
    return (p >> 8) & 0xFF;
}
int B(std::uint32_t p) {
    return p & 0xFF;
}
double Luma(std::uint32_t p) {
    return 0.299 * R(p) + 0.587 * G(p) + 0.114 * B(p);
}
bool IsYellow(std::uint32_t p) {
    return R(p) > 220 && G(p) > 200 && B(p) < 140;
}
bool IsLight(std::uint32_t p) {
    return Luma(p) >= 200;
}

const Picture& Board() {
    static const Picture board = art::BoardPicture();
    return board;
}

// Both chips are 17 x 17 discs centred on their (x, y): on a peg's row the
// lower edge is 8 below the row, and the peg it meets starts on the next
// pixel row, a ball 5 pixels across.
constexpr int kPegCentreBelowRow = 8 + 1 + 2;

using PixelAt = std::function<std::uint32_t(int, int)>;

// A small round peg centred on (x, y), lit from the top-left; its ink ends
// within 2 pixels and the field round it is untouched. Returns its 5 x 5 box.
std::vector<std::uint32_t> ExpectRoundPeg(const PixelAt& at, int x, int y) {
    const auto grey = [](std::uint32_t p) {
        return std::abs(R(p) - G(p)) < 12 && std::abs(G(p) - B(p)) < 12;
    };
    const double centre = Luma(at(x, y));
    EXPECT_GT(centre, 170) << "the centre is lit at " << x << "," << y;
    EXPECT_TRUE(grey(at(x, y))) << x << "," << y;
    for (auto [dx, dy] : {std::pair{2, 0}, {-2, 0}, {0, 2}, {0, -2}}) {
        const std::uint32_t edge = at(x + dx, y + dy);
        EXPECT_LT(Luma(edge), centre - 40) << "the edge is darker at " << x + dx << "," << y + dy;
        EXPECT_TRUE(grey(edge)) << x + dx << "," << y + dy;
        // Round, not square: the box's corners are barely touched.
        const std::uint32_t corner = at(x + (dx ? dx : 2), y + (dy ? dy : 2));
        EXPECT_GT(Luma(corner), Luma(edge) + 30) << x << "," << y;
    }
    EXPECT_GT(Luma(at(x - 1, y - 1)), Luma(at(x + 1, y + 1)) + 10)
        << "lit from the top-left at " << x << "," << y;
    for (int dy = -5; dy <= 5; ++dy)
        for (int dx = -5; dx <= 5; ++dx)
            if (std::max(std::abs(dx), std::abs(dy)) >= 3) {
                EXPECT_EQ(at(x + dx, y + dy), art::kFieldWhite)
                    << "ink beyond the peg at " << x + dx << "," << y + dy;
            }
    std::vector<std::uint32_t> box;
    for (int dy = -2; dy <= 2; ++dy)
        for (int dx = -2; dx <= 2; ++dx)
            box.push_back(at(x + dx, y + dy));
    return box;
}

// Every peg of a lattice is the same round peg; returns how many there are.
int ExpectRoundPegs(const pegdrop::Lattice& l, const PixelAt& at,
                    const std::function<bool(int, int)>& stands) {
    std::vector<std::uint32_t> first;
    int pegs = 0;
    for (const auto& [rows, columns] : {std::pair{&l.aRows, &l.aColumns}, {&l.bRows, &l.bColumns}})
        for (int r : *rows)
            for (int c : *columns) {
                if (!stands(c, r))
                    continue;
                const std::vector<std::uint32_t> box =
                    ExpectRoundPeg(at, c, r + kPegCentreBelowRow);
                if (pegs++ == 0)
                    first = box;
                EXPECT_EQ(box, first) << "the peg at " << c << "," << r << " differs";
            }
    return pegs;
}

PixelAt BoardAt() {
    return [](int x, int y) { return Board().At(x, y); };
}
bool OnABoardPegRow(int, int row) {
    return row != pegdrop::kBoardDividerRow;
}

TEST(Pictures, SizesAreThoseOfTheirControls) {
    const auto opaque = [](const Picture& p) {
        for (std::uint32_t px : p.pixels)
            if ((px >> 24) != 0xFF)
                return false;
        return p.pixels.size() == static_cast<std::size_t>(p.width) * p.height;
    };
    const Picture splash = art::SplashPicture();
    const Picture test = art::TestBoardPicture();
    const Picture icon = art::IconPicture();
    EXPECT_EQ(splash.width, 479);
    EXPECT_EQ(splash.height, 336);
    EXPECT_EQ(Board().width, 600);
    EXPECT_EQ(Board().height, 400);
    EXPECT_EQ(test.width, 130);
    EXPECT_EQ(test.height, 212);
    EXPECT_EQ(icon.width, 32);
    EXPECT_EQ(icon.height, 32);
    for (const Picture* p : {&splash, &Board(), &test, &icon})
        EXPECT_TRUE(opaque(*p));
    for (const pegdrop::Slot& s : pegdrop::kSlots) {
        const Picture lit = art::LitSlotPicture(s.number);
        EXPECT_EQ(lit.width, s.width) << s.image;
        EXPECT_EQ(lit.height, s.height) << s.image;
        EXPECT_TRUE(opaque(lit)) << s.image;
    }
    EXPECT_TRUE(art::LitSlotPicture(0).pixels.empty());
    EXPECT_TRUE(art::LitSlotPicture(10).pixels.empty());
}

TEST(Pictures, AreTheSameEveryTime) {
    EXPECT_EQ(art::BoardPicture().pixels, Board().pixels);
    EXPECT_EQ(art::SplashPicture().pixels, art::SplashPicture().pixels);
    EXPECT_EQ(art::LitSlotPicture(5).pixels, art::LitSlotPicture(5).pixels);
}

TEST(BoardPicture, EveryPegIsARoundLitPegWhereTheLatticePutsIt) {
    EXPECT_EQ(ExpectRoundPegs(BoardLattice(), BoardAt(), OnABoardPegRow), 6 * 8 + 5 * 7);
}

TEST(BoardPicture, DividersAreThreePixelBarsOnTheAColumns) {
    for (int c : BoardLattice().aColumns) {
        for (int y = pegdrop::kBoardDividerTop; y <= pegdrop::kBoardDividerBottom; ++y) {
            for (int x = c - 1; x <= c + 1; ++x)
                EXPECT_EQ(Board().At(x, y), art::kPegGrey) << x << "," << y;
            EXPECT_EQ(Board().At(c - 2, y), art::kFieldWhite) << c << "," << y;
            EXPECT_EQ(Board().At(c + 2, y), art::kFieldWhite) << c << "," << y;
        }
        EXPECT_EQ(Board().At(c, pegdrop::kBoardDividerTop - 1), art::kFieldWhite) << c;
        EXPECT_NE(Board().At(c, pegdrop::kBoardDividerBottom + 1), art::kPegGrey) << c;
    }
}

TEST(BoardPicture, WallsReachTheWallLinesAtTheBRows) {
    const pegdrop::Lattice& l = BoardLattice();
    for (int r : l.bRows) {
        const int y = r + pegdrop::kBoardPegDrop;
        EXPECT_TRUE(IsYellow(Board().At(l.leftWall, y))) << y;
        EXPECT_TRUE(IsYellow(Board().At(l.rightWall, y))) << y;
        EXPECT_EQ(Board().At(l.leftWall + 1, y), art::kFieldWhite) << y;
        EXPECT_EQ(Board().At(l.rightWall - 1, y), art::kFieldWhite) << y;
        // Yellow right across the wall's band, not just a rim.
        EXPECT_TRUE(IsYellow(Board().At(l.leftWall - 8, y))) << y;
        EXPECT_TRUE(IsYellow(Board().At(l.rightWall + 8, y))) << y;
    }
    // Between two B rows the wall steps back out, away from the chip.
    const int between = l.aRows[1] + pegdrop::kBoardPegDrop;
    EXPECT_EQ(Board().At(l.leftWall - 4, between), art::kFieldWhite);
    EXPECT_EQ(Board().At(l.rightWall + 4, between), art::kFieldWhite);
}

TEST(BoardPicture, ChipPathHoldsNothingButWhitePegsAndDividers) {
    const pegdrop::Lattice& l = BoardLattice();
    std::set<std::pair<int, int>> grey, pegs;
    for (int c : l.aColumns)
        for (int y = pegdrop::kBoardDividerTop; y <= pegdrop::kBoardDividerBottom; ++y)
            for (int dx = -1; dx <= 1; ++dx)
                grey.insert({c + dx, y});
    const auto box = [&pegs](int c, int r) {
        for (int dy = -2; dy <= 2; ++dy)
            for (int dx = -2; dx <= 2; ++dx)
                pegs.insert({c + dx, r + kPegCentreBelowRow + dy});
    };
    for (int r : l.aRows)
        if (OnABoardPegRow(0, r))
            for (int c : l.aColumns)
                box(c, r);
    for (int r : l.bRows)
        for (int c : l.bColumns)
            box(c, r);
    int stray = 0;
    for (int y = 30; y <= pegdrop::kBoardDividerBottom; ++y)
        for (int x = l.leftWall + 1; x < l.rightWall; ++x) {
            if (pegs.count({x, y}))
                continue;
            const std::uint32_t want = grey.count({x, y}) ? art::kPegGrey : art::kFieldWhite;
            if (Board().At(x, y) != want && ++stray <= 5)
                ADD_FAILURE() << "pixel " << x << "," << y << " is " << std::hex
                              << Board().At(x, y);
        }
    EXPECT_EQ(stray, 0);
    // Where the chip waits and is aimed (its 17 x 17 box at y 16, x 200..400).
    for (int y = pegdrop::kChipTopY - 8; y <= pegdrop::kChipTopY + 8; ++y)
        for (int x = pegdrop::kAimMinX - 8; x <= pegdrop::kAimMaxX + 8; ++x)
            ASSERT_GE(Luma(Board().At(x, y)), 235) << x << "," << y;
}

TEST(BoardPicture, ScoreFieldLiesExactlyUnderTheScoreLabel) {
    const int x0 = art::kScoreFieldLeft, y0 = art::kScoreFieldTop;
    const int x1 = x0 + art::kScoreFieldWidth - 1, y1 = y0 + art::kScoreFieldHeight - 1;
    for (int y = y0; y <= y1; ++y)
        for (int x = x0; x <= x1; ++x)
            ASSERT_EQ(Board().At(x, y), art::kScoreRed) << x << "," << y;
    for (int x = x0; x <= x1; ++x) {
        EXPECT_NE(Board().At(x, y0 - 1), art::kScoreRed) << x;
        EXPECT_NE(Board().At(x, y1 + 1), art::kScoreRed) << x;
    }
    for (int y = y0; y <= y1; ++y) {
        EXPECT_NE(Board().At(x0 - 1, y), art::kScoreRed) << y;
        EXPECT_NE(Board().At(x1 + 1, y), art::kScoreRed) << y;
    }
    // The field sits on a yellow bar.
    EXPECT_TRUE(IsYellow(Board().At((x0 + x1) / 2, y1 + 12)));
}

TEST(LitSlotPictures, AreBrighterCopiesThatLineUpWithTheBoard) {
    for (const pegdrop::Slot& s : pegdrop::kSlots) {
        const Picture lit = art::LitSlotPicture(s.number);
        int same = 0, changed = 0, brighter = 0;
        double gain = 0;
        for (int y = 0; y < s.height; ++y)
            for (int x = 0; x < s.width; ++x) {
                const std::uint32_t under = Board().At(s.left + x, s.top + y);
                const std::uint32_t over = lit.At(x, y);
                if (under == over) {
                    ++same;
                    continue;
                }
                ++changed;
                gain += Luma(over) - Luma(under);
                if (Luma(over) > Luma(under))
                    ++brighter;
            }
        const int area = s.width * s.height;
        // The slot's own painting changes; what the image shares with its
        // neighbours and the ground stays exactly the board's.
        EXPECT_GT(changed, area * 4 / 10) << s.image;
        EXPECT_GT(same, area / 10) << s.image;
        EXPECT_GT(brighter, changed * 8 / 10) << s.image;
        EXPECT_GT(gain / changed, 40) << s.image;
    }
}

TEST(LitSlotPictures, LightOnlyTheirOwnSlot) {
    // Slot 5's image overlaps slots 4 and 6; where it does, it shows them unlit.
    const pegdrop::Slot& five = pegdrop::kSlots[4];
    const pegdrop::Slot& four = pegdrop::kSlots[3];
    const Picture lit4 = art::LitSlotPicture(4);
    const Picture lit5 = art::LitSlotPicture(5);
    const int y = five.top + five.height / 2;
    ASSERT_LT(five.left, four.left + four.width);
    int lit = 0;
    for (int x = five.left; x < four.left + four.width; ++x) {
        EXPECT_EQ(lit5.At(x - five.left, y - five.top), Board().At(x, y)) << x;
        lit += lit4.At(x - four.left, y - four.top) != Board().At(x, y);
    }
    EXPECT_GT(lit, 0);
}

TEST(TestBoardPicture, PegsDividersAndWallsStandWhereTheTestLatticePutsThem) {
    const Picture pic = art::TestBoardPicture();
    const pegdrop::Lattice& l = pegdrop::TestBoardLattice();
    const auto at = [&pic](int x, int y) {
        return pic.At(x - art::kTestBoardLeft, y - art::kTestBoardTop);
    };
    const auto inside = [&l](int c) { return c > l.leftWall && c < l.rightWall; };
    EXPECT_EQ(ExpectRoundPegs(l, at, [&inside](int c, int) { return inside(c); }), 4 * 4 + 3 * 3);
    // The same ball as on the board.
    const int px = l.aColumns[1], py = l.aRows[0] + kPegCentreBelowRow;
    const pegdrop::Lattice& board = BoardLattice();
    for (int dy = -2; dy <= 2; ++dy)
        for (int dx = -2; dx <= 2; ++dx)
            EXPECT_EQ(at(px + dx, py + dy),
                      Board().At(board.aColumns[0] + dx, board.aRows[0] + kPegCentreBelowRow + dy));

    // Dividers on the inner A columns and at the walls' outer corners.
    std::vector<int> dividers{l.aColumns.front() - 1, l.aColumns.back() + 24};
    for (int c : l.aColumns)
        if (inside(c))
            dividers.push_back(c);
    for (int x : dividers)
        for (int y = 251; y <= 267; ++y)
            for (int dx = -1; dx <= 1; ++dx)
                EXPECT_EQ(at(x + dx, y), art::kPegGrey) << x << "," << y;
    // A yellow floor under them, a clear field above them.
    for (int x = art::kTestBoardLeft; x < art::kTestBoardLeft + 130; ++x)
        EXPECT_TRUE(IsYellow(at(x, art::kTestBoardTop + 211))) << x;
    EXPECT_EQ(at(l.bColumns[1] + 12, 245), art::kFieldWhite);

    // The walls come in to the wall lines at the B-row peg heights, marked red.
    for (int r : l.bRows) {
        const std::uint32_t left = at(l.leftWall - 1, r + 9), right = at(l.rightWall, r + 9);
        EXPECT_TRUE(R(left) > 150 && G(left) < 80) << r;
        EXPECT_TRUE(R(right) > 150 && G(right) < 80) << r;
        EXPECT_TRUE(IsYellow(at(l.leftWall - 7, r + 9))) << r;
        EXPECT_TRUE(IsYellow(at(l.rightWall + 6, r + 9))) << r;
        EXPECT_EQ(at(l.leftWall + 4, r + 9), art::kFieldWhite) << r;
        EXPECT_EQ(at(l.rightWall - 4, r + 9), art::kFieldWhite) << r;
    }
}

TEST(SplashPicture, LeavesCalmPlacesForTheTableAndTheTextLaidOverIt) {
    const Picture splash = art::SplashPicture();
    // The top-ten table covers 74..404 x 52..283: its edges rest on the yellow panel.
    for (int x = 74; x <= 404; ++x) {
        EXPECT_TRUE(IsYellow(splash.At(x, 52))) << x;
        EXPECT_TRUE(IsYellow(splash.At(x, 283))) << x;
    }
    for (int y = 52; y <= 283; ++y) {
        EXPECT_TRUE(IsYellow(splash.At(74, y))) << y;
        EXPECT_TRUE(IsYellow(splash.At(404, y))) << y;
    }
    // Black 9 pt text: the version line at 8,8 and the copyright line below the panel.
    for (int y = 8; y < 23; ++y)
        for (int x = 8; x < 70; ++x)
            ASSERT_TRUE(IsLight(splash.At(x, y))) << x << "," << y;
    for (int y = 297; y < 331; ++y)
        for (int x = 40; x < 440; ++x)
            ASSERT_TRUE(IsLight(splash.At(x, y))) << x << "," << y;
    // And the rays: all three colours show round the panel.
    int red = 0, magenta = 0, cyan = 0;
    for (int y = 0; y < 336; ++y)
        for (int x : {0, 478}) {
            const std::uint32_t p = splash.At(x, y);
            red += R(p) > 200 && G(p) < 60 && B(p) < 60;
            magenta += R(p) > 200 && G(p) < 60 && B(p) > 200;
            cyan += R(p) < 60 && G(p) > 200 && B(p) > 200;
        }
    EXPECT_GT(red, 20);
    EXPECT_GT(magenta, 20);
    EXPECT_GT(cyan, 20);
}

// The lit slots depend on this: a part of a scene painted on its own comes out
// exactly as the same part of the whole.
TEST(Canvas, APartPaintsExactlyAsTheWhole) {
    using namespace art::draw;
    const auto scene = [](Canvas& c) {
        c.FillPolygon({{3.3f, 2.1f}, {37.8f, 9.4f}, {12.2f, 28.7f}},
                      Paint::Linear({0, 0}, Hex(0xFF0000), {40, 30}, Hex(0x0000FF)));
        c.FillCircle(20.4f, 15.6f, 7.3f, Paint::Solid(Hex(0x00FF00), 0.5f));
        c.FillCapsules(TextCapsules("$10", {5, 8}, TextStyle{12, 1.4f}), Paint::Solid(Hex(0)));
    };
    Canvas whole(0, 0, 40, 30, Hex(0xFFFFFF));
    scene(whole);
    Canvas part(13, 7, 11, 9, Hex(0xFFFFFF));
    scene(part);
    const Picture w = whole.Resolve(), p = part.Resolve();
    for (int y = 0; y < 9; ++y)
        for (int x = 0; x < 11; ++x)
            ASSERT_EQ(p.At(x, y), w.At(13 + x, 7 + y)) << x << "," << y;
}

TEST(Canvas, SmoothsEdgesByCoverage) {
    using namespace art::draw;
    Canvas c(0, 0, 4, 1, Hex(0xFFFFFF));
    c.FillRect(1, 0, 2.5f, 1, Paint::Solid(Hex(0x000000)));
    const Picture p = c.Resolve();
    EXPECT_EQ(p.At(0, 0), 0xFFFFFFFFu);
    EXPECT_EQ(p.At(1, 0), 0xFF000000u);
    EXPECT_EQ(G(p.At(2, 0)), 128); // half covered
    EXPECT_EQ(p.At(3, 0), 0xFFFFFFFFu);
}

TEST(Glyphs, CoverTheBoardsLettering) {
    using namespace art::draw;
    for (char c : std::string_view("ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789$,.!-"))
        EXPECT_TRUE(HasGlyph(c)) << c;
    EXPECT_FALSE(HasGlyph('a'));
    const TextStyle style{20, 2};
    EXPECT_GT(TextWidth("$10,000", style), TextWidth("$1,000", style));
    // The ink of a capital is as tall as the style says.
    const auto caps = TextCapsules("H", {0, 0}, style);
    float top = 1e9f, bottom = -1e9f;
    for (const Capsule& k : caps) {
        top = std::min({top, k.a.y - k.radius, k.b.y - k.radius});
        bottom = std::max({bottom, k.a.y + k.radius, k.b.y + k.radius});
    }
    EXPECT_FLOAT_EQ(top, 0);
    EXPECT_FLOAT_EQ(bottom, 20);
}

} // namespace
