// A memo whose save fails is never thrown away.
#include <signal.h>

#include <filesystem>

#include "platform/shell/Termination.h"
#include "res/ResourceIds.h"
#include "support/QuilloScenario.h"

namespace fs = std::filesystem;

namespace {

class NothingLost : public QuilloScenario {
  protected:
    // The save folder replaced by a file: every save fails, also for root.
    void BreakSaveFolder() {
        fs::remove_all(HostSaveFolder());
        WriteHostFile(HostSaveFolder(), "in the way");
    }
    void ExpectSaveFailed() {
        ExpectModal([](ModalRun& run) {
            EXPECT_EQ(run.text, "メモを保存できませんでした。");
            EXPECT_EQ(run.type & MB_YESNO, 0u);
            run.Answer(IDOK);
        });
    }
};

}  // namespace

TEST_F(NothingLost, LeavingAMemoThatCannotBeSavedKeepsItAndSaysSo) {
    WriteMemo("A.bmp", 240, 294, 255);
    WriteMemo("B.bmp", 240, 294, 255);
    ASSERT_TRUE(Start());
    const std::string shown = doc->GetPathName();
    Stroke({{10, 50}, {100, 50}});
    BreakSaveFolder();
    // The preview saves before it lists the folder: the failure is told, and it opens.
    for (const UINT command : {ID_FILE_NEW, ID_PREVIEW}) {
        ExpectSaveFailed();
        if (command == ID_PREVIEW) {
            ExpectModal([](ModalRun& run) {
                EXPECT_EQ(run.caption, "プレビュー");
                run.Press(IDCANCEL);
            });
        }
        SendCommand(frame, command);
        ExpectAllModalsAnswered();
        EXPECT_EQ(doc->GetPathName(), shown) << command;
        EXPECT_TRUE(doc->IsModified()) << command;
        EXPECT_TRUE(Inked(50, 50)) << "the stroke is still there";
    }
}

TEST_F(NothingLost, QuittingAsksAndNoKeepsTheWindow) {
    ASSERT_TRUE(Start());
    Stroke({{10, 50}, {100, 50}});
    BreakSaveFolder();
    for (const int answer : {IDNO, IDYES}) {
        ExpectModal([answer](ModalRun& run) {
            EXPECT_EQ(run.text, "メモを保存できませんでした。保存せずに終了しますか？");
            EXPECT_EQ(run.type & MB_YESNO, static_cast<UINT>(MB_YESNO));
            run.Answer(answer);
        });
        frame->SendMessage(WM_CLOSE);
        ExpectAllModalsAnswered();
        EXPECT_EQ(AfxGetMainWnd() != nullptr, answer == IDNO);
    }
}

TEST_F(NothingLost, AFailedSaveOnLeavingTheWindowIsSilentAndADeletedMemoStaysDeleted) {
    WriteMemo("A.bmp", 240, 294, 255);
    ASSERT_TRUE(Start());
    Stroke({{10, 50}, {100, 50}});
    const fs::path file = HostSaveFolder() / "A.bmp";
    fs::permissions(file, fs::perms::none);
    fs::rename(HostSaveFolder(), HostSaveFolder().string() + "-away");
    frame->SendMessage(WM_ACTIVATE, WA_INACTIVE);  // no message: nothing was asked of the user
    EXPECT_EQ(ModalRunsSeen(), 0);
    EXPECT_TRUE(doc->IsModified());
    fs::rename(HostSaveFolder().string() + "-away", HostSaveFolder());
    // The permissions changed the file, as another program would: the stroke becomes a memo
    // of its own when the question takes the window, and the user is told once it is back.
    ExpectModal([](ModalRun& run) { run.Answer(IDYES); });
    ExpectModal([](ModalRun& run) { run.Answer(IDOK); });
    SendCommand(frame, ID_DELETE_MEMO);
    ExpectAllModalsAnswered();
    EXPECT_FALSE(fs::exists(file)) << "the deleted memo stays deleted";
}

TEST_F(NothingLost, ATerminationRequestSavesTheMemoOrKeepsItInRescued) {
    ASSERT_TRUE(Start());
    bool handled = false;
    SetTerminationRequestHandler([&] {
        app->OnEndSession();
        handled = true;
    });
    Stroke({{10, 50}, {100, 50}});
    ::raise(SIGTERM);  // as a logout sends it; handled in the event loop, not in the signal
    ProcessEvents();
    ASSERT_TRUE(handled);
    EXPECT_FALSE(doc->IsModified());
    EXPECT_TRUE(fs::exists(HostSaveFolder() / "200901131530.bmp")) << "saved where it belongs";

    Stroke({{10, 60}, {100, 60}});
    BreakSaveFolder();
    handled = false;
    ::raise(SIGTERM);
    ProcessEvents();
    ASSERT_TRUE(handled);
    const fs::path rescued = m_device->Directory() / "rescued" / "20090113-153000.bmp";
    ASSERT_TRUE(fs::exists(rescued)) << "nobody could be asked: the memo is kept beside the device";
    CMemoBitmap copy;
    EXPECT_EQ(ReadHostFile(rescued), doc->m_bitmap.EncodeFile());
    SetTerminationRequestHandler(nullptr);

    // The next start says once where it lies.
    app.reset();
    ProcessEvents();
    fs::remove(HostSaveFolder());
    ExpectModal([&](ModalRun& run) {
        EXPECT_EQ(run.text, "保存できなかったメモを次の場所に残しました: " + rescued.string());
        run.Answer(IDOK);
    });
    ASSERT_TRUE(Start());
    ExpectAllModalsAnswered();
    app.reset();
    ProcessEvents();
    ASSERT_TRUE(Start());
    EXPECT_EQ(ModalRunsSeen(), 1) << "only once";
}
