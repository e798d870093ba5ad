// Drawing with wide pens: one pen event of 64 samples drawn live into a window, and the
// commit of a long stroke into a memo, each against QPainter doing the same.
#include <benchmark/benchmark.h>

#include <QImage>
#include <QPainter>
#include <QPolygon>
#include <cmath>
#include <vector>

#include "bench/BenchMemos.h"
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

void BM_PenEventLive(benchmark::State& state) {
    const auto points = PenEvent();
    auto window = Surface::CreateTrueColor(kWindowWidth, kWindowHeight);
    CDC dc;
    dc.AttachSurface(window.get());
    CPen pen(PS_SOLID, static_cast<int>(state.range(0)), RGB(0, 0, 0));
    dc.SelectObject(&pen);
    for (auto _ : state) {
        DrawLine(dc, points);
        benchmark::ClobberMemory();
    }
}

void BM_PenEventPeer_QPainter(benchmark::State& state) {
    const auto points = PenEvent();
    QImage window(kWindowWidth, kWindowHeight, QImage::Format_RGB32);
    window.fill(Qt::white);
    for (auto _ : state) {
        PeerPolyline(window, points, static_cast<int>(state.range(0)));
        benchmark::ClobberMemory();
    }
}

void BM_CommitStroke1000Points500px(benchmark::State& state) {
    const auto points = LongStroke();
    CMemoBitmap memo;
    MakeMemo(memo, 800, 600, 255, false);
    CPen pen(PS_SOLID, 500, RGB(0, 0, 0));
    for (auto _ : state) {
        CDC dc;
        dc.CreateCompatibleDC(nullptr);
        CBitmap* old = dc.SelectObject(memo.GetBitmap());
        dc.SelectObject(&pen);
        DrawLine(dc, points);
        dc.SelectObject(old);
    }
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
BENCHMARK(BM_CommitStroke1000Points500px)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CommitStrokePeer_QPainter1000Points500px)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
