// The top-ten window through the harness: ranking with the name prompt, the
// rows it shows, the flicker of a new entry, and its ways back to the board
// or out of the program.
#include "harness.h"

#include "game/data_files.h"
#include "game/frmBoard.h"
#include "game/frmTop10.h"
#include "ui/dialogs.h"

#include <cstdlib>
#include <filesystem>
#include <locale.h>
#include <optional>
#include <string>
#include <vector>

namespace {

const std::string kTable = "\"Ann\",9000\r\n\"Bob\",8000\r\n\"Cy\",7000\r\n\"Di\",7000\r\n"
                           "\"Ed\",6000\r\n\"Flo\",5000\r\n\"Gus\",4000\r\n\"Hal\",3000\r\n"
                           "\"Ivy\",2000\r\n\"Jo\",1000\r\n";

class Top10Window : public test::Harness {
protected:
    Top10Window() {
        modPegdrop::DataPath = data.Path() + "/";
        modPegdrop::SoundPath = modPegdrop::DataPath + "sounds/";
    }
    FrmBoard& Board() {
        FrmBoard& b = modPegdrop::frmBoard.Load();
        Yield();
        return b;
    }
    // A finished game: the board's game-end tick opens the window. The name
    // prompt, if it comes, is answered by typing name (nullptr: Cancel); a
    // message is recorded and answered.
    FrmTop10& GameEnds(std::uint8_t mode, std::int32_t total, const char* name = nullptr) {
        FrmBoard& b = Board();
        modPegdrop::GameMode = mode;
        modPegdrop::Winnings = total;
        app().onModal = [this, name](ui::Window& dialog) {
            if (auto* box = dynamic_cast<ui::MessageDialog*>(&dialog)) {
                messages.push_back(box->Caption() + ": " + box->lblText.Caption());
                PressKey(dialog, SDLK_RETURN);
                return;
            }
            ++prompts;
            promptTitle = dialog.Caption();
            promptText = static_cast<ui::InputDialog&>(dialog).lblPrompt.Caption();
            if (name != nullptr) {
                Type(dialog, name);
                PressKey(dialog, SDLK_RETURN);
            } else {
                PressKey(dialog, SDLK_ESCAPE);
            }
        };
        b.tmrRestart.SetEnabled(true);
        b.tmrRestart_Timer();
        app().onModal = nullptr;
        FrmTop10* t = app().Find<FrmTop10>();
        EXPECT_NE(t, nullptr);
        return *t;
    }
    std::vector<std::string> Rows(FrmTop10& t) {
        std::vector<std::string> rows;
        for (int i = 1; i <= 10; ++i)
            rows.push_back(t.lblPlayer(i).Caption() + "|" + t.lblScore(i).Caption());
        return rows;
    }
    int prompts = 0;
    std::vector<std::string> messages;
    std::string promptTitle;
    std::string promptText;
};

TEST_F(Top10Window, ATournamentTotalIsRankedNamedWrittenAndShown) {
    data.Write("top10.dat", kTable);
    FrmTop10& t = GameEnds(1, 7000, "Zed");
    EXPECT_EQ(prompts, 1);
    EXPECT_EQ(promptTitle, "PEGDROP");
    EXPECT_EQ(promptText, "Congratulations! You have made the top 10!\rWhat is your name?");
    EXPECT_EQ(t.NewEntryRow, 3);
    EXPECT_EQ(data.Read("top10.dat"),
              "\"Ann\",9000\r\n\"Bob\",8000\r\n\"Zed\",7000\r\n\"Cy\",7000\r\n\"Di\",7000\r\n"
              "\"Ed\",6000\r\n\"Flo\",5000\r\n\"Gus\",4000\r\n\"Hal\",3000\r\n\"Ivy\",2000\r\n");
    EXPECT_EQ(Rows(t)[2], " Zed|$7,000 ");
    EXPECT_EQ(Rows(t)[9], " Ivy|$2,000 ");
    EXPECT_TRUE(t.IsShown());
    EXPECT_EQ(cues.Names().front(), "Zelto.wav");
}

TEST_F(Top10Window, TheRowsShowEveryCaseOfTheTable) {
    struct Case {
        std::uint8_t mode;
        std::int32_t total;
        const char* name;
        std::string file;
        int prompts;
        int row;
        std::vector<std::string> rows; // the first three
        std::string written;           // "" for the file left as it was
    };
    const std::string empty9 = [] {
        std::string s;
        for (int i = 0; i < 9; ++i)
            s += "\"\",0\r\n";
        return s;
    }();
    const Case cases[] = {
        // An empty file: the first tournament takes row 1 whatever it won.
        {1, 0, "Ann", "", 1, 1, {" Ann|$00 ", " |$00 ", " |$00 "}, "\"Ann\",0\r\n" + empty9},
        // Cancel at the prompt: an empty name, the game's score.
        {1,
         12500,
         nullptr,
         "",
         1,
         1,
         {" |$12,500 ", " |$00 ", " |$00 "},
         "\"\",12500\r\n" + empty9},
        // Below row 10: no prompt, but the file is still rewritten whole.
        {1,
         500,
         "x",
         kTable.substr(0, kTable.size() - 11) + "\"Jo\",1000\n",
         0,
         0,
         {" Ann|$9,000 ", " Bob|$8,000 ", " Cy|$7,000 "},
         kTable},
        // Fun mode: shown as read, never ranked or written.
        {2, 90000, "x", "\"Ann\",5\r\n", 0, 0, {" Ann|$05 ", " |$00 ", " |$00 "}, ""},
        // A comma and a quote in a name.
        {1,
         50000,
         "O\"Neil, Jr",
         "",
         1,
         1,
         {" O\"Neil, Jr|$50,000 ", " |$00 ", " |$00 "},
         "\"O\"Neil, Jr\",50000\r\n" + empty9},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file + " / " + std::to_string(c.total));
        data.Write("top10.dat", c.file);
        prompts = 0;
        FrmTop10& t = GameEnds(c.mode, c.total, c.name);
        EXPECT_EQ(prompts, c.prompts);
        EXPECT_EQ(t.NewEntryRow, c.row);
        const std::vector<std::string> rows = Rows(t);
        EXPECT_EQ(std::vector<std::string>(rows.begin(), rows.begin() + 3), c.rows);
        EXPECT_EQ(data.Read("top10.dat"), c.written.empty() ? c.file : c.written);
        t.cmdPlayAgain_Click();
        Yield();
    }
}

