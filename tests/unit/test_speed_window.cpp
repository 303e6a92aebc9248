// The speed window opened from the board with S: what the box takes, the range
// check as the focus leaves it, the ways out, and the test run on the small
// board, alone and nested in the board's own descent.
#include "harness.h"

#include "game/frmBoard.h"
#include "game/frmSpeed.h"
#include "game/frmSplash.h"
#include "game/frmTop10.h"
#include "rules/board_rules.h"
#include "ui/dialogs.h"

#include <algorithm>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

// Every draw the same value: below 0.5 every random choice is 1, else 2.
class FixedRandom final : public pegdrop::RandomSource {
public:
    FixedRandom(const float& value, int& reseeds) : value_(value), reseeds_(reseeds) {}
    void Reseed(double) override { ++reseeds_; }
    float Next() override { return value_; }

private:
    const float& value_;
    int& reseeds_;
};

// What the window showed at one step's wait.
struct RunStep {
    std::int16_t speed;
    int x, y;         // the chip's centre as drawn
    bool buttonsOff;  // Test, OK and Cancel all disabled
    std::size_t cues; // cues asked for so far
};

const std::string kRangeMessage = "Illegal value: Please input a value between 1 and 500";

class SpeedWindow : public test::Harness {
protected:
    SpeedWindow() {
        data.Write("speed.dat", "300\r\n");
        modPegdrop::SetRandomSource(std::make_unique<FixedRandom>(draw, reseeds));
        // Every message is recorded and answered, so none is left waiting.
        app().onModal = [this](ui::Window& dialog) {
            auto& box = dynamic_cast<ui::MessageDialog&>(dialog);
            messages.push_back(box.Caption() + ": " + box.lblText.Caption());
            EXPECT_TRUE(box.imgIcon.Visible()) << "the stop icon";
            PressKey(dialog, SDLK_RETURN);
        };
    }

    // The board with a tournament's first chip waiting at the top, then S.
    FrmSpeed& Open() {
        FrmSplash& splash = app().Instance<FrmSplash>();
        splash.Show();
        Click(splash, 240, 150);
        board = app().Find<FrmBoard>();
        if (board == nullptr)
            throw std::runtime_error("the splash opened no board");
        board->stepWait = [this](std::int16_t speed) {
            boardWaits.push_back(speed);
            order += 'B';
            return pegdrop::StepWaitCounts(speed);
        };
        Type(*board, "t");
        FrmSpeed& s = Reopen();
        // Reports the counts without making them, so that a run is paced on
        // the manual clock as the real wait would pace it.
        s.stepWait = [this, &s](std::int16_t speed) {
            steps.push_back({speed, s.shpChip.Left() + 8, s.shpChip.Top() + 8,
                             !s.cmdTest.Enabled() && !s.cmdOK.Enabled() && !s.cmdCancel.Enabled(),
                             cues.paths.size()});
            order += 'T';
            if (onStep)
                onStep(steps.size());
            return pegdrop::StepWaitCounts(speed);
        };
        s.yield = [this] {
            ++yields;
            app().DoEvents();
        };
        cues.paths.clear();
        return s;
    }

    FrmSpeed& Reopen() {
        Type(*board, "s");
        FrmSpeed* s = app().Find<FrmSpeed>();
        if (s == nullptr)
            throw std::runtime_error("S opened no speed window");
        return *s;
    }

    // Replaces the whole text, as a person does after selecting it.
    void Retype(FrmSpeed& s, const std::string& text) {
        s.txtSpeed.SelectAll();
        PressKey(s, SDLK_BACKSPACE);
        Type(s, text);
    }

    void PostClickOn(ui::Window& w, const ui::Control& c) {
        MouseDown(w, c.Left() + c.Width() / 2, c.Top() + c.Height() / 2);
        MouseUp(w, c.Left() + c.Width() / 2, c.Top() + c.Height() / 2);
    }
    void ClickOn(ui::Window& w, const ui::Control& c) {
        PostClickOn(w, c);
        Yield();
    }
    void PressAndYield(ui::Window& w, SDL_Keycode key, Uint16 mod = KMOD_NONE) {
        PressKey(w, key, mod);
        Yield();
    }

