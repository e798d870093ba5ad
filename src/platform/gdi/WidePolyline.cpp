// A wide polyline as one shape. Its consecutive segments overlap almost wholly when the samples
// lie a pixel apart, so drawing them one by one would fill each pixel up to as many times as
// there are segments and work out every cap afresh on every row. Here each pixel is filled
// once, caps come from one table per pen, and a segment's straight part is worked out only on
// the few rows where it reaches beyond the caps at its ends.
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <span>
#include <utility>
#include <vector>

#include "platform/gdi/LineRaster.h"
#include "platform/gdi/RowRuns.h"
#include "platform/gdi/WidePen.h"

namespace {

using namespace wide_pen;

// Beyond these the integer arithmetic below could overflow; such lines are drawn one by one.
constexpr int32_t kMaxCoordinate = 1 << 28;
constexpr int kMaxTableWidth = 1 << 20;
constexpr int32_t kNone = 1 << 30;

// The run of pixels of one row, [x0, x1); empty while x0 >= x1.
struct Run {
    int32_t x0 = kNone;
    int32_t x1 = -kNone;
};

// The pixels a round cap covers on each row it crosses, relative to its centre.
class CapTable {
  public:
    explicit CapTable(const Pen& pen) {
        m_first = static_cast<int32_t>(std::floor(-pen.radius - pen.offset));
        const auto last = static_cast<int32_t>(std::ceil(pen.radius));
        m_x0.reserve(static_cast<size_t>(last - m_first + 1));
        for (int32_t dy = m_first; dy <= last; ++dy) {
            const Interval covered = Disc(0, 0, pen.radius, pen.RowCentre(dy));
            if (covered.Empty()) {
                m_x0.push_back(kNone);
                m_x1.push_back(-kNone);
            } else {
                const PixelRun run = PixelsOf(covered, pen.offset);
                m_x0.push_back(static_cast<int32_t>(run.x0));
                m_x1.push_back(static_cast<int32_t>(run.x1));
            }
        }
    }
    int32_t First() const { return m_first; }
    int32_t Last() const { return m_first + static_cast<int32_t>(m_x0.size()) - 1; }
    const int32_t* X0() const { return m_x0.data(); }
    const int32_t* X1() const { return m_x1.data(); }

  private:
    int32_t m_first;
    std::vector<int32_t> m_x0;
    std::vector<int32_t> m_x1;
};

// The rows on which the straight part of a segment may cover pixels that neither cap does.
// A point of the body outside both caps lies farther than sqrt(r² - L²/4) from the segment's
// line, which for a short segment is a thin strip along each long side; one row more on each
// side of each strip keeps rounding from ever mattering.
void ForEachRowBeyondCaps(CPoint from, CPoint to, const Pen& pen, int32_t first, int32_t last,
                          const auto& visit) {
    const double dx = static_cast<double>(to.x) - from.x;
    const double dy = static_cast<double>(to.y) - from.y;
    const double length = std::sqrt(dx * dx + dy * dy);
    const double inner = std::sqrt(std::max(0.0, pen.radius * pen.radius - length * length / 4));
    const double nearSide = inner * dx / length;
    const double farSide = pen.radius * dx / length;
    int64_t strips[2][2];
    for (int side = 0; side < 2; ++side) {
        const double sign = side == 0 ? -1.0 : 1.0;
        const double low = from.y + std::min(0.0, dy) + std::min(sign * nearSide, sign * farSide);
        const double high = from.y + std::max(0.0, dy) + std::max(sign * nearSide, sign * farSide);
        strips[side][0] =
            std::max<int64_t>(first, static_cast<int64_t>(std::floor(low - pen.offset)) - 1);
        strips[side][1] =
            std::min<int64_t>(last, static_cast<int64_t>(std::ceil(high - pen.offset)) + 1);
    }
    if (strips[0][0] > strips[1][0]) std::swap(strips[0], strips[1]);
    if (strips[1][0] <= strips[0][1] + 1) {
        strips[0][1] = std::max(strips[0][1], strips[1][1]);
        strips[1][0] = 1, strips[1][1] = 0;  // one strip holds both
    }
    for (const auto& strip : strips)
        for (int64_t row = strip[0]; row <= strip[1]; ++row) visit(static_cast<int32_t>(row));
}

// Where a run of the polyline whose y never turns back covers each row. Such a run meets every
// row in one piece: the part of it within a radius of the row is one stretch of the run, and
// the caps along a stretch overlap their neighbours'. So the hull of what its caps and bodies
// cover on a row is exactly what the run covers there.
class MonotoneRun {
  public:
    MonotoneRun(const Pen& pen, const CapTable& caps) : m_pen(pen), m_caps(caps) {}

