#include <filesystem>

#include "alarm/AlarmTime.h"
#include "platform/base/Format.h"
#include "platform/ui/DocTemplate.h"
#include "platform/ui/FileDialog.h"
#include "platform/ui/Wnd.h"
#include "support/QuilloScenario.h"

namespace fs = std::filesystem;

using Document = QuilloScenario;

TEST_F(Document, SavingANewMemoNamesItFromTheMinute) {
    ASSERT_TRUE(Start());
    SendCommand(frame, ID_FILE_SAVE);
    EXPECT_EQ(doc->GetPathName(), "\\My Documents\\Quillo\\200901131530.bmp")
        << "no dialog is shown";
    EXPECT_TRUE(fs::exists(HostSaveFolder() / "200901131530.bmp"));
    EXPECT_FALSE(doc->IsModified());

    SendCommand(frame, ID_FILE_NEW);
    SendCommand(frame, ID_FILE_SAVE_AS);
    EXPECT_EQ(doc->GetPathName(), "\\My Documents\\Quillo\\200901131530(01).bmp")
        << "save-as on an untitled memo takes the automatic name too";
}

TEST_F(Document, AutomaticNamesArePaddedAndTakeNoNameThatAnythingHolds) {
    ASSERT_TRUE(Start());
    SetClock(2009, 1, 5, 7, 3);
    EXPECT_EQ(doc->CreateAutoPath(), "\\My Documents\\Quillo\\200901050703.bmp");
    // A folder, a link to nothing and a file nobody may read all hold their names.
    SetClock(2009, 1, 13, 15, 30);
    fs::create_directories(HostSaveFolder() / "200901131530.bmp");
    fs::create_symlink("/nowhere", HostSaveFolder() / "200901131530(01).bmp");
    WriteHostFile(HostSaveFolder() / "200901131530(02).bmp", "private");
    fs::permissions(HostSaveFolder() / "200901131530(02).bmp", fs::perms::none);
    EXPECT_EQ(doc->CreateAutoPath(), "\\My Documents\\Quillo\\200901131530(03).bmp");
}

TEST_F(Document, AnotherProgramsVersionIsNeverOverwritten) {
    const std::string path = WriteMemo("A.bmp", 240, 294, 255);
    ASSERT_TRUE(Start());
    ASSERT_EQ(doc->GetPathName(), path);
    ASSERT_TRUE(app->m_alarmStore.Update([&](CAlarmStore& store) {
        store.SetAlarm(path, MakeSpan(2009, 2, 1, 8, 0, 0), AlarmRepeat::None, "", 0);
    }));
    // A sync tool renames its download over the memo's file, then the user draws and leaves.
    WriteMemo("download.tmp", 40, 30, 7);
    const std::string theirs = ReadHostFile(HostSaveFolder() / "download.tmp");
    fs::rename(HostSaveFolder() / "download.tmp", HostSaveFolder() / "A.bmp");
    Stroke({{10, 50}, {100, 50}});
    frame->SendMessage(WM_ACTIVATE, WA_INACTIVE);
    EXPECT_EQ(ModalRunsSeen(), 0) << "nobody is there to be told yet";
    EXPECT_EQ(ReadHostFile(HostSaveFolder() / "A.bmp"), theirs) << "the other version stays";
    const std::string mine = "\\My Documents\\Quillo\\200901131530.bmp";
    EXPECT_EQ(doc->GetPathName(), mine);
    EXPECT_EQ(ReadHostFile(HostSaveFolder() / "200901131530.bmp"), doc->m_bitmap.EncodeFile());
    EXPECT_EQ(app->m_alarmStore.GetAt(0).FileName, path) << "the alarm stays with the old file";
    const std::string told = "別のプログラムがメモを変更したため、新しいメモとして保存しました。";
    ExpectMessage(told);
    frame->SendMessage(WM_ACTIVATE, WA_ACTIVE);
    ExpectAllModalsAnswered();

    // Rewritten in place: a save the user asks for goes to a new name and says so at once.
    WriteHostFile(HostSaveFolder() / "200901131530.bmp", theirs);
    Stroke({{10, 60}, {100, 60}});
    ExpectMessage(told);
    SendCommand(frame, ID_FILE_SAVE);
    ExpectAllModalsAnswered();
    EXPECT_EQ(doc->GetPathName(), "\\My Documents\\Quillo\\200901131530(01).bmp");
    // Deleted meanwhile: written again under its name.
    fs::remove(HostSaveFolder() / "200901131530(01).bmp");
    Stroke({{10, 70}, {100, 70}});
    SendCommand(frame, ID_FILE_SAVE);
    EXPECT_EQ(doc->GetPathName(), "\\My Documents\\Quillo\\200901131530(01).bmp");
    EXPECT_TRUE(fs::exists(HostSaveFolder() / "200901131530(01).bmp"));
    // Unmodified and changed: an alarm's save leaves the file, the window reads it again.
    fs::copy_file(HostSaveFolder() / "A.bmp", HostSaveFolder() / "200901131530(01).bmp",
                  fs::copy_options::overwrite_existing);
    EXPECT_EQ(doc->SaveAndGetPath(), "\\My Documents\\Quillo\\200901131530(01).bmp");
    EXPECT_EQ(ReadHostFile(HostSaveFolder() / "200901131530(01).bmp"), theirs);
    frame->SendMessage(WM_ACTIVATE, WA_ACTIVE);
    EXPECT_EQ(doc->m_bitmap.EncodeFile(), theirs);
    EXPECT_FALSE(doc->IsModified());
}

