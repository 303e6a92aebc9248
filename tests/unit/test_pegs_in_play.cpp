// The pegs a chip meets stay in sight: on the step a peg deflects the chip,
// the chip, drawn over the board, covers no pixel of that peg and comes to
// rest right on its top. Read back from the real windows, on the board and
// on the speed window's test board.
#include "harness.h"

#include "game/frmBoard.h"
#include "game/frmSpeed.h"
#include "game/frmSplash.h"
#include "rules/lattice.h"
#include "rules/test_lattice.h"

#include <algorithm>
#include <functional>
#include <set>
#include <stdexcept>
#include <utility>

namespace {

constexpr std::uint32_t kWhite = 0xFFFFFFFF;
constexpr std::uint32_t kChipFill = 0xFFC00080;

class PegsInPlay : public test::Harness {
protected:
    FrmBoard& OpenBoard() {
        FrmBoard& board = test::Harness::OpenBoard();
        Type(board, "t");
        return board;
    }

    // Every peg that `stands`, with the chip drawn at each x of its zone on
    // its row. Returns the number of pegs looked at.
    int ExpectMetPegsShow(ui::Window& w, ui::Shape& chip, const pegdrop::Lattice& l,
                          const std::function<bool(int, int)>& stands) {
        chip.SetVisible(false);
        const std::vector<std::uint32_t> bare = w.ReadPixels();
        chip.SetVisible(true);
        const auto at = [&w](const std::vector<std::uint32_t>& pixels, int x, int y) {
            return pixels.at(static_cast<std::size_t>(y * w.ClientWidth() + x));
        };
        int pegs = 0;
        for (const auto& [rows, columns] :
             {std::pair{&l.aRows, &l.aColumns}, {&l.bRows, &l.bColumns}})
            for (int r : *rows)
                for (int c : *columns) {
                    if (!stands(c, r))
                        continue;
                    ++pegs;
                    // The peg's ink, wherever below its row the picture puts it.
                    std::set<std::pair<int, int>> ink;
                    int top = r + 17;
                    for (int y = r + 1; y <= r + 16; ++y)
                        for (int x = c - 4; x <= c + 4; ++x)
                            if (at(bare, x, y) != kWhite) {
                                ink.insert({x, y});
                                top = std::min(top, y);
                            }
                    EXPECT_FALSE(ink.empty()) << "no peg under " << c << "," << r;
                    for (int x = c - l.pegHalfWidth; x <= c + l.pegHalfWidth; ++x) {
                        chip.Move(x - 8, r - 8);
                        const std::vector<std::uint32_t> shown = w.ReadPixels();
                        EXPECT_EQ(at(shown, x, r), kChipFill) << "the chip is drawn at " << x;
                        int covered = 0;
                        for (auto [px, py] : ink)
                            covered += at(shown, px, py) != at(bare, px, py);
                        EXPECT_EQ(covered, 0) << "pixels of the peg at " << c << "," << r
                                              << " covered by the chip at " << x;
                        if (x == c) {
                            EXPECT_NE(at(shown, c, top - 1), at(bare, c, top - 1))
                                << "the chip met on its centre touches the peg's top at " << c
                                << "," << r;
                        }
                    }
                }
        return pegs;
    }
};

TEST_F(PegsInPlay, TheBoardsChipCoversNoPegItMeets) {
    FrmBoard& board = OpenBoard();
    const int pegs = ExpectMetPegsShow(board, board.shpChip, pegdrop::BoardLattice(),
                                       [](int, int r) { return r != pegdrop::kBoardDividerRow; });
    EXPECT_EQ(pegs, 6 * 8 + 5 * 7);
}

TEST_F(PegsInPlay, TheTestBoardsChipCoversNoPegItMeets) {
    FrmBoard& board = OpenBoard();
    Type(board, "s");
    FrmSpeed* speed = app().Find<FrmSpeed>();
    ASSERT_NE(speed, nullptr);
    const pegdrop::Lattice& l = pegdrop::TestBoardLattice();
    const int pegs = ExpectMetPegsShow(
        *speed, speed->shpChip, l, [&l](int c, int) { return c > l.leftWall && c < l.rightWall; });
    EXPECT_EQ(pegs, 4 * 4 + 3 * 3);
}

} // namespace
