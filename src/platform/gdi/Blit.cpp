#include "Blit.h"

#include <algorithm>
#include <cstring>
#include <thread>
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
    const bool eightToTrueColor = source.BitsPerPixel() == 8 && target.BitsPerPixel() == 32;
    CRect changed;
    for (int32_t row = area.top; row < area.bottom; ++row) {
        const int32_t sourceRow = sy + (row - area.top);
        clip.ForEachSpan(area, row, area.left, area.right, [&](int32_t x0, int32_t x1) {
            const int32_t sourceX = sx + (x0 - area.left);
            if (byteCopy) {
                std::memcpy(target.Row(row) + static_cast<size_t>(x0) * bytesPerPixel,
                            source.Row(sourceRow) + static_cast<size_t>(sourceX) * bytesPerPixel,
                            static_cast<size_t>(x1 - x0) * bytesPerPixel);
            } else if (eightToTrueColor) {
                // The common repaint: an 8-bit memo onto a window, one table look-up a pixel.
                const uint8_t* from = source.Row(sourceRow) + sourceX;
                uint8_t* to = target.Row(row) + 4 * static_cast<size_t>(x0);
                for (int32_t n = x1 - x0; n > 0; --n, to += 4) {
                    const uint32_t value = translate(*from++);
                    std::memcpy(to, &value, 4);
                }
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

namespace {

// The source pixels that each of `count` target pixels stands for: when `box`, the run
// [first, last) that falls under it (the runs cover the source exactly once), otherwise
// the one pixel under its centre.
std::vector<std::pair<int32_t, int32_t>> SourceRuns(int64_t count, int64_t sourceCount,
                                                    int32_t sourceStart, bool box) {
    std::vector<std::pair<int32_t, int32_t>> runs(static_cast<size_t>(count));
    for (int64_t i = 0; i < count; ++i) {
        int64_t first = (2 * i + 1) * sourceCount / (2 * count);
        int64_t last = first + 1;
        if (box) {
            first = i * sourceCount / count;
            last = (i + 1) * sourceCount / count;
        }
        runs[static_cast<size_t>(i)] = {static_cast<int32_t>(sourceStart + first),
                                        static_cast<int32_t>(sourceStart + last)};
    }
    return runs;
}

// Reads the colours of one source row quickly: 8-bit rows through a table, others by value.
class RowColors {
  public:
    explicit RowColors(const Surface& source)
        : m_source(source), m_eightBit(source.BitsPerPixel() == 8) {
        for (const RGBQUAD& entry : source.ColorTable()) m_table.push_back(ToColorRef(entry));
    }
    COLORREF At(const uint8_t* row, int32_t x, int32_t y) const {
        if (m_eightBit) {
            return m_table[row[x]];
        }
        const uint32_t value = m_source.GetPixelValue(x, y);
        return m_table.empty() ? m_source.ToColor(value)
                               : m_table[std::min<size_t>(value, m_table.size() - 1)];
    }

  private:
    const Surface& m_source;
    const bool m_eightBit;
    std::vector<COLORREF> m_table;
};

// Red, green and blue of a colour in one 64-bit word, 21 bits each, so that the sums of a
// box of up to kMaxBoxPixels pixels are one addition per pixel.
constexpr int kChannelBits = 21;
constexpr uint64_t kChannelMask = (uint64_t{1} << kChannelBits) - 1;
constexpr int64_t kMaxBoxPixels = kChannelMask / 255;
constexpr int kReciprocalShift = 40;
// From how many source pixels on a shrink is worth a second thread.
constexpr int64_t kParallelPixels = 200000;

uint64_t Packed(COLORREF color) {
    return uint64_t{color & 0xFF} | uint64_t{(color >> 8) & 0xFF} << kChannelBits |
           uint64_t{(color >> 16) & 0xFF} << (2 * kChannelBits);
}

// (sum + n / 2) / n without a division, given Reciprocal(n): exact for sums below 2^22 and
// n below 2^18.
uint64_t Reciprocal(uint32_t n) {
    return ((uint64_t{1} << kReciprocalShift) + n - 1) / n;
}

uint32_t DivideRounded(uint64_t sum, uint32_t n, uint64_t reciprocal) {
    return static_cast<uint32_t>(((sum + n / 2) * reciprocal) >> kReciprocalShift);
}

// Each column box's reciprocal for one band height; a shrink has at most two heights, so
// the divisions are made once per shrink, not once per pixel.
class BoxReciprocals {
  public:
    explicit BoxReciprocals(const std::vector<std::pair<int32_t, int32_t>>& columns)
        : m_columns(columns) {}

    const std::vector<uint64_t>& For(uint32_t bandHeight) {
        for (const auto& [height, values] : m_byHeight) {
            if (height == bandHeight) return values;
        }
        std::vector<uint64_t> values(m_columns.size());
        for (size_t i = 0; i < m_columns.size(); ++i) {
            values[i] = Reciprocal(BoxSize(i, bandHeight));
        }
        m_byHeight.emplace_back(bandHeight, std::move(values));
        return m_byHeight.back().second;
    }

    uint32_t BoxSize(size_t column, uint32_t bandHeight) const {
        return static_cast<uint32_t>(m_columns[column].second - m_columns[column].first) *
               bandHeight;
    }

  private:
    const std::vector<std::pair<int32_t, int32_t>>& m_columns;
    std::vector<std::pair<uint32_t, std::vector<uint64_t>>> m_byHeight;
};

// The packed colour sum of row[first, last) of an 8-bit source. Most of a memo is paper: the
// run of its first index, told eight bytes at a time, costs one lookup.
[[gnu::always_inline]] inline uint64_t SumIndexedRun(const uint8_t* row, int32_t first, int32_t last,
                       const std::vector<uint64_t>& palette) {
    const uint8_t* run = row + first;
    const int32_t count = last - first;
    const uint64_t same = uint64_t{run[0]} * 0x0101010101010101u;
    int32_t i = 0;
    for (uint64_t word = 0; i + 8 <= count; i += 8) {
        std::memcpy(&word, run + i, sizeof word);
        if (word != same) break;
    }
    while (i < count && run[i] == run[0]) ++i;
    uint64_t sum = palette[run[0]] * static_cast<uint64_t>(i);
    for (; i < count; ++i) sum += palette[run[i]];
    return sum;
}

// The shrink of StretchPixels when every column box is wider than one pixel: each source
// pixel's colour is looked up once and added to its column's sums in one addition. False
// when the boxes are too large for the packed sums (the general code then runs).
bool ShrinkByBoxes(Surface& target, const ClipRegion& clip, const CRect& to, const Surface& source,
                   const std::vector<std::pair<int32_t, int32_t>>& columns,
                   const std::vector<std::pair<int32_t, int32_t>>& rows, CRect& changed) {
    int64_t widest = 0, tallest = 0;
    for (const auto& [first, last] : columns) widest = std::max<int64_t>(widest, last - first);
    for (const auto& [first, last] : rows) tallest = std::max<int64_t>(tallest, last - first);
    if (widest * tallest > kMaxBoxPixels) return false;

    const bool eightBit = source.BitsPerPixel() == 8;
    std::vector<uint64_t> palette;
    if (eightBit) {
        const auto& table = source.ColorTable();
        palette.assign(256, table.empty() ? 0 : Packed(ToColorRef(table.back())));
        for (size_t i = 0; i < std::min<size_t>(table.size(), 256); ++i) {
            palette[i] = Packed(ToColorRef(table[i]));
        }
    }
    const RowColors colors(source);
    const CRect bounds = CRect::Intersect(to, target.Bounds());
    // Target rows [top, bottom): each part of the work has sums and results of its own.
    const auto shrinkRows = [&](int32_t top, int32_t bottom, CRect& changedPart) {
        std::vector<uint64_t> sums(columns.size());
        std::vector<uint32_t> rowValues(columns.size());
        BoxReciprocals boxes(columns);
        for (int32_t ty = top; ty < bottom; ++ty) {
            const auto [rowFirst, rowLast] = rows[static_cast<size_t>(ty - to.top)];
            std::fill(sums.begin(), sums.end(), 0);
            int32_t sy = rowFirst;
            if (eightBit) {
                // Two rows at a time, each column's run summed in registers: no addition waits
                // on a store, and the two rows' lookups overlap.
                for (; sy + 1 < rowLast; sy += 2) {
                    const uint8_t* upper = source.Row(sy);
                    const uint8_t* lower = source.Row(sy + 1);
                    for (size_t i = 0; i < columns.size(); ++i) {
                        const auto [first, last] = columns[i];
                        sums[i] += SumIndexedRun(upper, first, last, palette) +
                                   SumIndexedRun(lower, first, last, palette);
                    }
                }
            }
            for (; sy < rowLast; ++sy) {
                const uint8_t* row = source.Row(sy);
                for (size_t i = 0; i < columns.size(); ++i) {
                    uint64_t run = 0;
                    if (eightBit) {
                        run = SumIndexedRun(row, columns[i].first, columns[i].second, palette);
                    } else {
                        for (int32_t sx = columns[i].first; sx < columns[i].second; ++sx) {
                            run += Packed(colors.At(row, sx, sy));
                        }
                    }
                    sums[i] += run;
                }
            }
            const auto bandHeight = static_cast<uint32_t>(rowLast - rowFirst);
            const std::vector<uint64_t>& reciprocals = boxes.For(bandHeight);
            for (size_t i = 0; i < columns.size(); ++i) {
                const uint32_t n = boxes.BoxSize(i, bandHeight);
                const uint64_t r = reciprocals[i];
                const uint64_t sum = sums[i];
                rowValues[i] = target.ToPixel(
                    RGB(static_cast<uint8_t>(DivideRounded(sum & kChannelMask, n, r)),
                        static_cast<uint8_t>(
                            DivideRounded((sum >> kChannelBits) & kChannelMask, n, r)),
                        static_cast<uint8_t>(DivideRounded(sum >> (2 * kChannelBits), n, r))));
            }
            clip.ForEachSpan(bounds, ty, bounds.left, bounds.right, [&](int32_t x0, int32_t x1) {
                for (int32_t tx = x0; tx < x1; ++tx) {
                    target.SetPixelValue(tx, ty, rowValues[static_cast<size_t>(tx - to.left)]);
                }
                changedPart = CRect::Union(changedPart, {x0, ty, x1, ty + 1});
            });
        }
    };
    // A large shrink (a whole memo into a thumbnail) is shared with a second thread.
    const int64_t sourcePixels = int64_t{columns.back().second - columns.front().first} *
                                 (rows.back().second - rows.front().first);
    if (sourcePixels < kParallelPixels || bounds.Height() < 2) {
        shrinkRows(bounds.top, bounds.bottom, changed);
        return true;
    }
    const int32_t middle = bounds.top + bounds.Height() / 2;
    CRect upperChanged, lowerChanged;
    std::thread lowerHalf([&] { shrinkRows(middle, bounds.bottom, lowerChanged); });
    shrinkRows(bounds.top, middle, upperChanged);
    lowerHalf.join();
    changed = CRect::Union(upperChanged, lowerChanged);
    return true;
}

}  // namespace

CRect StretchPixels(Surface& target, const ClipRegion& clip, const CRect& to, const Surface& source,
                    const CRect& from) {
    if (to.IsRectEmpty() || from.IsRectEmpty() || CRect::Intersect(from, source.Bounds()) != from) {
        return {};
    }
    const int64_t w = to.Width(), h = to.Height(), sw = from.Width(), sh = from.Height();
    const bool average = !target.IsIndexed() && (sw > w || sh > h);
    const bool boxColumns = average && sw > w;
    const auto columns = SourceRuns(w, sw, from.left, boxColumns);
    const auto rows = SourceRuns(h, sh, from.top, average && sh > h);
    CRect changed;
    if (boxColumns && ShrinkByBoxes(target, clip, to, source, columns, rows, changed)) {
        return changed;
    }
    const PixelTranslator translate(source, target);
    const RowColors colors(source);

    // Per target column of the current row: the sums of red, green and blue and their count.
    std::vector<uint32_t> sums(static_cast<size_t>(4 * w));
    std::vector<uint32_t> rowValues(static_cast<size_t>(w));
    const CRect bounds = CRect::Intersect(to, target.Bounds());
    for (int32_t ty = bounds.top; ty < bounds.bottom; ++ty) {
        const auto [rowFirst, rowLast] = rows[static_cast<size_t>(ty - to.top)];
        if (!average) {
            for (int64_t i = 0; i < w; ++i) {
                rowValues[static_cast<size_t>(i)] = translate(
                    source.GetPixelValue(columns[static_cast<size_t>(i)].first, rowFirst));
            }
        } else {
            std::fill(sums.begin(), sums.end(), 0);
            for (int32_t sy = rowFirst; sy < rowLast; ++sy) {
                const uint8_t* row = source.Row(sy);
                for (size_t i = 0; i < columns.size(); ++i) {
                    uint32_t red = 0, green = 0, blue = 0;
                    for (int32_t sx = columns[i].first; sx < columns[i].second; ++sx) {
                        const COLORREF color = colors.At(row, sx, sy);
                        red += color & 0xFF;
                        green += (color >> 8) & 0xFF;
                        blue += color >> 16;
                    }
                    sums[4 * i] += red;
                    sums[4 * i + 1] += green;
                    sums[4 * i + 2] += blue;
                    sums[4 * i + 3] += static_cast<uint32_t>(columns[i].second - columns[i].first);
                }
            }
            for (size_t i = 0; i < rowValues.size(); ++i) {
                const uint32_t n = sums[4 * i + 3];
                rowValues[i] =
                    target.ToPixel(RGB(static_cast<uint8_t>((sums[4 * i] + n / 2) / n),
                                       static_cast<uint8_t>((sums[4 * i + 1] + n / 2) / n),
                                       static_cast<uint8_t>((sums[4 * i + 2] + n / 2) / n)));
            }
        }
        clip.ForEachSpan(bounds, ty, bounds.left, bounds.right, [&](int32_t x0, int32_t x1) {
            for (int32_t tx = x0; tx < x1; ++tx) {
                target.SetPixelValue(tx, ty, rowValues[static_cast<size_t>(tx - to.left)]);
            }
            changed = CRect::Union(changed, {x0, ty, x1, ty + 1});
        });
    }
    return changed;
}
