// The player's settings: the settings text, where the file is, and the mute
// kept there, played through the harness.
#include "harness.h"

#include "art/pictures.h"
#include "game/frmBoard.h"
#include "platform/settings_path.h"
#include "rules/settings_text.h"

#include <algorithm>

namespace {

using test::Environment;

TEST(SettingsText, KeepsEveryKeyTrimsAndTakesTheLastLine) {
    const pegdrop::Settings s =
        pegdrop::ParseSettings("muted = 1\r\nnoise\n=3\nscale=2\nscale=4\nfuture=a=b");
    EXPECT_EQ(s, (pegdrop::Settings{{"muted", "1"}, {"scale", "4"}, {"future", "a=b"}}));
    EXPECT_EQ(pegdrop::FormatSettings(s), "future=a=b\nmuted=1\nscale=4\n");
    EXPECT_EQ(pegdrop::ParseSettings(pegdrop::FormatSettings(s)), s);
}

// Windows' own rule is tested in test_files_windows.cpp.
#ifndef _WIN32
TEST(SettingsPath, FollowsTheConfigFolderElseTheHome) {
    const Environment home("HOME", "/home/someone");
    {
        const Environment config("XDG_CONFIG_HOME", "/cfg");
        EXPECT_EQ(platform::SettingsFilePath(), "/cfg/pegdrop/settings");
    }
    {
        const Environment relative("XDG_CONFIG_HOME", "cfg");
        EXPECT_EQ(platform::SettingsFilePath(), "/home/someone/.config/pegdrop/settings");
    }
    const Environment unset("XDG_CONFIG_HOME", nullptr);
    EXPECT_EQ(platform::SettingsFilePath(), "/home/someone/.config/pegdrop/settings");
}
#endif

class Mute : public test::Harness {
protected:
    FrmBoard& Open() {
        FrmBoard& board = OpenBoard();
        board.stepWait = [](std::int16_t) { return 0; };
        return board;
    }
    void CtrlM(ui::Window& w) {
        PressKey(w, SDLK_m, KMOD_LCTRL);
        Advance(20);
    }
    // The corner the mark is drawn in, as it is on the screen.
    std::vector<std::uint32_t> Corner(FrmBoard& b) {
        const std::vector<std::uint32_t> all = b.ReadPixels();
        std::vector<std::uint32_t> corner;
        for (int y = art::kMutedMarkTop; y < art::kMutedMarkTop + art::kMutedMarkSize; ++y)
            for (int x = art::kMutedMarkLeft; x < art::kMutedMarkLeft + art::kMutedMarkSize; ++x)
                corner.push_back(all.at(static_cast<std::size_t>(y * b.ClientWidth() + x)));
        return corner;
    }
};

TEST_F(Mute, CtrlMSilencesAFallStopsTheCueAndShowsTheMarkUntilPressedAgain) {
    FrmBoard& b = Open();
    Type(b, "t");
    Advance(20);
    const std::vector<std::uint32_t> plain = Corner(b);
    cues.paths.clear();
    CtrlM(b);
    EXPECT_TRUE(modPegdrop::Muted);
    EXPECT_EQ(cues.stops, 1);
    EXPECT_EQ(modPegdrop::GameMode, 1); // the chord typed nothing
    const std::vector<std::uint32_t> marked = Corner(b);
    EXPECT_NE(marked, plain);
    // The mark is dark on the board's white: a speaker, not a tint.
    EXPECT_GT(std::count_if(marked.begin(), marked.end(),
                            [](std::uint32_t p) { return (p & 0xFFFFFF) < 0x404040; }),
              20);

    PressKey(b, SDLK_DOWN);
    Advance(20);
    EXPECT_NE(b.LandedSlot, 0);
    EXPECT_TRUE(cues.paths.empty());

    CtrlM(b);
    EXPECT_FALSE(modPegdrop::Muted);
    EXPECT_EQ(cues.stops, 1); // unmuting stops nothing
    EXPECT_EQ(Corner(b), plain);
    Advance(2500);
    PressKey(b, SDLK_DOWN);
    Advance(20);
    EXPECT_FALSE(cues.paths.empty());
}

TEST_F(Mute, TheChoiceIsKeptForTheNextStartBesideTheOtherSettings) {
    const test::SettingsIn settings(data.Path() + "/config");
    modPegdrop::UseSettings();
    EXPECT_FALSE(modPegdrop::Muted);
    FrmBoard& b = Open();
    CtrlM(b);
    EXPECT_EQ(settings.Read(), "muted=1\n");

    settings.Write("future=x\nmuted=1\n");
    modPegdrop::ResetSharedState();
    EXPECT_FALSE(modPegdrop::Muted);
    modPegdrop::UseSettings();
    EXPECT_TRUE(modPegdrop::Muted);
    CtrlM(b);
    EXPECT_EQ(settings.Read(), "future=x\nmuted=0\n");
}

} // namespace
