#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "platform/gdi/DC.h"
#include "platform/gdi/Surface.h"

// A small 8-bit picture with a two-colour table (0 white, 1 black) in a memory context.
struct TwoColorCanvas {
    explicit TwoColorCanvas(int32_t width, int32_t height, bool topDown = false) {
        BITMAPINFOHEADER header{40, width, topDown ? -height : height, 1, 8, BI_RGB, 0, 0, 0, 0, 0};
        const RGBQUAD table[2] = {{255, 255, 255, 0}, {0, 0, 0, 0}};
        EXPECT_TRUE(bitmap.CreateDIBSection(header, table));
        dc.CreateCompatibleDC(nullptr);
        dc.SelectObject(&bitmap);
    }
    Surface& surface() { return *bitmap.GetSurface(); }
    // The set of (x, y) holding index 1.
    std::set<std::pair<int, int>> Inked() {
        std::set<std::pair<int, int>> inked;
        for (int y = 0; y < surface().Height(); ++y)
            for (int x = 0; x < surface().Width(); ++x)
                if (surface().GetPixelValue(x, y) == 1) inked.insert({x, y});
        return inked;
    }

    CBitmap bitmap;
    CDC dc;
};

using Pixels = std::set<std::pair<int, int>>;

// The pixels a polyline of varying width covers, straight from its definition: those whose
// centre (on whole coordinates) lies within the radius at some point of a segment, the radius
// going evenly from half the width at one end to half the width at the other. Pixels whose
// centre lies within 1e-6 of the edge are left to `edge`, where either answer is right.
inline Pixels TaperedReference(const std::vector<CPoint>& points, const std::vector<double>& widths,
                               Pixels* edge = nullptr) {
    Pixels pixels;
    // How far P lies outside the segment's shape: convex in t, so a ternary search finds it.
    const auto outside = [](double px, double py, CPoint a, CPoint b, double ra, double rb) {
        const auto at = [&](double t) {
            return std::hypot(px - a.x - t * (b.x - a.x), py - a.y - t * (b.y - a.y)) -
                   (ra + t * (rb - ra));
        };
        double lo = 0, hi = 1;
        for (int i = 0; i < 100; ++i) {
            const double m1 = lo + (hi - lo) / 3, m2 = hi - (hi - lo) / 3;
            if (at(m1) <= at(m2)) {
                hi = m2;
            } else {
                lo = m1;
            }
        }
        return std::min({at(0), at(1), at((lo + hi) / 2)});
    };
    const size_t last = points.size() > 1 ? points.size() - 1 : 1;
    for (size_t i = 0; i < last; ++i) {
        const size_t j = std::min(i + 1, points.size() - 1);
        // Below one pixel, and no number at all, is one pixel.
        const auto radius = [](double w) { return std::isnan(w) ? 0.5 : std::max(w, 1.0) / 2; };
        const double ra = radius(widths[i]), rb = radius(widths[j]);
        const double reach = std::max(ra, rb) + 1;
        const int x0 = static_cast<int>(std::floor(std::min(points[i].x, points[j].x) - reach));
        const int x1 = static_cast<int>(std::ceil(std::max(points[i].x, points[j].x) + reach));
        const int y0 = static_cast<int>(std::floor(std::min(points[i].y, points[j].y) - reach));
        const int y1 = static_cast<int>(std::ceil(std::max(points[i].y, points[j].y) + reach));
        for (int y = y0; y <= y1; ++y) {
            for (int x = x0; x <= x1; ++x) {
                const double d = outside(x, y, points[i], points[j], ra, rb);
                if (std::abs(d) < 1e-6 && edge != nullptr) edge->insert({x, y});
                if (d <= 0) pixels.insert({x, y});
            }
        }
    }
    return pixels;
}

// `pixels` without those of `edge`.
inline Pixels Without(const Pixels& pixels, const Pixels& edge) {
    Pixels kept;
    std::set_difference(pixels.begin(), pixels.end(), edge.begin(), edge.end(),
                        std::inserter(kept, kept.end()));
    return kept;
}
