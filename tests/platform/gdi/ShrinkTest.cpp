// The thumbnail shrink against a plain per-pixel box average of the same pixels.
#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "platform/gdi/Blit.h"
#include "platform/gdi/ClipRegion.h"
#include "platform/gdi/Surface.h"

namespace {

// The source range a target pixel stands for: its box when shrinking, else its centre.
std::pair<int64_t, int64_t> Run(int64_t i, int64_t count, int64_t sourceCount) {
    if (sourceCount > count) return {i * sourceCount / count, (i + 1) * sourceCount / count};
    const int64_t centre = (2 * i + 1) * sourceCount / (2 * count);
    return {centre, centre + 1};
}

uint32_t BoxAverage(const Surface& source, const Surface& target, int64_t tx, int64_t ty, int64_t w,
                    int64_t h) {
    const auto [x0, x1] = Run(tx, w, source.Width());
    const auto [y0, y1] = Run(ty, h, source.Height());
    uint64_t red = 0, green = 0, blue = 0;
    for (int64_t y = y0; y < y1; ++y) {
        for (int64_t x = x0; x < x1; ++x) {
            const COLORREF c = source.ToColor(
                source.GetPixelValue(static_cast<int32_t>(x), static_cast<int32_t>(y)));
            red += GetRValue(c), green += GetGValue(c), blue += GetBValue(c);
        }
    }
    const uint64_t n = static_cast<uint64_t>((x1 - x0) * (y1 - y0));
    return target.ToPixel(RGB(static_cast<uint8_t>((red + n / 2) / n),
                              static_cast<uint8_t>((green + n / 2) / n),
                              static_cast<uint8_t>((blue + n / 2) / n)));
}

std::unique_ptr<Surface> RandomSource(int bits, int32_t width, int32_t height,
                                      std::mt19937& random) {
    BITMAPINFOHEADER header{40, width, height, 1, static_cast<uint16_t>(bits), BI_RGB, 0,
                            0,  0,     0,      0};
    std::vector<RGBQUAD> table;
    if (bits == 8) {
        for (int i = 0; i < 256; ++i) {
            table.push_back({static_cast<uint8_t>(random()), static_cast<uint8_t>(random()),
                             static_cast<uint8_t>(random()), 0});
        }
    }
    auto surface = Surface::CreateDib(header, table);
    for (int32_t y = 0; y < height; ++y) {
        for (int32_t x = 0; x < width; ++x) {
            surface->SetPixelValue(x, y,
                                   static_cast<uint32_t>(random()) & (bits == 8 ? 0xFF : 0xFFFFFF));
        }
    }
    return surface;
}

}  // namespace

TEST(Shrink, GivesExactlyTheBoxAverageOfEverySourcePixel) {
    std::mt19937 random(7);
    const struct {
        int bits;
        int32_t sw, sh, w, h;
    } cases[] = {
        {8, 800, 600, 100, 120},  // a memo into a thumbnail cell, both halves threaded
        {8, 240, 294, 101, 127},  // uneven boxes
        {24, 300, 200, 97, 61},  {8, 640, 10, 64, 40},  // narrower, but taller than the source
        {8, 5000, 2, 3, 1},                             // boxes too large for the packed sums
        {24, 33, 700, 7, 9},
    };
    for (const auto& c : cases) {
        const auto source = RandomSource(c.bits, c.sw, c.sh, random);
        const auto target = Surface::CreateTrueColor(c.w + 4, c.h + 4);
        const ClipRegion everywhere;
        StretchPixels(*target, everywhere, CRect{2, 2, 2 + c.w, 2 + c.h}, *source,
                      CRect{0, 0, c.sw, c.sh});
        int wrong = 0;
        for (int32_t ty = 0; ty < c.h; ++ty) {
            for (int32_t tx = 0; tx < c.w; ++tx) {
                wrong += target->GetPixelValue(2 + tx, 2 + ty) !=
                         BoxAverage(*source, *target, tx, ty, c.w, c.h);
            }
        }
        EXPECT_EQ(wrong, 0) << c.bits << " bits " << c.sw << "x" << c.sh << " -> " << c.w << "x"
                            << c.h;
        EXPECT_EQ(target->GetPixelValue(0, 0), 0u) << "outside the target rectangle";
    }
}

namespace {

// An 8-bit surface with a grey table (index v is RGB(v, v, v)) holding `rows` top down.
std::unique_ptr<Surface> GreySurface(const std::vector<std::vector<int>>& rows) {
    const auto height = static_cast<int32_t>(rows.size());
    const auto width = static_cast<int32_t>(rows.empty() ? 0 : rows[0].size());
    std::vector<RGBQUAD> table;
    for (int i = 0; i < 256; ++i) {
        const auto v = static_cast<uint8_t>(i);
        table.push_back({v, v, v, 0});
    }
    auto surface = Surface::CreateDib({40, width, height, 1, 8, BI_RGB, 0, 0, 0, 0, 0}, table);
    for (int32_t y = 0; y < height; ++y)
        for (int32_t x = 0; x < width; ++x)
            surface->SetPixelValue(x, y, static_cast<uint32_t>(rows[y][x]));
    return surface;
}

std::vector<std::vector<int>> Greys(const Surface& surface) {
    std::vector<std::vector<int>> rows(surface.Height());
    for (int32_t y = 0; y < surface.Height(); ++y)
        for (int32_t x = 0; x < surface.Width(); ++x)
            rows[y].push_back(GetRValue(surface.ToColor(surface.GetPixelValue(x, y))));
    return rows;
}

}  // namespace

TEST(Stretch, ScalesByFactorsThatAreNotWholeNumbers) {
    using Grid = std::vector<std::vector<int>>;
    const Grid three{{10, 21, 30}, {40, 50, 61}, {70, 80, 90}};
    const Grid two{{10, 20}, {30, 40}};
    const struct {
        const char* what;
        bool trueColour;
        Grid source, expected;
    } cases[] = {
        // Boxes [0, 1) and [1, 3) on each axis, averages rounded to nearest.
        {"3 onto 2, true colour", true, three, {{10, 26}, {55, 70}}},
        // Each target pixel takes the source pixel under its centre: 0 and 2.
        {"3 onto 2, indexed", false, three, {{10, 30}, {70, 90}}},
        // Centres fall on source pixels 0, 1, 1.
        {"2 onto 3, true colour", true, two, {{10, 20, 20}, {30, 40, 40}, {30, 40, 40}}},
        {"2 onto 3, indexed", false, two, {{10, 20, 20}, {30, 40, 40}, {30, 40, 40}}},
    };
    for (const auto& c : cases) {
        const auto source = GreySurface(c.source);
        const auto size = static_cast<int32_t>(c.expected.size());
        const auto target = c.trueColour ? Surface::CreateTrueColor(size, size)
                                         : GreySurface(Grid(size, std::vector<int>(size)));
        const auto n = static_cast<int32_t>(c.source.size());
        StretchPixels(*target, ClipRegion{}, CRect{0, 0, size, size}, *source, CRect{0, 0, n, n});
        EXPECT_EQ(Greys(*target), c.expected) << c.what;
    }
}
