// Strokes: the pen's raw samples drawn live on the screen and committed to the picture.
#include <algorithm>
#include <cstdint>
#include <span>
#include <vector>

#include "memo/QuilloDoc.h"
#include "platform/ui/Stylus.h"
#include "view/QuilloView.h"

namespace {

int RatioOf(int raw, int screen, int previous) {
    const int ratio = screen != 0 ? raw / screen : 0;
    if (ratio > 0) return ratio;
    // A touch on the screen's first row or column tells no ratio: keep the last one known.
    return previous > 0 ? previous : 1;
}

int16_t Clamp16(int32_t value) {
    return static_cast<int16_t>(std::clamp<int32_t>(value, INT16_MIN, INT16_MAX));
}

// What a stroke of `width` through `points` can touch: the points, a tap's line of the
// width, and the pen's round ends around them.
CRect StrokeBounds(const std::vector<StrokePoint>& points, int width) {
    if (points.empty()) return {};
    CRect box{INT32_MAX, INT32_MAX, INT32_MIN, INT32_MIN};
    for (const StrokePoint point : points) {
        box.left = std::min<int32_t>(box.left, point.x);
        box.top = std::min<int32_t>(box.top, point.y);
        box.right = std::max<int32_t>(box.right, point.x + 1);
        box.bottom = std::max<int32_t>(box.bottom, point.y + 1);
    }
    if (points.size() == 1) box.right += width - 1;
    const int32_t reach = width / 2 + 2;
    return {box.left - reach, box.top - reach, box.right + reach, box.bottom + reach};
}

}  // namespace

CPoint CQuilloView::SampleToClient(CPoint raw) const {
    return ScreenToClient({raw.x / m_nRatioX, raw.y / m_nRatioY});
}

void CQuilloView::KeepPoint(CPoint point, uint16_t pressure) {
    m_stroke.push_back({Clamp16(point.x), Clamp16(point.y)});
    m_strokePressure.push_back(pressure);
    m_ptLast = point;
}

double CQuilloView::PressureWidth(uint16_t pressure) const {
    // From one pixel at no pressure to the chosen width at full pressure.
    return 1.0 + (m_nPenWidth - 1.0) * pressure / kMaxStylusPressure;
}

void CQuilloView::BeginStroke(CPoint point) {
    CPoint samples[kMaxStylusSamples];
    uint16_t pressures[kMaxStylusSamples];
    const int count = GetStylusSamples(samples, kMaxStylusSamples);
    GetStylusPressures(pressures, count);
    // The end of the pen that touches decides for the whole stroke: a pen is not turned
    // round without leaving the surface.
    const StylusPointer pointer = GetStylusPointer();
    m_bEraserEnd = pointer == StylusPointer::Eraser;
    m_bPressureStroke = pointer == StylusPointer::PenTip && m_bPenPressure;
    m_stroke.clear();
    m_strokePressure.clear();
    if (count == 0) {
        // No sample came with the touch: the stroke starts where the pen came down.
        KeepPoint(point, kMaxStylusPressure);
    } else {
        const CPoint screen = ClientToScreen(point);
        m_nRatioX = RatioOf(samples[0].x, screen.x, m_nRatioX);
        m_nRatioY = RatioOf(samples[0].y, screen.y, m_nRatioY);
        for (int i = 0; i < count; ++i) KeepPoint(SampleToClient(samples[i]), pressures[i]);
    }
    SetCapture();
}

void CQuilloView::OnLButtonDown(UINT flags, CPoint point) {
    BeginStroke(point);
    CView::OnLButtonDown(flags, point);
}

void CQuilloView::OnLButtonDblClk(UINT flags, CPoint point) {
    BeginStroke(point);
    CView::OnLButtonDblClk(flags, point);
}

void CQuilloView::ContinueStroke(bool penUp) {
    CClientDC dc(this);
    ClipToCanvas(&dc);
    CPen* previous = dc.SelectObject(&CurrentPen());
    CPoint samples[kMaxStylusSamples];
    uint16_t pressures[kMaxStylusSamples];
    const int count = GetStylusSamples(samples, kMaxStylusSamples);
    GetStylusPressures(pressures, count);
    // The event's samples are drawn as one line from where the last event ended.
    CPoint line[kMaxStylusSamples + 1] = {m_ptLast};
    double widths[kMaxStylusSamples + 1] = {
        m_strokePressure.empty() ? 1.0 : PressureWidth(m_strokePressure.back())};
    size_t points = 1;
    for (int i = 0; i < count; ++i) {
        const CPoint q = SampleToClient(samples[i]);
        // Samples finer than a pixel often land on the point already there: a pen that
        // never left it makes a tap, the one-point stroke, and nothing live.
        if (q == m_ptLast) continue;
        widths[points] = PressureWidth(pressures[i]);
        line[points++] = q;
        KeepPoint(q, pressures[i]);
    }
    if (points > 1) {
        const std::span<const CPoint> drawn(line, points);
        if (WidthFollowsPressure()) {
            dc.TaperedPolyline(drawn, std::span<const double>(widths, points));
        } else {
            dc.Polyline(drawn);
        }
    }
    if (penUp) CommitStroke(&dc);
    dc.SelectObject(previous);
}

void CQuilloView::OnMouseMove(UINT flags, CPoint point) {
    if (GetCapture() == this) ContinueStroke(false);
    CView::OnMouseMove(flags, point);
}

void CQuilloView::OnLButtonUp(UINT flags, CPoint point) {
    if (GetCapture() == this) {
        ContinueStroke(true);
        GetDocument()->SetModifiedFlag();
        ReleaseCapture();
    }
    CView::OnLButtonUp(flags, point);
}

void CQuilloView::CommitStroke(CDC* reference) {
    CMemoBitmap& picture = GetDocument()->m_bitmap;
    CDC memory;
    memory.CreateCompatibleDC(reference);
    CBitmap* previousBitmap = memory.SelectObject(picture.GetBitmap());
    const bool pen = StrokeTool() == ToolPen;
    const int width = pen ? m_nPenWidth : m_nEraserWidth;
    const COLORREF color = pen ? m_crPen : m_crBack;
    GetDocument()->RecordChange(StrokeBounds(m_stroke, width));
    CPen* previousPen = memory.SelectObject(pen ? &m_penDraw : &m_penErase);
    if (m_stroke.size() == 1) {
        // Nothing of a tap was drawn live: the screen shows its shape as the memo gets it.
        const StrokePoint only = m_stroke.front();
        for (CDC* dc : {&memory, reference}) {
            if (width == 1) {
                dc->SetPixel(only.x, only.y, color);
            } else {
                dc->MoveTo(only.x, only.y);
                dc->LineTo(only.x + width - 1, only.y);
            }
        }
    } else {
        std::vector<CPoint> line;
        line.reserve(m_stroke.size());
        for (const StrokePoint point : m_stroke) line.push_back({point.x, point.y});
        if (WidthFollowsPressure() && m_strokePressure.size() == m_stroke.size()) {
            std::vector<double> widths;
            widths.reserve(m_stroke.size());
            for (const uint16_t pressure : m_strokePressure)
                widths.push_back(PressureWidth(pressure));
            memory.TaperedPolyline(line, widths);
        } else {
            memory.Polyline(line);
        }
    }
    memory.SelectObject(previousPen);
    memory.SelectObject(previousBitmap);
    memory.DeleteDC();
}
