// Screenshots of the game for the README, made headless: the splash, the board
// at the mode prompt, a chip on its way down during a tournament, the name
// prompt and the top-ten window; and, for the browser's tests, the message
// the speed window gives for a value out of range.
#include "game/data_files.h"
#include "game/frmBoard.h"
#include "game/frmSpeed.h"
#include "game/frmSplash.h"
#include "game/frmTop10.h"
#include "game/modPegdrop.h"
#include "png_writer.h"
#include "tool_args.h"
#include "ui/dialogs.h"

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

void Post(const SDL_Event& event) {
    SDL_Event copy = event;
    SDL_PushEvent(&copy);
}

void PressEnter(ui::Window& dialog) {
    SDL_Event key{};
    key.type = SDL_KEYDOWN;
    key.key.windowID = dialog.NativeId();
    key.key.keysym.sym = SDLK_RETURN;
    Post(key);
}

// Types a name into the dialog and presses Enter, as a player would.
void Answer(ui::Window& dialog, const char* name) {
    SDL_Event text{};
    text.type = SDL_TEXTINPUT;
    text.text.windowID = dialog.NativeId();
    for (const char* c = name; *c != 0; ++c) {
        text.text.text[0] = *c;
        Post(text);
    }
    ui::App().DoEvents();
    PressEnter(dialog);
}

// Lets time pass on the manual clock, ticking timers on the way.
void Advance(platform::ManualClock& clock, std::uint64_t ms) {
    const std::uint64_t target = clock.NowUs() + ms * 1000u;
    while (clock.NowUs() < target) {
        clock.SetUs(std::min(target, ui::App().NextTimerDueUs()));
        ui::App().DoEvents();
    }
}

} // namespace

int main(int argc, char** argv) {
    const tools::ToolInfo tool{
        "pegdrop-shot", "OUTDIR", 1,
        "Plays the game headless and saves the README's screenshots into OUTDIR as PNG files."};
    const tools::OutputFolder output = tools::ReadOutputFolder(tool, argc, argv);
    if (output.exitStatus)
        return *output.exitStatus;
    const std::string& out = output.dir;
    ::setenv("SDL_VIDEODRIVER", "dummy", 1);
    ::setenv("SDL_RENDER_DRIVER", "software", 1);
    // The README's pictures are the same whoever makes them.
    ::setenv("LC_ALL", "C", 1);
    auto owned = std::make_unique<platform::ManualClock>();
    platform::ManualClock& clock = *owned;
    ui::Options options = modPegdrop::ApplicationOptions();
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

    // The end of a tournament, ranked into a table of earlier games kept in a
    // folder of its own.
    std::string folder = (std::filesystem::temp_directory_path() / "pegdrop-shot-XXXXXX").string();
    if (::mkdtemp(folder.data()) == nullptr)
        return 1;
    modPegdrop::DataPath = folder + "/";
    pegdrop::Top10Table table;
    const char* names[] = {"Marguerite", "Olu", "Sam", "Ines", "Tomasz", "Aiko", "Lin"};
    const std::int32_t scores[] = {31200, 22500, 12600, 11100, 10700, 3100, 1800};
    for (std::size_t i = 0; i < std::size(names); ++i)
        table[i] = {names[i], scores[i]};
    std::error_code error;
    // Should the table not be written, the game's own save would fail too,
    // and its message would wait for an answer no one gives.
    if (!pegdrop::WriteTop10File(modPegdrop::DataPath + "top10.dat", table)) {
        std::filesystem::remove_all(folder, error);
        return 1;
    }
    modPegdrop::GameMode = 1;
    modPegdrop::Winnings = 12600;
    app.onModal = [&](ui::Window& dialog) {
        app.onModal = nullptr;
        ui::App().DoEvents();
        ok = Save(dialog, out + "/prompt.png") && ok;
        Answer(dialog, "Dana");
    };
    board.tmrRestart_Timer();
    if (FrmTop10* top10 = app.Find<FrmTop10>())
        ok = Save(*top10, out + "/top10.png") && ok;
    else
        ok = false;
    std::filesystem::remove_all(folder, error);

    // The speed window refusing 0 as the focus leaves its box.
    FrmSpeed& speed = modPegdrop::frmSpeed.Load();
    speed.txtSpeed.SetText("0");
    app.onModal = [&](ui::Window& dialog) {
        app.onModal = nullptr;
        ui::App().DoEvents();
        ok = Save(dialog, out + "/range.png") && ok;
        PressEnter(dialog);
    };
    speed.txtSpeed_LostFocus(&speed.cmdTest);
    if (app.onModal) {
        std::fprintf(stderr, "pegdrop-shot: the speed window took 0\n");
        ok = false;
    }
    return ok ? 0 : 1;
}
