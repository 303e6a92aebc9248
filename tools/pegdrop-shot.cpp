// Screenshots of the game for the README, made headless: the splash, the board
// at the mode prompt, and a chip on its way down during a tournament.
#include "app/frmSplash.h"
#include "app/modPegdrop.h"
#include "board/frmBoard.h"
#include "png_writer.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

namespace {

bool Save(ui::Window& w, const std::string& path) {
    const std::vector<std::uint32_t> pixels = w.ReadPixels();
    if (!WritePng(path, w.ClientWidth(), w.ClientHeight(), pixels.data())) {
        std::fprintf(stderr, "pegdrop-shot: cannot write %s\n", path.c_str());
        return false;
    }
    return true;
}

// Left and right by turns from the centre: the first chip pays $10,000, so
// the pictures come out the same every time.
class ZigZag final : public pegdrop::RandomSource {
public:
    void Reseed(double) override { next_ = 0; }
    float Next() override { return kDraws[next_++ % 4]; }

private:
    static constexpr float kDraws[4] = {0.25f, 0.25f, 0.25f, 0.75f};
    unsigned next_ = 0;
};

// Lets time pass on the manual clock, ticking timers on the way.
void Advance(ui::ManualClock& clock, std::uint64_t ms) {
    const std::uint64_t target = clock.NowUs() + ms * 1000u;
    while (clock.NowUs() < target) {
        clock.SetUs(std::min(target, ui::App().NextTimerDueUs()));
        ui::App().DoEvents();
    }
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: pegdrop-shot OUTDIR\n");
        return 2;
    }
    const std::string out = argv[1];
    std::error_code error;
    std::filesystem::create_directories(out, error);
    ::setenv("SDL_VIDEODRIVER", "dummy", 1);
    ::setenv("SDL_RENDER_DRIVER", "software", 1);
    auto owned = std::make_unique<ui::ManualClock>();
    ui::ManualClock& clock = *owned;
    ui::Options options;
    options.clock = std::move(owned);
    ui::Application app(std::move(options));
    if (!app.StartError().empty()) {
        std::fprintf(stderr, "pegdrop-shot: %s\n", app.StartError().c_str());
        return 1;
    }
    modPegdrop::SetRandomSource(std::make_unique<ZigZag>());
    FrmSplash& splash = app.Instance<FrmSplash>();
    splash.Show();
    bool ok = Save(splash, out + "/splash.png");
    splash.Form_Click();
    FrmBoard& board = *app.Find<FrmBoard>();
    Advance(clock, 180);
    ok = Save(board, out + "/board.png") && ok;

    // A tournament: the first chip pays, the second is caught halfway down.
    std::int16_t key = 't';
    board.Form_KeyPress(key);
    board.stepWait = [](std::int16_t) { return 0; };
    board.Form_MouseMove(ui::kLeftButton, 0, 300, 100);
    board.DropChip();
    Advance(clock, 2500);
    int step = 0;
    board.stepWait = [&](std::int16_t) {
        if (++step == 170)
            ok = Save(board, out + "/play.png") && ok;
        return 0;
    };
    board.Form_MouseMove(ui::kLeftButton, 0, 262, 100);
    board.DropChip();
    return ok ? 0 : 1;
}
