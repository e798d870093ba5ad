#include <gtest/gtest.h>

#include <set>
#include <tuple>

#include "memo/DefaultColorTable.h"

namespace {

RGBQUAD Bytes(uint8_t b0, uint8_t b1, uint8_t b2) {
    return {b0, b1, b2, 0};
}

}  // namespace

TEST(DefaultColorTable, ReservedEntriesAtBothEnds) {
    const auto& t = DefaultColorTable();
    const RGBQUAD low[10] = {Bytes(0, 0, 0),      Bytes(128, 0, 0),     Bytes(0, 128, 0),
                             Bytes(128, 128, 0),  Bytes(0, 0, 128),     Bytes(128, 0, 128),
                             Bytes(0, 128, 128),  Bytes(192, 192, 192), Bytes(192, 220, 192),
                             Bytes(166, 202, 240)};
    const RGBQUAD high[10] = {Bytes(255, 251, 240), Bytes(160, 160, 164), Bytes(128, 128, 128),
                              Bytes(255, 0, 0),     Bytes(0, 255, 0),     Bytes(255, 255, 0),
                              Bytes(0, 0, 255),     Bytes(255, 0, 255),   Bytes(0, 255, 255),
                              Bytes(255, 255, 255)};
    for (size_t i = 0; i < 10; ++i) {
        EXPECT_EQ(t[i], low[i]) << "entry " << i;
        EXPECT_EQ(t[246 + i], high[i]) << "entry " << 246 + i;
    }
}

TEST(DefaultColorTable, CubeEntriesInOrderWithoutTheFourReservedColours) {
    const auto& t = DefaultColorTable();
    EXPECT_EQ(t[10], Bytes(44, 0, 0));
    EXPECT_EQ(t[11], Bytes(86, 0, 0));
    EXPECT_EQ(t[15], Bytes(0, 44, 0));
    EXPECT_EQ(t[221], Bytes(192, 255, 255));
    const std::set<int> levels = {0, 44, 86, 135, 192, 255};
    std::set<std::tuple<int, int, int>> seen;
    for (size_t i = 10; i <= 221; ++i) {
        EXPECT_TRUE(levels.count(t[i].rgbBlue) && levels.count(t[i].rgbGreen) &&
                    levels.count(t[i].rgbRed))
            << i;
        EXPECT_EQ(t[i].rgbReserved, 0);
        const auto key = std::make_tuple(t[i].rgbRed, t[i].rgbGreen, t[i].rgbBlue);  // b2 outermost
        if (i > 10) {
            EXPECT_LT(std::make_tuple(t[i - 1].rgbRed, t[i - 1].rgbGreen, t[i - 1].rgbBlue), key)
                << i;
        }
        seen.insert(key);
    }
    EXPECT_EQ(seen.size(), 212u);
    for (const auto& left : {std::make_tuple(0, 0, 0), std::make_tuple(192, 192, 192),
                             std::make_tuple(255, 255, 0), std::make_tuple(255, 255, 255)}) {
        EXPECT_EQ(seen.count(left), 0u);
    }
}

TEST(DefaultColorTable, WhitesAndTheGreyRamp) {
    const auto& t = DefaultColorTable();
    EXPECT_EQ(t[222], Bytes(255, 255, 255));
    EXPECT_EQ(t[245], Bytes(255, 255, 255));
    const uint8_t greys[] = {17,  24,  30,  37,  44,  52,  60,  68,  77,  86,  95,
                             105, 114, 125, 146, 157, 168, 180, 204, 216, 229, 242};
    for (size_t i = 0; i < std::size(greys); ++i) {
        EXPECT_EQ(t[223 + i], Bytes(greys[i], greys[i], greys[i])) << "entry " << 223 + i;
    }
}
