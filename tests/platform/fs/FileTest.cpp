#include <gtest/gtest.h>
#include <sys/stat.h>

#include "platform/fs/File.h"
#include "support/TempDevice.h"

TEST(File, ReadsSeeksAndReportsLength) {
    TempDevice device;
    WriteHostFile(device.Host("data.bin"), "0123456789");
    CFile file;
    ASSERT_TRUE(file.Open("\\DATA.BIN", CFile::modeRead));
    EXPECT_EQ(file.GetLength(), 10);
    char buffer[8] = {};
    EXPECT_EQ(file.Read(buffer, 4), 4);
    EXPECT_EQ(std::string(buffer, 4), "0123");
    EXPECT_EQ(file.Seek(8, CFile::begin), 8);
    EXPECT_EQ(file.Read(buffer, 8), 2) << "a short read at the end is not an error";
    EXPECT_EQ(std::string(buffer, 2), "89");
    EXPECT_EQ(file.Read(buffer, 8), 0);
    EXPECT_EQ(file.Seek(-3, CFile::end), 7);
    EXPECT_FALSE(file.Write("x", 1)) << "opened for reading only";
}

TEST(File, CreateTruncatesWriteAloneDoesNotAndBothKeepTheExistingSpelling) {
    TempDevice device;
    WriteHostFile(device.Host("Memo.bmp"), "a much longer old content");
    CFile file;
    ASSERT_TRUE(file.Open("\\memo.BMP", CFile::modeCreate | CFile::modeWrite));
    EXPECT_TRUE(file.Write("new", 3));
    file.Close();
    EXPECT_EQ(ReadHostFile(device.Host("Memo.bmp")), "new");
    EXPECT_FALSE(std::filesystem::exists(device.Host("memo.BMP")));
    // Writing without creating overwrites in place and makes no file.
    ASSERT_TRUE(file.Open("\\memo.BMP", CFile::modeWrite));
    EXPECT_TRUE(file.Write("N", 1));
    file.Close();
    EXPECT_EQ(ReadHostFile(device.Host("Memo.bmp")), "New");
    EXPECT_FALSE(file.Open("\\other.bmp", CFile::modeWrite));
    EXPECT_FALSE(std::filesystem::exists(device.Host("other.bmp")));
}

TEST(File, OpenFailsForFoldersMissingFoldersAndSpecialFiles) {
    TempDevice device;
    CFile file;
    EXPECT_FALSE(file.Open("\\My Documents", CFile::modeRead));
    EXPECT_FALSE(file.Open("\\Missing\\x.bmp", CFile::modeCreate | CFile::modeWrite));
    EXPECT_FALSE(file.Open("\\missing.bmp", CFile::modeRead));
    ASSERT_EQ(::mkfifo(device.Host("pipe.bmp").c_str(), 0600), 0);
    EXPECT_FALSE(file.Open("\\pipe.bmp", CFile::modeRead)) << "must neither block nor open";
    EXPECT_FALSE(file.IsOpen());
}
