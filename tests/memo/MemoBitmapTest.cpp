#include <gtest/gtest.h>

#include <vector>

#include "memo/DefaultColorTable.h"
#include "memo/MemoBitmap.h"

namespace {

BITMAPINFO EightBitInfo(int32_t width, int32_t height) {
    BITMAPINFO info{};
    info.bmiHeader = {40, width, height, 1, 8, BI_RGB, 0, 0, 0, 0, 0};
    std::copy(DefaultColorTable().begin(), DefaultColorTable().end(), info.bmiColors);
    return info;
}

std::vector<PALETTEENTRY> Rgb(std::initializer_list<std::array<uint8_t, 3>> colors) {
    std::vector<PALETTEENTRY> entries;
    for (const auto& c : colors) entries.push_back({c[0], c[1], c[2], 0});
    return entries;
}

}  // namespace

TEST(MemoBitmap, ColorTableSizeByBitsAndCompression) {
    struct Row {
        uint32_t bits, compression, entries;
    };
    const Row rows[] = {{1, 0, 2},  {2, 0, 4},  {4, 0, 16}, {8, 0, 256},  {8, 3, 256},
                        {16, 0, 0}, {16, 3, 3}, {24, 0, 0}, {24, 3, 3},   {32, 0, 0},
                        {32, 3, 3}, {0, 0, 0},  {3, 0, 0},  {30000, 3, 0}};
    for (const auto& row : rows) {
        EXPECT_EQ(CMemoBitmap::ColorTableSize(row.bits, row.compression), row.entries)
            << row.bits << "/" << row.compression;
    }
}

TEST(MemoBitmap, DefaultPalettesOfTwoSixteenAndAll) {
    CMemoBitmap canvas;
    ASSERT_TRUE(canvas.MakeDefaultPalette(16));
    EXPECT_EQ(canvas.Palette().Entries(), Rgb({{0, 0, 0},
                                               {0, 0, 128},
                                               {0, 128, 0},
                                               {0, 128, 128},
                                               {128, 0, 0},
                                               {128, 0, 128},
                                               {128, 128, 0},
                                               {192, 192, 192},
                                               {128, 128, 128},
                                               {0, 0, 255},
                                               {0, 255, 0},
                                               {0, 255, 255},
                                               {255, 0, 0},
                                               {255, 0, 255},
                                               {255, 255, 0},
                                               {255, 255, 255}}));
    for (const int count : {1, 2}) {
        ASSERT_TRUE(canvas.MakeDefaultPalette(count));
        EXPECT_EQ(canvas.Palette().Entries(), Rgb({{0, 0, 0}, {255, 255, 255}}));
    }
    for (const int count : {3, 9}) {
        ASSERT_TRUE(canvas.MakeDefaultPalette(count));
        EXPECT_EQ(canvas.Palette().GetEntryCount(), 16);
    }
    for (const int count : {0, -1, 17, 256, 1000}) {
        ASSERT_TRUE(canvas.MakeDefaultPalette(count));
        ASSERT_EQ(canvas.Palette().GetEntryCount(), 256) << count;
        EXPECT_EQ(canvas.Palette().Entries()[249], (PALETTEENTRY{0, 0, 255, 0}))
            << "entry 249 is pure blue";
        EXPECT_EQ(canvas.Palette().Entries()[1], (PALETTEENTRY{0, 0, 128, 0}));
    }
}

TEST(MemoBitmap, DisplayPaletteFollowsTheColourTable) {
    BITMAPINFO info{};
    info.bmiHeader = {40, 2, 2, 1, 4, BI_RGB, 0, 0, 0, 0, 0};
    info.bmiColors[0] = {10, 20, 30, 0};
    info.bmiColors[15] = {1, 2, 3, 0};
    const std::vector<uint8_t> pixels(8, 0x0F);
    CMemoBitmap canvas;
    ASSERT_TRUE(canvas.CreateFromDib(&info, pixels));
    ASSERT_EQ(canvas.Palette().GetEntryCount(), 16);
    EXPECT_EQ(canvas.Palette().Entries()[0], (PALETTEENTRY{30, 20, 10, 0}));
    EXPECT_EQ(canvas.Palette().Entries()[15], (PALETTEENTRY{3, 2, 1, 0}));

    info.bmiHeader = {40, 2, 2, 1, 24, BI_RGB, 0, 0, 0, 0, 0};
    const std::vector<uint8_t> rgb(16, 0);
    ASSERT_TRUE(canvas.CreateFromDib(&info, rgb));
    EXPECT_EQ(canvas.Palette().GetEntryCount(), 256) << "no table: the default palette";
}

