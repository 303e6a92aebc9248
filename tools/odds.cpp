#include "odds.h"

#include "board/descent.h"
#include "speed/test_lattice.h"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <optional>
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
    err << "pegdrop-odds: " << message << '\n';
    return 2;
}

int FailTooFewChoices(std::ostream& err, const std::string& fall, std::size_t given) {
    return Fail(err, fall + " needs more than " + std::to_string(given) + " choices");
}

std::optional<int> ParseRelease(const std::string& text) {
    int x = 0;
    const char* end = text.data() + text.size();
    const auto [last, ec] = std::from_chars(text.data(), end, x);
    if (text.empty() || ec != std::errc() || last != end || x < kAimMinX || x > kAimMaxX)
        return std::nullopt;
    return x;
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
    if (args.empty()) {
        PrintTable(out);
        return 0;
    }
    // The test run always starts at the same place, so there --trace takes no value.
    const bool onTestBoard = std::ranges::find(args, "--test-board") != args.end();
    bool testBoard = false;
    bool testTrace = false;
    std::optional<std::string> release;
    std::optional<std::string> choices;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& option = args[i];
        bool* flag = option == "--test-board"             ? &testBoard
                     : option == "--trace" && onTestBoard ? &testTrace
                                                          : nullptr;
        if (flag != nullptr) {
            if (*flag)
                return Fail(err, option + " given twice");
            *flag = true;
            continue;
        }
        std::optional<std::string>* value = option == "--trace"     ? &release
                                            : option == "--choices" ? &choices
                                                                    : nullptr;
        if (value == nullptr)
            return Fail(err, "unknown argument '" + option + "'");
        if (value->has_value())
            return Fail(err, option + " given twice");
        if (i + 1 == args.size() || args[i + 1].starts_with("--"))
            return Fail(err, option + " needs a value");
        *value = args[++i];
    }
    if (testBoard && !testTrace && !choices) {
        PrintTestBoardEnds(out);
        return 0;
    }
    if (testBoard && !testTrace)
        return Fail(err, "--choices needs --trace");
    if (!testBoard && !release)
        return Fail(err, "--trace X is missing");
    if (!choices)
        return Fail(err, "--choices DIGITS is missing");
    std::optional<int> x;
    if (!testBoard && !(x = ParseRelease(*release)))
        return Fail(err,
                    "release x must be a whole number from 200 to 400, not '" + *release + "'");
    if (choices->find_first_not_of("12") != std::string::npos)
        return Fail(err, "choices must be digits 1 (left) and 2 (right), not '" + *choices + "'");

    if (testBoard) {
        const Trace trace =
            TraceDescent(TestBoardLattice(), kTestStartX, kTestStartY, kTestEndY, *choices);
        if (trace.status == TraceStatus::TooFewChoices)
            return FailTooFewChoices(err, "the test run", choices->size());
        PrintSteps(out, trace);
        out << "end," << trace.endX << '\n';
        return 0;
    }
    const Trace trace = TraceRelease(*x, *choices);
    if (trace.status == TraceStatus::TooFewChoices)
        return FailTooFewChoices(err, "the fall from " + std::to_string(*x), choices->size());
    if (trace.slot == nullptr)
        return Fail(err,
                    "the fall ended at x " + std::to_string(trace.endX) + ", between two slots");
    PrintSteps(out, trace);
    out << "slot," << trace.slot->number << ',' << trace.slot->prize << '\n';
    return 0;
}

} // namespace pegdrop