    long SpeedWindows() {
        const std::vector<ui::Window*> all = app().Windows();
        return std::count_if(all.begin(), all.end(),
                             [](ui::Window* w) { return dynamic_cast<FrmSpeed*>(w) != nullptr; });
    }

    // The heights at which the run asked for a cue.
    std::vector<int> CueHeights() const {
        std::vector<int> ys;
        for (std::size_t i = 0; i < steps.size(); ++i)
            if (steps[i].cues != (i == 0 ? 0 : steps[i - 1].cues))
                ys.push_back(steps[i].y);
        return ys;
    }

    FrmBoard* board = nullptr;
    float draw = 0.25f;
    int reseeds = 0;
    std::vector<std::string> messages;
    std::vector<RunStep> steps;
    int yields = 0;
    std::vector<std::int16_t> boardWaits;
    std::string order; // T for a step of the test run, B for one of the board's descent
    std::function<void(std::size_t step)> onStep;
};

// ---- The window and its box

TEST_F(SpeedWindow, OpensOnceFromTheBoardWithTheSpeedSelectedAndTabsInItsOrder) {
    data.Write("speed.dat", "250\r\n");
    FrmSpeed& s = Open();
    EXPECT_EQ(s.Caption(), "Form1");
    EXPECT_EQ(s.ClientWidth(), 360);
    EXPECT_EQ(s.ClientHeight(), 280);
    EXPECT_TRUE(s.IsShown() && board->IsShown());
    EXPECT_EQ(s.txtSpeed.Text(), "250");
    EXPECT_EQ(s.NewSpeed, 250);
    EXPECT_EQ(s.Focused(), &s.txtSpeed);
    EXPECT_EQ(s.txtSpeed.SelLength(), 3);
    EXPECT_EQ(ColorOf(Pixel(s, 180, 72)), ui::RGB(192, 0, 128)) << "the chip waits at the top";

    std::vector<const ui::Control*> visited;
    for (int i = 0; i < 4; ++i) {
        PressAndYield(s, SDLK_TAB);
        visited.push_back(s.Focused());
    }
    EXPECT_EQ(visited,
              (std::vector<const ui::Control*>{&s.cmdTest, &s.cmdOK, &s.cmdCancel, &s.txtSpeed}));

    Retype(s, "42");
    Type(*board, "s");
    EXPECT_EQ(SpeedWindows(), 1);
    EXPECT_EQ(s.txtSpeed.Text(), "42") << "a second S loads nothing again";

    Retype(s, "250");
    ClickOn(s, s.cmdOK); // the window is freed with the click
    EXPECT_EQ(SpeedWindows(), 0);
    EXPECT_EQ(modPegdrop::Speed, 250);
    EXPECT_TRUE(messages.empty());
}

TEST_F(SpeedWindow, TheBoxTakesOnlyDigitsAndBackspaceAndAtMostThree) {
    FrmSpeed& s = Open();
    SDL_SetClipboardText("42");
    Type(s, "a-. +e");
    PressKey(s, SDLK_v, KMOD_CTRL);
    PressAndYield(s, SDLK_a, KMOD_CTRL);
    EXPECT_EQ(s.txtSpeed.Text(), "300");
    EXPECT_EQ(s.txtSpeed.SelLength(), 3) << "nothing replaced the selection";

    PressAndYield(s, SDLK_BACKSPACE);
    EXPECT_EQ(s.NewSpeed, 0) << "an empty box counts as 0";
    Type(s, "1x2 3-4");
    EXPECT_EQ(s.txtSpeed.Text(), "123");
    EXPECT_EQ(s.NewSpeed, 123);
    PressAndYield(s, SDLK_BACKSPACE);
    EXPECT_EQ(s.NewSpeed, 12);
    Retype(s, "007");
    EXPECT_EQ(s.NewSpeed, 7);
}

// ---- The keys among the windows

