#pragma once

#include <cstdint>

// A colour reference: red in the lowest byte, then green, then blue, top byte 0.
using COLORREF = uint32_t;

constexpr COLORREF RGB(uint8_t red, uint8_t green, uint8_t blue) {
    return static_cast<COLORREF>(red) | static_cast<COLORREF>(green) << 8 |
           static_cast<COLORREF>(blue) << 16;
}
constexpr uint8_t GetRValue(COLORREF color) {
    return static_cast<uint8_t>(color);
}
constexpr uint8_t GetGValue(COLORREF color) {
    return static_cast<uint8_t>(color >> 8);
}
constexpr uint8_t GetBValue(COLORREF color) {
    return static_cast<uint8_t>(color >> 16);
}

// One colour-table entry as it stands in a BMP file.
struct RGBQUAD {
    uint8_t rgbBlue;
    uint8_t rgbGreen;
    uint8_t rgbRed;
    uint8_t rgbReserved;

    friend bool operator==(const RGBQUAD&, const RGBQUAD&) = default;
};

// One entry of a logical palette.
struct PALETTEENTRY {
    uint8_t peRed;
    uint8_t peGreen;
    uint8_t peBlue;
    uint8_t peFlags;

    friend bool operator==(const PALETTEENTRY&, const PALETTEENTRY&) = default;
};

constexpr COLORREF ToColorRef(const RGBQUAD& entry) {
    return RGB(entry.rgbRed, entry.rgbGreen, entry.rgbBlue);
}
