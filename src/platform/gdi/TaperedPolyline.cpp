// A polyline whose width changes from point to point. Each segment covers the convex hull of
// the round caps at its two ends, each cap as wide as its point: the width changes evenly
// along the segment, and consecutive segments meet in the cap they share, a round join. A
// pixel is covered when its centre lies in one of the hulls, so the pixels of a polyline are
// those of its segments taken one by one: a stroke drawn a few segments at a time covers
// exactly what it covers drawn whole.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <span>
#include <vector>

#include "platform/gdi/LineRaster.h"
#include "platform/gdi/RowRuns.h"

namespace {

constexpr double kEpsilon = 1e-9;
constexpr double kInfinity = 1e300;
// Wider than any surface; keeps the row tables of a cap small enough to make.
constexpr double kMaxWidth = 1 << 16;

double RadiusOf(double width) {
    // NaN and anything below one pixel draw one pixel wide.
    return std::clamp(std::isnan(width) ? 1.0 : width, 1.0, kMaxWidth) / 2;
}

// What a round cap covers on each row whose pixel centres it reaches.
class CapRows {
  public:
    void Make(CPoint centre, double radius) {
        m_y = centre.y;
        m_reach = static_cast<int32_t>(std::floor(radius + kEpsilon));
        m_half.resize(static_cast<size_t>(m_reach) + 1);
        for (int32_t dy = 0; dy <= m_reach; ++dy)
            m_half[static_cast<size_t>(dy)] =
                std::sqrt(std::max(0.0, radius * radius - double(dy) * dy));
        m_x = centre.x;
    }
    int64_t Top() const { return int64_t{m_y} - m_reach; }
    int64_t Bottom() const { return int64_t{m_y} + m_reach; }
    void Extend(int64_t row, double& lo, double& hi) const {
        const int64_t dy = row < m_y ? m_y - row : row - m_y;
        if (dy > m_reach) return;
        const double half = m_half[static_cast<size_t>(dy)];
        lo = std::min(lo, m_x - half);
        hi = std::max(hi, m_x + half);
    }

  private:
    int32_t m_y = 0;
    int32_t m_reach = 0;
    double m_x = 0;
    std::vector<double> m_half;
};

// A straight side of a segment's hull: where it crosses a row widens the hull's run there.
class Side {
  public:
    Side() = default;
    Side(double ax, double ay, double bx, double by)
        : m_ax(ax), m_ay(ay), m_bx(bx), m_top(std::min(ay, by)), m_bottom(std::max(ay, by)) {
        m_flat = m_bottom - m_top < kEpsilon;
        m_slope = m_flat ? 0 : (bx - ax) / (by - ay);
    }
    void Extend(int64_t row, double& lo, double& hi) const {
        const auto y = static_cast<double>(row);
        if (y < m_top - kEpsilon || y > m_bottom + kEpsilon) return;
        if (m_flat) {
            lo = std::min({lo, m_ax, m_bx});
            hi = std::max({hi, m_ax, m_bx});
            return;
        }
        const double x = m_ax + (y - m_ay) * m_slope;
        lo = std::min(lo, x);
        hi = std::max(hi, x);
    }

  private:
    double m_ax = 0, m_ay = 0, m_bx = 0, m_top = kInfinity, m_bottom = -kInfinity;
    double m_slope = 0;
    bool m_flat = false;
};

// The two outer tangents of the caps at the ends of a segment; none where one cap holds the
// other, whose hull is then the larger cap.
int TangentSides(CPoint a, double ra, CPoint b, double rb, Side (&sides)[2]) {
    const double dx = static_cast<double>(b.x) - a.x;
    const double dy = static_cast<double>(b.y) - a.y;
    const double length = std::sqrt(dx * dx + dy * dy);
    if (length <= std::abs(ra - rb) + kEpsilon) return 0;
    const double ux = dx / length, uy = dy / length;
    // A tangent's outward normal m has m . u = (ra - rb) / length.
    const double k = (ra - rb) / length;
    const double h = std::sqrt(std::max(0.0, 1 - k * k));
    for (int side = 0; side < 2; ++side) {
        const double sign = side == 0 ? 1.0 : -1.0;
        const double mx = k * ux - sign * h * uy;
        const double my = k * uy + sign * h * ux;
        sides[side] = Side(a.x + ra * mx, a.y + ra * my, b.x + rb * mx, b.y + rb * my);
    }
    return 2;
}

}  // namespace

void RasterTaperedPolyline(std::span<const CPoint> points, std::span<const double> widths,
                           const CRect& rows, const SpanSink& span) {
    const size_t count = std::min(points.size(), widths.size());
    if (count == 0 || rows.top >= rows.bottom) return;
    int64_t top = INT64_MAX, bottom = INT64_MIN;
    for (size_t i = 0; i < count; ++i) {
        const auto reach = static_cast<int64_t>(std::floor(RadiusOf(widths[i]) + kEpsilon));
        top = std::min(top, int64_t{points[i].y} - reach);
        bottom = std::max(bottom, int64_t{points[i].y} + reach);
    }
    const auto first = static_cast<int32_t>(std::max<int64_t>(top, rows.top));
    const auto last = static_cast<int32_t>(std::min<int64_t>(bottom, rows.bottom - 1));
    if (first > last) return;

    RowRuns covered(first, last);
    CapRows caps[2];
    caps[0].Make(points[0], RadiusOf(widths[0]));
    // One point is its cap; each further point adds the hull of its segment.
    const size_t segments = std::max<size_t>(count, 2) - 1;
    for (size_t i = 0; i < segments; ++i) {
        const CapRows& from = caps[i % 2];
        const size_t next = std::min(i + 1, count - 1);
        CapRows& to = caps[(i + 1) % 2];
        to.Make(points[next], RadiusOf(widths[next]));
        Side sides[2];
        const int sideCount = TangentSides(points[i], RadiusOf(widths[i]), points[next],
                                           RadiusOf(widths[next]), sides);
        const int64_t segmentTop = std::max<int64_t>(first, std::min(from.Top(), to.Top()));
        const int64_t segmentBottom = std::min<int64_t>(last, std::max(from.Bottom(), to.Bottom()));
        for (int64_t row = segmentTop; row <= segmentBottom; ++row) {
            double lo = kInfinity, hi = -kInfinity;
            from.Extend(row, lo, hi);
            to.Extend(row, lo, hi);
            for (int s = 0; s < sideCount; ++s) sides[s].Extend(row, lo, hi);
            if (lo > hi) continue;
            const auto pixel = [](double x) {
                return static_cast<int32_t>(
                    std::clamp<double>(x, -RowRuns::kNone + 1, RowRuns::kNone - 1));
            };
            covered.Add(static_cast<int32_t>(row), pixel(std::ceil(lo - kEpsilon)),
                        pixel(std::floor(hi + kEpsilon) + 1));
        }
    }
    covered.Emit(span);
}
