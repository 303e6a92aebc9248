// Figures for the event loop and the step wait. Run under Xvfb for the idle
// figure: SDL's dummy driver cannot block while it waits for events.
#include "app/art.h"
#include "board/rules.h"
#include "ui/application.h"

#include <benchmark/benchmark.h>

#include <ctime>
#include <memory>

namespace {

double ProcessCpuSeconds() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

// The board's idle state: a 180 ms chase lighting pictures, nothing else.
class Idle : public ui::Window {
public:
    Idle()
        : ui::Window("idle", 600, 453), chase(*this, 180, true), stop(*this, 10000, true),
          light(*this, {283, 327, 35, 72}, false, pegdrop::art::LitSlot(5)) {
        SetBackground(pegdrop::art::Board());
        chase.Tick = [this] { light.SetVisible(!light.Visible()); };
        stop.Tick = [] { ui::App().EndProgram(); };
    }
    void Form_Load() override { Show(); }
    ui::Timer chase;
    ui::Timer stop;
    ui::Image light;
};

void BM_IdleChaseCpu(benchmark::State& state) {
    for (auto _ : state) {
        ui::Application app;
        Idle& idle = app.Instance<Idle>();
        // Read at the last tick: taking the window down is not idle cost.
        double cpuAtStop = 0;
        std::uint64_t usAtStop = 0;
        idle.stop.Tick = [&] {
            cpuAtStop = ProcessCpuSeconds();
            usAtStop = ui::App().GetClock().NowUs();
            ui::App().EndProgram();
        };
        app.DoEvents(); // the first picture sets the renderer up: not idle cost
        const double cpu = ProcessCpuSeconds();
        const std::uint64_t wallStart = app.GetClock().NowUs();
        app.Run(); // the window is kept until the handler stack is empty
        const double wall = static_cast<double>(usAtStop - wallStart) * 1e-6;
        state.counters["cpu_percent_of_core"] = 100.0 * (cpuAtStop - cpu) / wall;
        state.counters["frames"] = static_cast<double>(app.FramesPresented());
    }
}
BENCHMARK(BM_IdleChaseCpu)->Iterations(1)->Unit(benchmark::kSecond);

class Busy : public ui::Window {
public:
    Busy()
        : ui::Window("busy", 600, 453),
          chip(*this, {292, 8, 17, 17}, ui::RGB(192, 0, 128), ui::RGB(192, 192, 192)) {
        SetBackground(pegdrop::art::Board());
    }
    void Form_Load() override { Show(); }
    ui::Shape chip;
};

// One yield that repaints and presents the board-sized window; the manual
// clock takes the frame pacing out of the figure.
void BM_RepaintYield(benchmark::State& state) {
    ui::Options options;
    options.clock = std::make_unique<ui::ManualClock>();
    ui::Application app(std::move(options));
    Busy& w = app.Instance<Busy>();
    int step = 0;
    for (auto _ : state) {
        w.chip.Move(200 + step % 200, 8 + step % 300);
        ++step;
        app.DoEvents();
    }
}
BENCHMARK(BM_RepaintYield)->Unit(benchmark::kMicrosecond);

// The step wait must cost in proportion to its counts even at -O2.
void BM_StepWait(benchmark::State& state) {
    const auto speed = static_cast<std::int16_t>(state.range(0));
    for (auto _ : state)
        benchmark::DoNotOptimize(pegdrop::StepWait(speed));
    state.counters["counts"] = pegdrop::StepWaitCounts(speed);
}
BENCHMARK(BM_StepWait)->Arg(1)->Arg(300)->Arg(500)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
