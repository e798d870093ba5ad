#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>

#include "memo/MemoBitmap.h"
#include "memo/RecoveryCopy.h"
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

// The same for recovery copies, each read as kept and sealed with a valid checksum: refused
// whole, or read back to the same copy, its memo loading or refused cleanly.
TEST(RecoveryCopyInputs, KeptInputsReadSafely) {
    int read = 0;
    int files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(QUILLO_RECOVERY_INPUTS)) {
        ++files;
        const std::string kept = ReadHostFile(entry.path());
        for (const std::string& bytes : {kept, SealRecoveryCopy(kept)}) {
            const std::string name = entry.path().filename().string();
            RecoveryCopy copy;
            if (!DecodeRecoveryCopy(bytes, copy)) {
                EXPECT_TRUE(copy.path.empty() && copy.memo.empty()) << name;
                continue;
            }
            ++read;
            EXPECT_EQ(EncodeRecoveryCopy(copy), bytes) << name;
            CMemoBitmap memo;
            if (!memo.LoadBytes(copy.memo)) {
                EXPECT_EQ(memo.GetBitmap(), nullptr) << name;
            }
        }
    }
    EXPECT_GT(files, 3);
    EXPECT_GT(read, 1) << "the seeds themselves read";
}
