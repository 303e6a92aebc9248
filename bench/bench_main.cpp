// Figures for the event loop, the step wait and the pace of a descent. Run
// under Xvfb for the idle figure: SDL's dummy driver cannot block while it
// waits for events.
#include "descent_timing.h"
#include "game/frmBoard.h"
#include "game/images.h"
#include "game/modPegdrop.h"
#include "rules/board_rules.h"
#include "ui/application.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <ctime>
#include <memory>

namespace {

// The board's idle state: a 180 ms chase lighting pictures, nothing else.
class Idle : public ui::Window {
public:
    Idle()
        : ui::Window("idle", 600, 453), chase(*this, 180, true), stop(*this, 10000, true),
          light(*this, {283, 327, 35, 72}, false, pegdrop::images::LitSlot(5)) {
        SetBackground(pegdrop::images::Board());
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
            cpuAtStop = bench::ProcessCpuSeconds();
            usAtStop = ui::App().GetClock().NowUs();
            ui::App().EndProgram();
        };
        app.DoEvents(); // the first picture sets the renderer up: not idle cost
        const double cpu = bench::ProcessCpuSeconds();
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
        SetBackground(pegdrop::images::Board());
    }
    void Form_Load() override { Show(); }
    ui::Shape chip;
};

// One yield that repaints and presents the board-sized window. The manual
// clock moves a frame on before each, so that every yield presents and no
// real time is spent waiting.
void BM_RepaintYield(benchmark::State& state) {
    ui::Options options;
    auto owned = std::make_unique<platform::ManualClock>();
    platform::ManualClock& clock = *owned;
    options.clock = std::move(owned);
    ui::Application app(std::move(options));
    Busy& w = app.Instance<Busy>();
    int step = 0;
    const std::uint64_t frameUs = static_cast<std::uint64_t>(app.FrameIntervalUs()) + 1;
    const std::uint64_t frames = app.FramesPresented();
    for (auto _ : state) {
        w.chip.Move(200 + step % 200, 8 + step % 300);
        ++step;
        clock.SetUs(clock.NowUs() + frameUs);
        app.DoEvents();
    }
    state.counters["presented_per_yield"] =
        static_cast<double>(app.FramesPresented() - frames) / static_cast<double>(step);
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

// How late the real clock wakes from a sleep to a deadline a few ms off.
void BM_SleepUntilLateness(benchmark::State& state) {
    for (auto _ : state) {
        const bench::Lateness late = bench::SleepLateness(400, 2500);
        state.counters["late_us_mean"] = late.meanUs;
        state.counters["late_us_worst"] = static_cast<double>(late.worstUs);
    }
}
BENCHMARK(BM_SleepUntilLateness)->Iterations(1)->Unit(benchmark::kMillisecond);

// A whole board descent on the real clock: its wall time beside what the
// counts take at 33,000,000 a second, and the CPU it costs.
void BM_BoardDescent(benchmark::State& state) {
    const auto speed = static_cast<std::int16_t>(state.range(0));
    for (auto _ : state) {
        const bench::DescentTiming t = bench::TimeBoardDescent(speed);
        state.counters["wall_s"] = t.wallS;
        state.counters["expected_s"] = t.expectedS;
        state.counters["cpu_percent_of_core"] = t.cpuPercent;
        state.counters["frames"] = static_cast<double>(t.frames);
    }
}
BENCHMARK(BM_BoardDescent)->Arg(1)->Arg(300)->Arg(500)->Iterations(1)->Unit(benchmark::kSecond);

} // namespace

BENCHMARK_MAIN();
