// The figures make bench prints after Google Benchmark's, each beside its
// goal: the start to the splash's first frame beside a bare SDL2 program's,
// peak memory, idle CPU with the top-ten window open, the 180 ms chase
// timer's error, and how long a cue waits for the sound card. Each is
// measured inside the program: the game's own start, and the game's windows,
// timers and cue player on the real clock. Run under an X server (make bench
// starts Xvfb), with the sound on SDL's disk driver.
#include "art/pictures.h"
#include "bare_window.h"
#include "game/cue_player.h"
#include "game/frmBoard.h"
#include "game/frmSpeed.h"
#include "game/frmSplash.h"
#include "game/frmTop10.h"
#include "game/modPegdrop.h"
#include "platform/font_files.h"
#include "ui/application.h"

#include <SDL.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <functional>
#include <random>
#include <string>
#include <thread>
#include <vector>

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

std::int64_t NowNs() {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(Clock::now().time_since_epoch())
        .count();
}

double ProcessCpuSeconds() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    const std::size_t n = v.size();
    return n % 2 == 1 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

double Worst(const std::vector<double>& v) {
    return *std::max_element(v.begin(), v.end());
}

[[noreturn]] void Fail(const std::string& why) {
    std::fprintf(stderr, "pegdrop-figures: %s\n", why.c_str());
    std::exit(1);
}

// A data folder whose sounds/ reaches the built cues, as the launcher lays it.
fs::path DataFolder(const fs::path& under, const std::string& name) {
    const fs::path folder = under / name;
    fs::create_directories(folder);
    fs::create_symlink(PEGDROP_CUES_DIR, folder / "sounds");
    return folder;
}

// Peak resident memory of a running process, in MB, from /proc.
double PeakMegabytes(pid_t pid) {
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmHWM:", 0) == 0)
            return std::stod(line.substr(6)) / 1024.0;
    return 0;
}

struct Start {
    double ms = 0;     // from just before the fork to the first picture presented
    double peakMb = 0; // the process's peak resident memory by then
};

// Starts a program in `folder` and waits for the steady-clock reading it
// writes at its first picture; then ends it.
Start TimeStart(const std::vector<std::string>& command, const fs::path& folder,
                const fs::path& report) {
    fs::remove(report);
    std::vector<char*> argv;
    for (const std::string& a : command)
        argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    const std::int64_t before = NowNs();
    const pid_t pid = fork();
    if (pid == 0) {
        // SDL's disk driver announces itself on every start.
        if (const int quiet = open("/dev/null", O_WRONLY); quiet >= 0)
            dup2(quiet, STDERR_FILENO);
        if (chdir(folder.c_str()) == 0)
            execv(argv[0], argv.data());
        _exit(127);
    }
    if (pid < 0)
        Fail("cannot start " + command[0]);
    Start start;
    std::string text;
    for (int waited = 0; waited < 40000; ++waited) {
        std::ifstream in(report);
        if (std::getline(in, text) && in.good())
            break;
        text.clear();
        int status = 0;
        if (waitpid(pid, &status, WNOHANG) == pid)
            Fail(command[0] + " ended before its first picture");
        std::this_thread::sleep_for(std::chrono::microseconds(500));
    }
    if (text.empty())
        Fail(command[0] + " showed no picture in 20 s");
    start.ms = static_cast<double>(std::stoll(text) - before) / 1e6;
    start.peakMb = PeakMegabytes(pid);
    kill(pid, SIGKILL);
    waitpid(pid, nullptr, 0);
    return start;
}

