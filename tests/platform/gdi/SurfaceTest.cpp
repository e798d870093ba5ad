#include <gtest/gtest.h>

#include "platform/gdi/Surface.h"

namespace {

BITMAPINFOHEADER Header(int32_t width, int32_t height, uint16_t bits,
                        uint32_t compression = BI_RGB) {
    return {40, width, height, 1, bits, compression, 0, 0, 0, 0, 0};
}

}  // namespace

TEST(Surface, EveryDeviceFormatIsMadeWithItsExactStoreSize) {
    struct Row {
        uint16_t bits;
        uint32_t compression;
        size_t stride;  // for a width of 13
    };
    const Row rows[] = {{1, BI_RGB, 4},   {2, BI_RGB, 4},   {4, BI_RGB, 8},
                        {8, BI_RGB, 16},  {16, BI_RGB, 28}, {16, BI_BITFIELDS, 28},
                        {24, BI_RGB, 40}, {32, BI_RGB, 52}, {32, BI_BITFIELDS, 52}};
    const RGBQUAD masks[3] = {{0, 0xF8, 0, 0}, {0xE0, 0x07, 0, 0}, {0x1F, 0, 0, 0}};  // 5-6-5
    for (const auto& row : rows) {
        for (const int32_t height : {7, -7}) {
            auto surface = Surface::CreateDib(Header(13, height, row.bits, row.compression), masks);
            ASSERT_TRUE(surface) << row.bits << " bits";
            EXPECT_EQ(surface->Stride(), row.stride) << row.bits;
            EXPECT_EQ(surface->SizeBytes(), row.stride * 7) << row.bits;
            EXPECT_EQ(surface->Height(), 7);
        }
    }
}

TEST(Surface, FormatsTheDeviceCannotHoldAreRefused) {
    const BITMAPINFOHEADER refused[] = {
        Header(10, 10, 0),
        Header(10, 10, 3),
        Header(10, 10, 30000),
        Header(0, 10, 8),
        Header(10, 0, 8),
        Header(-5, 10, 8),
        Header(10, INT32_MIN, 8),
        Header(70000, 1, 8),
        Header(10, 10, 8, 1),
        Header(10, 10, 8, 2),
        Header(10, 10, 24, BI_BITFIELDS),
        Header(10, 10, 8, BI_BITFIELDS),
        Header(65536, 65536, 32),
    };
    for (const auto& header : refused) {
        EXPECT_FALSE(Surface::CreateDib(header, {}))
            << header.biWidth << "x" << header.biHeight << " " << header.biBitCount
            << " bits, compression " << header.biCompression;
    }
    EXPECT_FALSE(Surface::CreateDib(Header(4, 4, 16, BI_BITFIELDS), {})) << "masks missing";
}

TEST(Surface, RowsAreStoredBottomUpOrTopDownBySign) {
    for (const int32_t height : {3, -3}) {
        auto surface = Surface::CreateDib(Header(4, height, 8), {});
        surface->SetPixelValue(0, 0, 7);  // the top-left pixel
        const size_t storedRow = height > 0 ? 2 : 0;
        EXPECT_EQ(surface->Data()[storedRow * surface->Stride()], 7) << height;
    }
}

TEST(Surface, SubBytePixelsKeepTheirNeighbours) {
    for (const uint16_t bits : {uint16_t{1}, uint16_t{2}, uint16_t{4}}) {
        auto surface = Surface::CreateDib(Header(9, 1, bits), {});
        const uint32_t top = (1u << bits) - 1;
        for (int32_t x = 0; x < 9; ++x) surface->SetPixelValue(x, 0, x % 2 == 0 ? top : 0);
        surface->SetPixelValue(4, 0, 1);
        for (int32_t x = 0; x < 9; ++x) {
            const uint32_t expected = x == 4 ? 1 : (x % 2 == 0 ? top : 0);
            EXPECT_EQ(surface->GetPixelValue(x, 0), expected) << bits << " bits, x " << x;
        }
        // The leftmost pixel is in the high bits of the first byte.
        EXPECT_EQ(surface->Data()[0] >> (8 - bits), top);
    }
}

TEST(Surface, TrueColourFormatsPackAndUnpackColours) {
    const RGBQUAD masks565[3] = {{0, 0xF8, 0, 0}, {0xE0, 0x07, 0, 0}, {0x1F, 0, 0, 0}};
    struct Row {
        BITMAPINFOHEADER header;
        std::span<const RGBQUAD> masks;
        uint32_t whitePixel;
        uint32_t redPixel;
    };
    const Row rows[] = {
        {Header(1, 1, 16), {}, 0x7FFF, 0x7C00},
        {Header(1, 1, 16, BI_BITFIELDS), masks565, 0xFFFF, 0xF800},
        {Header(1, 1, 24), {}, 0xFFFFFF, 0xFF0000},
        {Header(1, 1, 32), {}, 0xFFFFFF, 0xFF0000},
    };
    for (const auto& row : rows) {
        auto surface = Surface::CreateDib(row.header, row.masks);
        ASSERT_TRUE(surface);
        EXPECT_EQ(surface->ToPixel(RGB(255, 255, 255)), row.whitePixel);
        EXPECT_EQ(surface->ToPixel(RGB(255, 0, 0)), row.redPixel);
        EXPECT_EQ(surface->ToColor(row.redPixel), RGB(255, 0, 0));
        EXPECT_EQ(surface->ToColor(row.whitePixel), RGB(255, 255, 255));
        // Every byte of a pixel lands in its own place.
        const uint32_t mixed = surface->ToPixel(RGB(0x12, 0x34, 0x56));
        surface->SetPixelValue(0, 0, mixed);
        EXPECT_EQ(surface->GetPixelValue(0, 0), mixed) << row.header.biBitCount;
    }
}

TEST(Surface, NearestColourTakesTheLowestIndexOnTies) {
    const RGBQUAD table[] = {{0, 0, 0, 0}, {255, 255, 255, 0}, {255, 255, 255, 0}, {0, 0, 200, 0}};
    EXPECT_EQ(NearestColorIndex(table, RGB(250, 250, 250)), 1u);
    EXPECT_EQ(NearestColorIndex(table, RGB(255, 0, 0)), 3u);  // red 200 is nearest
    EXPECT_EQ(NearestColorIndex(table, RGB(100, 0, 0)), 0u) << "as far from black as from red";
    EXPECT_EQ(NearestColorIndex(table, RGB(101, 0, 0)), 3u);
}

TEST(Surface, TrueColourFillsSetExactlyTheirRun) {
    // Lengths around the block sizes the fill works in, from odd starting columns.
    auto surface = Surface::CreateTrueColor(100, 1);
    for (int32_t x0 : {0, 1, 3}) {
        for (int32_t length = 0; length <= 40; ++length) {
            for (int32_t x = 0; x < 100; ++x) surface->SetPixelValue(x, 0, 0x123456);
            surface->FillSpan(0, x0, x0 + length, 0xABCDEF);
            int wrong = 0;
            for (int32_t x = 0; x < 100; ++x) {
                const bool inside = x >= x0 && x < x0 + length;
                wrong += surface->GetPixelValue(x, 0) != (inside ? 0xABCDEFu : 0x123456u);
            }
            EXPECT_EQ(wrong, 0) << "from " << x0 << ", " << length << " pixels";
        }
    }
}