TEST(MemoBitmap, CreateFromDibNeverReadsPastTheGivenPixels) {
    BITMAPINFO info = EightBitInfo(10, 10);
    const std::vector<uint8_t> short_(119, 1);
    CMemoBitmap canvas;
    EXPECT_FALSE(canvas.CreateFromDib(&info, short_));
    EXPECT_EQ(canvas.GetBitmap(), nullptr);
    EXPECT_FALSE(canvas.CreateFromDib(nullptr, short_));

    // An image size of 0 with a negative height means the whole store, 12 x 10 bytes.
    info.bmiHeader.biHeight = -10;
    EXPECT_FALSE(canvas.CreateFromDib(&info, short_));
    const std::vector<uint8_t> whole(120, 7);
    ASSERT_TRUE(canvas.CreateFromDib(&info, whole));
    EXPECT_EQ(canvas.Header().biSizeImage, 120u);
    EXPECT_EQ(canvas.Bits()[119], 7);
}

TEST(MemoBitmap, ResetEmptiesEverything) {
    BITMAPINFO info = EightBitInfo(4, 4);
    const std::vector<uint8_t> pixels(16, 3);
    CMemoBitmap canvas;
    ASSERT_TRUE(canvas.CreateFromDib(&info, pixels));
    ASSERT_NE(canvas.GetDrawingDC(nullptr), nullptr);
    canvas.Reset();
    EXPECT_EQ(canvas.GetBitmap(), nullptr);
    EXPECT_EQ(canvas.Width(), 0);
    EXPECT_EQ(canvas.ColorCount(), 0u);
    EXPECT_FALSE(canvas.Palette().IsCreated());
    EXPECT_EQ(canvas.GetDrawingDC(nullptr), nullptr);
}

TEST(MemoBitmap, DrawingContextHoldsThePictureUntilReleased) {
    BITMAPINFO info = EightBitInfo(4, 4);
    const std::vector<uint8_t> pixels(16, 0);
    CMemoBitmap canvas;
    ASSERT_TRUE(canvas.CreateFromDib(&info, pixels));
    CDC* dc = canvas.GetDrawingDC(nullptr);
    ASSERT_NE(dc, nullptr);
    EXPECT_EQ(dc->GetCurrentBitmap(), canvas.GetBitmap());
    CPen pen(PS_SOLID, 1, RGB(0, 0, 255));
    dc->SelectObject(&pen);
    dc->SetPixel(1, 1, RGB(0, 0, 255));
    EXPECT_EQ(canvas.Bits()[2 * 4 + 1], 14) << "row 1 from the top is stored third";
    canvas.ReleaseDrawingDC();
    EXPECT_FALSE(dc->IsValid());
}

TEST(MemoBitmap, DrawCopiesUnscaledAndTopDownPicturesTheRightWayUp) {
    for (const int32_t height : {3, -3}) {
        BITMAPINFO info = EightBitInfo(2, height);
        std::vector<uint8_t> pixels(12, 222);  // white
        pixels[height > 0 ? 8 : 0] = 0;        // the top-left pixel black
        CMemoBitmap canvas;
        ASSERT_TRUE(canvas.CreateFromDib(&info, pixels));
        auto window = Surface::CreateTrueColor(6, 6);
        CDC target;
        target.AttachSurface(window.get());
        target.FillSolidRect({0, 0, 6, 6}, RGB(128, 128, 128));
        ASSERT_TRUE(canvas.Draw(&target, 1, 2));
        EXPECT_EQ(target.GetPixel(1, 2), RGB(0, 0, 0)) << height;
        EXPECT_EQ(target.GetPixel(2, 2), RGB(255, 255, 255)) << height;
        EXPECT_EQ(target.GetPixel(2, 4), RGB(255, 255, 255)) << height;
        EXPECT_EQ(target.GetPixel(3, 2), RGB(128, 128, 128)) << "right of the picture";
        EXPECT_EQ(target.GetPixel(1, 5), RGB(128, 128, 128)) << "below the picture";
    }
}

TEST(MemoBitmap, StretchDrawFillsTheWholeRectangle) {
    BITMAPINFO info = EightBitInfo(2, 2);
    const std::vector<uint8_t> pixels = {0, 222, 0, 0, 222, 0, 0, 0};  // bottom row first
    CMemoBitmap canvas;
    ASSERT_TRUE(canvas.CreateFromDib(&info, pixels));
    auto window = Surface::CreateTrueColor(8, 8);
    CDC target;
    target.AttachSurface(window.get());
    ASSERT_TRUE(canvas.StretchDraw(&target, 0, 0, 8, 4));
    EXPECT_EQ(target.GetPixel(0, 0), RGB(255, 255, 255));
    EXPECT_EQ(target.GetPixel(3, 1), RGB(255, 255, 255));
    EXPECT_EQ(target.GetPixel(4, 0), RGB(0, 0, 0));
    EXPECT_EQ(target.GetPixel(7, 3), RGB(255, 255, 255));
    EXPECT_EQ(target.GetPixel(0, 3), RGB(0, 0, 0));

    CMemoBitmap empty;
    EXPECT_FALSE(empty.Draw(&target, 0, 0));
    EXPECT_FALSE(empty.StretchDraw(&target, 0, 0, 4, 4));
}
