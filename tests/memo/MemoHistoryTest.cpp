#include <gtest/gtest.h>

#include <vector>

#include "memo/DefaultColorTable.h"
#include "memo/MemoHistory.h"
#include "platform/gdi/Surface.h"

namespace {

// A picture whose every byte differs from its neighbours, so that a byte put back in the
// wrong place shows.
void MakePicture(CMemoBitmap& picture, int32_t width, int32_t height, uint16_t bits) {
    BITMAPINFO info{};
    info.bmiHeader = {40, width, height, 1, bits, BI_RGB, 0, 0, 0, 0, 0};
    std::copy(DefaultColorTable().begin(), DefaultColorTable().end(), info.bmiColors);
    const uint64_t size =
        CMemoBitmap::RowStride(width, bits) * static_cast<uint64_t>(std::abs(height));
    std::vector<uint8_t> pixels(size);
    for (size_t i = 0; i < pixels.size(); ++i) pixels[i] = static_cast<uint8_t>(i * 7 + i / 251);
    ASSERT_TRUE(picture.CreateFromDib(&info, pixels));
}

void Fill(CMemoBitmap& picture, const CRect& area, uint32_t value) {
    Surface* surface = picture.GetBitmap()->GetSurface();
    for (int32_t y = area.top; y < area.bottom; ++y)
        surface->FillSpan(y, area.left, area.right, value);
}

}  // namespace

TEST(MemoHistory, UndoAndRedoPutBackExactlyTheBytesOfEveryFormat) {
    struct Row {
        uint16_t bits;
        int32_t height;  // negative: top row first
    };
    // Areas that start and end inside a byte of the fewer-bit formats.
    const Row rows[] = {{1, 20}, {4, 20}, {8, 20}, {8, -20}, {24, 20}, {32, 20}};
    for (const Row& row : rows) {
        CMemoBitmap picture;
        MakePicture(picture, 37, row.height, row.bits);
        CMemoHistory history;
        const std::string before = picture.EncodeFile();
        const CRect area{3, 5, 30, 12};
        history.BeforeChange(picture, area);
        Fill(picture, area, 1);
        history.BeforeChange(picture, {-10, -10, 5, 50});  // reaches beyond the picture
        Fill(picture, {0, 0, 5, 20}, 0);
        const std::string after = picture.EncodeFile();
        ASSERT_TRUE(history.Undo(picture) && history.Undo(picture)) << row.bits;
        EXPECT_EQ(picture.EncodeFile(), before) << row.bits << "/" << row.height;
        EXPECT_FALSE(history.Undo(picture));
        ASSERT_TRUE(history.Redo(picture) && history.Redo(picture));
        EXPECT_EQ(picture.EncodeFile(), after) << row.bits << "/" << row.height;
        EXPECT_FALSE(history.Redo(picture));
    }
}

TEST(MemoHistory, HoldsAtMost64MiBDroppingTheOldestSteps) {
    // Each step keeps 4 MiB, and the buffer a change is taken into holds 4 MiB more: fourteen
    // steps fit, with what each needs besides.
    CMemoBitmap picture;
    MakePicture(picture, 2048, 2048, 8);
    const CRect whole{0, 0, 2048, 2048};
    CMemoHistory history;
    for (uint32_t step = 1; step <= 17; ++step) {
        history.BeforeChange(picture, whole);
        Fill(picture, whole, step);
        EXPECT_LE(history.Bytes(), CMemoHistory::kMaxBytes);
    }
    int undone = 0;
    while (history.Undo(picture)) ++undone;
    EXPECT_EQ(undone, 14);
    EXPECT_LE(history.Bytes(), CMemoHistory::kMaxBytes);
    EXPECT_EQ(picture.GetBitmap()->GetSurface()->GetPixelValue(1000, 1000), 3u)
        << "back to the picture after the third change";
    EXPECT_FALSE(history.IsUnmodified()) << "the file's picture went with the oldest steps";

    // A change that alone passes the limit leaves nothing to undo, and cannot be mistaken
    // for the file's picture.
    CMemoBitmap huge;
    MakePicture(huge, 8193, 8193, 8);
    history.Reset();
    history.BeforeChange(huge, {0, 0, 8193, 8193});
    EXPECT_FALSE(history.CanUndo());
    EXPECT_FALSE(history.IsUnmodified());
    EXPECT_EQ(history.Bytes(), 0u);
}

TEST(MemoHistory, AStepIsNeverAppliedToAnotherPicture) {
    CMemoBitmap picture;
    MakePicture(picture, 40, 30, 8);
    CMemoHistory history;
    history.BeforeChange(picture, {0, 0, 40, 30});
    CMemoBitmap smaller;
    MakePicture(smaller, 10, 10, 8);
    const std::string untouched = smaller.EncodeFile();
    EXPECT_FALSE(history.Undo(smaller));
    EXPECT_EQ(smaller.EncodeFile(), untouched);
    EXPECT_FALSE(history.CanUndo() || history.CanRedo());
}
