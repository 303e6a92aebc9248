// The top-ten window: opened at the end of every game, it ranks a tournament
// total into top10.dat (asking the winner's name), shows the ten rows with the
// new one flickering, and offers another game or the way out.
#pragma once

#include "rules/top10.h"
#include "ui/application.h"
#include "ui/button.h"

#include <array>
#include <cstdint>
#include <memory>

class FrmTop10 : public ui::Window {
public:
    FrmTop10();
    // The text of its first picture that no data changes, rendered ahead
    // at the scale it will open at.
    static void RenderTextAhead();

    void Form_Load() override;
    // The close box plays again, so that the board never stays in game over.
    void Form_CloseBox() override { cmdPlayAgain_Click(); }
    void tmrHighScore_Timer();
    void cmdPlayAgain_Click();
    void cmdExit_Click();

    ui::Label& lblPlayer(int i) { return *players_.at(static_cast<std::size_t>(i - 1)); }
    ui::Label& lblScore(int i) { return *scores_.at(static_cast<std::size_t>(i - 1)); }

    ui::Timer tmrHighScore;
    ui::Button cmdExit;
    ui::Button cmdPlayAgain;
    ui::Label Label1;
    std::int32_t NewEntryRow = 0;

private:
    std::array<std::unique_ptr<ui::Label>, 10> players_;
    std::array<std::unique_ptr<ui::Label>, 10> scores_;
};

namespace top10 {
inline constexpr ui::Color kBrightYellow = ui::RGB(255, 255, 0);
inline constexpr ui::Color kDimYellow = ui::RGB(208, 208, 0);
// Row backgrounds repeat every three rows.
ui::Color RowBackground(int row);
inline const char* const kNamePrompt =
    "Congratulations! You have made the top 10!\rWhat is your name?";
} // namespace top10