TEST_F(SpeedWindow, AfterTheRangeMessageTheKeysAreBackInTheSpeedWindow) {
    FrmSpeed& s = Open();
    // The window stays open through a game, whose end shows the top ten.
    modPegdrop::GameMode = 2;
    FrmTop10& top10 = modPegdrop::frmTop10.Load();
    EXPECT_EQ(&Keys(), &top10);
    ClickOn(s, s.txtSpeed);
    PressKey(Keys(), SDLK_HOME);
    PressKey(Keys(), SDLK_END, KMOD_LSHIFT);
    Type(Keys(), "501");
    PressAndYield(Keys(), SDLK_TAB);
    EXPECT_EQ(messages, std::vector<std::string>{kRangeMessage});
    ASSERT_EQ(&Keys(), &s) << "the message gives the keys back to the speed window";
    // Return and Esc reach the speed window, not Play again and Exit.
    Retype(s, "500");
    PressAndYield(Keys(), SDLK_RETURN);
    EXPECT_EQ(steps.size(), 188u) << "a test run";
    PressAndYield(Keys(), SDLK_ESCAPE);
    EXPECT_EQ(SpeedWindows(), 0);
    EXPECT_TRUE(top10.IsShown() && board->IsShown());
}

TEST_F(SpeedWindow, ADragOnTheBoardTakesTheKeysFromTheSpeedWindowAndDropsTheChip) {
    FrmSpeed& s = Open();
    ASSERT_EQ(&Keys(), &s);
    MouseDown(*board, 300, 40);
    MouseMove(*board, 320, 40, SDL_BUTTON_LMASK);
    Yield();
    EXPECT_EQ(&Keys(), board);
    EXPECT_EQ(board->ChipX, 320);
    MouseUp(*board, 320, 40);
    Yield();
    EXPECT_EQ(boardWaits.size(), 300u) << "the chip fell";
    EXPECT_TRUE(s.IsShown());
}

// ---- The range check as the focus leaves the box

TEST_F(SpeedWindow, AValueOutOfRangeKeepsTheFocusInTheBoxWithTheTextSelected) {
    FrmSpeed& s = Open();
    Retype(s, "");
    ClickOn(s, s.cmdOK);
    EXPECT_EQ(messages, std::vector<std::string>{kRangeMessage});
    EXPECT_TRUE(s.IsShown()) << "the click on OK did not run";
    EXPECT_EQ(s.Focused(), &s.txtSpeed);
    EXPECT_EQ(modPegdrop::Speed, 300);

    for (const char* value : {"501", "0", "000"}) {
        messages.clear();
        Retype(s, value);
        PressAndYield(s, SDLK_TAB);
        EXPECT_EQ(messages, std::vector<std::string>{kRangeMessage}) << value;
        EXPECT_EQ(s.Focused(), &s.txtSpeed) << value;
        EXPECT_EQ(s.txtSpeed.Text(), value);
        EXPECT_EQ(s.txtSpeed.SelStart(), 0) << value;
        EXPECT_EQ(s.txtSpeed.SelLength(), s.txtSpeed.Length()) << value;
    }
    messages.clear();
    ClickOn(s, s.cmdTest);
    EXPECT_EQ(messages, std::vector<std::string>{kRangeMessage});
    EXPECT_TRUE(steps.empty()) << "the message ends the click: no run";

    messages.clear();
    for (const char* value : {"1", "500", "007"}) {
        Retype(s, value);
        PressAndYield(s, SDLK_TAB);
        EXPECT_EQ(s.Focused(), &s.cmdTest) << value;
        ASSERT_TRUE(s.SetFocus(&s.txtSpeed));
    }
    EXPECT_TRUE(messages.empty());
    ClickOn(s, s.cmdOK);
    EXPECT_EQ(modPegdrop::Speed, 7);
}

TEST_F(SpeedWindow, OkReachedAfterTheBoxLeftForCancelStillRefusesAValueOutOfRange) {
    FrmSpeed& s = Open();
    Retype(s, "952");
    // Pressed on Cancel, released away from it: the focus moved, nothing closed.
    const ui::Rect c = s.cmdCancel.Bounds();
    MouseDown(s, c.left + c.width / 2, c.top + c.height / 2);
    MouseUp(s, 5, 5);
    Yield();
    ASSERT_EQ(s.Focused(), &s.cmdCancel);
    EXPECT_TRUE(messages.empty()) << "leaving for Cancel is never checked";
    ClickOn(s, s.cmdOK);
    EXPECT_EQ(messages, std::vector<std::string>{kRangeMessage});
    EXPECT_EQ(modPegdrop::Speed, 300);
    EXPECT_TRUE(s.IsShown());
    EXPECT_EQ(s.Focused(), &s.txtSpeed);
}