    void Cover(std::span<const CPoint> points, int32_t first, int32_t last) {
        m_first = first;
        m_last = last;
        m_x0.assign(static_cast<size_t>(last - first + 1), kNone);
        m_x1.assign(static_cast<size_t>(last - first + 1), -kNone);
        // Caps of one height are alike but for their x, and the run never comes back to a
        // height it has left: of each row of caps only the leftmost can set a hull's left
        // end and only the rightmost its right end.
        for (size_t i = 0; i < points.size();) {
            int32_t left = points[i].x, right = points[i].x;
            const int32_t y = points[i].y;
            for (++i; i < points.size() && points[i].y == y; ++i) {
                left = std::min(left, points[i].x);
                right = std::max(right, points[i].x);
            }
            AddCaps(y, left, right);
        }
        for (size_t i = 1; i < points.size(); ++i) AddBody(points[i - 1], points[i]);
    }

    int32_t First() const { return m_first; }
    size_t Rows() const { return m_x0.size(); }
    Run At(int32_t row) const {
        const auto i = static_cast<size_t>(row - m_first);
        return {m_x0[i], m_x1[i]};
    }
    const int32_t* X0() const { return m_x0.data(); }
    const int32_t* X1() const { return m_x1.data(); }

  private:
    void AddCaps(int32_t y, int32_t left, int32_t right) {
        const int32_t a = std::max(m_first, y + m_caps.First());
        const int32_t b = std::min(m_last, y + m_caps.Last());
        if (a > b) return;
        const int32_t* capX0 = m_caps.X0() + (a - y - m_caps.First());
        const int32_t* capX1 = m_caps.X1() + (a - y - m_caps.First());
        int32_t* x0 = m_x0.data() + (a - m_first);
        int32_t* x1 = m_x1.data() + (a - m_first);
        // The hot loop of a wide pen: plain enough for the compiler to vectorise.
        for (int32_t i = 0; i <= b - a; ++i) {
            x0[i] = std::min(x0[i], left + capX0[i]);
            x1[i] = std::max(x1[i], right + capX1[i]);
        }
    }

    void AddBody(CPoint from, CPoint to) {
        const Body body(from, to, m_pen.radius);
        if (!body.HasLength()) return;
        ForEachRowBeyondCaps(from, to, m_pen, m_first, m_last, [&](int32_t row) {
            const Interval covered = body.OnRow(m_pen.RowCentre(row));
            if (covered.Empty()) return;
            const PixelRun run = PixelsOf(covered, m_pen.offset);
            const auto i = static_cast<size_t>(row - m_first);
            m_x0[i] = std::min(m_x0[i], static_cast<int32_t>(run.x0));
            m_x1[i] = std::max(m_x1[i], static_cast<int32_t>(run.x1));
        });
    }

    const Pen& m_pen;
    const CapTable& m_caps;
    int32_t m_first = 0;
    int32_t m_last = -1;
    std::vector<int32_t> m_x0;
    std::vector<int32_t> m_x1;
};

// The union of what the monotone runs cover. A row within a radius of every point of the
// polyline meets it in one piece, so there the union is the hull. Elsewhere one run per row
// is kept open, since the next piece of the polyline usually meets it, and a piece that does
// not is set aside.
class RowUnion {
  public:
    RowUnion(int32_t first, int32_t last, int32_t oneFirst, int32_t oneLast)
        : m_oneFirst(oneFirst), m_oneLast(oneLast), m_runs(first, last) {}

