#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <sstream>
#include <vector>

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
    hostfs::create_symlink(outside.Path() / "none", device.Host("dangling.bmp"));
    CReplacingFile writer;
    EXPECT_FALSE(writer.Open("\\My Documents"));
    EXPECT_FALSE(writer.Open("\\link.bmp"));
    EXPECT_FALSE(writer.Open("\\dangling.bmp"));
    EXPECT_FALSE(writer.Open("\\No Folder\\memo.bmp"));
    EXPECT_FALSE(writer.Open("\\bad?.bmp"));
    EXPECT_FALSE(writer.Commit());
    EXPECT_EQ(ReadHostFile(outside.Path() / "target"), "outside");
    EXPECT_TRUE(hostfs::is_symlink(device.Host("dangling.bmp")));
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

TEST(ReplacingFile, DataReachesTheDiskBeforeTheRenameAndTheRenameAfterIt) {
    TempDevice device;
    WriteHostFile(device.Host("memo.bmp"), "BM old");
    const std::string log = (device.Directory() / "sync.log").string();
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        ::setenv("LD_PRELOAD", QUILLO_SYNC_ORDER_SHIM, 1);
        ::setenv("QUILLO_SYNC_LOG", log.c_str(), 1);
        const char* asan = ::getenv("ASAN_OPTIONS");
        const std::string options = std::string(asan ? asan : "") + ":verify_asan_link_order=0";
        ::setenv("ASAN_OPTIONS", options.c_str(), 1);
        ::execl(QUILLO_REPLACE_HELPER, "replace_helper", device.Directory().c_str(),
                static_cast<char*>(nullptr));
        ::_exit(127);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    EXPECT_EQ(ReadHostFile(device.Host("memo.bmp")), "BM new");

    const std::string folder = hostfs::canonical(device.Host("memo.bmp")).parent_path().string();
    std::vector<std::string> calls;
    std::istringstream lines(ReadHostFile(log));
    for (std::string line; std::getline(lines, line);) calls.push_back(line);
    const auto renamed = std::find_if(calls.begin(), calls.end(), [&](const std::string& call) {
        return call.starts_with("rename " + folder + "/" + std::string(kReplacingTempPrefix)) &&
               call.ends_with(" " + folder + "/memo.bmp");
    });
    ASSERT_NE(renamed, calls.end()) << ReadHostFile(log);
    const std::string temporary = renamed->substr(7, renamed->find(' ', 7) - 7);
    EXPECT_NE(std::find(calls.begin(), renamed, "fsync " + temporary), renamed)
        << "the new bytes are on the disk before the name points at them";
    EXPECT_NE(std::find(renamed, calls.end(), "fsync " + folder), calls.end())
        << "the rename itself is made lasting";
}

// The identity a save records is what a later look at the path sees, until anyone else
// writes there: a rename over it, or a rewrite in place with the same length.
TEST(ReplacingFile, CommittedIdentityMatchesThePathUntilAnotherWriterChangesIt) {
    TempDevice device;
    CReplacingFile writer;
    ASSERT_TRUE(writer.Open("\\memo.bmp"));
    ASSERT_TRUE(writer.Write("ours", 4));
    ASSERT_TRUE(writer.Commit());
    const FileIdentity ours = writer.GetCommittedIdentity();
    ASSERT_TRUE(ours.IsKnown());
    EXPECT_EQ(FileIdentityAt("\\MEMO.bmp"), ours);

    WriteHostFile(device.Host("memo.bmp"), "them");  // the same length, rewritten in place
    EXPECT_NE(FileIdentityAt("\\memo.bmp"), ours);
    WriteHostFile(device.Host("other.bmp"), "ours");
    hostfs::rename(device.Host("other.bmp"), device.Host("memo.bmp"));
    EXPECT_NE(FileIdentityAt("\\memo.bmp"), ours);
    hostfs::remove(device.Host("memo.bmp"));
    EXPECT_FALSE(FileIdentityAt("\\memo.bmp").IsKnown());
}

// Each row changes the file between the writer's Open and its commit, as another program
// would while a save is under way.
TEST(ReplacingFile, CommitIfUnchangedNeverReplacesAnotherVersion) {
    const struct {
        const char* meanwhile;
        bool expectKnown;  // the writer expects the file it wrote before; else no file at all
        CReplacingFile::Outcome outcome;
        const char* left;  // what the name holds afterwards
    } rows[] = {
        {"nothing", true, CReplacingFile::Outcome::Committed, "new"},
        {"rewritten in place", true, CReplacingFile::Outcome::TargetChanged, "them"},
        {"replaced by a rename", true, CReplacingFile::Outcome::TargetChanged, "them"},
        {"deleted", true, CReplacingFile::Outcome::Committed, "new"},
        {"created", false, CReplacingFile::Outcome::TargetChanged, "them"},
    };
    for (const auto& row : rows) {
        TempDevice device;
        const hostfs::path host = device.Host("memo.bmp");
        FileIdentity expected;
        if (row.expectKnown) {
            CReplacingFile first;
            ASSERT_TRUE(first.Open("\\memo.bmp") && first.Write("ours", 4) && first.Commit());
            expected = first.GetCommittedIdentity();
        }
        CReplacingFile writer;
        ASSERT_TRUE(writer.Open("\\memo.bmp"));
        ASSERT_TRUE(writer.Write("new", 3));
        const std::string_view meanwhile = row.meanwhile;
        if (meanwhile == "rewritten in place" || meanwhile == "created") {
            WriteHostFile(host, "them");
        } else if (meanwhile == "replaced by a rename") {
            WriteHostFile(device.Host("download.tmp"), "them");
            hostfs::rename(device.Host("download.tmp"), host);
        } else if (meanwhile == "deleted") {
            hostfs::remove(host);
        }
        EXPECT_EQ(writer.CommitIfUnchanged(expected), row.outcome) << row.meanwhile;
        EXPECT_EQ(ReadHostFile(host), row.left) << row.meanwhile;
        EXPECT_EQ(CountHostTemporaries(device.Host("")), 0) << row.meanwhile;
    }
}
