#include <QApplication>
#include <QPointingDevice>
#include <QTabletEvent>
#include <QTest>
#include <filesystem>

#include "memo/DefaultColorTable.h"
#include "platform/gdi/RasterTestUtil.h"
#include "platform/registry/Registry.h"
#include "res/ResourceIds.h"
#include "support/QuilloScenario.h"

namespace {

// The picture's pixel at (x, y) from the top, as an index of its colour table.
uint8_t PictureIndex(CQuilloDoc* doc, int x, int y) {
    return static_cast<uint8_t>(doc->m_bitmap.GetBitmap()->GetSurface()->GetPixelValue(x, y));
}

std::set<std::pair<int, int>> InkedPixels(CQuilloDoc* doc) {
    std::set<std::pair<int, int>> inked;
    const Surface* surface = doc->m_bitmap.GetBitmap()->GetSurface();
    for (int y = 0; y < surface->Height(); ++y)
        for (int x = 0; x < surface->Width(); ++x)
            if (surface->GetPixelValue(x, y) != 222) inked.insert({x, y});
    return inked;
}

COLORREF ScreenColor(CQuilloView* view, int x, int y) {
    const Surface* surface = view->GetSurface();
    return surface->ToColor(surface->GetPixelValue(x, y));
}

std::set<std::pair<int, int>> InkedOnScreen(CQuilloView* view) {
    std::set<std::pair<int, int>> inked;
    const Surface* surface = view->GetSurface();
    for (int y = 0; y < surface->Height(); ++y)
        for (int x = 0; x < surface->Width(); ++x)
            if (surface->ToColor(surface->GetPixelValue(x, y)) == RGB(0, 0, 0))
                inked.insert({x, y});
    return inked;
}

// One end of a pen on a tablet, its events sent to the view's widget as the toolkit sends them.
class TabletPen {
  public:
    explicit TabletPen(QPointingDevice::PointerType end)
        : m_device("Test tablet pen", 7, QInputDevice::DeviceType::Stylus, end,
                   QInputDevice::Capability::Position | QInputDevice::Capability::Pressure, 1, 3) {}

    void Send(CQuilloView* view, QEvent::Type type, QPointF at, double pressure,
              Qt::MouseButton button, Qt::MouseButtons buttons) {
        QWidget* widget = view->GetWidget();
        QTabletEvent event(type, &m_device, at, widget->mapToGlobal(at), pressure, 0, 0, 0, 0, 0,
                           Qt::NoModifier, button, buttons);
        QApplication::sendEvent(widget, &event);
    }
    // Down at the first point, through the others, up at the last: with the tip, or with
    // `button` held and the tip above the surface.
    void Stroke(CQuilloView* view, const std::vector<QPointF>& points,
                const std::vector<double>& pressures, Qt::MouseButton button = Qt::LeftButton) {
        Send(view, QEvent::TabletPress, points[0], pressures[0], button, button);
        for (size_t i = 1; i < points.size(); ++i)
            Send(view, QEvent::TabletMove, points[i], pressures[i], Qt::NoButton, button);
        Send(view, QEvent::TabletRelease, points.back(), pressures.back(), button, Qt::NoButton);
    }

  private:
    QPointingDevice m_device;
};

// A tap as the toolkit delivers a mouse's: press and release at one point.
void Tap(CQuilloView* view, int x, int y) {
    QTest::mousePress(view->GetWidget(), Qt::LeftButton, {}, QPoint(x, y));
    QTest::mouseRelease(view->GetWidget(), Qt::LeftButton, {}, QPoint(x, y));
}

}  // namespace

using CanvasView = QuilloScenario;