TEST_F(Document, AFailedFirstSaveLeavesNoPathAndAFailedSaveAsKeepsThePath) {
    ASSERT_TRUE(Start());
    Stroke({{10, 50}, {100, 50}});
    fs::remove_all(HostSaveFolder());
    WriteHostFile(HostSaveFolder(), "in the way");
    frame->SendMessage(WM_ACTIVATE, WA_INACTIVE);
    EXPECT_TRUE(doc->GetPathName().empty());
    EXPECT_TRUE(doc->HasFailedAutoSave());
    EXPECT_TRUE(app->GetRecentFiles().empty());
    // Save-as asks for the name; one that cannot be written says so and changes nothing.
    ExpectModal([](ModalRun& run) {
        EXPECT_EQ(run.kind, ModalRun::Kind::FileDialog);
        run.AnswerPath("\\My Documents\\Quillo\\shopping");
    });
    ExpectMessage("メモを保存できませんでした。");
    SendCommand(frame, ID_FILE_SAVE_AS);
    ExpectAllModalsAnswered();
    EXPECT_TRUE(doc->GetPathName().empty());
    EXPECT_TRUE(doc->IsModified());
}

TEST_F(Document, APathWithSlashesOrAnotherCaseOpensUnderItsOneSpelling) {
    WriteMemo("Shopping.bmp");
    WriteMemo("B.bmp");
    ASSERT_TRUE(Start());
    EXPECT_NE(app->m_pDocTemplate->OpenDocumentFile("my documents/QUILLO//shopping.BMP"), nullptr);
    EXPECT_EQ(doc->GetPathName(), "\\My Documents\\Quillo\\Shopping.bmp");
    EXPECT_EQ(doc->GetTitle(), "Shopping.bmp");
    app->RefreshMemoList();
    EXPECT_GE(app->FindMemo(doc->GetTitle()), 0) << "found in the memo list";
}

TEST_F(Document, AutomaticNameCountsPastNinetyNine) {
    ASSERT_TRUE(Start());
    WriteMemo("200901131530.bmp");
    for (int i = 1; i <= 99; ++i) WriteMemo(Format("200901131530(%02d).bmp", i));
    EXPECT_EQ(doc->CreateAutoPath(), "\\My Documents\\Quillo\\200901131530(100).bmp");
}