    void Add(const MonotoneRun& run) {
        const int32_t runLast = run.First() + static_cast<int32_t>(run.Rows()) - 1;
        const int32_t oneFirst = std::clamp(m_oneFirst, run.First(), runLast + 1);
        const int32_t oneLast = std::clamp(m_oneLast, oneFirst - 1, runLast);
        for (int32_t row = run.First(); row < oneFirst; ++row) AddApart(row, run.At(row));
        m_runs.Widen(oneFirst, oneLast - oneFirst + 1, run.X0() + (oneFirst - run.First()),
                     run.X1() + (oneFirst - run.First()));
        for (int32_t row = oneLast + 1; row <= runLast; ++row) AddApart(row, run.At(row));
    }

    void Emit(const SpanSink& span) { m_runs.Emit(span); }

  private:
    void AddApart(int32_t row, const Run& piece) { m_runs.Add(row, piece.x0, piece.x1); }

    int32_t m_oneFirst;
    int32_t m_oneLast;
    RowRuns m_runs;
};

int Direction(CPoint from, CPoint to) {
    return (to.y > from.y) - (to.y < from.y);
}

bool FitsTheTables(std::span<const CPoint> points, int width) {
    return width <= kMaxTableWidth && std::all_of(points.begin(), points.end(), [](CPoint p) {
               return std::abs(p.x) <= kMaxCoordinate && std::abs(p.y) <= kMaxCoordinate;
           });
}

}  // namespace

void RasterWidePolyline(std::span<const CPoint> points, int width, const CRect& rows,
                        const SpanSink& span) {
    if (points.size() < 2 || !FitsTheTables(points, width)) {
        if (points.size() == 1) RasterWideLine(points[0], points[0], width, rows, span);
        for (size_t i = 1; i < points.size(); ++i)
            RasterWideLine(points[i - 1], points[i], width, rows, span);
        return;
    }
    const Pen pen(width);
    const CapTable caps(pen);
    const auto [topmost, bottommost] = std::minmax_element(
        points.begin(), points.end(), [](CPoint a, CPoint b) { return a.y < b.y; });
    const int32_t first = std::max(rows.top, topmost->y + caps.First());
    const int32_t last = std::min(rows.bottom - 1, bottommost->y + caps.Last());
    if (first > last) return;

    // The rows whose centres lie within a radius of both the topmost and the bottommost point,
    // less one on each side for rounding.
    const auto oneFirst =
        static_cast<int32_t>(std::ceil(bottommost->y - pen.radius - pen.offset)) + 1;
    const auto oneLast = static_cast<int32_t>(std::floor(topmost->y + pen.radius - pen.offset)) - 1;
    RowUnion covered(first, last, oneFirst, oneLast);
    MonotoneRun run(pen, caps);
    for (size_t start = 0; start + 1 < points.size();) {
        size_t end = start + 1;
        int direction = Direction(points[start], points[end]);
        while (end + 1 < points.size()) {
            const int next = Direction(points[end], points[end + 1]);
            if (next != 0 && direction != 0 && next != direction) break;
            if (next != 0) direction = next;
            ++end;
        }
        int32_t top = INT32_MAX, bottom = INT32_MIN;
        for (size_t i = start; i <= end; ++i) {
            top = std::min(top, points[i].y);
            bottom = std::max(bottom, points[i].y);
        }
        const int32_t runFirst = std::max(first, top + caps.First());
        const int32_t runLast = std::min(last, bottom + caps.Last());
        if (runFirst <= runLast) {
            run.Cover(points.subspan(start, end - start + 1), runFirst, runLast);
            covered.Add(run);
        }
        start = end;
    }
    covered.Emit(span);
}
