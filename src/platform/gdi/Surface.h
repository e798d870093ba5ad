#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <unordered_map>
#include <vector>

#include "platform/gdi/Color.h"
#include "platform/gdi/Geometry.h"

// The 40-byte info header of a device-independent bitmap, as it stands in a BMP file.
struct BITMAPINFOHEADER {
    uint32_t biSize;
    int32_t biWidth;
    int32_t biHeight;  // positive: bottom row first; negative: top row first
    uint16_t biPlanes;
    uint16_t biBitCount;
    uint32_t biCompression;
    uint32_t biSizeImage;
    int32_t biXPelsPerMeter;
    int32_t biYPelsPerMeter;
    uint32_t biClrUsed;
    uint32_t biClrImportant;
};

constexpr uint32_t BI_RGB = 0;
constexpr uint32_t BI_BITFIELDS = 3;

// Bytes in one row of `width` pixels of `bits` each, rounded up to whole 32-bit words;
// 0 when the row could not be held.
uint64_t DibRowStride(int64_t width, int64_t bits);

// A pixel store: a DIB section of 1, 2, 4 or 8 bits with a colour table, 16 or 32 bits plain
// or with bit-field masks, or 24 bits; or a window's 32-bit surface. Coordinates are visual:
// (0, 0) is the top-left pixel whichever way the rows are stored.
class Surface {
  public:
    // Fails (null) for a format the device cannot hold, a size of 0, a size beyond 65536
    // pixels a side or 1 GiB, or when memory runs out. `table` holds the colour entries
    // (fewer than 2^bits leave the rest black) or, for bit fields, the three masks.
    [[nodiscard]] static std::unique_ptr<Surface> CreateDib(const BITMAPINFOHEADER& header,
                                                            std::span<const RGBQUAD> table);
    // A 32-bit top-down surface such as a window's backing store.
    [[nodiscard]] static std::unique_ptr<Surface> CreateTrueColor(int32_t width, int32_t height);

    int32_t Width() const { return m_width; }
    int32_t Height() const { return m_height; }
    CRect Bounds() const { return {0, 0, m_width, m_height}; }
    int BitsPerPixel() const { return m_bits; }
    bool IsIndexed() const { return m_bits <= 8; }
    size_t Stride() const { return m_stride; }
    size_t SizeBytes() const { return m_stride * static_cast<size_t>(m_height); }
    uint8_t* Data() { return m_data.get(); }
    const uint8_t* Data() const { return m_data.get(); }
    const BITMAPINFOHEADER& Header() const { return m_header; }
    // The colour table of an indexed surface (2^bits entries); empty otherwise.
    const std::vector<RGBQUAD>& ColorTable() const { return m_table; }

    uint8_t* Row(int32_t y) { return m_data.get() + RowOffset(y); }
    const uint8_t* Row(int32_t y) const { return m_data.get() + RowOffset(y); }

    // The pixel value that shows `color`: the nearest colour-table entry (lowest index on
    // ties) or the packed colour.
    uint32_t ToPixel(COLORREF color) const;
    // True when a pixel value means the same colour on both surfaces.
    bool SamePixelFormat(const Surface& other) const {
        return m_bits == other.m_bits && m_table == other.m_table &&
               std::equal(std::begin(m_masks), std::end(m_masks), std::begin(other.m_masks));
    }
    COLORREF ToColor(uint32_t pixel) const;

    uint32_t GetPixelValue(int32_t x, int32_t y) const;
    void SetPixelValue(int32_t x, int32_t y, uint32_t value);
    // Sets pixels x0 <= x < x1 of row y; the caller has clipped to the bounds.
    void FillSpan(int32_t y, int32_t x0, int32_t x1, uint32_t value);
    void InvertSpan(int32_t y, int32_t x0, int32_t x1);

  private:
    Surface() = default;
    size_t RowOffset(int32_t y) const {
        return static_cast<size_t>(m_topDown ? y : m_height - 1 - y) * m_stride;
    }

    BITMAPINFOHEADER m_header{};
    int32_t m_width = 0;
    int32_t m_height = 0;
    bool m_topDown = false;
    int m_bits = 0;
    size_t m_stride = 0;
    std::unique_ptr<uint8_t[]> m_data;
    std::vector<RGBQUAD> m_table;
    uint32_t m_masks[3] = {};  // red, green, blue for 16- and 32-bit surfaces
    mutable std::unordered_map<COLORREF, uint32_t> m_nearest;
};

// The index of the entry nearest to `color` by squared distance in RGB, lowest index on ties.
uint32_t NearestColorIndex(std::span<const RGBQUAD> table, COLORREF color);
