#pragma once

#include <algorithm>
#include <cstdint>

struct CPoint {
    int32_t x = 0;
    int32_t y = 0;

    friend bool operator==(const CPoint&, const CPoint&) = default;
};

struct CSize {
    int32_t cx = 0;
    int32_t cy = 0;

    friend bool operator==(const CSize&, const CSize&) = default;
};

// Left and top inside, right and bottom outside.
struct CRect {
    int32_t left = 0;
    int32_t top = 0;
    int32_t right = 0;
    int32_t bottom = 0;

    int32_t Width() const { return right - left; }
    int32_t Height() const { return bottom - top; }
    bool IsRectEmpty() const { return right <= left || bottom <= top; }
    bool PtInRect(CPoint p) const {
        return p.x >= left && p.x < right && p.y >= top && p.y < bottom;
    }
    CPoint TopLeft() const { return {left, top}; }

    void DeflateRect(int32_t dx, int32_t dy) { left += dx, top += dy, right -= dx, bottom -= dy; }
    void OffsetRect(int32_t dx, int32_t dy) { left += dx, top += dy, right += dx, bottom += dy; }
    // The common part of two rectangles; empty (all zero) when they do not meet.
    static CRect Intersect(const CRect& a, const CRect& b) {
        CRect r{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
                std::min(a.bottom, b.bottom)};
        return r.IsRectEmpty() ? CRect{} : r;
    }
    // The smallest rectangle holding both; an empty one adds nothing.
    static CRect Union(const CRect& a, const CRect& b) {
        if (a.IsRectEmpty()) return b;
        if (b.IsRectEmpty()) return a;
        return {std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right),
                std::max(a.bottom, b.bottom)};
    }

    friend bool operator==(const CRect&, const CRect&) = default;
};
