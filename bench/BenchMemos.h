#pragma once

// What the benchmarks share: memo pictures to load, save and draw on, and a long stroke.
#include <cmath>
#include <cstdint>
#include <vector>

#include "memo/DefaultColorTable.h"
#include "memo/MemoBitmap.h"
#include "platform/gdi/Geometry.h"

// An 8-bit memo in the device's colours, all `color`, with a black dot every 97 pixels
// when `dotted` (so that shrinking and compressing it have work to do).
inline void MakeMemo(CMemoBitmap& memo, int32_t width, int32_t height, uint8_t color,
                     bool dotted) {
    BITMAPINFO info{};
    info.bmiHeader = {40, width, height, 1, 8, BI_RGB, 0, 0, 0, 0, 0};
    std::copy(DefaultColorTable().begin(), DefaultColorTable().end(), info.bmiColors);
    std::vector<uint8_t> pixels(static_cast<size_t>(width) * static_cast<size_t>(height), color);
    if (dotted) {
        for (size_t i = 0; i < pixels.size(); i += 97) pixels[i] = 0;
    }
    memo.CreateFromDib(&info, pixels);
}

// A 1000-point stroke that winds across an 800 x 600 memo.
inline std::vector<CPoint> LongStroke() {
    std::vector<CPoint> points;
    for (int i = 0; i < 1000; ++i) {
        const double t = i / 999.0;
        points.push_back({static_cast<int32_t>(400 + 350 * std::sin(t * 37)),
                          static_cast<int32_t>(300 + 250 * std::cos(t * 23))});
    }
    return points;
}

// What the view records for undo before it commits a stroke: the points' box and the pen's
// reach around it.
inline CRect StrokeArea(const std::vector<CPoint>& points, int width) {
    CRect box{points[0].x, points[0].y, points[0].x + 1, points[0].y + 1};
    for (const CPoint& p : points) box = CRect::Union(box, {p.x, p.y, p.x + 1, p.y + 1});
    const int32_t reach = width / 2 + 2;
    return {box.left - reach, box.top - reach, box.right + reach, box.bottom + reach};
}
