#pragma once

#include <cstdint>
#include <span>

#include "platform/base/FunctionRef.h"
#include "platform/gdi/Geometry.h"

// Calls `span(y, x0, x1)` for the runs of pixels that a line covers, x1 excluded.
using SpanSink = FunctionRef<void(int32_t y, int32_t x0, int32_t x1)>;

// A 1-pixel line from `from` to `to`, leaving out the end pixel `to` itself, so that a
// polyline sets each joint once.
void RasterThinLine(CPoint from, CPoint to, const SpanSink& span);

// A line `width` pixels wide with round caps: every pixel whose centre lies within
// width / 2 of the segment. Pixel centres sit on whole coordinates for odd widths and half
// a pixel down and right for even ones, so a line covers exactly `width` rows or columns.
// Both ends are drawn; consecutive segments meet in round joins. Only rows `rows.top` to
// `rows.bottom` - 1 are visited, so a line running far off the surface costs nothing there.
void RasterWideLine(CPoint from, CPoint to, int width, const CRect& rows, const SpanSink& span);

// The lines of `RasterWideLine` through all `points` in turn, as one shape: the same pixels as
// drawing each segment, but each row's pixels reported once, in runs that neither overlap nor
// touch, row by row from the top. (Beyond 2^28 pixels from the origin, or wider than 2^20,
// the segments are drawn one by one instead.)
void RasterWidePolyline(std::span<const CPoint> points, int width, const CRect& rows,
                        const SpanSink& span);

// A polyline whose width changes from point to point: point i is `widths[i]` pixels wide (at
// least 1), each segment covers the hull of the round caps at its ends, and segments meet in
// round joins. Pixel centres sit on whole coordinates whatever the widths. The pixels are
// those of the segments taken one by one, reported as RasterWidePolyline reports them.
void RasterTaperedPolyline(std::span<const CPoint> points, std::span<const double> widths,
                           const CRect& rows, const SpanSink& span);
