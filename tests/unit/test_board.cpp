// The board window played through the harness: keys, aiming, the descent,
// settlement and the lights, with the manual clock.
#include "harness.h"

#include "game/frmBoard.h"
#include "game/frmSpeed.h"
#include "game/frmSplash.h"
#include "platform/paths.h"
#include "rules/board_rules.h"
#include "rules/descent.h"
#include "rules/lattice.h"
#include "rules/slots.h"

#include <algorithm>
#include <cmath>
#include <optional>

namespace {

// Draws taken in turn from a short cycle of values: below 0.5 a choice is 1.
class CycleRandom final : public pegdrop::RandomSource {
public:
    CycleRandom(const std::vector<float>& values, int& reseeds)
        : values_(values), reseeds_(reseeds) {}
    void Reseed(double) override {
        ++reseeds_;
        next_ = 0;
    }
    float Next() override { return values_[next_++ % values_.size()]; }

private:
    const std::vector<float>& values_;
    int& reseeds_;
    std::size_t next_ = 0;
};

const std::vector<float> kAllOnes = {0.25f};
const std::vector<float> kAllTwos = {0.75f};
// Cue digit, direction, cue digit, direction: left and right by turns.
const std::vector<float> kZigZag = {0.25f, 0.25f, 0.25f, 0.75f};

// The slot a release lands in with these draws, by the lattice rule alone.
int PredictedSlot(int releaseX, const std::vector<float>& draws) {
    int ignored = 0;
    CycleRandom random(draws, ignored);
    random.Reseed(0);
    pegdrop::ChipMotion chip{static_cast<std::int16_t>(releaseX), 16, 0};
    while (chip.y != 316)
        pegdrop::AdvanceChip(pegdrop::BoardLattice(), chip, pegdrop::RandomChooser(random));
    const pegdrop::Slot* slot = pegdrop::SlotForX(chip.x);
    return slot != nullptr ? slot->number : 0;
}

class Board : public test::Harness {
protected:
    Board() { modPegdrop::SetRandomSource(std::make_unique<CycleRandom>(draw, reseeds)); }

    FrmBoard& Open() {
        FrmBoard* board = &OpenBoard();
        // Reports the counts the real wait would make without making them, so
        // a descent is paced as in the game but on the manual clock.
        board->stepWait = [this](std::int16_t speed) {
            waits.push_back(speed);
            return pegdrop::StepWaitCounts(speed);
        };
        cues.paths.clear();
        return *board;
    }

    // A release point, and the draws, that land in the slot.
    int ReleaseInto(int slot) {
        for (const std::vector<float>* draws : {&kAllOnes, &kAllTwos, &kZigZag})
            for (int x = 200; x <= 400; x += 2)
                if (PredictedSlot(x, *draws) == slot) {
                    draw = *draws;
                    return x;
                }
        ADD_FAILURE() << "no release lands in slot " << slot;
        return 300;
    }

    void Drop(FrmBoard& b, int x) {
        MouseDown(b, x, 200);
        MouseMove(b, x, 200, SDL_BUTTON_LMASK);
        MouseUp(b, x, 200);
        Yield();
    }

    std::vector<int> LitSlots(FrmBoard& b) {
        std::vector<int> lit;
        for (int slot = 1; slot <= 9; ++slot)
            if (b.SlotImage(slot).Visible())
                lit.push_back(slot);
        return lit;
    }

    std::vector<std::string> EnabledTimers(FrmBoard& b) {
        std::vector<std::string> on;
        const std::pair<const char*, ui::Timer*> timers[] = {{"tmrScoreFlash", &b.tmrScoreFlash},
                                                             {"tmrRestart", &b.tmrRestart},
                                                             {"tmrFlash", &b.tmrFlash},
                                                             {"tmrAfterChip", &b.tmrAfterChip},
                                                             {"tmrSpaceFlash", &b.tmrSpaceFlash}};
        for (auto& [name, timer] : timers)
            if (timer->Enabled())
                on.push_back(name);
        return on;
    }

