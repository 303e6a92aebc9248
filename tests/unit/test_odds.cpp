// Exact landing odds, scripted traces and the pegdrop-odds command line.
#include "odds.h"
#include "odds_args.h"
#include "odds_chart.h"
#include "rules/lattice.h"
#include "rules/slots.h"
#include "rules/test_lattice.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <fstream>
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
    const CliRun run = Cli({"--trace", "300", "--choices", "111111111"});
    ASSERT_EQ(run.code, 0) << run.err;
    const std::vector<std::string> lines = Lines(run.out);
    ASSERT_EQ(lines.size(), 301u);
    EXPECT_EQ(lines[0], "17,300,0,0");
    EXPECT_EQ(lines[41], "58,299,1,1"); // the first bounce, sent left
    const Trace trace = TraceRelease(300, "111111111");
    ASSERT_NE(trace.slot, nullptr);
    EXPECT_EQ(lines[299], "316," + std::to_string(trace.endX) + "," +
                              std::to_string(trace.steps.back().direction) + ",0");
    EXPECT_EQ(lines[300], "slot," + std::to_string(trace.slot->number) + "," +
                              std::to_string(trace.slot->prize));

    EXPECT_EQ(Cli({"--choices", "111111111", "--trace", "300"}).out, run.out);
    const CliRun straight = Cli({"--trace", "394", "--choices", ""});
    ASSERT_EQ(straight.code, 0) << straight.err;
    EXPECT_EQ(Lines(straight.out).back(), "slot,9,100");
    const CliRun odd = Cli({"--trace", "205", "--choices", ""});
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

TEST(OddsCli, BadArgumentsGiveOneErrorLineAndTheUsageAndExitTwo) {
    const std::vector<std::vector<std::string>> bad = {
        {"--trace", "199", "--choices", "1"},
        {"--trace", "401", "--choices", "1"},
        {"--trace", "300.0", "--choices", "1"},
        {"--trace", "3e2", "--choices", "1"},
        {"--trace", " 300", "--choices", "1"},
        {"--trace", "", "--choices", "1"},
        {"--trace", "300", "--choices", "11111111"},   // one too few
        {"--trace", "300", "--choices", "1111111111"}, // one too many
        {"--trace", "206", "--choices", "1"},          // a straight fall takes none
        {"--trace", "300", "--choices", "12a"},
        {"--trace", "300", "--choices", "111\n111"},
        {"--trace", "300"},
        {"--choices", "1"},
        {"--trace", "--choices", "1"},
        {"--trace", "300", "--choices"},
        {"--trace", "300", "--trace", "300", "--choices", "1"},
        {"--trace", "300", "--choices", "1", "extra"},
        {"--trace=300", "--choices=1"},
        {"--test-board", "--test-board"},
        {"--test-board", "--choices", "11111"},
        {"--test-board", "--trace"},
        {"--test-board", "--trace", "--choices", "1111"},   // one too few
        {"--test-board", "--trace", "--choices", "111111"}, // one too many
        {"--test-board", "--trace", "--choices", "11a11"},
        {"--test-board", "--trace", "180", "--choices", "11111"},
        {"--test-board", "--trace", "--trace", "--choices", "11111"},
        {"--test-board", "--trace", "--choices"},
        {"--test-board", "extra"},
        {"--test-board=1"},
        {"unknown\nargument"},
        {"--help", "--help"},
        {"--trace", "300", "--choices", "111111111", "--help"},
        {"--version", "--test-board"},
        {"--chart"},
        {"--chart", ""},
        {"--chart", "--help"},
        {"--chart", "a.png", "b.png"},
        {"--test-board", "--chart", "a.png"},
    };
    for (const std::vector<std::string>& args : bad) {
        const CliRun run = Cli(args);
        std::string joined;
        for (const std::string& a : args)
            joined += "[" + a + "]";
        EXPECT_EQ(run.code, 2) << joined;
        EXPECT_TRUE(run.out.empty()) << joined;
        const std::vector<std::string> lines = Lines(run.err);
        ASSERT_EQ(lines.size(), 2u) << joined << ": " << run.err;
        EXPECT_TRUE(lines[0].starts_with("pegdrop-odds: ")) << joined;
        EXPECT_EQ(lines[1], OddsUsage()) << joined;
        EXPECT_EQ(run.err.back(), '\n') << joined;
    }
}

