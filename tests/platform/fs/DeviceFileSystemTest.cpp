#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <filesystem>

#include "platform/fs/Device.h"
#include "platform/fs/DeviceFileSystem.h"
#include "platform/fs/File.h"
#include "platform/fs/ReplacingFile.h"
#include "support/TempDevice.h"

namespace hostfs = std::filesystem;

namespace {

std::vector<std::string> Names(const std::vector<FindEntry>& entries) {
    std::vector<std::string> names;
    for (const auto& entry : entries) names.push_back(entry.name);
    std::sort(names.begin(), names.end());
    return names;
}

std::string ReadDeviceFile(const std::string& path) {
    CFile file;
    if (!file.Open(path, CFile::modeRead)) return "<cannot open>";
    std::string bytes(static_cast<size_t>(file.GetLength()), '\0');
    EXPECT_EQ(file.Read(bytes.data(), bytes.size()), static_cast<ptrdiff_t>(bytes.size()));
    return bytes;
}

const DeviceFileSystem& Fs() {
    return Device::FileSystem();
}

}  // namespace

TEST(DeviceFileSystem, MountMakesTheDeviceLayout) {
    TempDevice device;
    EXPECT_TRUE(hostfs::is_directory(device.Host("My Documents")));
    EXPECT_TRUE(hostfs::is_directory(device.Host("Windows")));
    EXPECT_EQ(Device::RegistryFile(), (device.Directory() / "registry.sqlite3").string());
    EXPECT_EQ(hostfs::status(device.Directory()).permissions() & hostfs::perms::all,
              hostfs::perms::owner_all);
}

TEST(DeviceFileSystem, TheFileSystemsRootIsNoDeviceHoweverItIsWritten) {
    TempFolder folder;
    const hostfs::path link = folder.Path() / "to-root";
    hostfs::create_directory_symlink("/", link);
    for (const std::string& root :
         {std::string("/"), std::string("//"), std::string("/tmp/.."), link.string()}) {
        EXPECT_TRUE(Device::IsFileSystemRoot(root)) << root;
    }
    EXPECT_FALSE(Device::IsFileSystemRoot(folder.Path().string()));
}

TEST(DeviceFileSystem, DefaultDirectoryFollowsXdgDataHome) {
    const std::string saved = std::getenv("HOME") ? std::getenv("HOME") : "";
    ::setenv("XDG_DATA_HOME", "/data/home", 1);
    EXPECT_EQ(Device::DefaultDirectory(), "/data/home/Quillo");
    ::unsetenv("XDG_DATA_HOME");
    ::setenv("HOME", "/home/someone", 1);
    EXPECT_EQ(Device::DefaultDirectory(), "/home/someone/.local/share/Quillo");
    ::setenv("HOME", saved.c_str(), 1);
}

TEST(DeviceFileSystem, MemoFolderListsFilesOfAnyCaseAndFlagsFolders) {
    TempDevice device;
    hostfs::create_directories(device.Host("My Documents/Quillo/z.bmp"));
    WriteHostFile(device.Host("My Documents/Quillo/x.bmp"), "xx");
    WriteHostFile(device.Host("My Documents/Quillo/y.BMP"), "yyy");
    WriteHostFile(device.Host("My Documents/Quillo/notes.txt"), "t");
    WriteHostFile(device.Host("My Documents/Quillo/.hidden.bmp"), "h");

    std::vector<FindEntry> entries;
    ASSERT_TRUE(Fs().Find("\\My Documents\\Quillo\\*.bmp", entries));
    EXPECT_EQ(Names(entries), (std::vector<std::string>{"x.bmp", "y.BMP", "z.bmp"}));
    for (const auto& entry : entries) {
        EXPECT_EQ(entry.isFolder, entry.name == "z.bmp") << entry.name;
        if (entry.name == "y.BMP") {
            EXPECT_EQ(entry.size, 3u);
        }
    }
    EXPECT_EQ(ReadDeviceFile("\\My Documents\\Quillo\\y.bmp"), "yyy");
    EXPECT_EQ(ReadDeviceFile("\\MY DOCUMENTS\\quillo\\X.BMP"), "xx");
}

TEST(DeviceFileSystem, FindReportsTheHostLastWriteTime) {
    TempDevice device;
    WriteHostFile(device.Host("a.bmp"), "a");
    struct timespec times[2] = {{1231827045, 0},
                                {1231827045, 500000000}};  // 2009-01-13 06:10:45.5 UTC
    ASSERT_EQ(::utimensat(AT_FDCWD, device.Host("a.bmp").c_str(), times, 0), 0);
    std::vector<FindEntry> entries;
    ASSERT_TRUE(Fs().Find("\\*.bmp", entries));
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries[0].lastWrite,
              kUnixEpochAsFileTime + 1231827045ULL * kFileTimeUnitsPerSecond + 5000000);
    FileStatus status;
    ASSERT_TRUE(Fs().GetStatus("\\A.BMP", status));
    EXPECT_EQ(status.lastWrite, entries[0].lastWrite);
    EXPECT_EQ(status.size, 1u);
    EXPECT_FALSE(status.isFolder);
}

