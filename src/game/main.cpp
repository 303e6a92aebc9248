// The entry point: the splash window, then the event loop until no window is left.
#include "art/cues.h"
#include "game/cue_player.h"
#include "game/frmSplash.h"
#include "game/modPegdrop.h"
#include "game/version.h"
#include "platform/console.h"
#include "platform/font_files.h"
#include "platform/paths.h"
#include "platform/settings_path.h"
#include "ui/application.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

constexpr const char* kUsage = "usage: pegdrop [--help | --version]\n";

// The help names the data folder as this run will use it: the pegdrop
// command (packaging/pegdrop.in) starts the game in the folder it names in
// PEGDROP_DATA_FOLDER; started any other way, the game plays where it is.
void PrintHelp() {
    std::printf("%s\nDrop chips down the peg board into the prize slots.\n\n", kUsage);
    const char* data = std::getenv("PEGDROP_DATA_FOLDER");
    const char separator = platform::kPathSeparator;
    if (data != nullptr && *data != '\0')
        std::printf("The game keeps top10.dat and speed.dat in its data folder\n  %s\n"
                    "and plays its sounds from sounds%c there, a link to the cues that\n"
                    "came with it.\n",
                    data, separator);
    else
        std::printf("The game keeps top10.dat and speed.dat in the folder it is started in,\n"
                    "and plays its sounds from sounds%c there.\n",
                    separator);
    std::printf("\nKeys in every window:\n"
                "  Ctrl+M                mute or unmute every cue\n"
                "  Ctrl+Plus, Ctrl+=     every window one whole scale larger\n"
                "  Ctrl+Minus            every window one whole scale smaller\n"
                "  Ctrl+0                every window back at the automatic scale\n"
                "  F11, Alt+Enter        the window with the keys fills the screen, or comes back\n"
                "\nA game controller, plugged in at any time:\n"
                "  Left stick, d-pad     on the board, aim the chip (the stick as fast as pushed)\n"
                "  A                     on the board, drop the chip; elsewhere, the default\n"
                "                        or focused button (Play again, OK)\n"
                "  B                     the cancel button (Exit, Cancel)\n"
                "  d-pad                 in the other windows, move the focus\n"
                "The mute and the chosen scale are kept in %s.\n",
                platform::kSettingsFileWords);
    std::printf("\nPEGDROP_SCALE=N opens every window at N times its size (1 to 8),\n"
                "over a scale chosen with the keys.\n"
                "PEGDROP_DESKTOP=composited shows every window on one desktop of the game's\n"
                "own, as a browser page shows them.\n");
}

// The game takes no arguments of its own besides these two, each alone.
int Arguments(int argc, char** argv) {
    if (argc == 1)
        return -1;
    platform::UseStartingConsole();
    const bool help = std::strcmp(argv[1], "--help") == 0;
    const bool version = std::strcmp(argv[1], "--version") == 0;
    if (argc == 2 && help) {
        PrintHelp();
        return 0;
    }
    if (argc == 2 && version) {
        std::printf("pegdrop %s\n", pegdrop::kVersion);
        return 0;
    }
    // The first argument that is not taken: after a good one, the next.
    const char* wrong = help || version ? argv[2] : argv[1];
    std::fprintf(stderr, "pegdrop: unexpected argument '%s'\n%s", wrong, kUsage);
    return 2;
}

// make bench's start figure: with PEGDROP_FIRST_FRAME_FILE set, the steady
// clock's reading when the first picture is on the screen goes to that file.
void ReportFirstFrame() {
    const auto now = std::chrono::steady_clock::now().time_since_epoch();
    modPegdrop::ReportTiming(
        "PEGDROP_FIRST_FRAME_FILE",
        std::to_string(std::chrono::duration_cast<std::chrono::nanoseconds>(now).count()), false);
}

#ifdef __EMSCRIPTEN__
// A cue that cannot be written is only not heard: the cue player already
// plays on without it.
void MakeCues(const std::string& folder) {
    for (const art::Cue& cue : art::SynthesiseCues())
        if (!art::WriteWavFile(folder + cue.fileName, cue))
            std::fprintf(stderr, "pegdrop: cannot make the cue %s\n", cue.fileName.c_str());
}
#endif

} // namespace

int main(int argc, char** argv) {
    if (const int status = Arguments(argc, argv); status >= 0)
        return status;
    // The folder first: a game that cannot tell where its files are goes no
    // further, and says only that, not what it found of the display or sound.
    if (const std::string reason = modPegdrop::UseStartFolder(); !reason.empty()) {
        std::fprintf(stderr, "pegdrop: %s\n", reason.c_str());
        return 1;
    }
    platform::StartFontLookups();
    modPegdrop::UseSettings();
    if (const std::string fonts = platform::MissingShippedFonts(); !fonts.empty())
        std::fprintf(stderr, "pegdrop: no %s with the game's faces: drawing in the system's own\n",
                     fonts.c_str());
    // The sound card is opened once the splash is on the screen, which it
    // need not wait for; the opening cue, asked for as the splash loads,
    // starts as the device opens.
    pegdrop::CuePlayer cues(pegdrop::CuePlayer::Opening::Later);
    ui::Options options = modPegdrop::ApplicationOptions();
    options.firstPicture = [&cues] {
        ReportFirstFrame();
#ifdef __EMSCRIPTEN__
        // The page makes its cues rather than download them: 1.5 MB less
        // before the first picture, for a fraction of a second after it.
        MakeCues("/cues/");
#endif
        cues.Open();
        // Every cue ready before any can fall due in the middle of a fall.
        cues.Preload(modPegdrop::SoundPath);
        modPegdrop::PrepareWindowsAhead();
    };
    ui::Application app(std::move(options));
    if (!app.StartError().empty()) {
        std::fprintf(stderr, "pegdrop: cannot open a window: %s\n", app.StartError().c_str());
        return 1;
    }
    modPegdrop::SetSoundSink(&cues);
    FrmSplash& splash = app.Instance<FrmSplash>();
    splash.Show();
    app.Run();
    modPegdrop::SetSoundSink(nullptr);
    if (!app.Failure().empty()) {
        std::fprintf(stderr, "pegdrop: %s\n", app.Failure().c_str());
        return 1;
    }
    return 0;
}
