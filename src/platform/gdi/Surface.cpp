#include "Surface.h"

#include <bit>
#include <cstring>
#include <new>

namespace {

constexpr int64_t kMaxSide = 65536;
constexpr uint64_t kMaxBytes = uint64_t{1} << 30;

bool IsSupportedFormat(int bits, uint32_t compression) {
    switch (bits) {
        case 1:
        case 2:
        case 4:
        case 8:
        case 24:
            return compression == BI_RGB;
        case 16:
        case 32:
            return compression == BI_RGB || compression == BI_BITFIELDS;
        default:
            return false;
    }
}

uint32_t ReadMask(const RGBQUAD& entry) {
    return static_cast<uint32_t>(entry.rgbBlue) | static_cast<uint32_t>(entry.rgbGreen) << 8 |
           static_cast<uint32_t>(entry.rgbRed) << 16 |
           static_cast<uint32_t>(entry.rgbReserved) << 24;
}

// A mask's field as an 8-bit channel, and back.
uint8_t FieldToChannel(uint32_t pixel, uint32_t mask) {
    if (mask == 0) {
        return 0;
    }
    const int shift = std::countr_zero(mask);
    const uint32_t maximum = mask >> shift;
    const uint32_t field = (pixel & mask) >> shift;
    return static_cast<uint8_t>((uint64_t{field} * 255 + maximum / 2) / maximum);
}

uint32_t ChannelToField(uint8_t channel, uint32_t mask) {
    if (mask == 0) {
        return 0;
    }
    const int shift = std::countr_zero(mask);
    const uint32_t maximum = mask >> shift;
    return static_cast<uint32_t>((uint64_t{channel} * maximum + 127) / 255) << shift & mask;
}

}  // namespace

uint64_t DibRowStride(int64_t width, int64_t bits) {
    if (width < 0 || bits < 0 || width > (int64_t{1} << 31) || bits > 64) {
        return 0;
    }
    return ((static_cast<uint64_t>(width) * static_cast<uint64_t>(bits) + 31) & ~uint64_t{31}) / 8;
}

uint32_t NearestColorIndex(std::span<const RGBQUAD> table, COLORREF color) {
    const int red = GetRValue(color);
    const int green = GetGValue(color);
    const int blue = GetBValue(color);
    uint32_t best = 0;
    int bestDistance = INT32_MAX;
    for (size_t i = 0; i < table.size(); ++i) {
        const int dr = table[i].rgbRed - red;
        const int dg = table[i].rgbGreen - green;
        const int db = table[i].rgbBlue - blue;
        const int distance = dr * dr + dg * dg + db * db;
        if (distance < bestDistance) {
            bestDistance = distance;
            best = static_cast<uint32_t>(i);
            if (distance == 0) {
                break;
            }
        }
    }
    return best;
}

std::unique_ptr<Surface> Surface::CreateDib(const BITMAPINFOHEADER& header,
                                            std::span<const RGBQUAD> table) {
    const int bits = header.biBitCount;
    const int64_t width = header.biWidth;
    const int64_t height = header.biHeight < 0 ? -int64_t{header.biHeight} : header.biHeight;
    if (!IsSupportedFormat(bits, header.biCompression) || width <= 0 || height <= 0 ||
        width > kMaxSide || height > kMaxSide) {
        return nullptr;
    }
    const uint64_t stride = DibRowStride(width, bits);
    if (stride == 0 || stride * static_cast<uint64_t>(height) > kMaxBytes) {
        return nullptr;
    }
    const bool bitFields = header.biCompression == BI_BITFIELDS;
    if (bitFields && table.size() < 3) {
        return nullptr;
    }
    std::unique_ptr<Surface> surface(new (std::nothrow) Surface);
    if (!surface) {
        return nullptr;
    }
    const size_t bytes = static_cast<size_t>(stride * static_cast<uint64_t>(height));
    surface->m_data.reset(new (std::nothrow) uint8_t[bytes]());
    if (!surface->m_data) {
        return nullptr;
    }
    surface->m_header = header;
    surface->m_width = static_cast<int32_t>(width);
    surface->m_height = static_cast<int32_t>(height);
    surface->m_topDown = header.biHeight < 0;
    surface->m_bits = bits;
    surface->m_stride = static_cast<size_t>(stride);
    if (bits <= 8) {
        surface->m_table.assign(size_t{1} << bits, RGBQUAD{});
        std::copy_n(table.begin(), std::min(table.size(), surface->m_table.size()),
                    surface->m_table.begin());
    } else if (bitFields) {
        for (int i = 0; i < 3; ++i) {
            surface->m_masks[i] = ReadMask(table[static_cast<size_t>(i)]);
        }
    } else if (bits == 16) {
        surface->m_masks[0] = 0x7C00, surface->m_masks[1] = 0x03E0, surface->m_masks[2] = 0x001F;
    } else {
        surface->m_masks[0] = 0xFF0000, surface->m_masks[1] = 0xFF00, surface->m_masks[2] = 0xFF;
    }
    return surface;
}

std::unique_ptr<Surface> Surface::CreateTrueColor(int32_t width, int32_t height) {
    BITMAPINFOHEADER header{};
    header.biSize = 40;
    header.biWidth = width;
    header.biHeight = -height;
    header.biPlanes = 1;
    header.biBitCount = 32;
    return CreateDib(header, {});
}

