#pragma once

#include <vector>

#include "platform/gdi/Geometry.h"

// The part of a surface that drawing may touch: disjoint rectangles, everything at first.
class ClipRegion {
  public:
    // Takes `rect` out of the region.
    void Exclude(const CRect& rect);
    void Reset() { m_all = true, m_rects.clear(); }

    // Calls `visit(x0, x1)` for each run of row y inside both the region and `bounds`.
    template <typename Visit>
    void ForEachSpan(const CRect& bounds, int32_t y, int32_t x0, int32_t x1, Visit visit) const {
        if (y < bounds.top || y >= bounds.bottom) {
            return;
        }
        x0 = std::max(x0, bounds.left);
        x1 = std::min(x1, bounds.right);
        if (m_all) {
            if (x0 < x1) visit(x0, x1);
            return;
        }
        for (const CRect& r : m_rects) {
            if (y >= r.top && y < r.bottom) {
                const int32_t a = std::max(x0, r.left);
                const int32_t b = std::min(x1, r.right);
                if (a < b) visit(a, b);
            }
        }
    }

    bool Contains(const CRect& bounds, int32_t x, int32_t y) const;

  private:
    bool m_all = true;
    std::vector<CRect> m_rects;
};
