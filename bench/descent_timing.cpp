#include "descent_timing.h"

#include "game/frmBoard.h"
#include "game/modPegdrop.h"
#include "platform/clock.h"
#include "rules/board_rules.h"
#include "ui/application.h"

#include <algorithm>
#include <ctime>

namespace bench {

double ProcessCpuSeconds() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

DescentTiming TimeBoardDescent(std::int16_t speed) {
    modPegdrop::ResetSharedState();
    ui::Application app;
    FrmBoard& board = app.Instance<FrmBoard>();
    std::int16_t key = 't';
    board.Form_KeyPress(key);
    app.DoEvents();
    modPegdrop::Speed = speed;
    const std::uint64_t frames = app.FramesPresented();
    const double cpu = ProcessCpuSeconds();
    const std::uint64_t start = app.GetClock().NowUs();
    board.DropChip();
    DescentTiming t;
    t.wallS = static_cast<double>(app.GetClock().NowUs() - start) * 1e-6;
    t.cpuPercent = 100.0 * (ProcessCpuSeconds() - cpu) / t.wallS;
    t.expectedS = 300.0 * pegdrop::StepWaitCounts(speed) / pegdrop::kReferenceCountsPerSecond;
    t.frames = app.FramesPresented() - frames;
    app.EndProgram();
    app.DoEvents();
    return t;
}

Lateness SleepLateness(int sleeps, std::uint64_t aheadUs) {
    platform::RealClock clock;
    std::uint64_t total = 0;
    Lateness l;
    for (int i = 0; i < sleeps; ++i) {
        const std::uint64_t deadline = clock.NowUs() + aheadUs;
        clock.SleepUntilUs(deadline);
        const std::uint64_t late = clock.NowUs() - deadline;
        total += late;
        l.worstUs = std::max(l.worstUs, late);
    }
    l.meanUs = static_cast<double>(total) / std::max(sleeps, 1);
    return l;
}

} // namespace bench
