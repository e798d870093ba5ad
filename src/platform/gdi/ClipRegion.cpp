#include "ClipRegion.h"

#include <climits>

void ClipRegion::Exclude(const CRect& cut) {
    if (cut.IsRectEmpty()) {
        return;
    }
    if (m_all) {
        m_all = false;
        m_rects = {CRect{INT32_MIN / 2, INT32_MIN / 2, INT32_MAX / 2, INT32_MAX / 2}};
    }
    std::vector<CRect> kept;
    for (const CRect& r : m_rects) {
        if (CRect::Intersect(r, cut).IsRectEmpty()) {
            kept.push_back(r);
            continue;
        }
        // What is left of r: the bands above and below the cut, then left and right of it.
        const int32_t top = std::max(r.top, cut.top);
        const int32_t bottom = std::min(r.bottom, cut.bottom);
        const CRect pieces[] = {
            {r.left, r.top, r.right, top},
            {r.left, bottom, r.right, r.bottom},
            {r.left, top, std::min(r.right, cut.left), bottom},
            {std::max(r.left, cut.right), top, r.right, bottom},
        };
        for (const CRect& piece : pieces) {
            if (!piece.IsRectEmpty()) kept.push_back(piece);
        }
    }
    m_rects = std::move(kept);
}

bool ClipRegion::Contains(const CRect& bounds, int32_t x, int32_t y) const {
    bool inside = false;
    ForEachSpan(bounds, y, x, x + 1, [&](int32_t, int32_t) { inside = true; });
    return inside;
}
