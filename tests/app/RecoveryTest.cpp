// Every change of a memo kept in recovery/ until the memo is safe, and brought back after
// a crash.
#include <sys/resource.h>
#include <sys/stat.h>

#include <csignal>
#include <filesystem>
#include <functional>

#include "memo/RecoveryCopy.h"
#include "platform/fs/RecoveryFolder.h"
#include "res/ResourceIds.h"
#include "support/QuilloScenario.h"

namespace fs = std::filesystem;

namespace {

class Recovery : public QuilloScenario {
  protected:
    fs::path Folder() const { return m_device->Directory() / "recovery"; }
    fs::path Copy() const { return Folder() / kRecoveryCopyName; }
    // A copy as a run that crashed leaves it: the memo of `path` with a stroke on it.
    std::string CopyOfAStroke(const std::string& path) {
        CMemoBitmap memo;
        EXPECT_TRUE(memo.LoadFile(WriteMemo("stroked.bmp", 240, 294, 0)));
        fs::remove(HostSaveFolder() / "stroked.bmp");
        return EncodeRecoveryCopy({path, FileIdentityAt(path), memo.EncodeFile()});
    }
};

}  // namespace

TEST_F(Recovery, NoCopyIsLeftOnceTheMemoIsSafe) {
    const std::vector<std::pair<const char*, std::function<void()>>> safePoints = {
        {"saved", [&] { SendCommand(frame, ID_FILE_SAVE); }},
        {"deleted",
         [&] {
             ExpectModal([](ModalRun& run) { run.Answer(IDYES); });
             SendCommand(frame, ID_DELETE_MEMO);
         }},
        {"cleared", [&] { SendCommand(frame, ID_EDIT_CLEAR); }},
        {"undone to the file's picture", [&] { SendCommand(frame, ID_EDIT_UNDO); }},
        {"a clean exit",
         [&] {
             frame->SendMessage(WM_CLOSE);
             app.reset();
         }},
    };
    for (const auto& [what, makeSafe] : safePoints) {
        WriteMemo("A.bmp", 240, 294, 255);
        ASSERT_TRUE(Start());
        Stroke({{10, 50}, {100, 50}});
        app->m_recovery.Flush();
        ASSERT_TRUE(fs::exists(Copy())) << "every change is kept";
        makeSafe();
        if (app) app->m_recovery.Flush();
        EXPECT_FALSE(fs::exists(Copy())) << what;
        app.reset();
        ProcessEvents();
    }
}

TEST_F(Recovery, ACopyWhoseFileChangedSinceComesBackUnderANewNameAndTheFileStays) {
    const std::string path = WriteMemo("A.bmp", 240, 294, 255);
    fs::create_directories(Folder());
    WriteHostFile(Copy(), CopyOfAStroke(path));
    WriteMemo("A.bmp", 240, 294, 200);  // a sync tool brought another version meanwhile
    const std::string synced = ReadHostFile(HostSaveFolder() / "A.bmp");

    ExpectMessage("保存されていなかったメモを復元しました。");
    ASSERT_TRUE(Start());
    ProcessEvents();
    ExpectAllModalsAnswered();
    // The message box is a leave: the memo is saved then, under a name of its own.
    EXPECT_EQ(doc->GetPathName(), "\\My Documents\\Quillo\\200901131530.bmp");
    EXPECT_TRUE(Inked(50, 50));
    CMemoBitmap saved;
    ASSERT_TRUE(saved.LoadFile(doc->GetPathName()));
    EXPECT_EQ(saved.EncodeFile(), doc->m_bitmap.EncodeFile());
    EXPECT_EQ(ReadHostFile(HostSaveFolder() / "A.bmp"), synced);
}

TEST_F(Recovery, ADamagedCopyIsSetAsideAndTheStartGoesOn) {
    const std::string path = WriteMemo("A.bmp", 240, 294, 255);
    const std::string whole = CopyOfAStroke(path);
    std::string flipped = whole;
    flipped[flipped.size() / 2] ^= 0x10;
    const std::pair<const char*, std::string> damaged[] = {
        {"cut short by a crash", whole.substr(0, whole.size() / 2)},
        {"a byte the disk changed", flipped},
        {"no copy at all", "BM not a copy"},
        {"a copy of no picture", EncodeRecoveryCopy({path, {}, "BM"})},
        {"a FIFO, which the start must not wait on", ""},
    };
    fs::create_directories(Folder());
    for (const auto& [what, bytes] : damaged) {
        if (bytes.empty()) {
            ASSERT_EQ(::mkfifo(Copy().c_str(), 0600), 0);
        } else {
            WriteHostFile(Copy(), bytes);
        }
        std::string told;
        ExpectModal([&](ModalRun& run) {
            told = run.text;
            run.Answer(IDOK);
        });
        ASSERT_TRUE(Start()) << what;
        ProcessEvents();
        ExpectAllModalsAnswered();
        EXPECT_EQ(doc->GetPathName(), path) << what;
        EXPECT_FALSE(fs::exists(Copy())) << what;
        int setAside = 0;
        for (const auto& entry : fs::directory_iterator(Folder())) {
            if (!entry.path().filename().string().starts_with("memo.copy.damaged-")) continue;
            EXPECT_EQ(told,
                      "保存されていなかった変更の復元用コピーを読み込めませんでした。"
                      "そのコピーは次の場所に残しました: " +
                          entry.path().string())
                << what;
            if (bytes.empty()) {
                EXPECT_TRUE(fs::is_fifo(entry.path())) << what;
            } else {
                EXPECT_EQ(ReadHostFile(entry.path()), bytes) << what << ": kept as it was";
            }
            fs::remove(entry.path());
            ++setAside;
        }
        EXPECT_EQ(setAside, 1) << what;
        app.reset();
        ProcessEvents();
    }
}

TEST_F(Recovery, WhenNoCopyCanBeKeptTheFirstChangeSaysWhyOnce) {
    const std::string later = "保存していない変更は、異常終了すると失われます。";
    const struct {
        const char* why;
        std::string said;
    } rows[] = {
        {"another window holds the lock",
         "別の Quillo がこのデバイスを使っているため、復元用のコピーを残せません。" + later},
        {"no room", "デバイスの空き容量が足りないため、復元用のコピーを残せません。" + later},
        {"a folder that refuses",
         "デバイスのフォルダに書き込めないため、復元用のコピーを残せません。" + later},
    };
    ::signal(SIGXFSZ, SIG_IGN);  // a file-size limit stands in for a full disk
    for (const auto& row : rows) {
        const std::string why = row.why;
        std::unique_ptr<RecoveryFolder> held;
        if (why == "another window holds the lock") held = RecoveryFolder::Claim();
        if (why == "a folder that refuses") WriteHostFile(Folder(), "in the way");
        ASSERT_TRUE(Start()) << why;
        const int seen = ModalRunsSeen();
        rlimit unlimited{};
        ::getrlimit(RLIMIT_FSIZE, &unlimited);
        if (why == "no room") {
            const rlimit small{1000, unlimited.rlim_max};
            ::setrlimit(RLIMIT_FSIZE, &small);
        }
        ExpectMessage(row.said);
        Stroke({{10, 50}, {100, 50}});
        app->m_recovery.Flush();
        ProcessEvents();
        Stroke({{10, 60}, {100, 60}});
        app->m_recovery.Flush();
        ProcessEvents();
        ExpectAllModalsAnswered();
        ::setrlimit(RLIMIT_FSIZE, &unlimited);
        EXPECT_EQ(ModalRunsSeen() - seen, 1) << why << ": once";
        app.reset();
        ProcessEvents();
        fs::remove_all(Folder());
    }
}
