// pegdrop-odds --chart: the expected prize of every release x as a line, and
// beside it the nine slot chances at the best release x as bars.
#pragma once

#include "art/pictures.h"

#include <array>
#include <string>
#include <vector>

namespace pegdrop {

struct OddsChartData {
    std::vector<int> releaseX;    // every even x from 200 to 400
    std::vector<double> expected; // dollars, one per releaseX
    // The highest expected prize is held over a run of x: bestFrom..bestTo
    // holds bestX, the one nearest the chip's starting x 300.
    int bestFrom = 0, bestTo = 0, bestX = 0;
    std::array<double, 9> bestOdds{};
};

OddsChartData ChartData();

// Where the chart puts things, so that a reader of the picture can find them.
namespace chart {
inline constexpr int kWidth = 800, kHeight = 370;
// The line chart's plot area.
inline constexpr int kPlotLeft = 80, kPlotRight = 500, kPlotTop = 60, kPlotBottom = 330;
inline constexpr double kPlotMaxDollars = 3000;
// The bars: slot s (1..9) fills [BarLeft(s), BarLeft(s) + kBarWidth) up from kPlotBottom.
inline constexpr int kBarsLeft = 560, kBarPitch = 26, kBarWidth = 20;
inline constexpr double kBarsMaxChance = 0.3;

inline constexpr std::uint32_t kLineColour = 0xFF1F5FBF;
inline constexpr std::uint32_t kBarColour = 0xFFD08A1C;

float PlotX(double releaseX);
float PlotY(double dollars);
int BarLeft(int slot);
float BarTop(double chance);
} // namespace chart

art::Picture OddsChartPicture(const OddsChartData& data);

// Draws ChartData() into a PNG file.
bool WriteOddsChart(const std::string& path);

} // namespace pegdrop
