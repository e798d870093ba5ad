#include <gtest/gtest.h>

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

}  // namespace

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