// Runs the game's loop for a while: input, due timers, pictures.
void Pump(ui::Application& app, double seconds) {
    const auto until = Clock::now() + std::chrono::duration<double>(seconds);
    while (Clock::now() < until && app.HasWindows()) {
        app.DoEvents();
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
}

struct Row {
    std::string figure, measured, goal;
    bool met;
};

// Which window an opening times: the game's, or a bare one of its size put
// up first, in the same state, before the game's opens untimed. Each is thus
// the first window of its size the process shows at that point: a second
// one of the same size comes up faster, and the floor would gain by it.
enum class Timed { Game, Bare };

// The bare window's time, or the game's from the handler that opens its
// window to that window's first picture presented. The game's window's size
// on the screen goes to `size`; a bare window takes it from there.
template <class W>
double TimeOpen(ui::Application& app, const std::function<void()>& open, Timed timed,
                SDL_Point& size) {
    Pump(app, 0.2); // no picture of another window just before: nothing to wait for
    double bareMs = 0;
    if (timed == Timed::Bare) {
        const std::int64_t before = NowNs();
        const BareWindow bare("floor", size.x, size.y);
        bareMs = static_cast<double>(NowNs() - before) / 1e6;
        if (!bare.Shown())
            Fail(std::string("no bare window: ") + SDL_GetError());
    }
    const std::int64_t before = NowNs();
    open();
    for (int yields = 0; yields < 1000000; ++yields) {
        W* w = app.Find<W>();
        if (w != nullptr && w->IsShown() && !w->NeedsPaint()) {
            const double ms = static_cast<double>(NowNs() - before) / 1e6;
            size = {w->ClientWidth() * w->Scale(), w->ClientHeight() * w->Scale()};
            return timed == Timed::Bare ? bareMs : ms;
        }
        app.DoEvents();
    }
    Fail("a window never showed its first picture");
}

constexpr int kWindowFigures = 3; // the board, the speed window, the top-ten window

struct Opening {
    double ms = 0;
    SDL_Point size{};
};

// pegdrop-figures --windows FILE [WxH ...], in a data folder: the game starts
// as main does and opens each window for the first time. Without sizes the
// game's windows are timed; with them, a bare window of each size is timed
// in its place. Each opening's ms and size go to FILE, a line each.
int OpenWindowsOnce(const char* file, char** sizes) {
    if (const std::string reason = modPegdrop::UseStartFolder(); !reason.empty())
        Fail(reason);
    pegdrop::CuePlayer cues(pegdrop::CuePlayer::Opening::Later);
    ui::Options options = modPegdrop::ApplicationOptions();
    options.firstPicture = [&cues] {
        cues.Open();
        cues.Preload(modPegdrop::SoundPath);
        modPegdrop::PrepareWindowsAhead();
    };
    ui::Application app(std::move(options));
    if (!app.StartError().empty())
        Fail("cannot open a window: " + app.StartError());
    modPegdrop::SetSoundSink(&cues);
    FrmSplash& splash = app.Instance<FrmSplash>();
    splash.Show();
    const Timed timed = sizes != nullptr ? Timed::Bare : Timed::Game;
    Opening opened[kWindowFigures];
    for (int w = 0; w < kWindowFigures && sizes != nullptr; ++w)
        if (std::sscanf(sizes[w], "%dx%d", &opened[w].size.x, &opened[w].size.y) != 2)
            Fail("a size is WxH");
    opened[0].ms = TimeOpen<FrmBoard>(
        app, [&] { splash.Form_Click(); }, timed, opened[0].size);
    FrmBoard* board = app.Find<FrmBoard>();
    const auto press = [board](std::int16_t key) { board->Form_KeyPress(key); };
    press('f');
    opened[1].ms = TimeOpen<FrmSpeed>(
        app, [&] { press('S'); }, timed, opened[1].size);
    modPegdrop::frmSpeed.Unload();
    opened[2].ms = TimeOpen<FrmTop10>(
        app, [] { modPegdrop::frmTop10.Load(); }, timed, opened[2].size);
    std::ofstream out(file);
    for (const Opening& o : opened)
        out << o.ms << " " << o.size.x << "x" << o.size.y << "\n";
    modPegdrop::SetSoundSink(nullptr);
    return 0;
}

// Runs OpenWindowsOnce in a fresh process: a window's first opening is the
// one a player waits for. With `sizes`, bare windows of those sizes are timed.
std::vector<Opening> WindowTimes(const fs::path& folder, const fs::path& report,
                                 const std::vector<std::string>& sizes) {
    fs::remove(report);
    const pid_t pid = fork();
    if (pid == 0) {
        if (const int quiet = open("/dev/null", O_WRONLY); quiet >= 0)
            dup2(quiet, STDERR_FILENO);
        std::vector<char*> argv{const_cast<char*>("pegdrop-figures"),
                                const_cast<char*>("--windows"), const_cast<char*>(report.c_str())};
        for (const std::string& s : sizes)
            argv.push_back(const_cast<char*>(s.c_str()));
        argv.push_back(nullptr);
        if (chdir(folder.c_str()) == 0)
            execv("/proc/self/exe", argv.data());
        _exit(127);
    }
    int status = 0;
    if (pid < 0 || waitpid(pid, &status, 0) != pid || !WIFEXITED(status) ||
        WEXITSTATUS(status) != 0)
        Fail("the windows' run failed");
    std::ifstream in(report);
    std::vector<Opening> times;
    Opening o;
    char x = 0;
    while (in >> o.ms >> o.size.x >> x >> o.size.y)
        times.push_back(o);
    if (times.size() != kWindowFigures)
        Fail("the windows' run wrote " + std::to_string(times.size()) + " times");
    return times;
}

} // namespace

