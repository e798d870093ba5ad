#include <gtest/gtest.h>

#include <filesystem>
#include <future>
#include <set>
#include <string>
#include <vector>

#include "platform/base/Time.h"
#include "platform/fs/RecoveryFolder.h"
#include "platform/fs/RecoveryWriter.h"
#include "support/ReadOnlyFolder.h"
#include "support/TempDevice.h"

namespace hostfs = std::filesystem;

namespace {

RecoveryWriter::Payload Bytes(std::string text) {
    return [text](const RecoveryWriter::Sink& sink) { return sink(text.data(), text.size()); };
}

}  // namespace

TEST(RecoveryFolder, OnlyOneOwnerAtATimeAndTheLockGoesWithIt) {
    TempDevice device;
    auto owner = RecoveryFolder::Claim();
    ASSERT_NE(owner, nullptr);
    EXPECT_EQ(RecoveryFolder::Claim(), nullptr) << "a second window must not write copies";
    owner.reset();
    EXPECT_NE(RecoveryFolder::Claim(), nullptr) << "the lock goes with its owner";
}

TEST(RecoveryFolder, CopiesSetAsideInOneSecondGetAHundredNamesThenStay) {
    TempDevice device;
    const SYSTEMTIME now = *TimeOfFields(2009, 1, 13, 15, 30, 5);
    SetFixedLocalTime(&now);
    auto folder = RecoveryFolder::Claim();
    ASSERT_NE(folder, nullptr);
    std::set<std::string> names;
    for (int i = 0; i < 100; ++i) {
        WriteHostFile(folder->CopyPath(), "copy " + std::to_string(i));
        names.insert(folder->SetCopyAside("damaged"));
    }
    EXPECT_EQ(names.size(), 100U);
    EXPECT_EQ(names.count(""), 0U);
    EXPECT_EQ(ReadHostFile(*names.begin()), "copy 0");
    EXPECT_TRUE(names.count((device.Directory() / "recovery" / "memo.copy.damaged-20090113-153005-99").string()))
        << *names.rbegin();
    WriteHostFile(folder->CopyPath(), "one too many");
    EXPECT_EQ(folder->SetCopyAside("damaged"), "") << "no name left: it stays";
    EXPECT_EQ(ReadHostFile(folder->CopyPath()), "one too many");
    SetFixedLocalTime(nullptr);
}

TEST(RecoveryFolder, ARemovalSaysWhenTheCopyStays) {
    TempDevice device;
    auto folder = RecoveryFolder::Claim();
    ASSERT_NE(folder, nullptr);
    EXPECT_TRUE(folder->RemoveCopy()) << "no copy: none stays";
    WriteHostFile(folder->CopyPath(), "copy");
    {
        const ReadOnlyFolder readOnly(device.Directory() / "recovery");
        EXPECT_FALSE(folder->RemoveCopy());
    }
    EXPECT_TRUE(folder->HasCopy());
    EXPECT_TRUE(folder->RemoveCopy());
    EXPECT_FALSE(folder->HasCopy());
}

TEST(RecoveryWriter, AWriteOvertakenByARemovalNeverAppears) {
    TempDevice device;
    auto folder = RecoveryFolder::Claim();
    ASSERT_NE(folder, nullptr);
    const hostfs::path copy = device.Directory() / "recovery" / kRecoveryCopyName;
    RecoveryWriter writer(folder->FolderFd(), std::chrono::milliseconds(0));

    // The write is under way (its bytes half out) when the save's removal comes.
    std::promise<void> started, removed;
    writer.Write([&](const RecoveryWriter::Sink& sink) {
        started.set_value();
        removed.get_future().wait();
        return sink("stale", 5);
    });
    started.get_future().wait();
    writer.Remove();
    removed.set_value();
    writer.Flush();
    EXPECT_FALSE(hostfs::exists(copy)) << "a voided write is never renamed into place";
    std::vector<std::string> left;
    for (const auto& entry : hostfs::directory_iterator(copy.parent_path())) {
        left.push_back(entry.path().filename().string());
    }
    EXPECT_EQ(left, std::vector<std::string>{"lock"}) << "no temporary left";

    // Later changes are kept again, newest last; a waiting write takes the newer picture.
    writer.Write(Bytes("first"));
    writer.Write(Bytes("second"));
    writer.Flush();
    EXPECT_EQ(ReadHostFile(copy), "second");
    writer.Remove();
    writer.Flush();
    EXPECT_FALSE(hostfs::exists(copy));
}
