#pragma once

// The geometry of a round pen wider than one pixel, shared by single lines and polylines so
// that both cover exactly the same pixels: where pixel centres sit, what part of a row the
// caps and the body of a segment cross, and which whole pixels a crossed interval covers.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>

#include "platform/gdi/Geometry.h"

namespace wide_pen {

constexpr double kEpsilon = 1e-9;
constexpr double kInfinity = std::numeric_limits<double>::infinity();

struct Interval {
    double lo = kInfinity;
    double hi = -kInfinity;
    bool Empty() const { return lo > hi; }
};

inline void Merge(Interval& into, const Interval& piece) {
    if (!piece.Empty()) {
        into.lo = std::min(into.lo, piece.lo);
        into.hi = std::max(into.hi, piece.hi);
    }
}

// Pixel centres sit on whole coordinates for odd widths and half a pixel down and right for
// even ones, so that a line covers exactly `width` rows or columns.
struct Pen {
    explicit Pen(int width) : radius(width / 2.0), offset(width % 2 == 0 ? 0.5 : 0.0) {}
    double radius;
    double offset;
    double RowCentre(int64_t row) const { return static_cast<double>(row) + offset; }
};

// The round cap around (cx, cy) on the row through y.
inline Interval Disc(double cx, double cy, double radius, double y) {
    const double dy = y - cy;
    const double h2 = radius * radius - dy * dy;
    if (h2 < -kEpsilon) {
        return {};
    }
    const double h = std::sqrt(std::max(0.0, h2));
    return {cx - h, cx + h};
}

// The straight part of a segment: the points whose projection falls on the segment and whose
// distance from its line is at most the radius.
class Body {
  public:
    Body(CPoint from, CPoint to, double radius)
        : m_ax(from.x),
          m_ay(from.y),
          m_dx(static_cast<double>(to.x) - from.x),
          m_dy(static_cast<double>(to.y) - from.y),
          m_length2(m_dx * m_dx + m_dy * m_dy),
          m_halfWidthTimesLength(radius * std::sqrt(m_length2)) {}

    bool HasLength() const { return m_length2 > 0; }

    Interval OnRow(double py) const {
        const Interval along = Solve(m_dx, (py - m_ay) * m_dy - m_ax * m_dx, 0, m_length2);
        const Interval across = Solve(m_dy, -(py - m_ay) * m_dx - m_ax * m_dy,
                                      -m_halfWidthTimesLength, m_halfWidthTimesLength);
        return {std::max(along.lo, across.lo), std::min(along.hi, across.hi)};
    }

  private:
    // The x for which low <= x * k + m <= high.
    static Interval Solve(double k, double m, double low, double high) {
        if (std::abs(k) < kEpsilon) {
            return (m >= low - kEpsilon && m <= high + kEpsilon) ? Interval{-kInfinity, kInfinity}
                                                                 : Interval{};
        }
        const double a = (low - m) / k;
        const double b = (high - m) / k;
        return {std::min(a, b), std::max(a, b)};
    }

    double m_ax, m_ay, m_dx, m_dy, m_length2, m_halfWidthTimesLength;
};

// The whole pixels whose centres an interval of a row holds, x1 excluded; x0 >= x1 when none.
struct PixelRun {
    int64_t x0;
    int64_t x1;
};

inline PixelRun PixelsOf(const Interval& covered, double offset) {
    return {static_cast<int64_t>(std::ceil(covered.lo - offset - kEpsilon)),
            static_cast<int64_t>(std::floor(covered.hi - offset + kEpsilon)) + 1};
}

}  // namespace wide_pen