TEST(OddsCli, HelpAndVersionAnswerOnStdoutAndExitZero) {
    const CliRun help = Cli({"--help"});
    EXPECT_EQ(help.code, 0);
    EXPECT_EQ(help.out, OddsUsage() + "\n");
    EXPECT_TRUE(help.err.empty());
    EXPECT_TRUE(help.out.starts_with("usage: pegdrop-odds "));
    for (const char* option :
         {"--trace X", "--choices DIGITS", "--test-board", "--chart FILE.png", "--version"})
        EXPECT_NE(help.out.find(option), std::string::npos) << option;

    const CliRun version = Cli({"--version"});
    EXPECT_EQ(version.code, 0);
    EXPECT_TRUE(version.err.empty());
    EXPECT_TRUE(std::regex_match(version.out, std::regex(R"(pegdrop-odds \d+\.\d+\.\d+\.\d+\n)")))
        << version.out;
    EXPECT_EQ(version.out, OddsVersion() + "\n");
}

TEST(ParseOddsArgs, OrderDoesNotMatterAndEveryCommandIsComplete) {
    const OddsCommand trace = ParseOddsArgs({"--trace", "250", "--choices", "2121"});
    EXPECT_EQ(trace.action, OddsAction::Trace);
    EXPECT_EQ(trace.releaseX, 250);
    EXPECT_EQ(trace.choices, "2121");
    EXPECT_TRUE(trace.error.empty());
    EXPECT_EQ(ParseOddsArgs({"--choices", "2121", "--trace", "250"}), trace);

    const OddsCommand testTrace = ParseOddsArgs({"--test-board", "--trace", "--choices", "12"});
    EXPECT_EQ(testTrace.action, OddsAction::TestBoardTrace);
    EXPECT_EQ(testTrace.choices, "12");
    EXPECT_EQ(ParseOddsArgs({"--choices", "12", "--trace", "--test-board"}), testTrace);
    EXPECT_EQ(ParseOddsArgs({"--trace", "--choices", "12", "--test-board"}), testTrace);

    EXPECT_EQ(ParseOddsArgs({}).action, OddsAction::Table);
    EXPECT_EQ(ParseOddsArgs({"--test-board"}).action, OddsAction::TestBoardEnds);
    const OddsCommand chart = ParseOddsArgs({"--chart", "-odd name.png"});
    EXPECT_EQ(chart.action, OddsAction::Chart);
    EXPECT_EQ(chart.chartPath, "-odd name.png");

    // An argument shown in the message cannot break it into two lines.
    const OddsCommand wrong = ParseOddsArgs({"a\rb\nc"});
    EXPECT_EQ(wrong.action, OddsAction::Wrong);
    EXPECT_EQ(wrong.error.find_first_of("\r\n"), std::string::npos) << wrong.error;
}

TEST(OddsChart, BestReleaseIsTheCentralPlateau) {
    const OddsChartData data = ChartData();
    ASSERT_EQ(data.releaseX.size(), 101u);
    ASSERT_EQ(data.expected.size(), 101u);
    EXPECT_EQ(data.releaseX.front(), 200);
    EXPECT_EQ(data.releaseX.back(), 400);
    EXPECT_EQ(data.bestX, 300);
    EXPECT_EQ(data.bestFrom, 290);
    EXPECT_EQ(data.bestTo, 310);
    EXPECT_EQ(data.bestOdds, SlotOdds(300));
    for (std::size_t i = 0; i < data.releaseX.size(); ++i) {
        const bool onPlateau = data.releaseX[i] >= 290 && data.releaseX[i] <= 310;
        EXPECT_EQ(data.expected[i] == 2808000.0 / 1024, onPlateau) << data.releaseX[i];
    }
}

