#include "Blit.h"

#include <cstring>
#include <vector>

namespace {

// Source pixel value to target pixel value, table-driven for indexed sources.
class PixelTranslator {
  public:
    PixelTranslator(const Surface& source, const Surface& target)
        : m_source(source), m_target(target) {
        if (source.IsIndexed()) {
            const auto& table = source.ColorTable();
            m_lookup.reserve(table.size());
            for (const RGBQUAD& entry : table) {
                m_lookup.push_back(target.ToPixel(ToColorRef(entry)));
            }
        }
        m_identical = source.SamePixelFormat(target);
    }

    // True when pixel values mean the same on both sides and whole bytes can move.
    bool Identical() const { return m_identical; }

    uint32_t operator()(uint32_t value) const {
        if (!m_lookup.empty()) {
            return value < m_lookup.size() ? m_lookup[value] : m_lookup[0];
        }
        return m_target.ToPixel(m_source.ToColor(value));
    }

  private:
    const Surface& m_source;
    const Surface& m_target;
    std::vector<uint32_t> m_lookup;
    bool m_identical = false;
};

CRect ClipToSurfaces(const Surface& target, int32_t& x, int32_t& y, int32_t& width, int32_t& height,
                     const Surface& source, int32_t& sx, int32_t& sy) {
    // Trim the parts that fall outside either surface, moving both origins together.
    const auto trim = [](int32_t& pos, int32_t& srcPos, int32_t& size, int32_t limit,
                         int32_t srcLimit) {
        if (pos < 0) size += pos, srcPos -= pos, pos = 0;
        if (srcPos < 0) size += srcPos, pos -= srcPos, srcPos = 0;
        size = std::min({size, limit - pos, srcLimit - srcPos});
    };
    trim(x, sx, width, target.Width(), source.Width());
    trim(y, sy, height, target.Height(), source.Height());
    return width > 0 && height > 0 ? CRect{x, y, x + width, y + height} : CRect{};
}

}  // namespace

CRect CopyPixels(Surface& target, const ClipRegion& clip, int32_t x, int32_t y, int32_t width,
                 int32_t height, const Surface& source, int32_t sx, int32_t sy) {
    const CRect area = ClipToSurfaces(target, x, y, width, height, source, sx, sy);
    if (area.IsRectEmpty()) {
        return {};
    }
    const PixelTranslator translate(source, target);
    const bool byteCopy = translate.Identical() && source.BitsPerPixel() >= 8;
    const size_t bytesPerPixel = static_cast<size_t>(source.BitsPerPixel()) / 8;
    CRect changed;
    for (int32_t row = area.top; row < area.bottom; ++row) {
        const int32_t sourceRow = sy + (row - area.top);
        clip.ForEachSpan(area, row, area.left, area.right, [&](int32_t x0, int32_t x1) {
            const int32_t sourceX = sx + (x0 - area.left);
            if (byteCopy) {
                std::memcpy(target.Row(row) + static_cast<size_t>(x0) * bytesPerPixel,
                            source.Row(sourceRow) + static_cast<size_t>(sourceX) * bytesPerPixel,
                            static_cast<size_t>(x1 - x0) * bytesPerPixel);
            } else {
                for (int32_t tx = x0; tx < x1; ++tx) {
                    target.SetPixelValue(
                        tx, row, translate(source.GetPixelValue(sourceX + tx - x0, sourceRow)));
                }
            }
            changed = CRect::Union(changed, {x0, row, x1, row + 1});
        });
    }
    return changed;
}

CRect StretchPixels(Surface& target, const ClipRegion& clip, const CRect& to, const Surface& source,
                    const CRect& from) {
    const CRect sourceArea = CRect::Intersect(from, source.Bounds());
    if (to.IsRectEmpty() || from.IsRectEmpty() || sourceArea != from) {
        return {};
    }
    const int64_t w = to.Width(), h = to.Height(), sw = from.Width(), sh = from.Height();
    const bool average = !target.IsIndexed() && (sw > w || sh > h);

    // For each target column and row, the source pixels it stands for.
    const auto spans = [](int64_t count, int64_t sourceCount, int32_t sourceStart, bool box) {
        std::vector<std::pair<int32_t, int32_t>> result(static_cast<size_t>(count));
        for (int64_t i = 0; i < count; ++i) {
            int64_t first = i * sourceCount / count;
            int64_t last = (i + 1) * sourceCount / count;
            if (!box || last <= first) {
                first = (2 * i + 1) * sourceCount / (2 * count);
                last = first + 1;
            }
            result[static_cast<size_t>(i)] = {static_cast<int32_t>(sourceStart + first),
                                              static_cast<int32_t>(sourceStart + last)};
        }
        return result;
    };
    const auto columns = spans(w, sw, from.left, average && sw > w);
    const auto rows = spans(h, sh, from.top, average && sh > h);

    std::vector<COLORREF> sourceColors;
    if (source.IsIndexed()) {
        for (const RGBQUAD& entry : source.ColorTable()) sourceColors.push_back(ToColorRef(entry));
    }
    const auto colorAt = [&](int32_t x, int32_t y) {
        const uint32_t value = source.GetPixelValue(x, y);
        return sourceColors.empty()
                   ? source.ToColor(value)
                   : sourceColors[std::min<size_t>(value, sourceColors.size() - 1)];
    };
    const PixelTranslator translate(source, target);

    const CRect bounds = CRect::Intersect(to, target.Bounds());
    CRect changed;
    for (int32_t ty = bounds.top; ty < bounds.bottom; ++ty) {
        const int32_t rowFirst = rows[static_cast<size_t>(ty - to.top)].first;
        const int32_t rowLast = rows[static_cast<size_t>(ty - to.top)].second;
        clip.ForEachSpan(bounds, ty, bounds.left, bounds.right, [&](int32_t x0, int32_t x1) {
            for (int32_t tx = x0; tx < x1; ++tx) {
                const auto [colFirst, colLast] = columns[static_cast<size_t>(tx - to.left)];
                if (!average) {
                    target.SetPixelValue(tx, ty,
                                         translate(source.GetPixelValue(colFirst, rowFirst)));
                    continue;
                }
                uint32_t red = 0, green = 0, blue = 0;
                for (int32_t sy = rowFirst; sy < rowLast; ++sy) {
                    for (int32_t sx = colFirst; sx < colLast; ++sx) {
                        const COLORREF color = colorAt(sx, sy);
                        red += GetRValue(color), green += GetGValue(color),
                            blue += GetBValue(color);
                    }
                }
                const uint32_t count =
                    static_cast<uint32_t>((rowLast - rowFirst) * (colLast - colFirst));
                const COLORREF mean = RGB(static_cast<uint8_t>((red + count / 2) / count),
                                          static_cast<uint8_t>((green + count / 2) / count),
                                          static_cast<uint8_t>((blue + count / 2) / count));
                target.SetPixelValue(tx, ty, target.ToPixel(mean));
            }
            changed = CRect::Union(changed, {x0, ty, x1, ty + 1});
        });
    }
    return changed;
}
