#include "odds.h"

#include "odds_args.h"
#include "odds_chart.h"
#include "rules/descent.h"
#include "rules/test_lattice.h"

#include <algorithm>
#include <cstdio>
#include <utility>

namespace pegdrop {
namespace {

// One step of the chip, a direction choice answered with pick. Returns whether
// the step asked for one. The cue's digit never moves the chip, so any answer
// to it does.
bool StepWith(const Lattice& lattice, ChipMotion& chip, std::int16_t pick) {
    bool asked = false;
    AdvanceChip(lattice, chip, [&](Choice choice) {
        if (choice != Choice::Direction)
            return 1;
        asked = true;
        return static_cast<int>(pick);
    });
    return asked;
}

std::string Fixed(double value, int digits) {
    char text[64];
    std::snprintf(text, sizeof text, "%.*f", digits, value);
    return text;
}

void PrintTable(std::ostream& out) {
    out << "release_x,slot1,slot2,slot3,slot4,slot5,slot6,slot7,slot8,slot9,expected_value\n";
    for (int x = kAimMinX; x <= kAimMaxX; x += 2) {
        const std::array<double, 9> odds = SlotOdds(x);
        out << x;
        for (double p : odds)
            out << ',' << Fixed(p, 12);
        out << ',' << Fixed(ExpectedPrize(odds), 4) << '\n';
    }
}

void PrintTestBoardEnds(std::ostream& out) {
    out << "end_x,probability\n";
    for (const auto& [x, p] :
         EndDistribution(TestBoardLattice(), kTestStartX, kTestStartY, kTestEndY))
        out << x << ',' << Fixed(p, 12) << '\n';
}

void PrintSteps(std::ostream& out, const Trace& trace) {
    for (const TraceStep& s : trace.steps)
        out << s.y << ',' << s.x << ',' << s.direction << ',' << (s.bounce ? 1 : 0) << '\n';
}

int Fail(std::ostream& err, const std::string& message) {
    err << "pegdrop-odds: " << message << '\n' << OddsUsage() << '\n';
    return 2;
}

// A scripted fall must use its choices exactly: one too few cannot finish it,
// and one too many would be silently dropped.
int FailChoiceCount(std::ostream& err, const std::string& fall, const Trace& trace,
                    std::size_t given) {
    if (trace.status == TraceStatus::TooFewChoices)
        return Fail(err, fall + " needs more than " + std::to_string(given) + " choices");
    return Fail(err, fall + " uses " + std::to_string(trace.choicesUsed) + " choices, not " +
                         std::to_string(given));
}

bool ChoiceCountWrong(const Trace& trace, std::size_t given) {
    return trace.status == TraceStatus::TooFewChoices || trace.choicesUsed != given;
}

} // namespace

std::map<int, double> EndDistribution(const Lattice& lattice, int startX, int startY, int endY) {
    // The whole state of a falling chip between steps is its x and direction.
    using State = std::pair<std::int16_t, std::int16_t>;
    std::map<State, double> now{{{static_cast<std::int16_t>(startX), kStraight}, 1.0}};
    for (int y = startY; y < endY; ++y) {
        std::map<State, double> next;
        for (const auto& [state, p] : now) {
            ChipMotion left{state.first, static_cast<std::int16_t>(y), state.second};
            if (!StepWith(lattice, left, kLeft)) {
                next[{left.x, left.direction}] += p;
                continue;
            }
            ChipMotion right{state.first, static_cast<std::int16_t>(y), state.second};
            StepWith(lattice, right, kRight);
            next[{left.x, left.direction}] += p / 2;
            next[{right.x, right.direction}] += p / 2;
        }
        now = std::move(next);
    }
    std::map<int, double> ends;
    for (const auto& [state, p] : now)
        ends[state.first] += p;
    return ends;
}

std::array<double, 9> SlotOdds(int releaseX) {
    std::array<double, 9> odds{};
    // An end between two ranges is dropped, so the odds then no longer sum to 1.
    for (const auto& [x, p] : EndDistribution(BoardLattice(), releaseX, kChipTopY, kChipLandY))
        if (const Slot* slot = SlotForX(x))
            odds[static_cast<std::size_t>(slot->number - 1)] += p;
    return odds;
}

double ExpectedPrize(const std::array<double, 9>& odds) {
    double sum = 0;
    for (std::size_t i = 0; i < odds.size(); ++i)
        sum += odds[i] * kSlots[i].prize;
    return sum;
}

Trace TraceDescent(const Lattice& lattice, int startX, int startY, int endY,
                   std::string_view choices) {
    Trace trace;
    ChipMotion chip{static_cast<std::int16_t>(startX), static_cast<std::int16_t>(startY),
                    kStraight};
    while (chip.y < endY) {
        TraceStatus status = TraceStatus::Ok;
        const int digit = AdvanceChip(lattice, chip, [&](Choice choice) {
            if (choice != Choice::Direction)
                return 1;
            if (trace.choicesUsed == choices.size()) {
                status = TraceStatus::TooFewChoices;
                return static_cast<int>(kLeft);
            }
            const char c = choices[trace.choicesUsed++];
            if (c != '1' && c != '2')
                status = TraceStatus::BadChoice;
            return c == '2' ? static_cast<int>(kRight) : static_cast<int>(kLeft);
        });
        if (status != TraceStatus::Ok) {
            trace.status = status;
            return trace;
        }
        trace.steps.push_back({chip.y, chip.x, chip.direction, digit != 0});
    }
    trace.endX = chip.x;
    return trace;
}

Trace TraceRelease(int releaseX, std::string_view choices) {
    Trace trace = TraceDescent(BoardLattice(), releaseX, kChipTopY, kChipLandY, choices);
    if (trace.status == TraceStatus::Ok)
        trace.slot = SlotForX(trace.endX);
    return trace;
}

int RunOddsCli(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    const OddsCommand command = ParseOddsArgs(args);
    switch (command.action) {
    case OddsAction::Wrong:
        return Fail(err, command.error);
    case OddsAction::Help:
        out << OddsUsage() << '\n';
        return 0;
    case OddsAction::Version:
        out << OddsVersion() << '\n';
        return 0;
    case OddsAction::Table:
        PrintTable(out);
        return 0;
    case OddsAction::TestBoardEnds:
        PrintTestBoardEnds(out);
        return 0;
    case OddsAction::Chart:
        if (!WriteOddsChart(command.chartPath)) {
            err << "pegdrop-odds: cannot write " << command.chartPath << '\n';
            return 1;
        }
        return 0;
    case OddsAction::TestBoardTrace: {
        const Trace trace =
            TraceDescent(TestBoardLattice(), kTestStartX, kTestStartY, kTestEndY, command.choices);
        if (ChoiceCountWrong(trace, command.choices.size()))
            return FailChoiceCount(err, "the test run", trace, command.choices.size());
        PrintSteps(out, trace);
        out << "end," << trace.endX << '\n';
        return 0;
    }
    case OddsAction::Trace:
        break;
    }
    const Trace trace = TraceRelease(command.releaseX, command.choices);
    if (ChoiceCountWrong(trace, command.choices.size()))
        return FailChoiceCount(err, "the fall from " + std::to_string(command.releaseX), trace,
                               command.choices.size());
    if (trace.slot == nullptr)
        return Fail(err,
                    "the fall ended at x " + std::to_string(trace.endX) + ", between two slots");
    PrintSteps(out, trace);
    out << "slot," << trace.slot->number << ',' << trace.slot->prize << '\n';
    return 0;
}

} // namespace pegdrop
