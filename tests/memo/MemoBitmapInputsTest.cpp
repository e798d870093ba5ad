#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>

#include "memo/MemoBitmap.h"
#include "support/TempDevice.h"

// Every input kept from fuzzing (and any that ever crashed the loader) is loaded again here:
// it must be rejected cleanly, or load, save and load back to the same picture and bytes.
TEST(MemoBitmapInputs, KeptInputsLoadSafelyAndRoundTrip) {
    TempDevice device;
    int loaded = 0;
    int files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(QUILLO_BMP_INPUTS)) {
        ++files;
        const std::string name = entry.path().filename().string();
        WriteHostFile(device.Host("input.bmp"), ReadHostFile(entry.path()));
        CMemoBitmap first;
        if (!first.LoadFile("\\input.bmp")) {
            EXPECT_EQ(first.GetBitmap(), nullptr) << name;
            continue;
        }
        ++loaded;
        ASSERT_TRUE(first.SaveFile("\\first.bmp")) << name;
        CMemoBitmap second;
        ASSERT_TRUE(second.LoadFile("\\first.bmp")) << name;
        EXPECT_EQ(std::memcmp(&first.Header(), &second.Header(), sizeof(BITMAPINFOHEADER)), 0)
            << name;
        EXPECT_EQ(std::memcmp(first.Bits(), second.Bits(), first.Header().biSizeImage), 0) << name;
        ASSERT_TRUE(second.SaveFile("\\second.bmp")) << name;
        EXPECT_EQ(ReadHostFile(device.Host("first.bmp")), ReadHostFile(device.Host("second.bmp")))
            << name;
    }
    EXPECT_GT(files, 10);
    EXPECT_GT(loaded, 5) << "the seeds themselves load";
}
