// The speed window's test board: a narrow copy of the peg field.
#include "art/pictures.h"
#include "art/pictures_common.h"
#include "rules/test_lattice.h"

namespace art {
namespace {

using namespace draw;
using namespace detail;

// Speed-window coordinates, as the test lattice's are.
constexpr int kPegDrop = 9; // the walls turn level with the chip's lower edge on a row
constexpr int kWallOutLeft = 119, kWallInLeft = 131, kWallInRight = 228, kWallOutRight = 240;
constexpr int kDividerTop = 251, kDividerBottom = 267;
constexpr int kFloorTop = kDividerBottom + 1;

struct Corner {
    int x, y;
};

// The left wall's zig-zag: out at the A-row peg heights, in at the B-row ones.
std::vector<Corner> WallCorners(bool left) {
    const pegdrop::Lattice& l = pegdrop::TestBoardLattice();
    std::vector<Corner> corners;
    const int out = left ? kWallOutLeft : kWallOutRight;
    const int in = left ? kWallInLeft : kWallInRight;
    std::size_t b = 0;
    for (int a : l.aRows) {
        corners.push_back({out, a + kPegDrop});
        if (b < l.bRows.size())
            corners.push_back({in, l.bRows[b++] + kPegDrop});
    }
    return corners;
}

// Pixel (x, y) of the window as a continuous point at its centre.
Point Centre(int x, int y) {
    return {static_cast<float>(x) + 0.5f, static_cast<float>(y) + 0.5f};
}

void PaintWall(Canvas& c, bool left) {
    const std::vector<Corner> corners = WallCorners(left);
    // The yellow reaches the corner pixels themselves.
    const float reach = left ? 0.5f : -0.5f;
    const float edge = left ? static_cast<float>(kTestBoardLeft)
                            : static_cast<float>(kTestBoardLeft + kTestBoardWidth);
    const float outX = Centre(corners.front().x, 0).x + reach;
    std::vector<Point> shape{{edge, static_cast<float>(kTestBoardTop)},
                             {outX, static_cast<float>(kTestBoardTop)}};
    for (const Corner& k : corners)
        shape.push_back({Centre(k.x, k.y).x + reach, Centre(k.x, k.y).y});
    shape.push_back({outX, static_cast<float>(kDividerTop)});
    shape.push_back({edge, static_cast<float>(kDividerTop)});
    c.FillPolygon(shape, Paint::Solid(kYellow));
    std::vector<Point> line;
    for (std::size_t k = 1; k + 2 < shape.size(); ++k)
        line.push_back({shape[k].x - reach * 5, shape[k].y});
    c.StrokePolyline(line, 0.6f, Paint::Solid(kWallEdge));
    for (const Corner& k : corners) {
        const Point p = Centre(k.x, k.y);
        c.FillCircle(p.x, p.y, 2.2f, Paint::Solid(kDarkRed));
        c.FillCircle(p.x, p.y, 1.6f, Paint::Solid(kRed));
    }
}

} // namespace

Picture TestBoardPicture() {
    const pegdrop::Lattice& l = pegdrop::TestBoardLattice();
    Canvas c(kTestBoardLeft, kTestBoardTop, kTestBoardWidth, kTestBoardHeight, kWhite);
    PaintWall(c, true);
    PaintWall(c, false);
    const float right = static_cast<float>(kTestBoardLeft + kTestBoardWidth);
    const float bottom = static_cast<float>(kTestBoardTop + kTestBoardHeight);
    c.FillRect(static_cast<float>(kTestBoardLeft), static_cast<float>(kFloorTop), right, bottom,
               Paint::Solid(kYellow));
    c.FillRect(static_cast<float>(kTestBoardLeft), static_cast<float>(kFloorTop), right,
               static_cast<float>(kFloorTop) + 0.8f, Paint::Solid(kWallEdge));
    const auto inside = [&l](int col) { return col > l.leftWall && col < l.rightWall; };
    PaintLatticePegs(c, l, [&inside](int col, int) { return inside(col); });
    Picture pic = c.Resolve();

    Stamp s(pic, kTestBoardLeft, kTestBoardTop);
    // The slot dividers: on the inner A columns and at the walls' outer corners.
    std::vector<int> dividers{kWallOutLeft};
    for (int col : l.aColumns)
        if (inside(col))
            dividers.push_back(col);
    dividers.push_back(kWallOutRight);
    for (int x : dividers)
        s.Rect(x - 1, kDividerTop, x + 1, kDividerBottom, kPegGrey);
    return pic;
}

} // namespace art
