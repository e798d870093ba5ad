#include "LineRaster.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <limits>

#include "platform/gdi/WidePen.h"

void RasterThinLine(CPoint from, CPoint to, const SpanSink& span) {
    // Steps along the major axis; the minor coordinate is rounded to the nearer pixel, half
    // way rounding back towards the start, and the end pixel is never set.
    const int64_t dx = int64_t{to.x} - from.x;
    const int64_t dy = int64_t{to.y} - from.y;
    const int64_t major = std::max(std::abs(dx), std::abs(dy));
    const bool xMajor = std::abs(dx) >= std::abs(dy);
    const int64_t minor = xMajor ? std::abs(dy) : std::abs(dx);
    const int64_t majorSign = (xMajor ? dx : dy) < 0 ? -1 : 1;
    const int64_t minorSign = (xMajor ? dy : dx) < 0 ? -1 : 1;
    for (int64_t i = 0; i < major; ++i) {
        const int64_t offset = (2 * i * minor + major - 1) / (2 * major);
        const int64_t x = from.x + (xMajor ? i * majorSign : offset * minorSign);
        const int64_t y = from.y + (xMajor ? offset * minorSign : i * majorSign);
        span(static_cast<int32_t>(y), static_cast<int32_t>(x), static_cast<int32_t>(x + 1));
    }
}

void RasterWideLine(CPoint from, CPoint to, int width, const CRect& rows, const SpanSink& span) {
    using namespace wide_pen;
    const Pen pen(width);
    const Body body(from, to, pen.radius);
    const double top = std::min(from.y, to.y);
    const double bottom = std::max(from.y, to.y);
    const auto firstRow = std::max<int64_t>(
        rows.top, static_cast<int64_t>(std::floor(top - pen.radius - pen.offset)));
    const auto lastRow =
        std::min<int64_t>(rows.bottom - 1, static_cast<int64_t>(std::ceil(bottom + pen.radius)));
    for (int64_t row = firstRow; row <= lastRow; ++row) {
        const double py = pen.RowCentre(row);
        Interval covered;
        Merge(covered, Disc(from.x, from.y, pen.radius, py));
        Merge(covered, Disc(to.x, to.y, pen.radius, py));
        if (body.HasLength()) Merge(covered, body.OnRow(py));
        if (covered.Empty()) {
            continue;
        }
        const PixelRun run = PixelsOf(covered, pen.offset);
        if (run.x0 < run.x1) {
            span(static_cast<int32_t>(row),
                 static_cast<int32_t>(std::max<int64_t>(run.x0, INT32_MIN)),
                 static_cast<int32_t>(std::min<int64_t>(run.x1, INT32_MAX)));
        }
    }
}