TEST(DeviceFileSystem, FindFailsForAMissingFolderOrNoMatch) {
    TempDevice device;
    std::vector<FindEntry> entries{{"stale", false, 0, 0}};
    EXPECT_FALSE(Fs().Find("\\No Such Folder\\*.bmp", entries));
    EXPECT_TRUE(entries.empty());
    EXPECT_FALSE(Fs().Find("\\My Documents\\*.bmp", entries));
    EXPECT_TRUE(Fs().Find("\\*.*", entries));
    EXPECT_EQ(Names(entries), (std::vector<std::string>{"My Documents", "Windows"}));
}

TEST(DeviceFileSystem, CreateFolderMakesOneLevelPreservingCase) {
    TempDevice device;
    EXPECT_TRUE(Fs().CreateFolder("\\my documents\\Quillo"));
    EXPECT_TRUE(hostfs::is_directory(device.Host("My Documents/Quillo")));
    EXPECT_FALSE(Fs().CreateFolder("\\My Documents\\QUILLO")) << "exists under another case";
    EXPECT_FALSE(Fs().CreateFolder("\\Missing\\Child"));
    EXPECT_FALSE(hostfs::exists(device.Host("Missing")));
    EXPECT_FALSE(Fs().CreateFolder("\\bad:name"));
    EXPECT_FALSE(Fs().CreateFolder("\\"));
}

TEST(DeviceFileSystem, MoveNeverOverwrites) {
    TempDevice device;
    WriteHostFile(device.Host("a.bmp"), "first");
    WriteHostFile(device.Host("b.bmp"), "second");
    EXPECT_FALSE(Fs().MoveFile("\\a.bmp", "\\b.bmp"));
    EXPECT_FALSE(Fs().MoveFile("\\a.bmp", "\\B.BMP")) << "the target exists under another case";
    EXPECT_EQ(ReadHostFile(device.Host("a.bmp")), "first");
    EXPECT_EQ(ReadHostFile(device.Host("b.bmp")), "second");
}

TEST(DeviceFileSystem, MoveRenamesAndChangesCase) {
    TempDevice device;
    WriteHostFile(device.Host("My Documents/200901131530.bmp"), "memo");
    EXPECT_TRUE(Fs().MoveFile("\\My Documents\\200901131530.bmp", "\\my documents\\shopping.bmp"));
    EXPECT_EQ(ReadHostFile(device.Host("My Documents/shopping.bmp")), "memo");
    EXPECT_FALSE(hostfs::exists(device.Host("My Documents/200901131530.bmp")));

    EXPECT_TRUE(Fs().MoveFile("\\My Documents\\shopping.bmp", "\\My Documents\\Shopping.bmp"));
    std::vector<FindEntry> entries;
    ASSERT_TRUE(Fs().Find("\\My Documents\\*.bmp", entries));
    EXPECT_EQ(Names(entries), (std::vector<std::string>{"Shopping.bmp"}));

    EXPECT_FALSE(Fs().MoveFile("\\My Documents\\missing.bmp", "\\x.bmp"));
    EXPECT_FALSE(Fs().MoveFile("\\My Documents\\Shopping.bmp", "\\No Folder\\x.bmp"));
    EXPECT_FALSE(Fs().MoveFile("\\My Documents\\Shopping.bmp", "\\My Documents\\a|b.bmp"));
    EXPECT_EQ(ReadHostFile(device.Host("My Documents/Shopping.bmp")), "memo");
}

TEST(DeviceFileSystem, DeleteRemovesFilesOnly) {
    TempDevice device;
    WriteHostFile(device.Host("x.bmp"), "x");
    EXPECT_TRUE(Fs().DeleteFile("\\X.bmp"));
    EXPECT_FALSE(hostfs::exists(device.Host("x.bmp")));
    EXPECT_FALSE(Fs().DeleteFile("\\x.bmp"));
    EXPECT_FALSE(Fs().DeleteFile("\\My Documents"));
    EXPECT_TRUE(hostfs::is_directory(device.Host("My Documents")));
}

