#include "game/frmTop10.h"

#include "game/data_files.h"
#include "game/faces.h"
#include "game/frmBoard.h"
#include "game/images.h"
#include "game/modPegdrop.h"
#include "platform/number_locale.h"
#include "ui/dialogs.h"

#include <cstdio>
#include <optional>
#include <utility>

namespace top10 {

ui::Color RowBackground(int row) {
    switch ((row - 1) % 3) {
    case 0:
        return ui::RGB(0, 230, 230);
    case 1:
        return ui::RGB(230, 0, 230);
    default:
        return ui::RGB(230, 0, 0);
    }
}

} // namespace top10

namespace {

ui::LabelStyle RowStyle(int row, ui::Align align) {
    ui::LabelStyle style;
    style.fore = top10::kBrightYellow;
    style.back = top10::RowBackground(row);
    style.font = faces::kTop10Row;
    style.align = align;
    return style;
}

ui::LabelStyle TitleStyle() {
    ui::LabelStyle style;
    style.fore = ui::RGB(0, 230, 230);
    style.back = ui::RGB(230, 0, 0);
    style.font = faces::kTop10Title;
    style.align = ui::Align::Center;
    return style;
}

constexpr int kWidth = 480;
constexpr int kHeight = 336;
constexpr ui::Rect kTitleRect{74, 52, 331, 32};
constexpr int kPlayerWidth = 259, kScoreWidth = 72;

ui::Rect PlayerRect(int row) {
    return {74, 64 + 20 * row, kPlayerWidth, 20};
}

ui::Rect ScoreRect(int row) {
    return {333, 64 + 20 * row, kScoreWidth, 20};
}
const char* const kTitle = "TOP 10 TOURNAMENT SCORES";
const char* const kExitCaption = "E&xit";
const char* const kPlayAgainCaption = "&Play again!";

std::string Top10Path() {
    return modPegdrop::DataPath + "top10.dat";
}

// A save that failed is told over the window and on stderr, once; the game
// then goes on as it would have.
void TellFailedSave(const std::string& text, const ui::Window& owner) {
    std::fprintf(stderr, "pegdrop: %s\n", text.c_str());
    ui::MessageBox(text, "PEGDROP", ui::MessageIcon::Stop, &owner);
}

} // namespace

FrmTop10::FrmTop10()
    : ui::Window("PEGDROP!!!", kWidth, kHeight), tmrHighScore(*this, 300, true),
      cmdExit(*this, {280, 294, 80, 30}, kExitCaption),
      cmdPlayAgain(*this, {120, 294, 80, 30}, kPlayAgainCaption),
      Label1(*this, kTitleRect, TitleStyle(), kTitle) {
    for (int i = 1; i <= 10; ++i) {
        players_[static_cast<std::size_t>(i - 1)] = std::make_unique<ui::Label>(
            *this, PlayerRect(i), RowStyle(i, ui::Align::Left), " Player");
        scores_[static_cast<std::size_t>(i - 1)] =
            std::make_unique<ui::Label>(*this, ScoreRect(i), RowStyle(i, ui::Align::Right), "$0 ");
    }
    SetBackground(pegdrop::images::Splash());
    SetIcon(pegdrop::images::Icon());
    // Play again comes first, so that it holds the focus when the window opens.
    cmdPlayAgain.tabIndex = 0;
    cmdExit.tabIndex = 1;
    SetDefaultButton(&cmdPlayAgain);
    SetCancelButton(&cmdExit);
    tmrHighScore.Tick = [this] { tmrHighScore_Timer(); };
    cmdPlayAgain.Click = [this] { cmdPlayAgain_Click(); };
    cmdExit.Click = [this] { cmdExit_Click(); };
}