TEST_F(Top10Window, ANewRowFlickersDimFirstAndOtherRowsStayBright) {
    data.Write("top10.dat", kTable);
    FrmTop10& t = GameEnds(1, 1000, "Zed"); // equal to row 10: the entry is row 10
    ASSERT_EQ(t.NewEntryRow, 10);
    std::vector<ui::Color> phases;
    for (int i = 0; i < 4; ++i) {
        Advance(300);
        phases.push_back(t.lblPlayer(10).ForeColor());
        EXPECT_EQ(t.lblScore(10).ForeColor(), t.lblPlayer(10).ForeColor());
        EXPECT_EQ(ColorOf(Pixel(t, 75, 265)), t.lblPlayer(10).BackColor()) << "row 10's ground";
    }
    EXPECT_EQ(phases, (std::vector<ui::Color>{top10::kDimYellow, top10::kBrightYellow,
                                              top10::kDimYellow, top10::kBrightYellow}));
    for (int i = 1; i <= 9; ++i)
        EXPECT_EQ(t.lblPlayer(i).ForeColor(), top10::kBrightYellow);
    const ui::Color grounds[] = {ui::RGB(0, 230, 230), ui::RGB(230, 0, 230), ui::RGB(230, 0, 0)};
    for (int i = 1; i <= 10; ++i) {
        EXPECT_EQ(t.lblPlayer(i).BackColor(), grounds[(i - 1) % 3]) << i;
        EXPECT_EQ(ColorOf(Pixel(t, 400, 64 + 20 * i + 1)), grounds[(i - 1) % 3]) << i;
    }
    t.cmdPlayAgain_Click();
    Yield();
    FrmTop10& fun = GameEnds(2, 0);
    Advance(900);
    for (int i = 1; i <= 10; ++i)
        EXPECT_EQ(fun.lblPlayer(i).ForeColor(), top10::kBrightYellow) << "no entry, no flicker";
}

