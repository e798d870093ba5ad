#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>

#include "memo/DefaultColorTable.h"

// reference/default-color-table.bmp shows the table as the design describes it, one pixel an
// entry (entry i at column i % 16 of row i / 16), written by hand from that description and
// looked at: 24 bits, bottom row first, each pixel the entry's three bytes as they stand.
TEST(DefaultColorTable, IsTheReferencePictureEntryForEntry) {
    std::ifstream file(QUILLO_COLOR_TABLE_PICTURE, std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(file)), {});
    constexpr size_t kPixelOffset = 54;
    ASSERT_EQ(bytes.size(), kPixelOffset + 16 * 16 * 3);
    const auto& table = DefaultColorTable();
    for (size_t i = 0; i < 256; ++i) {
        const size_t at = kPixelOffset + ((15 - i / 16) * 16 + i % 16) * 3;
        const RGBQUAD expected{static_cast<uint8_t>(bytes[at]), static_cast<uint8_t>(bytes[at + 1]),
                               static_cast<uint8_t>(bytes[at + 2]), 0};
        EXPECT_EQ(table[i], expected) << "entry " << i;
    }
}