uint32_t Surface::ToPixel(COLORREF color) const {
    color &= 0x00FFFFFF;
    if (IsIndexed()) {
        const auto found = m_nearest.find(color);
        if (found != m_nearest.end()) {
            return found->second;
        }
        const uint32_t index = NearestColorIndex(m_table, color);
        m_nearest.emplace(color, index);
        return index;
    }
    // 24 bits, and the 32-bit layout that windows and most DIBs have: bytes blue, green, red.
    if (m_bits == 24 || (m_masks[0] == 0xFF0000 && m_masks[1] == 0xFF00 && m_masks[2] == 0xFF)) {
        return static_cast<uint32_t>(GetBValue(color)) |
               static_cast<uint32_t>(GetGValue(color)) << 8 |
               static_cast<uint32_t>(GetRValue(color)) << 16;
    }
    return ChannelToField(GetRValue(color), m_masks[0]) |
           ChannelToField(GetGValue(color), m_masks[1]) |
           ChannelToField(GetBValue(color), m_masks[2]);
}

COLORREF Surface::ToColor(uint32_t pixel) const {
    if (IsIndexed()) {
        return pixel < m_table.size() ? ToColorRef(m_table[pixel]) : 0;
    }
    if (m_bits == 24) {
        return RGB(static_cast<uint8_t>(pixel >> 16), static_cast<uint8_t>(pixel >> 8),
                   static_cast<uint8_t>(pixel));
    }
    return RGB(FieldToChannel(pixel, m_masks[0]), FieldToChannel(pixel, m_masks[1]),
               FieldToChannel(pixel, m_masks[2]));
}

uint32_t Surface::GetPixelValue(int32_t x, int32_t y) const {
    const uint8_t* row = Row(y);
    switch (m_bits) {
        case 8:
            return row[x];
        case 16:
            return static_cast<uint32_t>(row[2 * x]) | static_cast<uint32_t>(row[2 * x + 1]) << 8;
        case 24:
            return static_cast<uint32_t>(row[3 * x]) | static_cast<uint32_t>(row[3 * x + 1]) << 8 |
                   static_cast<uint32_t>(row[3 * x + 2]) << 16;
        case 32: {
            uint32_t value;
            std::memcpy(&value, row + 4 * static_cast<size_t>(x), 4);
            return value;
        }
        default: {  // 1, 2 and 4 bits, leftmost pixel in the high bits
            const size_t bit = static_cast<size_t>(x) * static_cast<size_t>(m_bits);
            const int shift = 8 - m_bits - static_cast<int>(bit % 8);
            return (row[bit / 8] >> shift) & ((1u << m_bits) - 1);
        }
    }
}

void Surface::SetPixelValue(int32_t x, int32_t y, uint32_t value) {
    uint8_t* row = Row(y);
    switch (m_bits) {
        case 8:
            row[x] = static_cast<uint8_t>(value);
            return;
        case 16:
            row[2 * x] = static_cast<uint8_t>(value);
            row[2 * x + 1] = static_cast<uint8_t>(value >> 8);
            return;
        case 24:
            row[3 * x] = static_cast<uint8_t>(value);
            row[3 * x + 1] = static_cast<uint8_t>(value >> 8);
            row[3 * x + 2] = static_cast<uint8_t>(value >> 16);
            return;
        case 32:
            std::memcpy(row + 4 * static_cast<size_t>(x), &value, 4);
            return;
        default: {
            const size_t bit = static_cast<size_t>(x) * static_cast<size_t>(m_bits);
            const int shift = 8 - m_bits - static_cast<int>(bit % 8);
            const auto mask = static_cast<uint8_t>(((1u << m_bits) - 1) << shift);
            row[bit / 8] = static_cast<uint8_t>((row[bit / 8] & ~mask) | ((value << shift) & mask));
        }
    }
}

void Surface::FillSpan(int32_t y, int32_t x0, int32_t x1, uint32_t value) {
    if (x0 >= x1) {
        return;
    }
    uint8_t* row = Row(y);
    if (m_bits == 8) {
        std::memset(row + x0, static_cast<int>(value), static_cast<size_t>(x1 - x0));
    } else if (m_bits == 32) {
        // Whole blocks of a fixed size: copies the compiler turns into wide stores, where a
        // pixel-by-pixel loop may stay one pixel per store.
        uint8_t* pixels = row + 4 * static_cast<size_t>(x0);
        const size_t bytes = 4 * static_cast<size_t>(x1 - x0);
        uint8_t block[64];
        for (size_t at = 0; at < sizeof block; at += 4) std::memcpy(block + at, &value, 4);
        size_t done = 0;
        for (; done + sizeof block <= bytes; done += sizeof block)
            std::memcpy(pixels + done, block, sizeof block);
        std::memcpy(pixels + done, block, bytes - done);
    } else {
        for (int32_t x = x0; x < x1; ++x) {
            SetPixelValue(x, y, value);
        }
    }
}

void Surface::InvertSpan(int32_t y, int32_t x0, int32_t x1) {
    // Inverting flips the bits of the pixel value, as the device does; on a true-colour
    // surface only the colour bits, never the unused ones.
    const uint32_t colourBits =
        IsIndexed() ? (1u << m_bits) - 1
                    : (m_bits == 24 ? 0xFFFFFFu : m_masks[0] | m_masks[1] | m_masks[2]);
    for (int32_t x = x0; x < x1; ++x) {
        SetPixelValue(x, y, GetPixelValue(x, y) ^ colourBits);
    }
}