TEST_F(Top10Window, EnterPlaysAgainAndEscExitsAsDoTheirAccessKeys) {
    for (SDL_Keycode key : {SDLK_RETURN, SDLK_p}) {
        FrmTop10& t = GameEnds(2, 100);
        PressKey(t, key, key == SDLK_p ? KMOD_LALT : KMOD_NONE);
        Yield();
        EXPECT_EQ(app().Find<FrmTop10>(), nullptr);
        FrmBoard& b = Board();
        EXPECT_EQ(b.lblMessage.Caption(), board::kModePrompt) << "back at the mode prompt";
        EXPECT_EQ(modPegdrop::GameMode, 0);
        EXPECT_EQ(modPegdrop::Winnings, 0);
        EXPECT_TRUE(b.tmrFlash.Enabled()) << "the chase goes on";
    }
    for (SDL_Keycode key : {SDLK_ESCAPE, SDLK_x}) {
        FrmTop10& t = GameEnds(2, 100);
        modPegdrop::Speed = 300; // unchanged since the board read it: still written
        data.Write("speed.dat", "123");
        PressKey(t, key, key == SDLK_x ? KMOD_LALT : KMOD_NONE);
        Yield();
        EXPECT_FALSE(app().HasWindows()) << "every window goes and the program ends";
        EXPECT_EQ(data.Read("speed.dat"), "300\r\n");
        EXPECT_EQ(cues.Names().back(), "empty.wav");
    }
}

TEST_F(Top10Window, TheCloseBoxPlaysAgainAndClosingTheBoardSavesNothing) {
    FrmTop10& t = GameEnds(2, 100);
    CloseBox(t);
    Yield();
    EXPECT_EQ(app().Find<FrmTop10>(), nullptr);
    EXPECT_EQ(Board().lblMessage.Caption(), board::kModePrompt);
    GameEnds(2, 100);
    CloseBox(Board());
    Yield();
    EXPECT_FALSE(app().HasWindows());
    EXPECT_EQ(data.Read("speed.dat"), "<missing>");
}

TEST_F(Top10Window, TheBoardBlinksBehindThePromptAndQuittingThereWritesNothing) {
    data.Write("top10.dat", kTable);
    FrmBoard& b = Board();
    b.tmrScoreFlash.SetEnabled(true);
    modPegdrop::GameMode = 1;
    modPegdrop::Winnings = 20000;
    std::vector<ui::Color> seen;
    app().onModal = [&](ui::Window&) {
        app().onModal = nullptr;
        for (int i = 0; i < 3; ++i) {
            Advance(350);
            seen.push_back(b.lblScoreboard.ForeColor());
        }
        // The board's close box is the dialog's owner's: it waits. A quit
        // from the desktop does not.
        CloseBox(b);
        Yield();
        EXPECT_TRUE(b.IsShown());
        SDL_Event quit{};
        quit.type = SDL_QUIT;
        Post(quit);
    };
    b.tmrRestart_Timer();
    Yield();
    EXPECT_EQ(seen,
              (std::vector<ui::Color>{board::kScoreBack, board::kScoreText, board::kScoreBack}));
    EXPECT_FALSE(app().HasWindows());
    EXPECT_EQ(data.Read("top10.dat"), kTable) << "the program ended at the prompt";
}

// Another copy of the game in the same folder saves its entry while this
// one's name prompt is open: this entry is ranked into the table that copy
// left, and both are kept.
TEST_F(Top10Window, AnEntryAnotherCopySavedDuringThePromptIsKept) {
    const std::string path = data.Path() + "/top10.dat";
    const auto otherCopySaves = [&](pegdrop::Top10Row entry) {
        app().onModal = [this, path, entry](ui::Window& prompt) {
            app().onModal = nullptr;
            EXPECT_TRUE(pegdrop::SaveTop10Entry(path, entry, clock()).result);
            Type(prompt, "Beta");
            PressKey(prompt, SDLK_RETURN);
        };
        FrmBoard& board = Board();
        modPegdrop::GameMode = 1;
        modPegdrop::Winnings = 1000;
        board.tmrRestart_Timer();
        return app().Find<FrmTop10>();
    };
    FrmTop10* t = otherCopySaves({"Alpha", 21000});
    ASSERT_NE(t, nullptr);
    EXPECT_EQ(t->NewEntryRow, 2) << "Beta's row in the table as Alpha left it";
    EXPECT_EQ(Rows(*t)[0], " Alpha|$21,000 ");
    EXPECT_EQ(Rows(*t)[1], " Beta|$1,000 ");
    const std::string both = "\"Alpha\",21000\r\n\"Beta\",1000\r\n";
    EXPECT_EQ(data.Read("top10.dat").substr(0, both.size()), both);
    t->cmdPlayAgain_Click();
    Yield();

    // Should the other copy's entry push this one out, the table shows no new row.
    data.Write("top10.dat", kTable);
    t = otherCopySaves({"Zed", 9500});
    ASSERT_NE(t, nullptr);
    EXPECT_EQ(t->NewEntryRow, 0);
    EXPECT_EQ(Rows(*t)[0], " Zed|$9,500 ");
    EXPECT_EQ(Rows(*t)[9], " Ivy|$2,000 ");
}