void FrmTop10::RenderTextAhead() {
    ui::FontCache& fonts = ui::App().Fonts();
    const int scale = ui::App().Scale().For(kWidth, kHeight);
    ui::RenderLabelAhead(fonts, TitleStyle(), kTitleRect.width, kTitle, scale);
    for (const char* caption : {kExitCaption, kPlayAgainCaption})
        ui::RenderButtonAhead(fonts, ui::kButtonFont, caption, scale);
    // The rows as the table stands: a new entry moves the rows below it
    // down, and their text, all the text keeps, with them.
    const pegdrop::Top10Table table = pegdrop::ReadTop10File(Top10Path());
    const std::string separator = platform::ThousandsSeparator();
    for (int i = 1; i <= 10; ++i) {
        const pegdrop::Top10Row& r = table[static_cast<std::size_t>(i - 1)];
        ui::RenderLabelAhead(fonts, RowStyle(i, ui::Align::Left), kPlayerWidth,
                             pegdrop::Top10NameText(r.name), scale);
        ui::RenderLabelAhead(fonts, RowStyle(i, ui::Align::Right), kScoreWidth,
                             pegdrop::Top10ScoreText(r.score, separator), scale);
    }
}

void FrmTop10::Form_Load() {
    NewEntryRow = 0;
    modPegdrop::PlaySound("Zelto.wav");
    pegdrop::Top10Table table = pegdrop::ReadTop10File(Top10Path());
    std::string failure;
    if (modPegdrop::GameMode == 1) {
        std::optional<pegdrop::Top10Row> entry;
        if (pegdrop::Top10RowFor(table, modPegdrop::Winnings) != 0) {
            const std::string name =
                ui::InputBox(top10::kNamePrompt, "PEGDROP", ui::App().Find<FrmBoard>());
            // The board was closed at the prompt: the program is ending, and
            // the table stays as it was.
            if (!IsLoaded())
                return;
            entry = pegdrop::Top10Row{name, modPegdrop::Winnings};
        }
        // Ranked into the file as it is now, not as read above: another copy
        // of the game may have saved an entry while the name was asked.
        pegdrop::Top10Saved saved =
            pegdrop::SaveTop10Entry(Top10Path(), entry, ui::App().GetClock());
        table = std::move(saved.table);
        NewEntryRow = saved.row;
        // A failed write keeps the old file whole; the game goes on with the
        // table as ranked. Only a ranked entry is lost with it.
        if (!saved.result && saved.row != 0)
            failure = "Your score could not be saved to top10.dat: " + saved.result.Reason();
    }
    const std::string separator = platform::ThousandsSeparator();
    for (int i = 1; i <= 10; ++i) {
        const pegdrop::Top10Row& r = table[static_cast<std::size_t>(i - 1)];
        lblPlayer(i).SetCaption(pegdrop::Top10NameText(r.name));
        lblScore(i).SetCaption(pegdrop::Top10ScoreText(r.score, separator));
    }
    Show();
    if (!failure.empty())
        TellFailedSave(failure, *this);
}

void FrmTop10::tmrHighScore_Timer() {
    if (NewEntryRow <= 0 || NewEntryRow > 10)
        return;
    const int row = static_cast<int>(NewEntryRow);
    const ui::Color colour = lblPlayer(row).ForeColor() == top10::kBrightYellow
                                 ? top10::kDimYellow
                                 : top10::kBrightYellow;
    lblPlayer(row).SetForeColor(colour);
    lblScore(row).SetForeColor(colour);
}

void FrmTop10::cmdPlayAgain_Click() {
    Unload();
    if (FrmBoard* board = ui::App().Find<FrmBoard>())
        board->NewGame();
}

void FrmTop10::cmdExit_Click() {
    modPegdrop::PlaySound("empty.wav");
    const platform::SaveResult saved = pegdrop::SaveSpeedFile(
        modPegdrop::SpeedFilePath(), modPegdrop::Speed, ui::App().GetClock());
    if (!saved)
        TellFailedSave("Your speed setting could not be saved to speed.dat: " + saved.Reason(),
                       *this);
    ui::App().EndProgram();
}
