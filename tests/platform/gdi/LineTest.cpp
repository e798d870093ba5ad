#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "RasterTestUtil.h"
#include "platform/gdi/LineRaster.h"

namespace {

Pixels ThinLine(CPoint from, CPoint to) {
    Pixels pixels;
    RasterThinLine(from, to, [&](int32_t y, int32_t x0, int32_t x1) {
        for (int32_t x = x0; x < x1; ++x) pixels.insert({x, y});
    });
    return pixels;
}

Pixels Dot(int cx, int cy, const std::vector<std::pair<int, int>>& rowHalfWidths) {
    Pixels pixels;
    for (const auto& [dy, half] : rowHalfWidths)
        for (int dx = -half; dx <= half; ++dx) pixels.insert({cx + dx, cy + dy});
    return pixels;
}

// The pixels a round pen of `width` covers from `a` to `b`, straight from its definition:
// those whose centre lies within half the width of the segment (caps included). Centres sit
// on whole coordinates for odd widths and half a pixel down and right for even ones.
Pixels RoundPenReference(CPoint a, CPoint b, int width, int size) {
    const double radius = width / 2.0;
    const double offset = width % 2 == 0 ? 0.5 : 0.0;
    const double dx = b.x - a.x, dy = b.y - a.y, length2 = dx * dx + dy * dy;
    Pixels pixels;
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            const double px = x + offset - a.x, py = y + offset - a.y;
            const double t = length2 > 0 ? std::clamp((px * dx + py * dy) / length2, 0.0, 1.0) : 0;
            const double ex = px - t * dx, ey = py - t * dy;
            if (ex * ex + ey * ey <= radius * radius + 1e-9) pixels.insert({x, y});
        }
    }
    return pixels;
}

}  // namespace

TEST(Line, WideLinesCoverWhatTheRoundPensGeometryCovers) {
    const CPoint ends[][2] = {{{20, 20}, {20, 20}}, {{10, 20}, {30, 20}}, {{20, 8}, {20, 33}},
                              {{9, 11}, {31, 26}},  {{33, 9}, {12, 30}},  {{15, 15}, {17, 16}}};
    for (int width = 2; width <= 9; ++width) {
        for (const auto& [from, to] : ends) {
            TwoColorCanvas canvas(44, 44);
            CPen pen(PS_SOLID, width, RGB(0, 0, 0));
            canvas.dc.SelectObject(&pen);
            canvas.dc.MoveTo(from.x, from.y);
            canvas.dc.LineTo(to.x, to.y);
            EXPECT_EQ(canvas.Inked(), RoundPenReference(from, to, width, 44))
                << "width " << width << " from " << from.x << "," << from.y << " to " << to.x << ","
                << to.y;
        }
    }
}

TEST(Line, OnePixelLineLeavesOutItsEndPixel) {
    EXPECT_EQ(ThinLine({2, 3}, {6, 3}), (Pixels{{2, 3}, {3, 3}, {4, 3}, {5, 3}}));
    EXPECT_EQ(ThinLine({6, 3}, {2, 3}), (Pixels{{6, 3}, {5, 3}, {4, 3}, {3, 3}}));
    EXPECT_EQ(ThinLine({1, 1}, {1, 4}), (Pixels{{1, 1}, {1, 2}, {1, 3}}));
    EXPECT_EQ(ThinLine({0, 0}, {3, 3}), (Pixels{{0, 0}, {1, 1}, {2, 2}}));
    EXPECT_EQ(ThinLine({0, 0}, {4, 2}), (Pixels{{0, 0}, {1, 0}, {2, 1}, {3, 1}}));
    EXPECT_TRUE(ThinLine({5, 5}, {5, 5}).empty()) << "a line to its own start sets nothing";
}

TEST(Line, PolylineOfThinLinesSetsEachJointOnce) {
    TwoColorCanvas canvas(10, 10);
    canvas.dc.SelectObject(GetStockPen(BLACK_PEN));
    canvas.dc.MoveTo(1, 1);
    canvas.dc.LineTo(4, 1);
    canvas.dc.LineTo(4, 4);
    EXPECT_EQ(canvas.Inked(), (Pixels{{1, 1}, {2, 1}, {3, 1}, {4, 1}, {4, 2}, {4, 3}}));
}