TEST_F(CanvasView, SinglePointStrokeOfAWidePenIsALineOfItsWidth) {
    ASSERT_TRUE(Start());
    view->UpdateWindow();
    Tap(view, 10, 20);
    std::set<std::pair<int, int>> expected;
    for (int x = 8; x <= 16; ++x)
        for (int y = 19; y <= 21; ++y) expected.insert({x, y});
    for (int x = 9; x <= 15; ++x) expected.insert({x, 18}), expected.insert({x, 22});
    EXPECT_EQ(InkedPixels(doc), expected) << "the line from (10, 20) to (14, 20), 5 pixels wide";
    EXPECT_EQ(PictureIndex(doc, 10, 20), 0) << "black";
    EXPECT_EQ(InkedOnScreen(view), expected) << "the screen shows what the memo holds, at once";
    EXPECT_TRUE(doc->IsModified());
}

TEST_F(CanvasView, SinglePointStrokeOfAOnePixelPenSetsOnePixel) {
    auto registry = Registry::Open((m_device->Directory() / "registry.sqlite3").string());
    EXPECT_TRUE(registry->Write(Hive::CurrentUser, "Software\\Vornak\\quillo\\Edit", "PenWidth",
                                int32_t{1}));
    registry.reset();
    ASSERT_TRUE(Start());
    Tap(view, 10, 20);
    EXPECT_EQ(InkedPixels(doc), (std::set<std::pair<int, int>>{{10, 20}}));
}

TEST_F(CanvasView, StrokeShowsLiveAndLandsWholeAtPenUp) {
    ASSERT_TRUE(Start());
    view->UpdateWindow();
    const CPoint start = view->ClientToScreen(CPoint{10, 50});
    Pen(view, WM_LBUTTONDOWN, {10, 50}, {start});
    const CPoint a = view->ClientToScreen(CPoint{40, 50});
    const CPoint b = view->ClientToScreen(CPoint{40, 80});
    Pen(view, WM_MOUSEMOVE, {40, 80}, {a, b});  // two samples in one event
    EXPECT_EQ(ScreenColor(view, 25, 50), RGB(0, 0, 0)) << "drawn on the screen at once";
    EXPECT_EQ(ScreenColor(view, 40, 65), RGB(0, 0, 0)) << "both samples were drawn";
    EXPECT_TRUE(InkedPixels(doc).empty()) << "the picture waits for the pen-up";
    Pen(view, WM_LBUTTONUP, {40, 80}, {b});
    EXPECT_EQ(PictureIndex(doc, 25, 50), 0);
    EXPECT_EQ(PictureIndex(doc, 40, 65), 0);
    ASSERT_EQ(view->m_stroke.size(), 3u) << "a pen-up where the stroke ends adds no point";
}

TEST_F(CanvasView, TabletSamplesInQuarterPixelsMapToTheSamePoints) {
    ASSERT_TRUE(Start());
    const auto raw = [&](int x, int y) {
        const CPoint screen = view->ClientToScreen(CPoint{x, y});
        return CPoint{screen.x * 4 + 3, screen.y * 4 + 1};
    };
    Pen(view, WM_LBUTTONDOWN, {30, 40}, {raw(30, 40)});
    Pen(view, WM_LBUTTONUP, {60, 40}, {raw(45, 40), raw(60, 40)});
    EXPECT_EQ(view->m_nRatioX, 4);
    EXPECT_EQ(view->m_nRatioY, 4);
    ASSERT_EQ(view->m_stroke.size(), 3u);
    EXPECT_EQ(view->m_stroke[2].x, 60);
    EXPECT_EQ(view->m_stroke[2].y, 40);
}

TEST_F(CanvasView, PenDownWithoutSamplesOrAtTheScreenEdgeNeedsNoDivision) {
    ASSERT_TRUE(Start());
    Pen(view, WM_LBUTTONDOWN, {15, 25}, {});
    Pen(view, WM_LBUTTONUP, {15, 25}, {});
    ASSERT_EQ(view->m_stroke.size(), 1u) << "the stroke starts where the pen came down";
    EXPECT_EQ(view->m_stroke[0].x, 15);
    EXPECT_NE(PictureIndex(doc, 15, 25), 222);

    const CPoint origin = view->ScreenToClient({0, 0});
    Pen(view, WM_LBUTTONDOWN, origin, {{0, 0}});
    Pen(view, WM_LBUTTONUP, origin, {});
    EXPECT_GT(view->m_nRatioX, 0);
    EXPECT_GT(view->m_nRatioY, 0);
}