// The rows a column of the picture has in one exact colour, top first.
std::vector<int> InkRows(const art::Picture& pic, int x, std::uint32_t colour, int top,
                         int bottom) {
    std::vector<int> rows;
    for (int y = top; y < bottom; ++y)
        if (pic.At(x, y) == colour)
            rows.push_back(y);
    return rows;
}

TEST(OddsChart, LineFollowsTheExpectedPrizeAndBarsTheChances) {
    const OddsChartData data = ChartData();
    const art::Picture pic = OddsChartPicture(data);
    ASSERT_EQ(pic.width, chart::kWidth);
    ASSERT_EQ(pic.height, chart::kHeight);

    // Between two release points the line's core runs between their heights.
    for (std::size_t i = 0; i + 1 < data.releaseX.size(); i += 5) {
        const int x = static_cast<int>(
            std::lround((chart::PlotX(data.releaseX[i]) + chart::PlotX(data.releaseX[i + 1])) / 2));
        SCOPED_TRACE(data.releaseX[i]);
        const std::vector<int> rows =
            InkRows(pic, x, chart::kLineColour, chart::kPlotTop - 10, chart::kPlotBottom + 2);
        ASSERT_FALSE(rows.empty());
        const float a = chart::PlotY(data.expected[i]);
        const float b = chart::PlotY(data.expected[i + 1]);
        const float low = std::min(a, b), high = std::max(a, b);
        EXPECT_GE(rows.front(), low - 4);
        EXPECT_LE(rows.back(), high + 4);
    }
    // The straight fall from 206 into the $100 slot dips the line.
    const int dip = static_cast<int>(std::lround(chart::PlotX(206)));
    const std::vector<int> rows =
        InkRows(pic, dip, chart::kLineColour, chart::kPlotTop, chart::kPlotBottom + 2);
    ASSERT_FALSE(rows.empty());
    EXPECT_NEAR(rows.back(), chart::PlotY(data.expected[3]), 3);

    for (int slot = 1; slot <= 9; ++slot) {
        SCOPED_TRACE(slot);
        const int middle = chart::BarLeft(slot) + chart::kBarWidth / 2;
        const std::vector<int> bar = InkRows(pic, middle, chart::kBarColour, 0, pic.height);
        ASSERT_FALSE(bar.empty());
        EXPECT_EQ(bar.back(), chart::kPlotBottom - 1);
        EXPECT_EQ(bar.size(), static_cast<std::size_t>(bar.back() - bar.front() + 1));
        const double chance = data.bestOdds[static_cast<std::size_t>(slot - 1)];
        EXPECT_NEAR(bar.front(), chart::BarTop(chance), 1.0);
        EXPECT_EQ(pic.At(chart::BarLeft(slot) - 1, chart::kPlotBottom - 1) == chart::kBarColour,
                  false);
    }
}

TEST(OddsCli, ChartIsWrittenAsAPngOrExitsOne) {
    const std::string path = ::testing::TempDir() + "odds-chart-test.png";
    std::remove(path.c_str());
    const CliRun run = Cli({"--chart", path});
    ASSERT_EQ(run.code, 0) << run.err;
    EXPECT_TRUE(run.out.empty());
    std::ifstream in(path, std::ios::binary);
    std::string head(24, '\0');
    ASSERT_TRUE(in.read(head.data(), 24));
    EXPECT_EQ(head.substr(0, 8), "\x89PNG\r\n\x1a\n");
    const auto be32 = [&](std::size_t at) {
        return static_cast<unsigned char>(head[at]) << 24 |
               static_cast<unsigned char>(head[at + 1]) << 16 |
               static_cast<unsigned char>(head[at + 2]) << 8 |
               static_cast<unsigned char>(head[at + 3]);
    };
    EXPECT_EQ(be32(16), chart::kWidth);
    EXPECT_EQ(be32(20), chart::kHeight);
    std::remove(path.c_str());

    const CliRun fail = Cli({"--chart", "/nonexistent-folder/chart.png"});
    EXPECT_EQ(fail.code, 1);
    EXPECT_TRUE(fail.out.empty());
    EXPECT_EQ(Lines(fail.err).size(), 1u) << fail.err;
}

} // namespace
} // namespace pegdrop