TEST(Line, FivePixelPointLineHasRoundCaps) {
    // The single-point stroke: a line from (10, 20) to (14, 20) with a 5-pixel pen.
    TwoColorCanvas canvas(30, 30);
    CPen pen(PS_SOLID, 5, RGB(0, 0, 0));
    canvas.dc.SelectObject(&pen);
    canvas.dc.MoveTo(10, 20);
    canvas.dc.LineTo(14, 20);
    Pixels expected;
    for (int x = 8; x <= 16; ++x)
        for (int y = 19; y <= 21; ++y) expected.insert({x, y});
    for (int x = 9; x <= 15; ++x) expected.insert({x, 18}), expected.insert({x, 22});
    EXPECT_EQ(canvas.Inked(), expected);
}

TEST(Line, WidePenDotIsADisc) {
    TwoColorCanvas canvas(20, 20);
    CPen pen(PS_SOLID, 5, RGB(0, 0, 0));
    canvas.dc.SelectObject(&pen);
    canvas.dc.MoveTo(10, 10);
    canvas.dc.LineTo(10, 10);
    EXPECT_EQ(canvas.Inked(), Dot(10, 10, {{-2, 1}, {-1, 2}, {0, 2}, {1, 2}, {2, 1}}));
}

TEST(Line, EvenWidthCoversExactlyThatManyRowsAndColumns) {
    for (const int width : {2, 4, 6, 10}) {
        TwoColorCanvas canvas(40, 40);
        CPen pen(PS_SOLID, width, RGB(0, 0, 0));
        canvas.dc.SelectObject(&pen);
        canvas.dc.MoveTo(10, 20);
        canvas.dc.LineTo(30, 20);
        canvas.dc.MoveTo(20, 5);
        canvas.dc.LineTo(20, 15);
        int rows = 0, columns = 0;
        for (int y = 0; y < 40; ++y) rows += canvas.surface().GetPixelValue(25, y) == 1 ? 1 : 0;
        for (int x = 0; x < 40; ++x) columns += canvas.surface().GetPixelValue(x, 10) == 1 ? 1 : 0;
        EXPECT_EQ(rows, width) << "horizontal line of width " << width;
        EXPECT_EQ(columns, width) << "vertical line of width " << width;
    }
}

TEST(Line, WideDiagonalHasNoGapsAlongItsAxis) {
    TwoColorCanvas canvas(60, 60);
    CPen pen(PS_SOLID, 3, RGB(0, 0, 0));
    canvas.dc.SelectObject(&pen);
    canvas.dc.MoveTo(5, 7);
    canvas.dc.LineTo(50, 41);
    for (int x = 5; x <= 50; ++x) {
        const int y = 7 + (x - 5) * 34 / 45;
        EXPECT_EQ(canvas.surface().GetPixelValue(x, y), 1u) << x << "," << y;
    }
}

TEST(Line, LinesFarOffTheSurfaceDrawNothingAndCostNothing) {
    TwoColorCanvas canvas(10, 10);
    CPen pen(PS_SOLID, 9, RGB(0, 0, 0));
    canvas.dc.SelectObject(&pen);
    canvas.dc.MoveTo(-2000000000, -2000000000);
    canvas.dc.LineTo(2000000000, -1999999000);
    EXPECT_TRUE(canvas.Inked().empty());
}

namespace {

// Polylines where drawing them as one shape tends to go wrong: turns in y (U shapes whose
// arms a row crosses twice), samples a pixel apart, repeated points, long segments, and
// lines that leave the rows drawn.
std::vector<std::vector<CPoint>> AwkwardPolylines() {
    std::vector<std::vector<CPoint>> lines = {
        {{10, 10}, {10, 10}},
        {{5, 40}, {20, 5}, {35, 40}},
        {{5, 5}, {20, 40}, {35, 5}, {50, 40}},
        {{30, 30}, {31, 30}, {31, 31}, {30, 31}, {30, 30}},
        {{-20, 25}, {90, 26}, {-20, 27}},
        {{0, 0}, {60, 60}, {61, 60}, {0, 61}},
    };
    uint32_t seed = 12345;
    const auto next = [&seed](int range) {
        seed = seed * 1103515245u + 12345u;
        return static_cast<int>((seed >> 16) % static_cast<uint32_t>(range));
    };
    for (int walk = 0; walk < 40; ++walk) {
        std::vector<CPoint> line{{30 + next(20), 30 + next(20)}};
        const int step = walk % 3 == 0 ? 15 : 2;
        for (int i = 0; i < 30; ++i)
            line.push_back({line.back().x + next(2 * step + 1) - step,
                            line.back().y + next(2 * step + 1) - step});
        lines.push_back(line);
    }
    return lines;
}

}  // namespace

