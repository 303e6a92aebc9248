// The pace of a fall and of the pictures: the step pacer on the manual clock,
// and the yield and loop that decide when a change is shown.
#include "harness.h"

#include "game/step_pace.h"
#include "rules/board_rules.h"

#include <vector>

namespace {

TEST(ReferenceCount, TakesThirtyThreeCountsAMicrosecondRoundedUp) {
    const std::pair<std::uint64_t, std::uint64_t> cases[] = {
        {0, 0},          {1, 1},           {33, 1},          {34, 2},
        {250'001, 7576}, {550'001, 16667}, {998'501, 30258}, {33'000'000, 1'000'000}};
    for (auto [counts, us] : cases)
        EXPECT_EQ(pegdrop::ReferenceCountUs(counts), us) << counts << " counts";
}

constexpr std::uint64_t kFrameUs = 16667;
constexpr std::uint64_t kStart = 1'000'000;

// A pacer on its own manual clock whose counts cost `countUs` of that clock.
struct Paced {
    explicit Paced(std::uint64_t countUs = 0)
        : pacer(clock, kFrameUs, [this, countUs](std::int16_t speed) {
              speeds.push_back(speed);
              clock.SetUs(clock.NowUs() + countUs);
              return pegdrop::StepWaitCounts(speed);
          }) {
        clock.SetUs(kStart);
    }
    std::uint64_t Elapsed() { return clock.NowUs() - kStart; }
    platform::ManualClock clock;
    pegdrop::StepPacer pacer;
    std::vector<std::int16_t> speeds;
};

TEST(StepPacer, AStepLastsItsReferenceTimeFromTheStartOfItsCount) {
    // The rest of the step is slept; a count slower than the reference gets
    // nothing added.
    const std::pair<std::uint64_t, std::uint64_t> cases[] = {
        {0, 16667}, {5000, 16667}, {16667, 16667}, {20000, 20000}};
    for (auto [countUs, lasts] : cases) {
        Paced p(countUs);
        EXPECT_EQ(p.pacer.Step(300), 550'001);
        EXPECT_EQ(p.Elapsed(), lasts) << "a count of " << countUs << " us";
    }
}

TEST(StepPacer, EachStepIsPacedByTheSpeedItIsGiven) {
    Paced p;
    p.pacer.Step(1);
    EXPECT_EQ(p.Elapsed(), 30258u);
    p.pacer.Step(500);
    EXPECT_EQ(p.Elapsed(), 37834u) << "998,501 + 250,001 counts";
    p.pacer.Step(700);
    EXPECT_EQ(p.Elapsed(), 37834u);
    EXPECT_EQ(p.speeds, (std::vector<std::int16_t>{1, 500, 700}));
}

TEST(StepPacer, StepsKeepTheirBeatSoTimeBetweenThemDoesNotAddUp) {
    Paced p;
    for (int i = 0; i < 10; ++i) {
        p.pacer.Step(300);
        p.clock.SetUs(p.clock.NowUs() + 4000); // drawing and yielding
    }
    // Ten steps of 550,001 counts, and the drawing after the last one.
    EXPECT_EQ(p.Elapsed(), 166'667u + 4000u);
}

TEST(StepPacer, ALittleLateCatchesUpButMoreThanAFrameLateStartsAgainFromNow) {
    Paced p;
    p.pacer.Step(300);
    p.clock.SetUs(p.clock.NowUs() + 10'000);
    p.pacer.Step(300);
    EXPECT_EQ(p.Elapsed(), 33'334u) << "the second step ends on the beat";
    p.clock.SetUs(p.clock.NowUs() + kFrameUs + 1);
    const std::uint64_t late = p.clock.NowUs();
    p.pacer.Step(300);
    EXPECT_EQ(p.clock.NowUs() - late, 16667u) << "no sprint to catch up";
    p.pacer.Step(300);
    EXPECT_EQ(p.clock.NowUs() - late, 33'334u);
}

TEST(StepPacer, CountsWithTheRealStepWaitAndSleepsNothingAboveSixHundredSixtySix) {
    platform::ManualClock clock;
    pegdrop::StepPacer pacer(clock, kFrameUs, pegdrop::StepWait);
    EXPECT_EQ(pacer.Step(700), 0);
    EXPECT_EQ(pacer.Step(667), 0);
    EXPECT_EQ(clock.NowUs(), 0u);
    EXPECT_EQ(pacer.Step(500), 250'001);
    EXPECT_EQ(clock.NowUs(), 7576u);
}

class Canvas : public ui::Window {
public:
    Canvas()
        : ui::Window("Canvas", 200, 100),
          dot(*this, {0, 0, 9, 9}, ui::RGB(255, 0, 0), ui::RGB(0, 0, 0)), later(*this, 13, false),
          end(*this, 100, false) {}
    void Form_Load() override { Show(); }
    ui::Shape dot;
    ui::Timer later;
    ui::Timer end;
};

class Presenting : public test::Harness {
protected:
    Presenting() : w(app().Instance<Canvas>()) {
        Yield(); // the first picture
        shown = app().FramesPresented();
    }
    std::uint64_t NewPictures() { return app().FramesPresented() - shown; }
    void Later(std::uint64_t us) { clock().SetUs(clock().NowUs() + us); }

    Canvas& w;
    std::uint64_t shown = 0;
};

TEST_F(Presenting, AYieldNeverSleepsAndAnIdleOneShowsNothing) {
    const std::uint64_t start = clock().NowUs();
    for (int i = 1; i <= 60; ++i) {
        w.dot.Move(i, 0);
        Yield();
    }
    for (int i = 0; i < 100; ++i)
        Yield();
    EXPECT_EQ(clock().NowUs(), start);
    EXPECT_EQ(NewPictures(), 0u) << "changes within 3/4 of a frame wait for the loop";
    EXPECT_TRUE(w.NeedsPaint());
}

TEST_F(Presenting, AChangeThreeQuartersOfAFrameAfterAPictureIsShownAtOnce) {
    Later(12'499);
    w.dot.Move(5, 0);
    Yield();
    EXPECT_EQ(NewPictures(), 0u);
    Later(1);
    Yield();
    EXPECT_EQ(NewPictures(), 1u);
    EXPECT_FALSE(w.NeedsPaint());
    Yield();
    EXPECT_EQ(NewPictures(), 1u) << "nothing changed since";
}

TEST_F(Presenting, ADefaultFallShowsEveryStepAndAFasterOneEveryOther) {
    const std::pair<std::int16_t, std::uint64_t> cases[] = {{300, 60}, {500, 30}};
    for (auto [speed, pictures] : cases) {
        Later(kFrameUs);
        Yield();
        const std::uint64_t before = app().FramesPresented();
        pegdrop::StepPacer pacer([](std::int16_t s) { return pegdrop::StepWaitCounts(s); });
        for (int i = 1; i <= 60; ++i) {
            w.dot.Move(i, i);
            pacer.Step(speed);
            Yield();
        }
        EXPECT_EQ(app().FramesPresented() - before, pictures) << "speed " << speed;
    }
}

TEST_F(Presenting, TheGamesFallCatchesUpWhatTheMachineHeldBackButNotAnInterruption) {
    // A second's fall at 300, held back once after its first step: a loaded
    // machine or a late browser catch up, up to half a second; longer, the
    // fall goes on from there and takes that much longer.
    constexpr int kSteps = 60;
    const std::uint64_t fallUs = pegdrop::ReferenceCountUs(kSteps * 550'001ull);
    const std::pair<std::uint64_t, std::uint64_t> cases[] = {
        {20'000, 0}, {260'000, 0}, {500'000, 0}, {500'001, 500'001}, {2'000'000, 2'000'000}};
    for (auto [heldUs, lostUs] : cases) {
        pegdrop::StepPacer pacer([](std::int16_t s) { return pegdrop::StepWaitCounts(s); });
        const std::uint64_t start = clock().NowUs();
        for (int i = 0; i < kSteps; ++i) {
            pacer.Step(300);
            if (i == 0)
                Later(heldUs);
        }
        EXPECT_NEAR(static_cast<double>(clock().NowUs() - start),
                    static_cast<double>(fallUs + lostUs), 1.0)
            << "held back " << heldUs << " us";
    }
}

TEST_F(Presenting, AChangeHeldBackByTheYieldIsShownByTheModalLoopWithinAFrame) {
    // Half a frame after the last picture: too soon for the yield.
    Later(8'333);
    // Ticks 21.3 ms after the last picture: later than the held-back one is
    // due (12.5 ms), sooner than a frame after the change (25 ms).
    w.later.SetEnabled(true);
    w.dot.Move(5, 0);
    Yield();
    ASSERT_EQ(NewPictures(), 0u);
    std::uint64_t atTick = 0;
    bool paintedAtTick = true;
    w.later.Tick = [&] {
        atTick = NewPictures();
        paintedAtTick = !w.NeedsPaint();
        w.Unload();
    };
    app().RunModal(w);
    EXPECT_EQ(atTick, 1u);
    EXPECT_TRUE(paintedAtTick);
}

TEST_F(Presenting, TheLastPositionOfAFallTooFastToSeeIsShownByTheLoop) {
    w.later.Tick = [&] {
        w.later.SetEnabled(false);
        pegdrop::StepPacer pacer([](std::int16_t s) { return pegdrop::StepWaitCounts(s); });
        for (int i = 1; i <= 50; ++i) {
            w.dot.Move(i, 0);
            pacer.Step(700);
            ui::App().DoEvents();
        }
    };
    bool paintedAtEnd = false;
    w.end.Tick = [&] {
        paintedAtEnd = !w.NeedsPaint();
        ui::App().EndProgram();
    };
    w.later.SetEnabled(true);
    w.end.SetEnabled(true);
    app().Run();
    EXPECT_TRUE(paintedAtEnd);
    EXPECT_EQ(NewPictures(), 2u) << "the fall's first step, then its last";
}

} // namespace