TEST(DeviceFileSystem, NothingOutsideTheRootIsEverTouched) {
    TempDevice device;
    TempFolder outside;
    WriteHostFile(outside.Path() / "secret", "keep");
    hostfs::create_directory_symlink(outside.Path(), device.Host("link"));
    hostfs::create_symlink(outside.Path() / "secret", device.Host("alias.bmp"));
    WriteHostFile(device.Directory() / "beside-root", "device file");

    CFile file;
    EXPECT_FALSE(file.Open("\\link\\secret", CFile::modeRead));
    EXPECT_FALSE(file.Open("\\link\\new", CFile::modeCreate | CFile::modeWrite));
    EXPECT_FALSE(file.Open("\\alias.bmp", CFile::modeRead));
    EXPECT_FALSE(file.Open("\\alias.bmp", CFile::modeCreate | CFile::modeWrite));
    EXPECT_FALSE(file.Open("\\..\\beside-root", CFile::modeRead));
    EXPECT_FALSE(Fs().CreateFolder("\\link\\dir"));
    EXPECT_FALSE(Fs().DeleteFile("\\link\\secret"));
    EXPECT_FALSE(Fs().DeleteFile("\\alias.bmp"));
    EXPECT_FALSE(Fs().MoveFile("\\link\\secret", "\\stolen"));
    EXPECT_FALSE(Fs().MoveFile("\\alias.bmp", "\\stolen"));
    EXPECT_FALSE(Fs().MoveFile("\\My Documents", "\\link\\moved"));
    std::vector<FindEntry> entries;
    EXPECT_FALSE(Fs().Find("\\link\\*", entries));
    ASSERT_TRUE(Fs().Find("\\*", entries));
    EXPECT_EQ(Names(entries), (std::vector<std::string>{"My Documents", "Windows"}))
        << "links are not listed";

    // ".." stops at the root: this lands inside it.
    ASSERT_TRUE(file.Open("\\..\\..\\escaped", CFile::modeCreate | CFile::modeWrite));
    file.Close();
    EXPECT_TRUE(hostfs::exists(device.Host("escaped")));
    EXPECT_FALSE(hostfs::exists(device.Directory().parent_path() / "escaped"));

    EXPECT_EQ(ReadHostFile(outside.Path() / "secret"), "keep");
    EXPECT_EQ(std::distance(hostfs::directory_iterator(outside.Path()), {}), 1);
    EXPECT_EQ(ReadHostFile(device.Directory() / "beside-root"), "device file");
}

TEST(DeviceFileSystem, OperationsFailWithNothingMounted) {
    Device::Unmount();
    FileStatus status;
    std::vector<FindEntry> entries;
    EXPECT_FALSE(Fs().GetStatus("\\My Documents", status));
    EXPECT_FALSE(Fs().Find("\\*", entries));
    EXPECT_FALSE(Fs().CreateFolder("\\x"));
    CFile file;
    EXPECT_FALSE(file.Open("\\x", CFile::modeCreate | CFile::modeWrite));
}

TEST(DeviceFileSystem, CaseTwinsOnTheHostGoByExactSpellingElseTheLeastInByteOrder) {
    // "MEMO.bmp" sorts before "Memo.bmp": 'E' is 0x45, 'e' 0x65.
    const struct {
        const char* path;
        const char* lands;
    } cases[] = {
        {"\\Memo.bmp", "Memo.bmp"},
        {"\\MEMO.bmp", "MEMO.bmp"},
        {"\\memo.bmp", "MEMO.bmp"},
        {"\\MeMo.BMP", "MEMO.bmp"},
    };
    for (const auto& c : cases) {
        for (const char* action : {"open", "replace", "move"}) {
            TempDevice device;
            WriteHostFile(device.Host("Memo.bmp"), "Memo.bmp");
            WriteHostFile(device.Host("MEMO.bmp"), "MEMO.bmp");
            const std::string other = std::string(c.lands) == "Memo.bmp" ? "MEMO.bmp" : "Memo.bmp";
            const std::string what = std::string(action) + " " + c.path;
            if (std::string(action) == "open") {
                EXPECT_EQ(ReadDeviceFile(c.path), c.lands) << what;
            } else if (std::string(action) == "replace") {
                CReplacingFile writer;
                ASSERT_TRUE(writer.Open(c.path));
                ASSERT_TRUE(writer.Write("new", 3));
                ASSERT_TRUE(writer.Commit());
                EXPECT_EQ(ReadHostFile(device.Host(c.lands)), "new") << what;
            } else {
                ASSERT_TRUE(Fs().MoveFile(c.path, "\\moved.bmp")) << what;
                EXPECT_EQ(ReadHostFile(device.Host("moved.bmp")), c.lands) << what;
                EXPECT_FALSE(hostfs::exists(device.Host(c.lands))) << what;
            }
            EXPECT_EQ(ReadHostFile(device.Host(other)), other) << what << ": its twin untouched";
        }
    }
}