TEST_F(CanvasView, EraserKeepsTheBackgroundOfTheLastBlankPicture) {
    ASSERT_TRUE(Start());
    Stroke({{10, 10}, {60, 10}});
    EXPECT_TRUE(app->WriteProfileInt("Edit", "BackColor", static_cast<int>(RGB(255, 0, 0))));
    view->m_nTool = CQuilloView::ToolEraser;
    Stroke({{10, 10}, {60, 10}});
    EXPECT_EQ(PictureIndex(doc, 30, 10), 222) << "erased with white, not the new red";
    EXPECT_EQ(view->m_crBack, RGB(255, 255, 255));
    view->NewCanvas();
    EXPECT_EQ(view->m_crBack, RGB(255, 0, 0));
    EXPECT_EQ(view->m_penErase.Color(), RGB(255, 0, 0));
    EXPECT_FALSE(doc->IsModified());
}

TEST_F(CanvasView, WindowBeyondASmallMemoIsGreyAndStrokesThereChangeNothing) {
    WriteMemo("small.bmp", 50, 40);
    ASSERT_TRUE(Start());
    ASSERT_EQ(doc->m_bitmap.Width(), 50);
    view->UpdateWindow();
    EXPECT_EQ(ScreenColor(view, 60, 10), RGB(128, 128, 128));
    EXPECT_EQ(ScreenColor(view, 10, 60), RGB(128, 128, 128));
    EXPECT_EQ(ScreenColor(view, 10, 10), RGB(255, 255, 255));
    Stroke({{70, 70}, {120, 90}});
    EXPECT_EQ(ScreenColor(view, 95, 80), RGB(128, 128, 128)) << "the live stroke is clipped away";
    EXPECT_TRUE(InkedPixels(doc).empty());
}

TEST_F(CanvasView, RuledLinesEveryTenthOfTheHeight) {
    WriteMemo("ruled.bmp", 100, 268);
    auto registry = Registry::Open((m_device->Directory() / "registry.sqlite3").string());
    EXPECT_TRUE(registry->Write(Hive::CurrentUser, "Software\\Vornak\\quillo\\View", "BackLine",
                                int32_t{1}));
    registry.reset();
    SetScreen(240, 320);
    ASSERT_TRUE(Start());
    view->UpdateWindow();
    std::vector<int> lines;
    for (int y = 0; y < 268; ++y) {
        if (ScreenColor(view, 50, y) == RGB(224, 224, 224)) lines.push_back(y);
    }
    EXPECT_EQ(lines, (std::vector<int>{0, 26, 52, 78, 104, 130, 156, 182, 208, 234, 260}));
    EXPECT_TRUE(InkedPixels(doc).empty()) << "never part of the picture";
}

TEST_F(CanvasView, RuledLinesSpareTopDownAndTinyPictures) {
    struct Row {
        int height;
        std::vector<int> lines;
    };
    const Row rows[] = {{-30, {}}, {5, {0}}, {9, {0}}};
    ASSERT_TRUE(Start());
    for (const auto& row : rows) {
        BITMAPINFO info{};
        info.bmiHeader = {40, 20, row.height, 1, 8, BI_RGB, 0, 0, 0, 0, 0};
        std::copy(DefaultColorTable().begin(), DefaultColorTable().end(), info.bmiColors);
        ASSERT_TRUE(doc->m_bitmap.CreateFromDib(&info, std::vector<uint8_t>(20 * 30, 222)));
        auto target = Surface::CreateTrueColor(20, 30);
        CDC dc;
        dc.AttachSurface(target.get());
        view->DrawRuledLines(&dc);
        std::vector<int> lines;
        for (int y = 0; y < 30; ++y) {
            if (target->ToColor(target->GetPixelValue(5, y)) == RGB(224, 224, 224))
                lines.push_back(y);
        }
        EXPECT_EQ(lines, row.lines) << row.height;
    }
}

