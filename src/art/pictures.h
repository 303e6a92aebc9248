// The game's pictures, painted by code: the splash, the board with its prize
// slots, the lit slots, the speed window's test board and the window icon.
// Plain code; the window layer turns them into textures.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

namespace art {

struct Picture {
    int width = 0, height = 0;
    std::vector<std::uint32_t>
        pixels; // 0xAARRGGBB, row-major, opaque (A = 255) but for the desktop icon

    std::uint32_t At(int x, int y) const {
        return pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(width) +
                      static_cast<std::size_t>(x)];
    }
};

inline constexpr int kSplashWidth = 479, kSplashHeight = 336;
inline constexpr int kBoardWidth = 600, kBoardHeight = 400;
inline constexpr int kTestBoardWidth = 130, kTestBoardHeight = 212;
// Where the test-board picture sits in the speed window.
inline constexpr int kTestBoardLeft = 115, kTestBoardTop = 60;
inline constexpr int kIconSize = 32;
// The muted mark: a speaker struck through, in the white corner below the
// board's title, left of the walls.
inline constexpr int kMutedMarkLeft = 10, kMutedMarkTop = 38, kMutedMarkSize = 22;
// The board's red score field lies exactly under the scoreboard label.
inline constexpr int kScoreFieldLeft = 61, kScoreFieldTop = 150;
inline constexpr int kScoreFieldWidth = 90, kScoreFieldHeight = 23;

// The colours that the pictures promise to other code (and the tests).
inline constexpr std::uint32_t kPegGrey = 0xFF707070;
inline constexpr std::uint32_t kWallYellow = 0xFFFFFF00;
inline constexpr std::uint32_t kScoreRed = 0xFFE60000; // the scoreboard label's own fill
inline constexpr std::uint32_t kFieldWhite = 0xFFFFFFFF;

Picture SplashPicture();          // 479 x 336
Picture BoardPicture();           // 600 x 400
Picture LitSlotPicture(int slot); // slot 1..9; the size of its image control
Picture TestBoardPicture();       // 130 x 212
Picture IconPicture();            // 32 x 32
Picture MutedMarkPicture();       // the board's own part under it, with the mark

// Every picture a window shows: the build draws each once and builds its
// pixels into the game (art/built_pictures.h).
enum class PictureId {
    Splash,
    Board,
    LitSlot1, // ... LitSlot9 follow in order
    TestBoard = LitSlot1 + 9,
    Icon,
    MutedMark,
};
inline constexpr int kPictureCount = static_cast<int>(PictureId::MutedMark) + 1;
inline constexpr PictureId LitSlotId(int slot) { // slot 1..9
    return static_cast<PictureId>(static_cast<int>(PictureId::LitSlot1) + slot - 1);
}
Picture DrawPicture(PictureId id);

// The icon the desktop shows for the game, drawn afresh at each size of the
// icon theme, of a Windows .ico and of the page's manifest; the tile's rounded corners are
// transparent. Empty outside the range of those sizes.
inline constexpr std::array<int, 5> kDesktopIconSizes = {32, 48, 64, 128, 256};
// Windows also asks for 16 (lists, the title bar) and 24 (the taskbar at some scales).
inline constexpr std::array<int, 7> kWindowsIconSizes = {16, 24, 32, 48, 64, 128, 256};
// A browser installs the page as an app only with these two in its manifest.
inline constexpr std::array<int, 2> kWebIconSizes = {192, 512};
Picture DesktopIconPicture(int size); // size x size, with alpha

} // namespace art
