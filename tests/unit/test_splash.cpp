// Start-up: the data folder from the working directory, the version, the click.
#include "harness.h"

#include "art/pictures.h"
#include "game/frmBoard.h"
#include "game/frmSplash.h"
#include "platform/paths.h"

#include <filesystem>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

namespace {

using Splash = test::Harness;

const std::string kSep(1, platform::kPathSeparator);

TEST_F(Splash, FixesThePathsFromTheWorkingDirectoryAndPlaysTheOpening) {
    FrmSplash& s = app().Instance<FrmSplash>();
    EXPECT_EQ(modPegdrop::DataPath, data.Path() + kSep);
    EXPECT_EQ(modPegdrop::SoundPath, data.Path() + kSep + "sounds" + kSep);
    EXPECT_EQ(s.lblVersion.Caption(), "Version 1.3");
    EXPECT_EQ(cues.paths,
              std::vector<std::string>{data.Path() + kSep + "sounds" + kSep + "pegdrop.wav"});
    EXPECT_FALSE(s.IsShown()) << "the entry point shows it after its load";
    EXPECT_EQ(s.Caption(), "Form1");
    EXPECT_EQ(s.ClientWidth(), 480);
    EXPECT_EQ(s.ClientHeight(), 336);
}

TEST_F(Splash, AtTheRootThePathsAreNotDoubled) {
    // "/", or on Windows the drive's root, such as C:\ (never C:\\).
    const std::string root = std::filesystem::current_path().root_path().string();
    std::filesystem::current_path(root);
    app().Instance<FrmSplash>();
    EXPECT_EQ(modPegdrop::DataPath, root);
    EXPECT_EQ(modPegdrop::SoundPath, root + "sounds" + kSep);
}

// Windows keeps a process's working folder from being removed.
#ifndef _WIN32
TEST_F(Splash, AWorkingFolderThatIsGoneEndsTheProgramInsteadOfUsingTheRoot) {
    const std::string gone = data.Path() + "/gone";
    ASSERT_EQ(::mkdir(gone.c_str(), 0700), 0);
    ASSERT_EQ(::chdir(gone.c_str()), 0);
    ASSERT_EQ(::rmdir(gone.c_str()), 0);
    modPegdrop::DataPath.clear();
    app().Instance<FrmSplash>();
    EXPECT_EQ(app().Failure(),
              "cannot tell which folder it was started in (No such file or directory)");
    EXPECT_EQ(modPegdrop::DataPath, "") << "never the root";
    EXPECT_EQ(app().Find<FrmSplash>(), nullptr);
    EXPECT_TRUE(cues.paths.empty()) << "nothing is played from a folder that is not there";
}
#endif

TEST_F(Splash, TheDataFolderIsWhereverTheGameIsStarted) {
    // The harness starts every test in a fresh folder, never the test binary's own.
    const std::unique_ptr<char, decltype(&SDL_free)> exeFolder(SDL_GetBasePath(), SDL_free);
    ASSERT_TRUE(exeFolder);
    app().Instance<FrmSplash>();
    EXPECT_EQ(std::string(exeFolder.get()).rfind(modPegdrop::DataPath, 0), std::string::npos);
    data.Write("speed.dat", "42\r\n");
    FrmSplash& s = *app().Find<FrmSplash>();
    s.Show();
    Click(s, 200, 100);
    EXPECT_EQ(modPegdrop::Speed, 42);
}

TEST_F(Splash, EveryClickOpensTheBoardAndKeysDoNothing) {
    for (int where = 0; where < 3; ++where) {
        FrmSplash& s = app().Instance<FrmSplash>();
        s.Show();
        Type(s, "tx");
        PressKey(s, SDLK_RETURN);
        Yield();
        ASSERT_EQ(app().Find<FrmBoard>(), nullptr);
        const ui::Label& label = where == 1 ? s.lblVersion : s.lblCopyright;
        if (where == 0)
            Click(s, 240, 150);
        else
            Click(s, label.Left() + 2, label.Top() + 2);
        EXPECT_EQ(app().Find<FrmSplash>(), nullptr);
        FrmBoard* board = app().Find<FrmBoard>();
        ASSERT_NE(board, nullptr);
        EXPECT_TRUE(board->IsShown());
        EXPECT_TRUE(app().HasWindows());
        board->Unload();
        Yield();
    }
}

TEST_F(Splash, ShowsItsPictureWithTheVersionOverIt) {
    FrmSplash& s = app().Instance<FrmSplash>();
    s.Show();
    const std::vector<std::uint32_t> px = s.ReadPixels();
    // The label sits on the picture: dark text pixels inside it, none of the
    // window's own grey anywhere.
    int dark = 0;
    const ui::Rect r = s.lblVersion.Bounds();
    EXPECT_GT(r.width, 20);
    for (int y = r.top; y < r.top + r.height; ++y)
        for (int x = r.left; x < r.left + r.width; ++x)
            dark += (px[static_cast<std::size_t>(y * 480 + x)] & 0xFF) < 80 &&
                    (px[static_cast<std::size_t>(y * 480 + x)] >> 16 & 0xFF) < 80;
    EXPECT_GT(dark, 10);
}

// The copyright lines are read where the window shows them, as ink that the
// picture does not have, and must stand on the light band with a clear row
// above and below: no border runs through them.
TEST_F(Splash, TheCopyrightLinesStandClearOnTheirBand) {
    FrmSplash& s = app().Instance<FrmSplash>();
    s.Show();
    const std::vector<std::uint32_t> shown = s.ReadPixels();
    const art::Picture picture = art::SplashPicture();
    const ui::Rect r = s.lblCopyright.Bounds();
    int top = r.top + r.height, bottom = -1, left = r.left + r.width, right = -1;
    for (int y = r.top; y < r.top + r.height; ++y)
        for (int x = r.left; x < r.left + r.width; ++x)
            if ((shown[static_cast<std::size_t>(y * 480 + x)] & 0xFFFFFF) !=
                (picture.At(x, y) & 0xFFFFFF)) {
                top = std::min(top, y);
                bottom = std::max(bottom, y);
                left = std::min(left, x);
                right = std::max(right, x);
            }
    ASSERT_GT(bottom - top, 15) << "two lines of text";
    for (int y = top - 1; y <= bottom + 1; ++y)
        for (int x = left - 1; x <= right + 1; ++x) {
            const std::uint32_t p = picture.At(x, y);
            ASSERT_TRUE((p >> 16 & 0xFF) > 200 && (p >> 8 & 0xFF) > 200 && (p & 0xFF) > 120)
                << x << "," << y << " lies under the text and is not the light band";
        }
}

} // namespace