TEST_F(Top10Window, AFailedWriteKeepsWhatWasThereAndTheGameGoesOn) {
    // A folder where the file should be: no rename can replace it, even as root.
    ASSERT_TRUE(std::filesystem::create_directory(data.Path() + "/top10.dat"));
    FrmTop10& t = GameEnds(1, 500, "Ann");
    EXPECT_EQ(t.NewEntryRow, 1);
    EXPECT_EQ(Rows(t)[0], " Ann|$500 ") << "the window shows the table it ranked";
    EXPECT_TRUE(t.IsShown());
    // Why, in the system's words, as the save gives them: "Is a directory",
    // "Access is denied.".
    const std::string why = platform::WriteFileAtomically(data.Path() + "/top10.dat", "").Reason();
    ASSERT_FALSE(why.empty());
    EXPECT_EQ(messages, std::vector<std::string>{
                            "PEGDROP: Your score could not be saved to top10.dat: " + why});
    EXPECT_TRUE(std::filesystem::is_directory(data.Path() + "/top10.dat"));
    t.cmdExit_Click();
    EXPECT_FALSE(app().HasWindows());
    EXPECT_EQ(data.Read("speed.dat"), "300\r\n") << "Exit still saves the speed";
}

// Windows takes the separator from the player's region settings, which a
// test cannot change; test_files_windows.cpp runs under a German Wine.
#ifndef _WIN32
// LC_ALL=de_DE.UTF-8 while it lives. Where the system lacks that locale, it
// is built from the locales package's sources into a folder of its own and
// found through LOCPATH, which needs no root.
class GermanLocale {
public:
    GermanLocale() {
        if (const char* old = std::getenv("LOCPATH"))
            oldLocPath_ = old;
        if (!Installed()) {
            const std::string built = built_.Path() + "/de_DE.UTF-8";
            const int status = std::system(
                ("localedef -i de_DE -f UTF-8 '" + built + "' >/dev/null 2>&1").c_str());
            static_cast<void>(status); // warnings fail it too; whether it built is what counts
            ::setenv("LOCPATH", built_.Path().c_str(), 1);
        }
        available_ = Installed();
        ::setenv("LC_ALL", "de_DE.UTF-8", 1);
    }
    ~GermanLocale() {
        ::setenv("LC_ALL", "C", 1);
        if (oldLocPath_)
            ::setenv("LOCPATH", oldLocPath_->c_str(), 1);
        else
            ::unsetenv("LOCPATH");
    }
    GermanLocale(const GermanLocale&) = delete;
    GermanLocale& operator=(const GermanLocale&) = delete;
    bool Available() const { return available_; }

private:
    static bool Installed() {
        const locale_t german = ::newlocale(LC_ALL_MASK, "de_DE.UTF-8", locale_t{});
        if (german != locale_t{})
            ::freelocale(german);
        return german != locale_t{};
    }
    test::TempFolder built_;
    std::optional<std::string> oldLocPath_;
    bool available_ = false;
};

// The scores and the board's closing message take the player's thousands
// separator; a locale without one has the comma.
TEST_F(Top10Window, ScoresTakeThePlayersThousandsSeparator) {
    data.Write("top10.dat", "\"Ann\",12500\r\n");
    {
        const GermanLocale german;
        if (!german.Available())
            GTEST_SKIP() << "de_DE.UTF-8 is not installed and localedef cannot build it: the "
                            "Debian package locales (its /usr/share/i18n/locales/de_DE) is missing";
        FrmTop10& t = GameEnds(2, 0);
        EXPECT_EQ(Rows(t)[0], " Ann|$12.500 ");
        EXPECT_EQ(Rows(t)[1], " |$00 ");
        t.cmdPlayAgain_Click();
        FrmBoard& b = Board();
        b.ChipsLeft = 1;
        b.LandedSlot = 0;
        modPegdrop::Winnings = 12500;
        b.tmrAfterChip_Timer();
        EXPECT_EQ(b.lblMessage.Caption(),
                  "You finish with $12.500\rThank you for playing PEGDROP!");
    }
    for (const char* locale : {"C", "POSIX", "C.UTF-8"}) {
        ::setenv("LC_ALL", locale, 1);
        FrmTop10& t = GameEnds(2, 0);
        EXPECT_EQ(Rows(t)[0], " Ann|$12,500 ") << locale;
        t.cmdPlayAgain_Click();
    }
}
#endif

} // namespace
