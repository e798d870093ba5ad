#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>

#include "platform/fs/Device.h"
#include "platform/fs/ReplacingFile.h"
#include "support/TempDevice.h"

namespace hostfs = std::filesystem;

namespace {

int CountHostTemporaries(const hostfs::path& folder) {
    int count = 0;
    for (const auto& entry : hostfs::directory_iterator(folder)) {
        count += entry.path().filename().string().starts_with(kReplacingTempPrefix) ? 1 : 0;
    }
    return count;
}

}  // namespace

TEST(ReplacingFile, CommitReplacesTheWholeFile) {
    TempDevice device;
    WriteHostFile(device.Host("My Documents/memo.bmp"), "old content that is longer");
    ::chmod(device.Host("My Documents/memo.bmp").c_str(), 0640);
    CReplacingFile writer;
    ASSERT_TRUE(writer.Open("\\My Documents\\MEMO.bmp"));
    ASSERT_TRUE(writer.Write("new", 3));
    EXPECT_EQ(ReadHostFile(device.Host("My Documents/memo.bmp")), "old content that is longer")
        << "nothing changes before the commit";
    ASSERT_TRUE(writer.Commit());
    EXPECT_EQ(ReadHostFile(device.Host("My Documents/memo.bmp")), "new");
    EXPECT_FALSE(hostfs::exists(device.Host("My Documents/MEMO.bmp")));
    EXPECT_EQ(hostfs::status(device.Host("My Documents/memo.bmp")).permissions(),
              hostfs::perms::owner_read | hostfs::perms::owner_write | hostfs::perms::group_read);
    EXPECT_EQ(CountHostTemporaries(device.Host("My Documents")), 0);
}

TEST(ReplacingFile, CreatesANewFile) {
    TempDevice device;
    CReplacingFile writer;
    ASSERT_TRUE(writer.Open("\\My Documents\\200901131530.bmp"));
    ASSERT_TRUE(writer.Write("BM", 2));
    ASSERT_TRUE(writer.Commit());
    EXPECT_EQ(ReadHostFile(device.Host("My Documents/200901131530.bmp")), "BM");
}

TEST(ReplacingFile, AbandonedWriterLeavesTheOldFileAndNoTemporary) {
    TempDevice device;
    WriteHostFile(device.Host("memo.bmp"), "old");
    {
        CReplacingFile writer;
        ASSERT_TRUE(writer.Open("\\memo.bmp"));
        ASSERT_TRUE(writer.Write("half", 4));
        std::vector<FindEntry> entries;
        ASSERT_TRUE(Device::FileSystem().Find("\\*", entries));
        for (const auto& entry : entries) {
            EXPECT_FALSE(entry.name.starts_with(kReplacingTempPrefix)) << "temporaries are hidden";
        }
    }
    EXPECT_EQ(ReadHostFile(device.Host("memo.bmp")), "old");
    EXPECT_EQ(CountHostTemporaries(device.Root()), 0);
}

TEST(ReplacingFile, RefusesFoldersLinksAndMissingFolders) {
    TempDevice device;
    TempFolder outside;
    WriteHostFile(outside.Path() / "target", "outside");
    hostfs::create_symlink(outside.Path() / "target", device.Host("link.bmp"));
    CReplacingFile writer;
    EXPECT_FALSE(writer.Open("\\My Documents"));
    EXPECT_FALSE(writer.Open("\\link.bmp"));
    EXPECT_FALSE(writer.Open("\\No Folder\\memo.bmp"));
    EXPECT_FALSE(writer.Open("\\bad?.bmp"));
    EXPECT_FALSE(writer.Commit());
    EXPECT_EQ(ReadHostFile(outside.Path() / "target"), "outside");
}

TEST(ReplacingFile, WriterKilledMidReplaceLeavesTheOldFileByteForByte) {
    TempDevice device;
    std::string old(100000, '\0');
    for (size_t i = 0; i < old.size(); ++i) old[i] = static_cast<char>(i * 7);
    WriteHostFile(device.Host("My Documents/memo.bmp"), old);

    int ready[2];
    ASSERT_EQ(::pipe(ready), 0);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        CReplacingFile writer;
        const std::string part(60000, 'N');
        const bool started =
            writer.Open("\\My Documents\\memo.bmp") && writer.Write(part.data(), part.size());
        const char signal = started ? 'y' : 'n';
        (void)!::write(ready[1], &signal, 1);
        ::pause();  // killed here, in the middle of the replace
        ::_exit(0);
    }
    char signal = 0;
    ASSERT_EQ(::read(ready[0], &signal, 1), 1);
    ::close(ready[0]);
    ::close(ready[1]);
    ASSERT_EQ(signal, 'y');
    ::kill(child, SIGKILL);
    int status = 0;
    ::waitpid(child, &status, 0);
    ASSERT_TRUE(WIFSIGNALED(status));

    EXPECT_EQ(ReadHostFile(device.Host("My Documents/memo.bmp")), old);
    EXPECT_EQ(CountHostTemporaries(device.Host("My Documents")), 1)
        << "the dead writer's temporary";
    std::vector<FindEntry> entries;
    ASSERT_TRUE(Device::FileSystem().Find("\\My Documents\\*", entries));
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries[0].name, "memo.bmp");

    // The next save in that folder clears what the crash left.
    CReplacingFile next;
    ASSERT_TRUE(next.Open("\\My Documents\\other.bmp"));
    EXPECT_EQ(CountHostTemporaries(device.Host("My Documents")), 1) << "only its own now";
    next.Abort();
    EXPECT_EQ(CountHostTemporaries(device.Host("My Documents")), 0);
}