    std::vector<float> draw = kAllOnes;
    int reseeds = 0;
    bool SpeedWindowOpen() { return app().Find<FrmSpeed>() != nullptr; }
    // The top-ten window plays its theme each time it opens.
    long Top10Opened() const {
        const std::vector<std::string> names = cues.Names();
        return std::count(names.begin(), names.end(), "Zelto.wav");
    }
    std::vector<std::int16_t> waits;
};

using Names = std::vector<std::string>;

TEST_F(Board, OpensAsDesignedAndReadsTheSpeedFile) {
    data.Write("speed.dat", "250\r\n");
    FrmBoard& b = Open();
    EXPECT_EQ(b.Caption(), "PEGDROP!!!");
    EXPECT_EQ(b.ClientWidth(), 600);
    EXPECT_EQ(b.ClientHeight(), 453);
    EXPECT_TRUE(b.IsShown());
    EXPECT_EQ(modPegdrop::Speed, 250);
    EXPECT_FALSE(b.shpChip.Visible());
    EXPECT_EQ(b.lblScoreboard.Caption(), "");
    EXPECT_EQ(b.lblScoreboard.Font().face, "EggCrate");
    EXPECT_FLOAT_EQ(b.lblScoreboard.Font().points, 18.0f);
    EXPECT_EQ(b.lblMessage.Caption(), "Select game mode:\r\n[T]ournament mode or [F]un mode");
    EXPECT_EQ(EnabledTimers(b), Names{"tmrFlash"});
    EXPECT_EQ(b.tmrFlash.Interval(), 180);
    EXPECT_EQ(b.tmrAfterChip.Interval(), 2500);
    EXPECT_EQ(b.tmrSpaceFlash.Interval(), 250);
    EXPECT_EQ(b.tmrScoreFlash.Interval(), 350);
    EXPECT_EQ(b.tmrRestart.Interval(), 3500);
    EXPECT_TRUE(LitSlots(b).empty());
    EXPECT_EQ(b.shpChip.Left(), 288);
    EXPECT_EQ(b.shpChip.Top(), 16);
}

TEST_F(Board, AMissingOrUnreadableSpeedFileGivesThreeHundred) {
    data.Write("speed.dat", "fast\r\n");
    Open();
    EXPECT_EQ(modPegdrop::Speed, 300);
}

TEST_F(Board, ModeSelectionDingsForEveryKeyAndOnlyTAndFChooseAMode) {
    FrmBoard& b = Open();
    Type(b, "x5s");
    PressKey(b, SDLK_RETURN);
    Yield();
    // Alt chords are no letters, whatever text comes with them; Ctrl with a
    // letter is its control character, and a letter of any script is one.
    PressKey(b, SDLK_t, KMOD_LALT, "t");
    PressKey(b, SDLK_f, KMOD_LALT, "f");
    PressKey(b, SDLK_s, KMOD_LALT, "s");
    PressKey(b, SDLK_t, KMOD_LCTRL);
    PressKey(b, SDLK_q, KMOD_RCTRL);
    PressKey(b, SDLK_SEMICOLON, KMOD_NONE, "\xD0\x96"); // Cyrillic Zhe
    PressKey(b, SDLK_f, KMOD_NONE, "\xCF\x86");         // Greek phi
    // The game's own keys are no characters: muted and back, no ding.
    PressKey(b, SDLK_m, KMOD_LCTRL);
    PressKey(b, SDLK_m, KMOD_LCTRL);
    Yield();
    EXPECT_EQ(cues.Names(), Names(8, "ding.wav"));
    EXPECT_EQ(modPegdrop::GameMode, 0);
    EXPECT_FALSE(SpeedWindowOpen());
    EXPECT_FALSE(b.shpChip.Visible());
    EXPECT_EQ(b.lblMessage.Caption(), board::kModePrompt);

    cues.paths.clear();
    Type(b, "t");
    EXPECT_EQ(cues.Names(), Names{"ding.wav"});
    EXPECT_EQ(modPegdrop::GameMode, 1);
    EXPECT_EQ(b.ChipsLeft, 5);
    EXPECT_EQ(b.lblMessage.Caption(), board::kDragPrompt);
}

TEST_F(Board, CountEntryTakesOneDigitAndTheSpeedKey) {
    FrmBoard& b = Open();
    Type(b, "F");
    EXPECT_EQ(modPegdrop::GameMode, 2);
    EXPECT_EQ(b.lblMessage.Caption(),
              "How many Pegdrop chips will you be playing this time (1-9)?");
    cues.paths.clear();
    Type(b, "tf0");
    EXPECT_TRUE(cues.paths.empty());
    EXPECT_EQ(modPegdrop::GameMode, 2);
    EXPECT_FALSE(b.shpChip.Visible());
    PressKey(b, SDLK_7, KMOD_LALT, "7");
    PressKey(b, SDLK_s, KMOD_LALT, "s");
    Yield();
    EXPECT_FALSE(b.shpChip.Visible());
    EXPECT_FALSE(SpeedWindowOpen());
    Type(b, "s");
    EXPECT_TRUE(SpeedWindowOpen());
    modPegdrop::frmSpeed.Unload();
    Type(b, "7");
    EXPECT_EQ(cues.Names(), Names{"ding.wav"});
    EXPECT_EQ(b.ChipsLeft, 7);
    EXPECT_TRUE(b.shpChip.Visible());
    Type(b, "3t");
    EXPECT_EQ(b.ChipsLeft, 7) << "the count of a running game cannot change";
    EXPECT_EQ(cues.paths.size(), 1u);
    Type(b, "S");
    EXPECT_TRUE(SpeedWindowOpen()) << "S while aiming opens the speed window";
}

TEST_F(Board, FirstChipStopsTheChaseAndPutsTheChipAtTheTop) {
    FrmBoard& b = Open();
    Advance(180);
    ASSERT_FALSE(LitSlots(b).empty());
    modPegdrop::Winnings = 1234;
    Type(b, "T");
    EXPECT_EQ(EnabledTimers(b), Names{});
    EXPECT_TRUE(LitSlots(b).empty());
    EXPECT_EQ(b.ChipX, 300);
    EXPECT_EQ(b.ChipY, 16);
    EXPECT_EQ(b.shpChip.Left(), 292);
    EXPECT_EQ(b.shpChip.Top(), 8);
    EXPECT_EQ(modPegdrop::Winnings, 1234) << "FirstChip leaves the winnings alone";
    EXPECT_EQ(ColorOf(Pixel(b, 300, 16)), ui::RGB(192, 0, 128));
    Advance(1000);
    EXPECT_TRUE(LitSlots(b).empty());
}

TEST_F(Board, AimingFollowsTheLeftButtonOnlyClampedAndEven) {
    FrmBoard& b = Open();
    Type(b, "t");
    const std::pair<int, int> cases[] = {{150, 200},  {301, 300}, {399, 398}, {401, 400},
                                         {1000, 400}, {-40, 200}, {252, 252}};
    for (auto [pointer, aimed] : cases) {
        MouseMove(b, pointer, 5, SDL_BUTTON_LMASK);
        Yield();
        EXPECT_EQ(b.ChipX, aimed) << "pointer at " << pointer;
        EXPECT_EQ(b.shpChip.Left(), aimed - 8);
        EXPECT_EQ(b.shpChip.Top(), 8);
    }
    MouseMove(b, 250, 5, SDL_BUTTON_RMASK);
    MouseMove(b, 250, 5, SDL_BUTTON_LMASK | SDL_BUTTON_RMASK);
    MouseMove(b, 250, 5, 0);
    MouseUp(b, 250, 5, SDL_BUTTON_RIGHT);
    Yield();
    EXPECT_EQ(b.ChipX, 252);
    EXPECT_EQ(b.ChipY, 16) << "a right release does not drop";
    // Fractional pointers round half to even.
    b.Form_MouseMove(1, 0, 300.5f, 0);
    EXPECT_EQ(b.ChipX, 300);
    b.Form_MouseMove(1, 0, 301.5f, 0);
    EXPECT_EQ(b.ChipX, 302);
}

TEST_F(Board, ArrowKeysAimAndDownDropsThroughTheMousesOwnRules) {
    FrmBoard& b = Open();
    const auto key = [&](SDL_Keycode k, Uint16 mod = KMOD_NONE) {
        PressKey(b, k, mod);
        Yield();
    };
    key(SDLK_RIGHT);
    key(SDLK_DOWN);
    EXPECT_EQ(b.ChipX, 0) << "no chip yet: the keys do nothing";
    EXPECT_TRUE(waits.empty());
    Type(b, "t");
    key(SDLK_RIGHT);
    EXPECT_EQ(b.ChipX, 302);
    key(SDLK_RIGHT, KMOD_LSHIFT);
    EXPECT_EQ(b.ChipX, 322);
    key(SDLK_RIGHT, KMOD_LCTRL);
    EXPECT_EQ(b.ChipX, 322) << "Ctrl with an arrow is the desktop's";
    for (int i = 0; i < 10; ++i)
        key(SDLK_LEFT, KMOD_LSHIFT);
    EXPECT_EQ(b.ChipX, 200) << "clamped as a drag is";
    EXPECT_EQ(b.shpChip.Left(), 192);
    key(SDLK_DOWN);
    EXPECT_EQ(waits.size(), 300u) << "Down drops the chip";
    EXPECT_EQ(b.ChipY, 316);
    key(SDLK_LEFT);
    EXPECT_NE(b.ChipY, 16);
    EXPECT_EQ(waits.size(), 300u) << "and the keys do nothing until the next chip is set up";
}

TEST_F(Board, NothingAimsOrDropsBeforeAChipIsSetUp) {
    FrmBoard& b = Open();
    Drop(b, 250);
    EXPECT_EQ(b.ChipY, 0);
    EXPECT_EQ(b.ChipX, 0);
    EXPECT_TRUE(waits.empty());
}

TEST_F(Board, ADescentTakesThreeHundredStepsAndIgnoresInputOnTheWay) {
    modPegdrop::Speed = 0;
    FrmBoard& b = Open();
    modPegdrop::Speed = 123;
    Type(b, "t");
    MouseUp(b, 10, 10); // drops from 300 without any move
    // Arrive inside the descent's yields.
    MouseMove(b, 220, 10, SDL_BUTTON_LMASK);
    Type(b, "s7");
    EXPECT_EQ(b.ChipY, 316);
    EXPECT_EQ(waits, std::vector<std::int16_t>(300, 123));
    EXPECT_FALSE(SpeedWindowOpen());
    EXPECT_EQ(b.ChipsLeft, 5);
    EXPECT_EQ(reseeds, 1);
    EXPECT_EQ(b.shpChip.Left(), b.ChipX - 8);
    EXPECT_EQ(b.shpChip.Top(), 308);
    EXPECT_EQ(EnabledTimers(b), (Names{"tmrAfterChip", "tmrSpaceFlash"}));
}

TEST_F(Board, ADescentLastsWhatItsCountsTakeAtThirtyThreeMillionASecond) {
    struct Case {
        std::int16_t speed;
        std::uint64_t us; // 300 steps of 1,000,001 - 1500 x speed counts, rounded up
        std::uint64_t pictures;
    };
    // A step of 16.7 ms or more is at least a display frame at 60 Hz: each is
    // seen. At 7.6 ms only every other step makes a picture of its own, and
    // at 666 (1,001 counts a step) the whole fall is over before one is due.
    const Case cases[] = {
        {1, 9'077'282, 300}, {300, 5'000'010, 300}, {500, 2'272'737, 150}, {666, 9'100, 0}};
    FrmBoard& b = Open();
    Type(b, "f9");
    for (const Case& c : cases) {
        modPegdrop::Speed = c.speed;
        waits.clear();
        const std::uint64_t frames = app().FramesPresented();
        const std::uint64_t started = clock().NowUs();
        Drop(b, 300);
        EXPECT_EQ(b.ChipY, 316);
        EXPECT_EQ(waits, std::vector<std::int16_t>(300, c.speed));
        EXPECT_EQ(clock().NowUs() - started, c.us) << "speed " << c.speed;
        EXPECT_EQ(app().FramesPresented() - frames, c.pictures) << "speed " << c.speed;
        Advance(2500);
    }
}

TEST_F(Board, AboveSixHundredSixtySixADescentWaitsForNothing) {
    FrmBoard& b = Open();
    Type(b, "f2");
    for (std::int16_t speed : {667, 30000}) {
        modPegdrop::Speed = speed;
        const std::uint64_t started = clock().NowUs();
        Drop(b, 300);
        EXPECT_EQ(b.ChipY, 316);
        EXPECT_EQ(clock().NowUs(), started) << "speed " << speed;
        Advance(2500);
    }
}

TEST_F(Board, ASlowCountAddsNothingToItsStepAndTheFallGoesOnFromThere) {
    FrmBoard& b = Open();
    Type(b, "t");
    modPegdrop::Speed = 300;
    int steps = 0;
    b.stepWait = [&](std::int16_t speed) {
        // As if a box had held step 100 for a second.
        if (++steps == 100)
            clock().SetUs(clock().NowUs() + 1'000'000);
        return pegdrop::StepWaitCounts(speed);
    };
    const std::uint64_t started = clock().NowUs();
    Drop(b, 300);
    ASSERT_EQ(steps, 300);
    // 99 steps on time, the held one, then 200 steps of their full length.
    EXPECT_EQ(clock().NowUs() - started, 1'650'003u + 1'000'000u + 3'333'340u);
}

TEST_F(Board, TheStepWaitReadsTheSpeedAtEveryStep) {
    FrmBoard& b = Open();
    Type(b, "t");
    int steps = 0;
    b.stepWait = [&](std::int16_t speed) {
        waits.push_back(speed);
        if (++steps == 100)
            modPegdrop::Speed = 500; // as the speed window's OK would
        return pegdrop::StepWaitCounts(speed);
    };
    modPegdrop::Speed = 1;
    const std::uint64_t started = clock().NowUs();
    Drop(b, 300);
    ASSERT_EQ(waits.size(), 300u);
    EXPECT_EQ(waits[99], 1);
    EXPECT_EQ(waits[100], 500);
    // 100 x 998,501 + 200 x 250,001 counts.
    EXPECT_EQ(clock().NowUs() - started, 4'540'919u) << "the pace follows the speed";
}

// Draws one value again and again.
class FixedRandom final : public pegdrop::RandomSource {
public:
    explicit FixedRandom(float r) : r_(r) {}
    void Reseed(double) override {}
    float Next() override { return r_; }

private:
    float r_;
};

TEST(RandomChoice, IsOneBelowAHalfAndTwoFromAHalfUpToTheLargestDrawBelowOne) {
    const std::pair<float, int> cases[] = {
        {0.0f, 1}, {std::nextafter(0.5f, 0.0f), 1}, {0.5f, 2}, {std::nextafter(1.0f, 0.0f), 2}};
    for (auto [r, choice] : cases) {
        FixedRandom random(r);
        EXPECT_EQ(pegdrop::RandomChoice(random), choice) << "r = " << r;
    }
}

TEST_F(Board, AStraightFallFromTheEdgesBouncesNowhere) {
    FrmBoard& b = Open();
    Type(b, "t");
    cues.paths.clear();
    Drop(b, 206);
    EXPECT_EQ(cues.Names(), Names{"100.wav"});
    EXPECT_EQ(b.LandedSlot, 1);
    EXPECT_EQ(b.lblMessage.Caption(), "You win $100");
    EXPECT_EQ(LitSlots(b), std::vector<int>{1});
}

TEST_F(Board, EveryPegHitPlaysABounceWithItsDrawnDigit) {
    FrmBoard& b = Open();
    Type(b, "t");
    cues.paths.clear();
    draw = kAllTwos;
    Drop(b, 300);
    const Names names = cues.Names();
    ASSERT_GE(names.size(), 2u);
    for (std::size_t i = 0; i + 1 < names.size(); ++i)
        EXPECT_EQ(names[i], "bounce2.wav");
    EXPECT_EQ(static_cast<int>(b.LandedSlot), PredictedSlot(300, kAllTwos));
}

TEST_F(Board, LandingsShowTheirPrizeCueCaptionAndLight) {
    struct Case {
        int slot;
        const char* cue;
        const char* caption;
    };
    const Case cases[] = {{2, "500.wav", "You win $500"},       {3, "1000.wav", "You win $1,000"},
                          {5, "10000.wav", "You win $10,000!"}, {7, "1000.wav", "You win $1,000"},
                          {8, "500.wav", "You win $500"},       {9, "100.wav", "You win $100"}};
    FrmBoard& b = Open();
    Type(b, "f9");
    for (const Case& c : cases) {
        cues.paths.clear();
        Drop(b, ReleaseInto(c.slot));
        EXPECT_EQ(b.LandedSlot, c.slot);
        ASSERT_FALSE(cues.paths.empty());
        EXPECT_EQ(cues.Names().back(), c.cue);
        EXPECT_EQ(b.lblMessage.Caption(), c.caption);
        EXPECT_EQ(LitSlots(b), std::vector<int>{c.slot});
        Advance(2500);
    }
}

TEST_F(Board, ZeroSlotsSoundTheHornOnlyForALastChipOfAnEmptyGame) {
    FrmBoard& b = Open();
    Type(b, "t");
    const int zero = ReleaseInto(4);
    for (int chip = 1; chip <= 4; ++chip) {
        cues.paths.clear();
        Drop(b, zero);
        EXPECT_EQ(b.lblMessage.Caption(), "Zero!");
        EXPECT_TRUE(cues.Names().back() == "0-1.wav" || cues.Names().back() == "0-2.wav")
            << cues.Names().back();
        Advance(2500);
        EXPECT_EQ(b.lblScoreboard.Caption(), "") << "nothing won, nothing shown";
    }
    EXPECT_EQ(b.lblMessage.Caption(), "You have 1 chip left");
    cues.paths.clear();
    Drop(b, zero);
    const std::string sep(1, platform::kPathSeparator);
    EXPECT_EQ(cues.paths.back(), data.Path() + sep + "sounds" + sep + "horns.wav");
    Advance(2500);
    EXPECT_EQ(b.lblMessage.Caption(), "You finish with $0\rThank you for playing PEGDROP!");
    EXPECT_EQ(b.lblScoreboard.Caption(), "");
}

TEST_F(Board, AFirstChipOnZeroLeavesTheScoreboardEmptyAndFourChips) {
    FrmBoard& b = Open();
    Type(b, "t");
    Drop(b, ReleaseInto(6));
    Advance(2500);
    EXPECT_EQ(b.lblScoreboard.Caption(), "");
    EXPECT_EQ(b.lblMessage.Caption(), "You have 4 chips left");
}

TEST_F(Board, KeysAndReleasesAreInertWhileAChipFallsOrSettles) {
    FrmBoard& b = Open();
    Type(b, "t");
    MouseDown(b, 300, 100);
    MouseUp(b, 300, 100); // drops from 300: no move since the chip was set up
    MouseUp(b, 300, 100); // a second release inside the fall
    MouseMove(b, 250, 100, 0);
    Yield();
    EXPECT_EQ(waits.size(), 300u) << "one descent only";
    EXPECT_EQ(static_cast<int>(b.LandedSlot), PredictedSlot(300, draw));
    const int landedLeft = b.shpChip.Left();
    MouseMove(b, 250, 100, SDL_BUTTON_RMASK); // redraws where the chip rests
    Type(b, "s3");
    Drop(b, 220);
    EXPECT_EQ(b.shpChip.Left(), landedLeft);
    EXPECT_FALSE(SpeedWindowOpen());
    EXPECT_EQ(b.ChipsLeft, 5);
    EXPECT_EQ(waits.size(), 300u);
}

TEST_F(Board, PlayAgainReturnsToTheModePromptWithTheChaseRunning) {
    FrmBoard& b = Open();
    Type(b, "f1");
    Drop(b, ReleaseInto(5));
    Advance(2500 + 3500);
    ASSERT_EQ(Top10Opened(), 1);
    b.NewGame();
    EXPECT_EQ(b.lblMessage.Caption(), board::kModePrompt);
    EXPECT_EQ(modPegdrop::GameMode, 0);
    EXPECT_FALSE(b.shpChip.Visible());
    EXPECT_EQ(b.ChipY, 316) << "nothing can be aimed until the next first chip";
    Advance(180);
    EXPECT_FALSE(LitSlots(b).empty());
    Type(b, "t");
    EXPECT_EQ(b.ChipsLeft, 5);
    EXPECT_TRUE(LitSlots(b).empty());
}

TEST_F(Board, ZeroAfterAWinPlaysTheZeroCue) {
    FrmBoard& b = Open();
    Type(b, "f2");
    Drop(b, ReleaseInto(1));
    Advance(2500);
    cues.paths.clear();
    Drop(b, ReleaseInto(4));
    EXPECT_TRUE(cues.Names().back() == "0-1.wav" || cues.Names().back() == "0-2.wav")
        << cues.Names().back();
}

TEST_F(Board, SettlementCreditsCountsOffAndSetsUpTheNextChip) {
    FrmBoard& b = Open();
    Type(b, "t");
    Drop(b, ReleaseInto(5));
    Advance(2400);
    AdvanceToJustBefore(b.tmrAfterChip);
    EXPECT_EQ(modPegdrop::Winnings, 0);
    Advance(1);
    EXPECT_EQ(modPegdrop::Winnings, 10000);
    EXPECT_EQ(b.lblScoreboard.Caption(), "10000");
    EXPECT_EQ(b.ChipsLeft, 4);
    EXPECT_EQ(b.lblMessage.Caption(), "You have 4 chips left");
    EXPECT_EQ(b.ChipX, 300);
    EXPECT_EQ(b.ChipY, 16);
    EXPECT_EQ(b.shpChip.Left(), 292);
    EXPECT_EQ(b.shpChip.Top(), 8);
    EXPECT_TRUE(b.shpChip.Visible());
    EXPECT_TRUE(LitSlots(b).empty());
    EXPECT_EQ(EnabledTimers(b), Names{});
    Drop(b, ReleaseInto(1));
    Advance(2500);
    EXPECT_EQ(b.lblScoreboard.Caption(), "10100");
    EXPECT_EQ(b.lblMessage.Caption(), "You have 3 chips left");
    EXPECT_TRUE(cues.Names().back() == "100.wav") << "settlement plays nothing";
}

// What the scoreboard shows, read off the screen: the runs of lit columns in
// its field, and whether anything around the field changed.
TEST_F(Board, TheScoreboardShowsEveryDigitOfAnyTotalInsideItsField) {
    FrmBoard& b = Open();
    const ui::Rect field = b.lblScoreboard.Bounds();
    const auto around = [&] {
        const std::vector<std::uint32_t> all = b.ReadPixels();
        std::vector<std::uint32_t> ring;
        for (int y = field.top - 4; y < field.top + field.height + 4; ++y)
            for (int x = field.left - 4; x < field.left + field.width + 4; ++x)
                if (x < field.left || y < field.top || x >= field.left + field.width ||
                    y >= field.top + field.height)
                    ring.push_back(all[static_cast<std::size_t>(y * b.ClientWidth() + x)]);
        return ring;
    };
    Yield();
    const std::vector<std::uint32_t> before = around();
    for (const std::string total : {"90000", "12600", "10000", "5"}) {
        b.lblScoreboard.SetCaption(total);
        Yield();
        const std::vector<std::uint32_t> all = b.ReadPixels();
        // The figures are light on red: green marks ink.
        const auto lit = [&](int x, int y) {
            return ColorOf(all[static_cast<std::size_t>(y * b.ClientWidth() + x)]).g > 96;
        };
        std::vector<std::pair<int, int>> runs;
        bool inRun = false;
        int top = field.top + field.height;
        int bottom = field.top - 1;
        for (int x = field.left; x < field.left + field.width; ++x) {
            bool column = false;
            for (int y = field.top; y < field.top + field.height; ++y)
                if (lit(x, y)) {
                    column = true;
                    top = std::min(top, y);
                    bottom = std::max(bottom, y);
                }
            if (column && !inRun)
                runs.emplace_back(x, x);
            if (column)
                runs.back().second = x;
            inRun = column;
        }
        ASSERT_EQ(runs.size(), total.size()) << total << ": one group of ink per digit";
        EXPECT_GT(runs.front().first, field.left) << total << ": the first digit is not cut";
        EXPECT_LT(bottom, field.top + field.height - 1) << total << ": the digits are not cut";
        EXPECT_GE(bottom - top, 15) << total << ": nor shrunk past reading";
        EXPECT_GE(runs.back().second, field.left + field.width - 8) << total << ": right-aligned";
        EXPECT_EQ(around(), before) << total << ": nothing drawn outside the field";
    }
}

TEST_F(Board, TheLastSettlementEndsTheGameAndTheRestartTickFollows) {
    FrmBoard& b = Open();
    Type(b, "f1");
    Drop(b, ReleaseInto(3));
    Advance(2500);
    EXPECT_EQ(b.lblMessage.Caption(), "You finish with $1,000\rThank you for playing PEGDROP!");
    EXPECT_EQ(b.lblScoreboard.Caption(), "1000");
    EXPECT_EQ(EnabledTimers(b), (Names{"tmrScoreFlash", "tmrRestart", "tmrFlash"}));
    EXPECT_EQ(b.ChipY, 316);
    Type(b, "ts5");
    Drop(b, 300);
    EXPECT_EQ(b.ChipY, 316) << "game over: keys and mouse are inert";
    EXPECT_FALSE(SpeedWindowOpen());
    Advance(3400);
    AdvanceToJustBefore(b.tmrRestart);
    EXPECT_EQ(Top10Opened(), 0);
    Advance(1);
    EXPECT_EQ(Top10Opened(), 1);
    EXPECT_FALSE(b.tmrRestart.Enabled());
    Advance(10000);
    EXPECT_EQ(Top10Opened(), 1);
    EXPECT_TRUE(b.tmrFlash.Enabled());
    EXPECT_TRUE(b.tmrScoreFlash.Enabled());
}

TEST_F(Board, NineTopPrizesMakeNinetyThousand) {
    FrmBoard& b = Open();
    Type(b, "f9");
    const int top = ReleaseInto(5);
    for (int chip = 0; chip < 9; ++chip) {
        Drop(b, top);
        Advance(2500);
    }
    EXPECT_EQ(modPegdrop::Winnings, 90000);
    EXPECT_EQ(b.lblScoreboard.Caption(), "90000");
    EXPECT_EQ(b.lblMessage.Caption(), "You finish with $90,000\rThank you for playing PEGDROP!");
}

TEST_F(Board, TheChaseRunsOutwardAndCarriesItsStepOverAGame) {
    FrmBoard& b = Open();
    Advance(180);
    EXPECT_EQ(LitSlots(b), (std::vector<int>{1, 5, 9}));
    Advance(180);
    EXPECT_EQ(LitSlots(b), (std::vector<int>{4, 6}));
    EXPECT_EQ(b.FlashStep, 2);
    Type(b, "f1");
    Drop(b, ReleaseInto(9));
    Advance(2500);
    EXPECT_TRUE(LitSlots(b).empty());
    Advance(180);
    EXPECT_EQ(b.FlashStep, 3);
    EXPECT_EQ(LitSlots(b), (std::vector<int>{3, 7}));
    Advance(180);
    EXPECT_EQ(LitSlots(b), (std::vector<int>{2, 8}));
    Advance(180);
    EXPECT_EQ(LitSlots(b), (std::vector<int>{1, 5, 9}));
}

TEST_F(Board, TheLandedSlotBlinksUntilSettlement) {
    FrmBoard& b = Open();
    Type(b, "t");
    Drop(b, ReleaseInto(8));
    std::vector<bool> seen;
    for (int i = 0; i < 9; ++i) {
        Advance(250);
        seen.push_back(b.img500right.Visible());
        EXPECT_EQ(LitSlots(b).size(), seen.back() ? 1u : 0u);
    }
    EXPECT_EQ(seen, (std::vector<bool>{false, true, false, true, false, true, false, true, false}));
    Advance(250);
    EXPECT_TRUE(LitSlots(b).empty());
    EXPECT_FALSE(b.tmrSpaceFlash.Enabled());
    b.LandedSlot = 0;
    b.tmrSpaceFlash_Timer();
    EXPECT_TRUE(LitSlots(b).empty());
    b.LandedSlot = 5;
    b.tmrSpaceFlash_Timer();
    EXPECT_EQ(LitSlots(b), std::vector<int>{5});
}

TEST_F(Board, TheScoreboardBlinksByColourAndNewGameRestoresIt) {
    FrmBoard& b = Open();
    Type(b, "f1");
    Drop(b, ReleaseInto(2));
    Advance(2500);
    Advance(350);
    EXPECT_EQ(b.lblScoreboard.ForeColor(), ui::RGB(230, 0, 0));
    Advance(350);
    EXPECT_EQ(b.lblScoreboard.ForeColor(), ui::RGB(255, 224, 240));
    Advance(350);
    b.NewGame();
    EXPECT_EQ(b.lblScoreboard.ForeColor(), ui::RGB(255, 224, 240));
    EXPECT_EQ(b.lblScoreboard.Caption(), "");
    EXPECT_EQ(modPegdrop::Winnings, 0);
    EXPECT_FALSE(b.tmrScoreFlash.Enabled());
    EXPECT_TRUE(b.tmrFlash.Enabled()) << "the chase goes on into the next mode choice";
    EXPECT_FALSE(b.shpChip.Visible());
    b.lblScoreboard.SetForeColor(ui::RGB(1, 2, 3));
    b.tmrScoreFlash_Timer();
    EXPECT_EQ(b.lblScoreboard.ForeColor(), ui::RGB(1, 2, 3));
}

TEST_F(Board, ClosingTheBoardMidFallEndsTheProgramAtOnce) {
    FrmBoard& b = Open();
    Type(b, "t");
    MouseUp(b, 300, 100);
    CloseBox(b);
    Yield();
    EXPECT_EQ(waits.size(), 1u) << "no step after the close";
    EXPECT_FALSE(app().HasWindows());
    EXPECT_EQ(data.Read("speed.dat"), "<missing>");
}

} // namespace
