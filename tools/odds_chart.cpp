#include "odds_chart.h"

#include "art/draw_canvas.h"
#include "art/draw_glyphs.h"
#include "odds.h"
#include "png_writer.h"
#include "rules/board_rules.h"
#include "rules/lattice.h"
#include "rules/slots.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <optional>

namespace pegdrop {

using namespace art::draw;

OddsChartData ChartData() {
    OddsChartData data;
    for (int x = kAimMinX; x <= kAimMaxX; x += 2) {
        data.releaseX.push_back(x);
        data.expected.push_back(ExpectedPrize(SlotOdds(x)));
    }
    const double best = *std::ranges::max_element(data.expected);
    // Sums of the same chances in another order may differ in the last bits.
    const auto isBest = [&](std::size_t i) { return data.expected[i] > best - 1e-9; };
    const auto offCentre = [&](std::size_t i) { return std::abs(data.releaseX[i] - kChipStartX); };
    std::optional<std::size_t> nearest;
    for (std::size_t i = 0; i < data.releaseX.size(); ++i)
        if (isBest(i) && (!nearest || offCentre(i) < offCentre(*nearest)))
            nearest = i;
    const std::size_t at = *nearest;
    std::size_t from = at, to = at;
    while (from > 0 && isBest(from - 1))
        --from;
    while (to + 1 < data.releaseX.size() && isBest(to + 1))
        ++to;
    data.bestX = data.releaseX[at];
    data.bestFrom = data.releaseX[from];
    data.bestTo = data.releaseX[to];
    data.bestOdds = SlotOdds(data.bestX);
    return data;
}

namespace chart {

float PlotX(double releaseX) {
    return static_cast<float>(kPlotLeft + (releaseX - kAimMinX) * (kPlotRight - kPlotLeft) /
                                              (kAimMaxX - kAimMinX));
}

float PlotY(double dollars) {
    return static_cast<float>(kPlotBottom - dollars * (kPlotBottom - kPlotTop) / kPlotMaxDollars);
}

int BarLeft(int slot) {
    return kBarsLeft + (slot - 1) * kBarPitch + (kBarPitch - kBarWidth) / 2;
}

float BarTop(double chance) {
    return static_cast<float>(kPlotBottom - chance * (kPlotBottom - kPlotTop) / kBarsMaxChance);
}

} // namespace chart

namespace {

constexpr Rgb kGround = Hex(0xFAF8F0);
constexpr Rgb kInk = Hex(0x202020);
constexpr Rgb kGrid = Hex(0xDCD8CC);
constexpr Rgb kLine = Hex(chart::kLineColour & 0xFFFFFF);
constexpr Rgb kBar = Hex(chart::kBarColour & 0xFFFFFF);

const TextStyle kTitle{.size = 11, .weight = 1.1f};
const TextStyle kLabel{.size = 7, .weight = 0.7f};
const TextStyle kSmall{.size = 6, .weight = 0.6f};

void Text(Canvas& c, const std::string& text, float x, float top, const TextStyle& style) {
    PaintText(c, text, {x, top}, style, {.fill = Paint::Solid(kInk)});
}

void Centred(Canvas& c, const std::string& text, float cx, float top, const TextStyle& style) {
    PaintText(c, text, CentredText(text, style, cx, top), style, {.fill = Paint::Solid(kInk)});
}

void RightAligned(Canvas& c, const std::string& text, float right, float top,
                  const TextStyle& style) {
    Text(c, text, right - TextWidth(text, style), top, style);
}

std::string Dollars(double value) {
    return "$" + GroupThousands(static_cast<std::int32_t>(value + 0.5));
}

std::string Chance(double p) {
    char text[16];
    std::snprintf(text, sizeof text, "%.3f", p);
    return text;
}

// Short enough to sit under a bar: 10K for 10,000.
std::string PrizeLabel(int prize) {
    return prize >= 1000 ? std::to_string(prize / 1000) + "K" : std::to_string(prize);
}

void PaintLineChart(Canvas& c, const OddsChartData& data) {
    using namespace chart;
    const auto left = static_cast<float>(kPlotLeft), right = static_cast<float>(kPlotRight);
    for (int dollars = 0; dollars <= kPlotMaxDollars; dollars += 500) {
        const float y = PlotY(dollars);
        c.FillRect(left, y - 0.5f, right, y + 0.5f, Paint::Solid(dollars == 0 ? kInk : kGrid));
        RightAligned(c, Dollars(dollars), left - 6, y - kLabel.size / 2, kLabel);
    }
    for (int x = kAimMinX; x <= kAimMaxX; x += 50) {
        const float px = PlotX(x);
        c.FillRect(px - 0.5f, static_cast<float>(kPlotBottom), px + 0.5f,
                   static_cast<float>(kPlotBottom) + 4, Paint::Solid(kInk));
        Centred(c, std::to_string(x), px, kPlotBottom + 8, kLabel);
    }
    Centred(c, "RELEASE X", (left + right) / 2, kPlotBottom + 24, kLabel);
    Text(c, "EXPECTED PRIZE OF A CHIP", left, 24, kTitle);

    std::vector<Point> line;
    for (std::size_t i = 0; i < data.releaseX.size(); ++i)
        line.push_back({PlotX(data.releaseX[i]), PlotY(data.expected[i])});
    c.StrokePolyline(line, 1.3f, Paint::Solid(kLine));

    const double best = *std::ranges::max_element(data.expected);
    const float y = PlotY(best);
    for (int x : {data.bestFrom, data.bestTo})
        c.FillCircle(PlotX(x), y, 3, Paint::Solid(kLine));
    const std::string where =
        data.bestFrom == data.bestTo
            ? " AT X " + std::to_string(data.bestX)
            : " FROM X " + std::to_string(data.bestFrom) + " TO " + std::to_string(data.bestTo);
    Centred(c, Dollars(best) + where, (PlotX(data.bestFrom) + PlotX(data.bestTo)) / 2, y - 18,
            kLabel);
}

void PaintBars(Canvas& c, const OddsChartData& data) {
    using namespace chart;
    const auto bottom = static_cast<float>(kPlotBottom);
    const auto left = static_cast<float>(kBarsLeft);
    const auto right = static_cast<float>(kBarsLeft + 9 * kBarPitch);
    for (int tenths = 0; tenths <= 3; ++tenths) {
        const float y = BarTop(tenths / 10.0);
        c.FillRect(left, y - 0.5f, right, y + 0.5f, Paint::Solid(tenths == 0 ? kInk : kGrid));
        RightAligned(c, Chance(tenths / 10.0).substr(0, 3), left - 6, y - kLabel.size / 2, kLabel);
    }
    for (int slot = 1; slot <= 9; ++slot) {
        const double p = data.bestOdds[static_cast<std::size_t>(slot - 1)];
        const auto x0 = static_cast<float>(BarLeft(slot));
        const float x1 = x0 + kBarWidth;
        const float cx = (x0 + x1) / 2;
        c.FillRect(x0, BarTop(p), x1, bottom, Paint::Solid(kBar));
        Centred(c, Chance(p).substr(1), cx, BarTop(p) - 10, kSmall);
        Centred(c, PrizeLabel(kSlots[static_cast<std::size_t>(slot - 1)].prize), cx, bottom + 8,
                kLabel);
    }
    Centred(c, "SLOT PRIZE", (left + right) / 2, bottom + 24, kLabel);
    Text(c, "SLOT CHANCES AT X " + std::to_string(data.bestX), left, 24, kTitle);
}

} // namespace

art::Picture OddsChartPicture(const OddsChartData& data) {
    Canvas c(0, 0, chart::kWidth, chart::kHeight, kGround);
    PaintLineChart(c, data);
    PaintBars(c, data);
    return c.Resolve();
}

bool WriteOddsChart(const std::string& path) {
    const art::Picture pic = OddsChartPicture(ChartData());
    return WritePng(path, pic.width, pic.height, pic.pixels.data());
}

} // namespace pegdrop
