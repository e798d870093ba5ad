#include <gtest/gtest.h>

#include "RasterTestUtil.h"
#include "platform/gdi/DC.h"
#include "platform/gdi/Font.h"

TEST(DeviceContext, SelectingReturnsTheDisplacedObject) {
    TwoColorCanvas canvas(4, 4);
    CPen red(PS_SOLID, 3, RGB(255, 0, 0));
    CBrush blue(RGB(0, 0, 255));
    CPen* oldPen = canvas.dc.SelectObject(&red);
    EXPECT_EQ(oldPen, GetStockPen(BLACK_PEN)) << "a fresh context holds the black pen";
    EXPECT_EQ(canvas.dc.SelectObject(oldPen), &red);
    EXPECT_EQ(canvas.dc.SelectObject(&blue), GetStockBrush(WHITE_BRUSH));
    EXPECT_EQ(canvas.dc.SelectObject(GetSystemFont()), GetSystemFont());

    CDC memory;
    ASSERT_TRUE(memory.CreateCompatibleDC(nullptr));
    EXPECT_EQ(memory.SelectObject(&canvas.bitmap), GetStockBitmap());
    EXPECT_EQ(memory.SelectObject(GetStockBitmap()), &canvas.bitmap);
}

TEST(DeviceContext, ExcludedRectanglesKeepDrawingOut) {
    // As the view shuts out the window area right of and below a 6 x 5 picture.
    TwoColorCanvas canvas(10, 8);
    canvas.dc.ExcludeClipRect({6, 0, 10, 8});
    canvas.dc.ExcludeClipRect({0, 5, 10, 8});
    CPen pen(PS_SOLID, 5, RGB(0, 0, 0));
    canvas.dc.SelectObject(&pen);
    canvas.dc.MoveTo(0, 0);
    canvas.dc.LineTo(9, 7);
    canvas.dc.FillSolidRect({0, 0, 10, 8}, RGB(0, 0, 0));
    canvas.dc.SetPixel(8, 7, RGB(0, 0, 0));
    Pixels inside;
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 6; ++x) inside.insert({x, y});
    EXPECT_EQ(canvas.Inked(), inside);
    EXPECT_EQ(canvas.dc.GetPixel(8, 7), CLR_INVALID);
}

TEST(DeviceContext, RectanglesFramesAndInversion) {
    TwoColorCanvas canvas(8, 8);
    CBrush black(RGB(0, 0, 0));
    canvas.dc.FrameRect({1, 1, 4, 4}, &black);
    EXPECT_EQ(canvas.Inked(),
              (Pixels{{1, 1}, {2, 1}, {3, 1}, {1, 2}, {3, 2}, {1, 3}, {2, 3}, {3, 3}}));

    TwoColorCanvas filled(8, 8);
    filled.dc.SelectObject(GetStockPen(NULL_PEN));
    filled.dc.SelectObject(&black);
    EXPECT_TRUE(filled.dc.Rectangle(2, 2, 5, 5));
    EXPECT_EQ(filled.Inked(), (Pixels{{2, 2}, {3, 2}, {2, 3}, {3, 3}}))
        << "with the null pen the right and bottom edges stay out";

    // Inverting flips the bits of each pixel value: index 1 becomes 254, 0 becomes 255.
    filled.dc.InvertRect({3, 3, 5, 4});
    EXPECT_EQ(filled.surface().GetPixelValue(3, 3), 254u);
    EXPECT_EQ(filled.surface().GetPixelValue(4, 3), 255u);
    EXPECT_EQ(filled.surface().GetPixelValue(2, 3), 1u);
    filled.dc.InvertRect({3, 3, 5, 4});
    EXPECT_EQ(filled.Inked(), (Pixels{{2, 2}, {3, 2}, {2, 3}, {3, 3}})) << "twice is nothing";
}

TEST(DeviceContext, RectangleWithPenOutlinesAndFills) {
    auto surface = Surface::CreateTrueColor(8, 8);
    CDC dc;
    dc.AttachSurface(surface.get());
    dc.FillSolidRect({0, 0, 8, 8}, RGB(255, 255, 255));
    CBrush green(RGB(0, 255, 0));
    dc.SelectObject(&green);
    EXPECT_TRUE(dc.Rectangle(1, 1, 6, 6));
    EXPECT_EQ(dc.GetPixel(1, 1), RGB(0, 0, 0));
    EXPECT_EQ(dc.GetPixel(5, 5), RGB(0, 0, 0));
    EXPECT_EQ(dc.GetPixel(3, 3), RGB(0, 255, 0));
    EXPECT_EQ(dc.GetPixel(6, 6), RGB(255, 255, 255));
}

TEST(DeviceContext, CopyMatchesColoursIntoAnIndexedTarget) {
    auto source = Surface::CreateTrueColor(3, 1);
    CDC sourceDC;
    sourceDC.AttachSurface(source.get());
    sourceDC.SetPixel(0, 0, RGB(250, 250, 250));
    sourceDC.SetPixel(1, 0, RGB(20, 20, 20));
    sourceDC.SetPixel(2, 0, RGB(200, 200, 200));
    TwoColorCanvas target(3, 1);
    ASSERT_TRUE(target.dc.BitBlt(0, 0, 3, 1, &sourceDC, 0, 0, SRCCOPY));
    EXPECT_EQ(target.Inked(), (Pixels{{1, 0}}));
}

