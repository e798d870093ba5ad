// Drawing with wide pens: one pen event of 64 samples drawn live into a window (with a fixed
// width, and with widths that follow the pen's pressure), and the commit of a long stroke into
// a memo, each against QPainter doing the same.
#include <benchmark/benchmark.h>

#include <QImage>
#include <QLineF>
#include <QPainter>
#include <QPainterPath>
#include <QPolygon>
#include <cmath>
#include <vector>

#include "bench/BenchMemos.h"
#include "memo/MemoHistory.h"
#include "platform/gdi/DC.h"
#include "platform/gdi/GdiObjects.h"
#include "platform/gdi/Surface.h"

namespace {

constexpr int kWindowWidth = 240;
constexpr int kWindowHeight = 320;

// 64 samples one pixel apart, as a pen event brings them.
std::vector<CPoint> PenEvent() {
    std::vector<CPoint> points;
    for (int i = 0; i < 64; ++i) points.push_back({88 + i, 160 + (i / 8) % 2});
    return points;
}

// The widths of a pen event whose pressure rises and falls: 1 to `widest` pixels.
std::vector<double> PressureWidths(int widest) {
    std::vector<double> widths;
    for (int i = 0; i < 64; ++i) widths.push_back(1 + (widest - 1) * std::sin(i * M_PI / 63));
    return widths;
}

// What the view does with a pen event and with a stroke's points at its end.
void DrawLine(CDC& dc, const std::vector<CPoint>& points) {
    dc.Polyline(points);
}

void PeerPolyline(QImage& image, const std::vector<CPoint>& points, int width) {
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setPen(QPen(Qt::black, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    QPolygon polygon;
    for (const CPoint& p : points) polygon << QPoint(p.x, p.y);
    painter.drawPolyline(polygon);
}

// A varying width as a painter program draws it: a round dot at each point and, along each
// segment, the quadrilateral between the dots' diameters across it, filled as one path.
void PeerTaperedPolyline(QImage& image, const std::vector<CPoint>& points,
                         const std::vector<double>& widths) {
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing, false);
    QPainterPath path;
    path.setFillRule(Qt::WindingFill);
    for (size_t i = 0; i < points.size(); ++i) {
        const QPointF p(points[i].x, points[i].y);
        const double r = widths[i] / 2;
        path.addEllipse(p, r, r);
        if (i == 0) continue;
        const QPointF from(points[i - 1].x, points[i - 1].y);
        const QLineF normal = QLineF(from, p).normalVector().unitVector();
        const QPointF across = normal.p2() - normal.p1();
        const double rFrom = widths[i - 1] / 2;
        path.addPolygon(QPolygonF({from + across * rFrom, p + across * r, p - across * r,
                                   from - across * rFrom, from + across * rFrom}));
    }
    painter.fillPath(path, Qt::black);
}

// One pen event drawn over and over into a window, with a pen of the benchmark's width.
template <typename Draw>
void DrawEvents(benchmark::State& state, Draw draw) {
    auto window = Surface::CreateTrueColor(kWindowWidth, kWindowHeight);
    CDC dc;
    dc.AttachSurface(window.get());
    CPen pen(PS_SOLID, static_cast<int>(state.range(0)), RGB(0, 0, 0));
    dc.SelectObject(&pen);
    for (auto _ : state) {
        draw(dc);
        benchmark::ClobberMemory();
    }
}

// The same with QPainter into an image of the window's size.
template <typename Paint>
void PaintEvents(benchmark::State& state, Paint paint) {
    QImage window(kWindowWidth, kWindowHeight, QImage::Format_RGB32);
    window.fill(Qt::white);
    for (auto _ : state) {
        paint(window);
        benchmark::ClobberMemory();
    }
}

void BM_PenEventLive(benchmark::State& state) {
    const auto points = PenEvent();
    DrawEvents(state, [&](CDC& dc) { DrawLine(dc, points); });
}

void BM_PenEventPeer_QPainter(benchmark::State& state) {
    const auto points = PenEvent();
    const int width = static_cast<int>(state.range(0));
    PaintEvents(state, [&](QImage& window) { PeerPolyline(window, points, width); });
}

void BM_PenEventLivePressure(benchmark::State& state) {
    const auto points = PenEvent();
    const auto widths = PressureWidths(static_cast<int>(state.range(0)));
    DrawEvents(state, [&](CDC& dc) { dc.TaperedPolyline(points, widths); });
}

void BM_PenEventPressurePeer_QPainter(benchmark::State& state) {
    const auto points = PenEvent();
    const auto widths = PressureWidths(static_cast<int>(state.range(0)));
    PaintEvents(state, [&](QImage& window) { PeerTaperedPolyline(window, points, widths); });
}

// As the view commits: the stroke's undo step recorded first (the history dropping its oldest
// steps once they hold 64 MiB), then the stroke drawn.
void CommitStroke(benchmark::State& state, int width) {
    const auto points = LongStroke();
    CMemoBitmap memo;
    MakeMemo(memo, 800, 600, 255, false);
    CPen pen(PS_SOLID, width, RGB(0, 0, 0));
    CMemoHistory history;
    for (auto _ : state) {
        history.BeforeChange(memo, StrokeArea(points, width));
        CDC dc;
        dc.CreateCompatibleDC(nullptr);
        CBitmap* old = dc.SelectObject(memo.GetBitmap());
        dc.SelectObject(&pen);
        DrawLine(dc, points);
        dc.SelectObject(old);
    }
}

void BM_CommitStroke1000Points5px(benchmark::State& state) {
    CommitStroke(state, 5);
}

void BM_CommitStroke1000Points500px(benchmark::State& state) {
    CommitStroke(state, 500);
}

void BM_CommitStrokePeer_QPainter1000Points500px(benchmark::State& state) {
    const auto points = LongStroke();
    QImage memo(800, 600, QImage::Format_RGB32);
    memo.fill(Qt::white);
    for (auto _ : state) {
        PeerPolyline(memo, points, 500);
        benchmark::ClobberMemory();
    }
}

}  // namespace

BENCHMARK(BM_PenEventLive)->Arg(5)->Arg(40)->Arg(500);
BENCHMARK(BM_PenEventPeer_QPainter)->Arg(5)->Arg(40)->Arg(500);
BENCHMARK(BM_PenEventLivePressure)->Arg(5);
BENCHMARK(BM_PenEventPressurePeer_QPainter)->Arg(5);
BENCHMARK(BM_CommitStroke1000Points5px)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CommitStroke1000Points500px)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CommitStrokePeer_QPainter1000Points500px)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