// ---- The ways out

TEST_F(SpeedWindow, CancelEscAndTheCloseBoxCloseWhateverTheBoxHolds) {
    Open();
    for (int way = 0; way < 3; ++way) {
        for (const char* value : {"", "501"}) {
            FrmSpeed& s = SpeedWindows() == 1 ? *app().Find<FrmSpeed>() : Reopen();
            Retype(s, value);
            if (way == 0)
                ClickOn(s, s.cmdCancel);
            else if (way == 1)
                PressAndYield(s, SDLK_ESCAPE);
            else {
                CloseBox(s);
                Yield();
            }
            EXPECT_EQ(SpeedWindows(), 0) << "way " << way << " with '" << value << "'";
        }
    }
    EXPECT_TRUE(messages.empty());
    EXPECT_EQ(modPegdrop::Speed, 300);
}

TEST_F(SpeedWindow, OkSetsTheSpeedAtOnceEvenForADescentUnderWayButWritesNoFile) {
    FrmSpeed& s = Open();
    Retype(s, "500");
    // The click on OK arrives in the descent's first yield.
    MouseUp(*board, 10, 10);
    PostClickOn(s, s.cmdOK);
    Yield();
    ASSERT_EQ(boardWaits.size(), 300u);
    EXPECT_EQ(boardWaits.front(), 300);
    EXPECT_EQ(std::count(boardWaits.begin(), boardWaits.end(), 500), 299);
    EXPECT_EQ(modPegdrop::Speed, 500);
    EXPECT_EQ(SpeedWindows(), 0);
    EXPECT_EQ(data.Read("speed.dat"), "300\r\n") << "only the top-ten window's Exit saves it";
}

// ---- The test run

TEST_F(SpeedWindow, EveryRunTakes188PacedStepsAndTwoYieldsEachWhateverTheValue) {
    FrmSpeed& s = Open();
    int runs = 0;
    for (int value : {1, 300, 500, 0, 999}) {
        Retype(s, std::to_string(value));
        steps.clear();
        yields = 0;
        const std::uint64_t before = clock().NowUs();
        PressAndYield(s, SDLK_RETURN); // from the box: no range check
        ++runs;
        ASSERT_EQ(steps.size(), 188u) << value;
        EXPECT_EQ(yields, 376) << value;
        EXPECT_EQ(std::count_if(steps.begin(), steps.end(),
                                [&](const RunStep& r) { return r.speed == value; }),
                  188)
            << value;
        // On the manual clock a run lasts its counts at 33 million a second.
        const double counts = std::max(0, 1'000'001 - 1500 * value);
        EXPECT_NEAR(static_cast<double>(clock().NowUs() - before), 188 * counts / 33.0, 1000.0)
            << value;
        EXPECT_EQ(s.Focused(), &s.txtSpeed);
    }
    EXPECT_TRUE(messages.empty());
    EXPECT_EQ(reseeds, runs);
    EXPECT_EQ(modPegdrop::Speed, 300) << "a run commits nothing";
}

TEST_F(SpeedWindow, ARunDisablesTheButtonsFallsByTheTestBoardAndLeavesTheChipAtItsEnd) {
    FrmSpeed& s = Open();
    draw = 0.25f; // every choice 1: left at every random peg
    ClickOn(s, s.cmdTest);
    ASSERT_EQ(steps.size(), 188u);
    EXPECT_TRUE(
        std::all_of(steps.begin(), steps.end(), [](const RunStep& r) { return r.buttonsOff; }));
    EXPECT_TRUE(s.cmdTest.Enabled() && s.cmdOK.Enabled() && s.cmdCancel.Enabled());
    EXPECT_EQ(steps.front().x, 180);
    EXPECT_EQ(steps.front().y, 73);
    // The row at 76 misses the chip; the B peg at 180 is the first it meets.
    EXPECT_EQ(CueHeights(), (std::vector<int>{100, 124, 148, 172, 190, 196, 220, 238}));
    EXPECT_EQ(cues.Names(), std::vector<std::string>(8, "bounce1.wav"));
    Yield();
    EXPECT_EQ(s.shpChip.Left(), 117 - 8);
    EXPECT_EQ(s.shpChip.Top(), 260 - 8);

    steps.clear();
    cues.paths.clear();
    draw = 0.75f;
    ClickOn(s, s.cmdTest);
    ASSERT_EQ(steps.size(), 188u);
    EXPECT_EQ(steps.front().x, 180) << "the next run starts from the top again";
    EXPECT_EQ(cues.Names(), std::vector<std::string>(7, "bounce2.wav"));
    EXPECT_EQ(s.shpChip.Left(), 242 - 8);
}