TEST(DeviceContext, CopyIsClippedToBothSurfaces) {
    TwoColorCanvas source(4, 4);
    source.dc.FillSolidRect({0, 0, 4, 4}, RGB(0, 0, 0));
    TwoColorCanvas target(6, 6);
    ASSERT_TRUE(target.dc.BitBlt(4, -2, 10, 10, &source.dc, 0, 0, SRCCOPY));
    EXPECT_EQ(target.Inked(), (Pixels{{4, 0}, {5, 0}, {4, 1}, {5, 1}}));
}

TEST(DeviceContext, ThinStrokeSurvivesAnEightfoldReduction) {
    TwoColorCanvas memo(80, 80);
    memo.dc.SelectObject(GetStockPen(BLACK_PEN));
    memo.dc.MoveTo(0, 37);
    memo.dc.LineTo(80, 37);
    auto thumbnail = Surface::CreateTrueColor(10, 10);
    CDC dc;
    dc.AttachSurface(thumbnail.get());
    dc.FillSolidRect({0, 0, 10, 10}, RGB(255, 255, 255));
    ASSERT_TRUE(dc.StretchBlt(0, 0, 10, 10, &memo.dc, 0, 0, 80, 80, SRCCOPY));
    for (int x = 0; x < 10; ++x) {
        EXPECT_LT(GetRValue(dc.GetPixel(x, 4)), 240) << "stroke lost at column " << x;
        EXPECT_EQ(dc.GetPixel(x, 3), RGB(255, 255, 255));
        EXPECT_EQ(dc.GetPixel(x, 5), RGB(255, 255, 255));
    }
}

TEST(DeviceContext, StretchOntoAnIndexedTargetTakesTheNearestPixel) {
    TwoColorCanvas source(2, 2);
    source.surface().SetPixelValue(1, 1, 1);
    TwoColorCanvas target(4, 4);
    ASSERT_TRUE(target.dc.StretchBlt(0, 0, 4, 4, &source.dc, 0, 0, 2, 2, SRCCOPY));
    EXPECT_EQ(target.Inked(), (Pixels{{2, 2}, {3, 2}, {2, 3}, {3, 3}}));
}

TEST(DeviceContext, DrawingReportsTheRectangleItChanged) {
    auto surface = Surface::CreateTrueColor(50, 50);
    CRect reported;
    CDC dc;
    dc.AttachSurface(surface.get(), [&](const CRect& r) { reported = CRect::Union(reported, r); });
    CPen pen(PS_SOLID, 5, RGB(0, 0, 0));
    dc.SelectObject(&pen);
    dc.MoveTo(10, 10);
    dc.LineTo(20, 10);
    EXPECT_EQ(reported, (CRect{8, 8, 23, 13}));
}

TEST(DeviceContext, TextIsDrawnOpaqueBlackOnWhite) {
    if (FindFontFile("System").empty()) {
        GTEST_SKIP() << "no font installed for the system font";
    }
    TwoColorCanvas canvas(120, 30);
    canvas.dc.FillSolidRect({0, 0, 120, 30}, RGB(0, 0, 0));
    ASSERT_TRUE(canvas.dc.TextOut(2, 3, "2009/03/05"));
    const CSize extent = canvas.dc.GetTextExtent("2009/03/05");
    ASSERT_GT(extent.cx, 40);
    ASSERT_GT(extent.cy, 8);
    int ink = 0, paper = 0;
    for (int y = 3; y < 3 + extent.cy; ++y) {
        for (int x = 2; x < 2 + extent.cx; ++x) {
            (canvas.surface().GetPixelValue(x, y) == 1 ? ink : paper) += 1;
        }
    }
    EXPECT_GT(ink, 30) << "the characters are black";
    EXPECT_GT(paper, ink) << "behind them the background is white";
    for (int x = 0; x < 120; ++x) {
        EXPECT_EQ(canvas.surface().GetPixelValue(x, 2), 1u) << "above the text nothing changes";
    }
    for (int y = 0; y < 30; ++y) {
        EXPECT_EQ(canvas.surface().GetPixelValue(2 + extent.cx, y), 1u) << "right of it neither";
    }

    TwoColorCanvas transparent(120, 30);
    transparent.dc.FillSolidRect({0, 0, 120, 30}, RGB(0, 0, 0));
    transparent.dc.SetBkMode(TRANSPARENT);
    transparent.dc.SetTextColor(RGB(255, 255, 255));
    transparent.dc.TextOut(2, 3, "2009/03/05");
    EXPECT_EQ(120 * 30 - transparent.Inked().size(), static_cast<size_t>(ink))
        << "without the background only the same glyph pixels change";
}

TEST(DeviceContext, ColourTableOfTheSelectedSection) {
    TwoColorCanvas canvas(2, 2);
    RGBQUAD colors[4] = {};
    EXPECT_EQ(canvas.dc.GetDIBColorTable(0, 4, colors), 4u) << "an 8-bit section has 256 entries";
    EXPECT_EQ(colors[0], (RGBQUAD{255, 255, 255, 0}));
    EXPECT_EQ(colors[1], (RGBQUAD{0, 0, 0, 0}));
    EXPECT_EQ(canvas.dc.GetDIBColorTable(255, 4, colors), 1u);
    auto surface = Surface::CreateTrueColor(2, 2);
    CDC dc;
    dc.AttachSurface(surface.get());
    EXPECT_EQ(dc.GetDIBColorTable(0, 4, colors), 0u);
}