int main(int argc, char** argv) {
    if (argc >= 3 && std::string(argv[1]) == "--windows")
        return OpenWindowsOnce(argv[2], argc == 3 + kWindowFigures ? argv + 3 : nullptr);
    const fs::path work =
        fs::temp_directory_path() / ("pegdrop-figures." + std::to_string(getpid()));
    fs::create_directories(work);
    struct Cleanup {
        fs::path path;
        ~Cleanup() { fs::remove_all(path); }
    } cleanup{work};
    // Every sound goes to SDL's disk driver: a device that takes samples at
    // the sound card's pace on any machine.
    setenv("SDL_AUDIODRIVER", "disk", 1);
    setenv("SDL_DISKAUDIOFILE", "/dev/null", 1);
    std::vector<Row> rows;

    // --- The start, the game's and the floor's in turn, 11 times each.
    platform::FontFile font;
    if (!platform::MatchFontFile("Liberation Sans", false, font) || font.file.empty())
        Fail("no Liberation Sans for the floor's font");
    const fs::path report = work / "first-frame";
    setenv("PEGDROP_FIRST_FRAME_FILE", report.c_str(), 1);
    const fs::path startFolder = DataFolder(work, "start");
    std::vector<double> game, floor, gamePeak;
    for (int run = 0; run < 11; ++run) {
        const Start g = TimeStart({PEGDROP_GAME_BINARY}, startFolder, report);
        game.push_back(g.ms);
        gamePeak.push_back(g.peakMb);
        floor.push_back(TimeStart({PEGDROP_FLOOR_BINARY, font.file}, startFolder, report).ms);
    }
    unsetenv("PEGDROP_FIRST_FRAME_FILE");
    const double ratio = Median(game) / Median(floor);
    char text[160];
    std::snprintf(text, sizeof text, "%.1f ms (floor %.1f ms): %.2f x", Median(game), Median(floor),
                  ratio);
    rows.push_back({"start to the splash's first frame, median of 11", text, "<= 1.1 x the floor",
                    ratio <= 1.1});

    // --- Each window's first opening beside a bare window's, each in 11
    // processes of its own, in turn.
    std::vector<std::vector<double>> opens(2 * kWindowFigures);
    for (int run = 0; run < 11; ++run) {
        const std::vector<Opening> game = WindowTimes(startFolder, report, {});
        std::vector<std::string> sizes;
        for (const Opening& o : game)
            sizes.push_back(std::to_string(o.size.x) + "x" + std::to_string(o.size.y));
        const std::vector<Opening> bare = WindowTimes(startFolder, report, sizes);
        for (int w = 0; w < kWindowFigures; ++w) {
            opens[2 * w].push_back(game[w].ms);
            opens[2 * w + 1].push_back(bare[w].ms);
        }
    }
    const char* const windowNames[kWindowFigures] = {"the board after the splash's click",
                                                     "the speed window and its test board",
                                                     "the top-ten window"};
    std::vector<Row> windowRows;
    for (int w = 0; w < kWindowFigures; ++w) {
        const double game = Median(opens[2 * w]), bare = Median(opens[2 * w + 1]);
        std::snprintf(text, sizeof text, "%.2f ms (bare window %.2f ms): %.2f x", game, bare,
                      game / bare);
        windowRows.push_back({std::string("first frame of ") + windowNames[w] + ", median of 11",
                              text, "<= 1.1 x the bare", game / bare <= 1.1});
    }

    // --- The game's own windows on the real clock: the splash, a fun game
    // of one chip, and the top-ten window after it.
    const fs::path session = DataFolder(work, "session");
    if (chdir(session.c_str()) != 0)
        Fail("cannot enter " + session.string());
    modPegdrop::ResetSharedState();
    if (const std::string reason = modPegdrop::UseStartFolder(); !reason.empty())
        Fail(reason);
    ui::Application app(modPegdrop::ApplicationOptions());
    if (!app.StartError().empty())
        Fail("cannot open a window: " + app.StartError());
    pegdrop::CuePlayer cues;
    if (!cues.HasDevice())
        Fail("SDL's disk audio driver opened no device");
    modPegdrop::SetSoundSink(&cues);
    FrmSplash& splash = app.Instance<FrmSplash>();
    splash.Show();
    Pump(app, 0.5);

    // A cue's wait for the sound card: from PlaySound to the device taking
    // its first samples, 30 times at uneven moments.
    std::vector<double> cueWait;
    std::mt19937 gaps(7);
    for (int play = 0; play < 30; ++play) {
        Pump(app, std::uniform_real_distribution<double>(0.05, 0.15)(gaps));
        const std::int64_t last = cues.LastCueStartNs();
        const std::int64_t asked = NowNs();
        modPegdrop::PlaySound("ding.wav");
        for (int waited = 0; cues.LastCueStartNs() == last && waited < 100000; ++waited)
            std::this_thread::sleep_for(std::chrono::microseconds(20));
        if (cues.LastCueStartNs() == last)
            Fail("the disk driver never took ding.wav");
        cueWait.push_back(static_cast<double>(cues.LastCueStartNs() - asked) / 1e6);
    }
    std::snprintf(text, sizeof text, "median %.1f ms, worst %.1f ms", Median(cueWait),
                  Worst(cueWait));
    rows.push_back({"PlaySound to the cue's first sample (disk driver), 30 plays", text, "<= 25 ms",
                    Worst(cueWait) <= 25.0});

    splash.Form_Click();
    FrmBoard* board = app.Find<FrmBoard>();
    if (board == nullptr)
        Fail("a click on the splash opened no board");
    std::int16_t key = 'f';
    board->Form_KeyPress(key);
    key = '1';
    board->Form_KeyPress(key);
    std::int16_t down = ui::kKeyDown;
    board->Form_KeyDown(down, 0);
    for (int waited = 0; waited < 300 && app.Find<FrmTop10>() == nullptr; ++waited)
        Pump(app, 0.1);
    FrmTop10* top10 = app.Find<FrmTop10>();
    if (top10 == nullptr)
        Fail("no top-ten window 30 s after the chip was dropped");
    // Its first row flickers, as after a tournament that made the table.
    top10->NewEntryRow = 1;

    // Idle: the top-ten window open over the board, whose 180 ms chase runs
    // on; 100 ticks of it, on the game's own loop, then 100 more with a game
    // controller plugged in (SDL's virtual one), which the loop reads a frame
    // at a time.
    std::vector<std::uint64_t> ticks;
    std::vector<double> cpu;
    std::vector<double> idle;
    ui::JoystickPtr pad;
    const std::function<void()> chase = board->tmrFlash.Tick;
    board->tmrFlash.Tick = [&] {
        ticks.push_back(app.GetClock().NowUs());
        chase();
        if ((ticks.size() - 1) % 100 != 0)
            return;
        cpu.push_back(ProcessCpuSeconds());
        if (ticks.size() > 1) {
            const double wall =
                static_cast<double>(ticks.back() - ticks[ticks.size() - 101]) * 1e-6;
            idle.push_back(100.0 * (cpu.back() - cpu[cpu.size() - 2]) / wall);
        }
        if (ticks.size() == 101) {
            SDL_VirtualJoystickDesc desc{};
            desc.version = SDL_VIRTUAL_JOYSTICK_DESC_VERSION;
            desc.type = SDL_JOYSTICK_TYPE_GAMECONTROLLER;
            desc.naxes = SDL_CONTROLLER_AXIS_MAX;
            desc.nbuttons = SDL_CONTROLLER_BUTTON_MAX;
            pad.reset(SDL_JoystickOpen(SDL_JoystickAttachVirtualEx(&desc)));
        } else if (ticks.size() == 201) {
            app.EndProgram();
        }
    };
    app.Run();
    modPegdrop::SetSoundSink(nullptr);
    if (!pad)
        Fail(std::string("no virtual game controller: ") + SDL_GetError());
    pad.reset();
    if (idle.size() < 2)
        Fail("the chase stopped after " + std::to_string(ticks.size()) + " ticks");
    std::vector<double> late;
    for (std::size_t i = 1; i < ticks.size(); ++i)
        late.push_back(std::abs(static_cast<double>(ticks[i] - ticks[i - 1]) - 180000.0) / 1000.0);
    std::snprintf(text, sizeof text, "%.2f %% of a core", idle[0]);
    rows.push_back({"idle CPU, top-ten window open, 18 s", text, "<= 0.5 %", idle[0] <= 0.5});
    std::snprintf(text, sizeof text, "%.2f %% of a core", idle[1]);
    rows.push_back(
        {"idle CPU, the same with a game controller plugged in", text, "<= 2 %", idle[1] <= 2.0});
    std::snprintf(text, sizeof text, "median %.2f ms, worst %.2f ms", Median(late), Worst(late));
    rows.push_back(
        {"180 ms chase timer's error, 200 ticks", text, "median <= 2 ms", Median(late) <= 2.0});

    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    const double sessionPeak = static_cast<double>(usage.ru_maxrss) / 1024.0;
    std::snprintf(text, sizeof text, "%.1f MB through a game; the game alone %.1f MB at its splash",
                  sessionPeak, Median(gamePeak));
    rows.push_back({"peak RSS", text, "<= 40 MB", sessionPeak <= 40.0});
    // The part of the start the floor has no counterpart for: the splash
    // picture, drawn by our own code at four samples a pixel each way. Drawn
    // after the peak is read, which it would raise by its samples.
    std::vector<double> drawing;
    for (int run = 0; run < 5; ++run) {
        const std::int64_t before = NowNs();
        const art::Picture splashPicture = art::SplashPicture();
        drawing.push_back(static_cast<double>(NowNs() - before) / 1e6);
    }
    std::snprintf(text, sizeof text, "%.1f ms", Median(drawing));
    rows.insert(rows.begin() + 1,
                {"  drawing the splash picture (done by the build), median of 5", text, "", true});
    rows.insert(rows.begin() + 2, windowRows.begin(), windowRows.end());

    std::printf("\n%-68s %-52s %-18s %s\n", "figure", "measured", "goal", "");
    for (const Row& r : rows)
        std::printf("%-68s %-52s %-18s %s\n", r.figure.c_str(), r.measured.c_str(), r.goal.c_str(),
                    r.goal.empty() ? ""
                    : r.met        ? "met"
                                   : "NOT MET");
    return 0;
}
