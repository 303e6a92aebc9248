// The soak: whole games one after another, tournaments and fun games, each
// through the top-ten window and Play again, in one program run on the
// manual clock, with the memory it holds measured as it goes.
// PEGDROP_SOAK_GAMES sets how many games (50 by default; make soak plays 1,000).
#include "harness.h"

#include "game/data_files.h"

#include "game/frmBoard.h"
#include "game/frmSplash.h"
#include "game/frmTop10.h"
#include "rules/board_rules.h"
#include "rules/top10.h"
#include "ui/dialogs.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <random>
#include <unistd.h>

namespace {

int SoakGames() {
    const char* text = std::getenv("PEGDROP_SOAK_GAMES");
    const int n = text != nullptr ? std::atoi(text) : 0;
    return n > 0 ? n : 50;
}

// Resident memory in bytes: the second figure of /proc/self/statm, in pages.
long ResidentBytes() {
    std::ifstream statm("/proc/self/statm");
    long size = 0, resident = 0;
    statm >> size >> resident;
    return resident * ::sysconf(_SC_PAGESIZE);
}

class Draws final : public pegdrop::RandomSource {
public:
    void Reseed(double) override {}
    float Next() override { return std::uniform_real_distribution<float>(0.0f, 0.999f)(engine_); }

private:
    std::mt19937 engine_{20261208};
};

class Soak : public test::Harness {
protected:
    explicit Soak(ui::WindowSystem system = ui::WindowSystem::kNative) : test::Harness(system) {
        modPegdrop::SetRandomSource(std::make_unique<Draws>());
        app().onModal = [this](ui::Window& dialog) {
            ++prompts;
            Type(dialog, "Soak " + std::to_string(prompts));
            PressKey(dialog, SDLK_RETURN);
        };
    }

    FrmBoard& Start() {
        FrmSplash& splash = app().Instance<FrmSplash>();
        splash.Show();
        Click(splash, 240, 150);
        FrmBoard* b = app().Find<FrmBoard>();
        if (b == nullptr)
            throw std::runtime_error("the splash opened no board");
        b->stepWait = [](std::int16_t speed) { return pegdrop::StepWaitCounts(speed); };
        return *b;
    }

    // One game from the mode prompt to the board back at the mode prompt.
    void OneGame(FrmBoard& b, int game) {
        // The recorder would keep every cue: the soak measures the game's memory.
        cues.paths.clear();
        const bool tournament = game % 2 == 1;
        const int chips = tournament ? 5 : 1 + game / 2 % 9;
        if (tournament) {
            Type(b, "t");
        } else {
            Type(b, "f");
            Type(b, std::to_string(chips));
        }
        ASSERT_EQ(b.ChipsLeft, chips) << "game " << game;
        std::int32_t won = 0;
        for (int chip = 0; chip < chips; ++chip) {
            const int x = 200 + (game * 37 + chip * 53) % 201;
            MouseDown(b, 300, 100);
            MouseMove(b, x, 100, SDL_BUTTON_LMASK);
            MouseUp(b, x, 100);
            Yield();
            ASSERT_EQ(b.ChipY, 316) << "game " << game << " chip " << chip;
            Advance(2500);
            const std::int32_t prize = modPegdrop::Winnings - won;
            ASSERT_TRUE(prize == 0 || prize == 100 || prize == 500 || prize == 1000 ||
                        prize == 10000)
                << prize;
            won = modPegdrop::Winnings;
        }
        ASSERT_EQ(b.ChipsLeft, 0);
        const int promptsBefore = prompts;
        Advance(3500);
        FrmTop10* t = app().Find<FrmTop10>();
        ASSERT_NE(t, nullptr) << "game " << game << " ended without the top-ten window";
        ASSERT_TRUE(t->IsShown());
        if (tournament) {
            const pegdrop::Top10Table table = pegdrop::ReadTop10File(data.Path() + "/top10.dat");
            if (t->NewEntryRow > 0) {
                EXPECT_EQ(prompts, promptsBefore + 1);
                const auto& row = table[static_cast<std::size_t>(t->NewEntryRow - 1)];
                EXPECT_EQ(row.name, "Soak " + std::to_string(prompts));
                EXPECT_EQ(row.score, won);
            } else {
                EXPECT_EQ(prompts, promptsBefore);
                EXPECT_LT(won, table[9].score);
            }
        } else {
            EXPECT_EQ(prompts, promptsBefore) << "a fun game asked for a name";
        }
        PressKey(*t, SDLK_RETURN); // Play again
        Advance(300);
        ASSERT_FALSE(app().Find<FrmTop10>());
        ASSERT_EQ(modPegdrop::GameMode, 0);
        ASSERT_EQ(modPegdrop::Winnings, 0);
    }

    void WholeGames(int games);

    int prompts = 0;
};

void Soak::WholeGames(int games) {
    FrmBoard& b = Start();
    const auto started = std::chrono::steady_clock::now();
    long at10 = 0;
    for (int game = 1; game <= games; ++game) {
        OneGame(b, game);
        if (HasFatalFailure())
            return;
        if (game == 10)
            at10 = ResidentBytes();
        if (game % 100 == 0)
            std::printf("soak: %.1f MB after game %d\n", ResidentBytes() / 1048576.0, game);
    }
    const long atEnd = ResidentBytes();
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    std::printf("soak: %d games in %.1f s; resident %.1f MB after game 10, %.1f MB after game %d\n",
                games, seconds, at10 / 1048576.0, atEnd / 1048576.0, games);
    if (games >= 10) {
        EXPECT_LE(atEnd - at10, 2L * 1024 * 1024) << "memory grew from game 10 to game " << games;
    }
    // The way out still works after all of them.
    Advance(4000);
    FrmTop10* t = app().Find<FrmTop10>();
    EXPECT_EQ(t, nullptr);
    Type(b, "f");
    Type(b, "1");
    MouseUp(b, 300, 100);
    Yield();
    Advance(6000);
    t = app().Find<FrmTop10>();
    ASSERT_NE(t, nullptr);
    PressKey(*t, SDLK_ESCAPE);
    Yield();
    EXPECT_FALSE(app().HasWindows());
    EXPECT_EQ(data.Read("speed.dat"), "300\r\n");
}

TEST_F(Soak, WholeGamesOneAfterAnotherHoldNoMoreMemory) {
    WholeGames(SoakGames());
}

// The same games on the one composited desktop a browser page has: every
// click and key reaches the windows through it.
class SoakOnOneDesktop : public Soak {
protected:
    SoakOnOneDesktop() : Soak(ui::WindowSystem::kComposited) {}
};

TEST_F(SoakOnOneDesktop, WholeGamesPlayThroughTheCompositedDesktop) {
    WholeGames(std::min(SoakGames(), 6));
}

} // namespace
