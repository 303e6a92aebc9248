// The entry point: the splash window, then the event loop until no window is left.
#include "game/cue_player.h"
#include "game/frmSplash.h"
#include "game/modPegdrop.h"
#include "game/version.h"
#include "platform/console.h"
#include "ui/application.h"

#include <cstdio>
#include <cstring>

namespace {

constexpr const char* kUsage = "usage: pegdrop [--help | --version]\n";

// The game takes no arguments of its own; its data folder is the folder it is
// started in.
int Arguments(int argc, char** argv) {
    if (argc == 1)
        return -1;
    platform::UseStartingConsole();
    if (argc == 2 && std::strcmp(argv[1], "--help") == 0) {
        std::printf("%s\nDrop chips down the peg board into the prize slots. The game keeps\n"
                    "top10.dat and speed.dat in the folder it is started in, and plays\n"
                    "its sounds from sounds/ there.\n",
                    kUsage);
        return 0;
    }
    if (argc == 2 && std::strcmp(argv[1], "--version") == 0) {
        std::printf("pegdrop %d.%d.%d\n", pegdrop::kVersionMajor, pegdrop::kVersionMinor,
                    pegdrop::kVersionRevision);
        return 0;
    }
    std::fprintf(stderr, "pegdrop: unexpected argument '%s'\n%s", argv[1], kUsage);
    return 2;
}

} // namespace

int main(int argc, char** argv) {
    if (const int status = Arguments(argc, argv); status >= 0)
        return status;
    ui::Application app(modPegdrop::ApplicationOptions());
    if (!app.StartError().empty()) {
        std::fprintf(stderr, "pegdrop: cannot open a window: %s\n", app.StartError().c_str());
        return 1;
    }
    pegdrop::CuePlayer cues;
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
