#include "LineRaster.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <limits>

namespace {

constexpr double kEpsilon = 1e-9;
constexpr double kInfinity = std::numeric_limits<double>::infinity();

struct Interval {
    double lo = kInfinity;
    double hi = -kInfinity;
    bool Empty() const { return lo > hi; }
};

// The x for which low <= x * k + m <= high.
Interval Solve(double k, double m, double low, double high) {
    if (std::abs(k) < kEpsilon) {
        return (m >= low - kEpsilon && m <= high + kEpsilon) ? Interval{-kInfinity, kInfinity}
                                                             : Interval{};
    }
    const double a = (low - m) / k;
    const double b = (high - m) / k;
    return {std::min(a, b), std::max(a, b)};
}

Interval Disc(double cx, double cy, double radius, double y) {
    const double dy = y - cy;
    const double h2 = radius * radius - dy * dy;
    if (h2 < -kEpsilon) {
        return {};
    }
    const double h = std::sqrt(std::max(0.0, h2));
    return {cx - h, cx + h};
}

void Merge(Interval& into, const Interval& piece) {
    if (!piece.Empty()) {
        into.lo = std::min(into.lo, piece.lo);
        into.hi = std::max(into.hi, piece.hi);
    }
}

}  // namespace

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
    const double radius = width / 2.0;
    const double offset = width % 2 == 0 ? 0.5 : 0.0;
    const double ax = from.x;
    const double ay = from.y;
    const double dx = static_cast<double>(to.x) - from.x;
    const double dy = static_cast<double>(to.y) - from.y;
    const double length2 = dx * dx + dy * dy;
    const double halfWidthTimesLength = radius * std::sqrt(length2);

    const auto firstRow = std::max<int64_t>(
        rows.top, static_cast<int64_t>(std::floor(std::min(ay, ay + dy) - radius - offset)));
    const auto lastRow = std::min<int64_t>(
        rows.bottom - 1, static_cast<int64_t>(std::ceil(std::max(ay, ay + dy) + radius)));
    for (int64_t row = firstRow; row <= lastRow; ++row) {
        const double py = static_cast<double>(row) + offset;
        Interval covered;
        Merge(covered, Disc(ax, ay, radius, py));
        Merge(covered, Disc(ax + dx, ay + dy, radius, py));
        if (length2 > 0) {
            // Inside the body: the projection falls on the segment and the distance from
            // its line is at most the radius.
            const Interval along = Solve(dx, (py - ay) * dy - ax * dx, 0, length2);
            const Interval across =
                Solve(dy, -(py - ay) * dx - ax * dy, -halfWidthTimesLength, halfWidthTimesLength);
            Interval body{std::max(along.lo, across.lo), std::min(along.hi, across.hi)};
            Merge(covered, body);
        }
        if (covered.Empty()) {
            continue;
        }
        const auto x0 = static_cast<int64_t>(std::ceil(covered.lo - offset - kEpsilon));
        const auto x1 = static_cast<int64_t>(std::floor(covered.hi - offset + kEpsilon)) + 1;
        if (x0 < x1) {
            span(static_cast<int32_t>(row), static_cast<int32_t>(std::max<int64_t>(x0, INT32_MIN)),
                 static_cast<int32_t>(std::min<int64_t>(x1, INT32_MAX)));
        }
    }
}