TEST(Line, WidePolylineSetsTheSegmentsPixelsEachOnce) {
    constexpr int32_t kLeft = -1000, kWidth = 2000, kRows = 70;
    const CRect rows{kLeft, 0, kLeft + kWidth, kRows};
    const auto at = [&](int32_t y, int32_t x) {
        return static_cast<size_t>(y * kWidth + x - kLeft);
    };
    for (const int width : {2, 3, 4, 5, 8, 11, 40, 63, 500}) {
        for (const auto& line : AwkwardPolylines()) {
            std::vector<uint8_t> expected(kWidth * kRows), drawn(kWidth * kRows);
            for (size_t i = 1; i < line.size(); ++i)
                RasterWideLine(line[i - 1], line[i], width, rows,
                               [&](int32_t y, int32_t a, int32_t b) {
                                   for (int32_t x = a; x < b; ++x) expected[at(y, x)] = 1;
                               });
            int32_t lastRow = INT32_MIN, lastEnd = INT32_MIN;
            bool overlapped = false;
            RasterWidePolyline(line, width, rows, [&](int32_t y, int32_t a, int32_t b) {
                overlapped |= y < lastRow || (y == lastRow && a <= lastEnd);
                lastRow = y, lastEnd = b;
                for (int32_t x = a; x < b; ++x) drawn[at(y, x)] = 1;
            });
            const std::string what = "width " + std::to_string(width) + " from (" +
                                     std::to_string(line[0].x) + "," + std::to_string(line[0].y) +
                                     "), " + std::to_string(line.size()) + " points";
            EXPECT_TRUE(drawn == expected) << what;
            EXPECT_FALSE(overlapped) << what << ": runs out of order, overlapping or touching";
        }
    }
}

TEST(Line, TaperedPolylineCoversTheHullsOfItsCapsInOrderedRuns) {
    struct Case {
        std::vector<CPoint> points;
        std::vector<double> widths;
    };
    std::vector<Case> cases = {
        {{{20, 20}}, {4.6}},                               // a dot
        {{{20, 20}, {22, 21}}, {20, 2}},                   // one cap holds the other
        {{{10, 20}, {40, 20}}, {5, 5}},                    // as the fixed pen
        {{{10, 10}, {40, 31}, {12, 35}}, {1, 9, 0.2}},     // below one pixel: one
        {{{5, 5}, {6, 5}, {6, 6}}, {std::nan(""), 3, 7}},  // NaN: one pixel
    };
    const auto lines = AwkwardPolylines();
    for (size_t n = 0; n < 12; ++n) {
        const auto& line = lines[n < 6 ? n : n * 3];
        for (const double widest : {3.3, 12.5}) {
            std::vector<double> widths;
            for (size_t i = 0; i < line.size(); ++i)
                widths.push_back(1 + static_cast<double>(i * 7 % 13) * (widest - 1) / 12);
            cases.push_back({line, widths});
        }
    }
    for (const auto& c : cases) {
        Pixels drawn, edge;
        int32_t lastRow = INT32_MIN, lastEnd = INT32_MIN;
        bool overlapped = false;
        RasterTaperedPolyline(c.points, c.widths, {-1000, -100, 1000, 200},
                              [&](int32_t y, int32_t a, int32_t b) {
                                  overlapped |= y < lastRow || (y == lastRow && a <= lastEnd);
                                  lastRow = y, lastEnd = b;
                                  for (int32_t x = a; x < b; ++x) drawn.insert({x, y});
                              });
        const Pixels expected = TaperedReference(c.points, c.widths, &edge);
        const std::string what =
            "from (" + std::to_string(c.points[0].x) + "," + std::to_string(c.points[0].y) + "), " +
            std::to_string(c.points.size()) + " points, first width " + std::to_string(c.widths[0]);
        EXPECT_EQ(Without(drawn, edge), Without(expected, edge)) << what;
        EXPECT_FALSE(overlapped) << what << ": runs out of order, overlapping or touching";
    }
    // A centre exactly on the edge is covered: a dot 4 wide reaches two pixels out each way.
    Pixels dot;
    const std::vector<CPoint> centre = {{20, 20}};
    const std::vector<double> four = {4};
    RasterTaperedPolyline(centre, four, {0, 0, 40, 40}, [&](int32_t y, int32_t a, int32_t b) {
        for (int32_t x = a; x < b; ++x) dot.insert({x, y});
    });
    EXPECT_EQ(dot.size(), 13U);
    for (const auto& [x, y] : Pixels{{18, 20}, {22, 20}, {20, 18}, {20, 22}})
        EXPECT_EQ(dot.count({x, y}), 1U) << x << "," << y;
}