TEST_F(CanvasView, TheEraserEndErasesWithTheErasersWidthAndLeavesTheToolAlone) {
    ASSERT_TRUE(Start());
    view->m_bPenPressure = true;
    view->UpdateWindow();
    Stroke({{10, 50}, {100, 50}});
    TabletPen(QPointingDevice::PointerType::Eraser)
        .Stroke(view, {{50.3, 20.3}, {50.3, 80.3}}, {0.3, 0.3});
    EXPECT_EQ(ScreenColor(view, 50, 50), RGB(255, 255, 255)) << "erased live";
    for (const int x : {45, 50, 54}) EXPECT_FALSE(Inked(x, 50)) << x;
    EXPECT_TRUE(Inked(44, 50) && Inked(55, 50)) << "10 pixels erased, whatever the pressure";
    EXPECT_EQ(view->m_nTool, CQuilloView::ToolPen);
    EXPECT_EQ(State(ID_TOOL_PEN).m_nCheck, 1);
    TabletPen(QPointingDevice::PointerType::Pen).Stroke(view, {{20.3, 70.3}, {80.3, 70.3}}, {1, 1});
    EXPECT_TRUE(Inked(50, 70)) << "the tip writes with the pen again";
}

TEST_F(CanvasView, ASideButtonOrAHoverNeverInks) {
    ASSERT_TRUE(Start());
    view->UpdateWindow();
    TabletPen pen(QPointingDevice::PointerType::Pen);
    for (const Qt::MouseButton side : {Qt::MiddleButton, Qt::RightButton})
        pen.Stroke(view, {{20.3, 20.3}, {50.3, 50.3}, {80.3, 80.3}}, {0, 0, 0}, side);
    for (const double x : {20.3, 50.3, 80.3})
        pen.Send(view, QEvent::TabletMove, {x, 100.3}, 0, Qt::NoButton, Qt::NoButton);
    EXPECT_TRUE(InkedPixels(doc).empty());
    EXPECT_TRUE(InkedOnScreen(view).empty());
    EXPECT_FALSE(doc->IsModified());
}

TEST_F(CanvasView, PressureSetsThePensWidthOnlyWhenAskedLiveAndInTheMemo) {
    struct Row {
        const char* what;
        int setting;
        bool mouse;
        std::vector<QPointF> points;
        std::vector<double> pressures;
        std::vector<CPoint> line;  // the stroke's points in the memo, with their widths
        std::vector<double> widths;
    };
    const std::vector<QPointF> points = {{20.3, 40.3}, {60.3, 47.3}, {100.3, 40.3}, {140.3, 70.3}};
    const std::vector<CPoint> line = {{20, 40}, {60, 47}, {100, 40}, {140, 70}};
    const Row rows[] = {
        {"pen, pressure on", 1, false, points, {0, 0.5, 1, 0.25}, line, {1, 3, 5, 2}},
        {"pen, pressure off", 0, false, points, {0, 0.5, 1, 0.25}, line, {5, 5, 5, 5}},
        {"mouse, pressure on", 1, true, points, {}, line, {5, 5, 5, 5}},
        {"pen tap, pressure on", 1, false, {{30.3, 30.3}}, {0.1}, {{30, 30}, {34, 30}}, {5, 5}},
    };
    ASSERT_TRUE(Start());
    for (const Row& row : rows) {
        view->NewCanvas();
        view->Invalidate(true);
        view->UpdateWindow();
        view->m_bPenPressure = row.setting != 0;
        if (row.mouse) {
            Stroke({line[0], line[1], line[2], line[3]});
        } else {
            TabletPen(QPointingDevice::PointerType::Pen).Stroke(view, row.points, row.pressures);
        }
        Pixels edge;
        const Pixels expected = TaperedReference(row.line, row.widths, &edge);
        EXPECT_EQ(Without(InkedPixels(doc), edge), Without(expected, edge)) << row.what;
        EXPECT_EQ(InkedOnScreen(view), InkedPixels(doc)) << row.what << ": live as in the memo";
    }
}
