// The entry point: the splash window, then the event loop until no window is left.
#include "app/cue_player.h"
#include "app/frmSplash.h"
#include "app/modPegdrop.h"
#include "ui/application.h"

#include <cstdio>

int main() {
    ui::Application app;
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
    return 0;
}