TEST_F(Document, AutomaticNameThatCannotFitIsRefused) {
    ASSERT_TRUE(Start());
    const std::string longName(245, 'f');
    fs::create_directories(m_device->Host(longName));
    app->m_strSaveFolder = "\\" + longName;
    EXPECT_EQ(doc->CreateAutoPath(), "") << "the device holds no path of 263 characters";
    doc->SetModifiedFlag();
    ExpectModal([](ModalRun& run) {
        EXPECT_EQ(run.kind, ModalRun::Kind::FileDialog) << "the user names it instead";
        run.Answer(IDCANCEL);
    });
    SendCommand(frame, ID_FILE_SAVE);
    EXPECT_TRUE(doc->IsModified()) << "nothing was saved, and nothing says it was";
    EXPECT_TRUE(doc->GetPathName().empty());
}

TEST_F(Document, SaveAsOnATitledMemoAsksForTheName) {
    const std::string path = WriteMemo("200901131530.bmp");
    ASSERT_TRUE(Start());
    ASSERT_EQ(doc->GetPathName(), path);
    ExpectModal([&](ModalRun& run) {
        EXPECT_EQ(run.kind, ModalRun::Kind::FileDialog);
        EXPECT_TRUE(run.saving);
        EXPECT_EQ(run.caption, "名前を付けて保存");
        EXPECT_EQ(run.fileName, path);
        EXPECT_EQ(run.folder, "\\My Documents\\Quillo");
        EXPECT_EQ(run.defaultExtension, "bmp");
        EXPECT_EQ(run.filter, "bmpﾌｧｲﾙ(*.bmp) |*.bmp||");
        EXPECT_EQ(run.flags,
                  OFN_OVERWRITEPROMPT | OFN_HIDEREADONLY | OFN_NOCHANGEDIR | OFN_PATHMUSTEXIST);
        run.AnswerPath("\\My Documents\\Quillo\\shopping");
    });
    SendCommand(frame, ID_FILE_SAVE_AS);
    EXPECT_EQ(doc->GetPathName(), "\\My Documents\\Quillo\\shopping.bmp");
    EXPECT_TRUE(fs::exists(HostSaveFolder() / "shopping.bmp"));

    doc->SetModifiedFlag();
    ExpectModal([](ModalRun& run) { run.Answer(IDCANCEL); });
    SendCommand(frame, ID_FILE_SAVE_AS);
    EXPECT_EQ(doc->GetPathName(), "\\My Documents\\Quillo\\shopping.bmp")
        << "cancel changes nothing";
    EXPECT_TRUE(doc->IsModified());
    ExpectAllModalsAnswered();
}

TEST_F(Document, SaveAndGetPathRewritesAnUnmodifiedTitledMemo) {
    const std::string path = WriteMemo("memo.bmp");
    ASSERT_TRUE(Start());
    fs::remove(HostSaveFolder() / "memo.bmp");
    EXPECT_FALSE(doc->IsModified());
    EXPECT_EQ(doc->SaveAndGetPath(), path);
    EXPECT_TRUE(fs::exists(HostSaveFolder() / "memo.bmp"));

    SendCommand(frame, ID_FILE_NEW);
    EXPECT_EQ(doc->SaveAndGetPath(), "\\My Documents\\Quillo\\200901131530.bmp")
        << "an untitled one gets a name";
}