TEST_F(SpeedWindow, AValueTypedDuringARunPacesTheStepsThatFollow) {
    FrmSpeed& s = Open();
    onStep = [&](std::size_t step) {
        if (step != 50)
            return;
        SDL_Event e{};
        e.type = SDL_TEXTINPUT; // replaces the selected 300 at the next yield
        e.text.windowID = s.NativeId();
        e.text.text[0] = '9';
        Post(e);
    };
    PressAndYield(s, SDLK_RETURN);
    ASSERT_EQ(steps.size(), 188u);
    const auto at = [](std::int16_t speed) {
        return [speed](const RunStep& r) { return r.speed == speed; };
    };
    EXPECT_EQ(std::count_if(steps.begin(), steps.begin() + 50, at(300)), 50);
    EXPECT_EQ(std::count_if(steps.begin() + 50, steps.end(), at(9)), 138);
}

TEST_F(SpeedWindow, NothingStartsASecondRunOrClosesTheWindowDuringARun) {
    FrmSpeed& s = Open();
    onStep = [&](std::size_t step) {
        if (step != 10)
            return;
        PressKey(s, SDLK_RETURN);
        PressKey(s, SDLK_ESCAPE);
        PostClickOn(s, s.cmdTest);
        PostClickOn(s, s.cmdCancel);
        PostClickOn(s, s.cmdOK);
        CloseBox(s);
    };
    ClickOn(s, s.cmdTest);
    ASSERT_EQ(SpeedWindows(), 1);
    EXPECT_EQ(steps.size(), 188u) << "one run, to its end";
    EXPECT_EQ(s.txtSpeed.Text(), "300");

    Retype(s, "450");
    CloseBox(s);
    Yield();
    EXPECT_EQ(SpeedWindows(), 0) << "idle, the close box is Cancel";
    EXPECT_EQ(modPegdrop::Speed, 300);
}

TEST_F(SpeedWindow, ClosingTheBoardDuringARunEndsTheRunAndTheProgram) {
    FrmSpeed& s = Open();
    PostClickOn(s, s.cmdTest);
    CloseBox(*board);
    Yield();
    EXPECT_EQ(steps.size(), 1u);
    EXPECT_EQ(yields, 1);
    EXPECT_FALSE(app().HasWindows());
}

// ---- Nesting with the board's descent

TEST_F(SpeedWindow, ABoardDescentInsideARunRunsToItsEndAndTheRunGoesOn) {
    FrmSpeed& s = Open();
    PostClickOn(s, s.cmdTest);
    MouseUp(*board, 10, 10); // drops the waiting chip
    Yield();
    EXPECT_EQ(order, "T" + std::string(300, 'B') + std::string(187, 'T'));
    EXPECT_EQ(steps.back().y, 260);
    // The run outlasts the landing by more than 2.5 s: the chip has been paid
    // and the next one waits at the top.
    EXPECT_EQ(board->ChipsLeft, 4);
    EXPECT_EQ(board->ChipY, 16);
}

TEST_F(SpeedWindow, ARunInsideABoardDescentRunsToItsEndAndTheDescentGoesOn) {
    FrmSpeed& s = Open();
    MouseUp(*board, 10, 10);
    PostClickOn(s, s.cmdTest);
    Yield();
    EXPECT_EQ(order, "B" + std::string(188, 'T') + std::string(299, 'B'));
    EXPECT_EQ(steps.back().y, 260);
    EXPECT_TRUE(s.cmdTest.Enabled() && s.cmdOK.Enabled() && s.cmdCancel.Enabled());
    EXPECT_EQ(board->ChipY, 316);
    EXPECT_TRUE(board->tmrAfterChip.Enabled()) << "the descent landed";
}

} // namespace
