// Exact landing odds, scripted traces and the pegdrop-odds command line.
#include "board/lattice.h"
#include "board/slots.h"
#include "odds.h"
#include "speed/test_lattice.h"

#include <gtest/gtest.h>

#include <regex>
#include <sstream>
#include <string>
#include <vector>

namespace pegdrop {
namespace {

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

std::vector<std::string> Fields(const std::string& line) {
    std::vector<std::string> fields;
    std::istringstream in(line);
    for (std::string f; std::getline(in, f, ',');)
        fields.push_back(f);
    return fields;
}

TEST(SlotOdds, CentreReleaseFollowsTheBinomialRow) {
    const std::array<double, 9> odds = SlotOdds(300);
    const std::array<double, 9> in1024 = {10, 46, 120, 210, 252, 210, 120, 46, 10};
    for (std::size_t i = 0; i < 9; ++i)
        EXPECT_EQ(odds[i] * 1024, in1024[i]) << "slot " << i + 1;
    EXPECT_EQ(ExpectedPrize(odds), 2808000.0 / 1024);
}

TEST(SlotOdds, EveryReleaseSumsToOneAndMirrorsAboutTheCentre) {
    for (int x = kAimMinX; x <= kAimMaxX; ++x) {
        SCOPED_TRACE(x);
        const std::array<double, 9> odds = SlotOdds(x);
        double sum = 0;
        for (double p : odds) {
            EXPECT_GE(p, 0.0);
            sum += p;
        }
        EXPECT_DOUBLE_EQ(sum, 1.0);
        // The walls act at different heights in the first band, which only
        // the falls off the outermost peg centres feel.
        const std::array<double, 9> mirror = SlotOdds(600 - x);
        bool mirrored = true;
        for (std::size_t i = 0; i < 9; ++i)
            mirrored = mirrored && odds[i] == mirror[8 - i];
        EXPECT_EQ(mirrored, x != 216 && x != 384);
    }
}

TEST(EndDistribution, TestBoardRunEndsAtSevenPlaces) {
    const std::map<int, double> ends =
        EndDistribution(TestBoardLattice(), kTestStartX, kTestStartY, kTestEndY);
    std::map<int, double> in64;
    for (const auto& [x, p] : ends)
        in64[x] = p * 64;
    EXPECT_EQ(in64, (std::map<int, double>{
                        {117, 2}, {155, 5}, {156, 15}, {180, 20}, {204, 15}, {205, 5}, {242, 2}}));
}

// Every choice sequence a fall can consume, each weighted by 1/2 per choice.
void AddEveryTrace(int release, const std::string& choices, double weight,
                   std::array<double, 9>& odds) {
    const Trace trace = TraceRelease(release, choices);
    if (trace.status == TraceStatus::TooFewChoices) {
        AddEveryTrace(release, choices + '1', weight / 2, odds);
        AddEveryTrace(release, choices + '2', weight / 2, odds);
        return;
    }
    ASSERT_EQ(trace.status, TraceStatus::Ok);
    ASSERT_EQ(trace.choicesUsed, choices.size());
    ASSERT_NE(trace.slot, nullptr) << "end " << trace.endX;
    odds[static_cast<std::size_t>(trace.slot->number - 1)] += weight;
}

TEST(TraceRelease, AllScriptedFallsReproduceTheExactOdds) {
    for (int release : {200, 251, 300, 333, 387}) {
        SCOPED_TRACE(release);
        std::array<double, 9> traced{};
        AddEveryTrace(release, "", 1.0, traced);
        const std::array<double, 9> exact = SlotOdds(release);
        for (std::size_t i = 0; i < 9; ++i)
            EXPECT_EQ(traced[i], exact[i]) << "slot " << i + 1;
    }
}

TEST(TraceRelease, RecordsEachStepAfterItsMove) {
    const Trace trace = TraceRelease(300, std::string(20, '2'));
    ASSERT_EQ(trace.status, TraceStatus::Ok);
    ASSERT_EQ(trace.steps.size(), 300u);
    int x = 300;
    for (std::size_t i = 0; i < trace.steps.size(); ++i) {
        const TraceStep& s = trace.steps[i];
        EXPECT_EQ(s.y, kChipTopY + 1 + static_cast<int>(i));
        const int move = s.direction == kLeft ? -1 : s.direction == kRight ? 1 : 0;
        EXPECT_EQ(s.x, x + move) << "y " << s.y;
        x = s.x;
    }
    EXPECT_EQ(trace.endX, x);
    EXPECT_FALSE(trace.steps[57 - 17].bounce);
    EXPECT_TRUE(trace.steps[58 - 17].bounce);

    EXPECT_EQ(TraceRelease(300, "").status, TraceStatus::TooFewChoices);
    EXPECT_EQ(TraceRelease(300, "12x").status, TraceStatus::BadChoice);
    const Trace straight = TraceRelease(206, "");
    ASSERT_EQ(straight.status, TraceStatus::Ok);
    ASSERT_NE(straight.slot, nullptr);
    EXPECT_EQ(straight.slot->number, 1);
    EXPECT_EQ(straight.choicesUsed, 0u);
}

struct CliRun {
    int code;
    std::string out, err;
};

CliRun Cli(const std::vector<std::string>& args) {
    std::ostringstream out, err;
    const int code = RunOddsCli(args, out, err);
    return {code, out.str(), err.str()};
}

TEST(OddsCli, TableHasOneExactRowPerEvenRelease) {
    const CliRun run = Cli({});
    ASSERT_EQ(run.code, 0);
    EXPECT_TRUE(run.err.empty());
    const std::vector<std::string> lines = Lines(run.out);
    ASSERT_EQ(lines.size(), 102u);
    EXPECT_EQ(lines[0],
              "release_x,slot1,slot2,slot3,slot4,slot5,slot6,slot7,slot8,slot9,expected_value");
    const std::regex probability(R"([01]\.\d{12})");
    const std::regex dollars(R"(\d+\.\d{4})");
    for (int row = 1; row <= 101; ++row) {
        const std::vector<std::string> f = Fields(lines[static_cast<std::size_t>(row)]);
        ASSERT_EQ(f.size(), 11u) << lines[static_cast<std::size_t>(row)];
        const int x = 198 + 2 * row;
        EXPECT_EQ(f[0], std::to_string(x));
        const std::array<double, 9> odds = SlotOdds(x);
        for (std::size_t i = 0; i < 9; ++i) {
            EXPECT_TRUE(std::regex_match(f[i + 1], probability)) << f[i + 1];
            EXPECT_NEAR(std::stod(f[i + 1]), odds[i], 5e-13);
        }
        EXPECT_TRUE(std::regex_match(f[10], dollars)) << f[10];
        EXPECT_NEAR(std::stod(f[10]), ExpectedPrize(odds), 5e-5 + 1e-9);
    }
    EXPECT_EQ(lines[51], "300,0.009765625000,0.044921875000,0.117187500000,0.205078125000,"
                         "0.246093750000,0.205078125000,0.117187500000,0.044921875000,"
                         "0.009765625000,2742.1875");
}

TEST(OddsCli, TracePrintsEveryStepAndTheSlot) {
    const CliRun run = Cli({"--trace", "300", "--choices", "1111111111111111"});
    ASSERT_EQ(run.code, 0) << run.err;
    const std::vector<std::string> lines = Lines(run.out);
    ASSERT_EQ(lines.size(), 301u);
    EXPECT_EQ(lines[0], "17,300,0,0");
    EXPECT_EQ(lines[41], "58,299,1,1"); // the first bounce, sent left
    const Trace trace = TraceRelease(300, "1111111111111111");
    ASSERT_NE(trace.slot, nullptr);
    EXPECT_EQ(lines[299], "316," + std::to_string(trace.endX) + "," +
                              std::to_string(trace.steps.back().direction) + ",0");
    EXPECT_EQ(lines[300], "slot," + std::to_string(trace.slot->number) + "," +
                              std::to_string(trace.slot->prize));

    EXPECT_EQ(Cli({"--choices", "1111111111111111", "--trace", "300"}).out, run.out);
    const CliRun straight = Cli({"--trace", "394", "--choices", ""});
    ASSERT_EQ(straight.code, 0) << straight.err;
    EXPECT_EQ(Lines(straight.out).back(), "slot,9,100");
    const CliRun odd = Cli({"--trace", "205", "--choices", "2"});
    ASSERT_EQ(odd.code, 0) << odd.err;
    EXPECT_EQ(Lines(odd.out).back(), "slot,1,100");
}

TEST(OddsCli, TestBoardPrintsItsSevenEndsExactly) {
    const CliRun run = Cli({"--test-board"});
    ASSERT_EQ(run.code, 0) << run.err;
    EXPECT_TRUE(run.err.empty());
    EXPECT_EQ(run.out, "end_x,probability\n"
                       "117,0.031250000000\n"
                       "155,0.078125000000\n"
                       "156,0.234375000000\n"
                       "180,0.312500000000\n"
                       "204,0.234375000000\n"
                       "205,0.078125000000\n"
                       "242,0.031250000000\n");
}

TEST(OddsCli, TestBoardTraceSlidesPastTheLeftmostColumnToTheWall) {
    // Left at every choice: the chip meets the last B row at x 138 and goes on
    // left past 120, which is no stop.
    const CliRun run = Cli({"--test-board", "--trace", "--choices", "11111"});
    ASSERT_EQ(run.code, 0) << run.err;
    const std::vector<std::string> lines = Lines(run.out);
    ASSERT_EQ(lines.size(), 189u);
    const std::pair<int, const char*> steps[] = {
        {73, "73,180,0,0"},   {100, "100,179,1,1"}, {195, "195,138,2,0"}, {196, "196,137,1,1"},
        {216, "216,117,1,0"}, {217, "217,117,0,0"}, {220, "220,116,1,1"}, {221, "221,116,0,0"},
        {237, "237,116,0,0"}, {238, "238,117,2,1"}, {260, "260,117,0,0"},
    };
    for (const auto& [y, line] : steps)
        EXPECT_EQ(lines[static_cast<std::size_t>(y - kTestStartY - 1)], line);
    EXPECT_EQ(lines.back(), "end,117");
    EXPECT_EQ(Cli({"--choices", "11111", "--trace", "--test-board"}).out, run.out);
}

TEST(OddsCli, BadArgumentsGiveOneErrorLineAndExitTwo) {
    const std::vector<std::vector<std::string>> bad = {
        {"--trace", "199", "--choices", "1"},
        {"--trace", "401", "--choices", "1"},
        {"--trace", "300.0", "--choices", "1"},
        {"--trace", "3e2", "--choices", "1"},
        {"--trace", " 300", "--choices", "1"},
        {"--trace", "", "--choices", "1"},
        {"--trace", "300", "--choices", "1"}, // too few choices
        {"--trace", "300", "--choices", "12a"},
        {"--trace", "300"},
        {"--choices", "1"},
        {"--trace", "--choices", "1"},
        {"--trace", "300", "--choices"},
        {"--trace", "300", "--trace", "300", "--choices", "1"},
        {"--trace", "300", "--choices", "1", "extra"},
        {"--help"},
        {"--trace=300", "--choices=1"},
        {"--test-board", "--test-board"},
        {"--test-board", "--choices", "11111"},
        {"--test-board", "--trace"},
        {"--test-board", "--trace", "--choices", "1111"}, // too few choices
        {"--test-board", "--trace", "--choices", "11a11"},
        {"--test-board", "--trace", "180", "--choices", "11111"},
        {"--test-board", "--trace", "--trace", "--choices", "11111"},
        {"--test-board", "--trace", "--choices"},
        {"--test-board", "extra"},
        {"--test-board=1"},
    };
    for (const std::vector<std::string>& args : bad) {
        const CliRun run = Cli(args);
        std::string joined;
        for (const std::string& a : args)
            joined += "[" + a + "]";
        EXPECT_EQ(run.code, 2) << joined;
        EXPECT_TRUE(run.out.empty()) << joined;
        EXPECT_EQ(Lines(run.err).size(), 1u) << joined << ": " << run.err;
        EXPECT_FALSE(run.err.empty() || run.err.back() != '\n') << joined;
    }
    EXPECT_EQ(Cli({"--trace", "300", "--choices", "111111111111"}).code, 0);
}

} // namespace
} // namespace pegdrop