TEST_F(Document, AFileThatCouldNotBeReadIsSaidAndNeverWrittenOver) {
    // A BMP of a kind this program does not read, as ImageMagick writes it:
    // convert -size 16x16 xc:'rgba(0,0,255,0.5)' BMP:imagemagick-v5-alpha.bmp
    const std::string foreign =
        ReadHostFile(fs::path(QUILLO_BMP_INPUTS) / "imagemagick-v5-alpha.bmp");
    for (const std::string& bytes : {std::string("just some text, not a picture"), foreign}) {
        fs::create_directories(HostSaveFolder());
        WriteHostFile(HostSaveFolder() / "notes.bmp", bytes);
        const std::string path = "\\My Documents\\Quillo\\notes.bmp";
        ExpectMessage("このメモは読み込めませんでした。");
        ASSERT_TRUE(Start());
        ProcessEvents();
        ExpectAllModalsAnswered();
        frame->SendMessage(WM_ACTIVATE, WA_ACTIVE);  // back to the window: said once only
        ProcessEvents();
        EXPECT_EQ(doc->GetPathName(), path);
        EXPECT_EQ(doc->m_bitmap.GetBitmap(), nullptr);
        ASSERT_TRUE(app->m_alarmStore.Update([&](CAlarmStore& store) {
            store.SetAlarm(path, MakeSpan(2009, 1, 14, 7, 0, 0), AlarmRepeat::None, "", 0);
        }));
        // A tap on the empty canvas changes nothing; Clear and a stroke make a new picture.
        Stroke({{5, 5}});
        SendCommand(frame, ID_EDIT_CLEAR);
        Stroke({{10, 50}, {100, 50}});
        SendCommand(frame, ID_FILE_NEW);
        EXPECT_EQ(ReadHostFile(HostSaveFolder() / "notes.bmp"), bytes) << "never written over";
        CMemoBitmap saved;
        EXPECT_TRUE(saved.LoadFile("\\My Documents\\Quillo\\200901131530.bmp"))
            << "the change is a memo of its own";
        EXPECT_EQ(app->m_alarmStore.FindByFile(path), 0) << "the alarm stays with the file";
        app.reset();
        ProcessEvents();
        fs::remove_all(HostSaveFolder());
    }
}

TEST_F(Document, FailedSaveLeavesTheMemoModifiedAndTheOldFileWhole) {
    const std::string path = WriteMemo("memo.bmp");
    ASSERT_TRUE(Start());
    const std::string before = ReadHostFile(HostSaveFolder() / "memo.bmp");
    Stroke({{2, 2}, {20, 20}});
    ASSERT_TRUE(doc->IsModified());
    fs::permissions(HostSaveFolder(), fs::perms::owner_read | fs::perms::owner_exec);
    if (::geteuid() != 0) {  // root may write anywhere; the refusal needs an ordinary user
        ExpectMessage("メモを保存できませんでした。");
        SendCommand(frame, ID_FILE_SAVE);
        EXPECT_TRUE(doc->IsModified());
        EXPECT_EQ(ReadHostFile(HostSaveFolder() / "memo.bmp"), before);
    }
    fs::permissions(HostSaveFolder(), fs::perms::owner_all);
    fs::remove_all(HostSaveFolder());
    ExpectMessage("メモを保存できませんでした。");
    SendCommand(frame, ID_FILE_SAVE);
    ExpectAllModalsAnswered();
    EXPECT_TRUE(doc->IsModified()) << "the folder is gone: the save failed and says so";
    fs::create_directories(HostSaveFolder());
    SendCommand(frame, ID_FILE_NEW);
    EXPECT_TRUE(fs::exists(HostSaveFolder() / "memo.bmp")) << "leaving tried again";
}

TEST_F(Document, AfterOpenOrSaveNothingIsLeftToWrite) {
    const std::string path = WriteMemo("memo.bmp");
    ASSERT_TRUE(Start());
    EXPECT_FALSE(doc->IsModified());
    Stroke({{1, 1}, {9, 9}});
    SendCommand(frame, ID_FILE_SAVE);
    EXPECT_FALSE(doc->IsModified());
    Stroke({{1, 9}, {9, 1}});
    SendCommand(frame, ID_FILE_SAVE);  // the next save goes over its own file again
    EXPECT_EQ(doc->GetPathName(), path);
    EXPECT_EQ(ReadHostFile(HostSaveFolder() / "memo.bmp"), doc->m_bitmap.EncodeFile());
    const auto written = fs::last_write_time(HostSaveFolder() / "memo.bmp");
    SendCommand(frame, ID_APP_EXIT);
    EXPECT_EQ(fs::last_write_time(HostSaveFolder() / "memo.bmp"), written);
}
