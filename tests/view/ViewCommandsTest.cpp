#include <filesystem>

#include "alarm/AlarmTime.h"
#include "platform/base/Format.h"
#include "platform/gdi/DC.h"
#include "platform/gdi/Surface.h"
#include "platform/ui/CmdUI.h"
#include "platform/ui/Dialog.h"
#include "platform/ui/DocTemplate.h"
#include "res/ResourceIds.h"
#include "support/QuilloScenario.h"
#include "support/ReadOnlyFolder.h"

namespace fs = std::filesystem;

namespace {

class ViewCommands : public QuilloScenario {
  protected:
    // Memos A (newest), B and C (oldest) in the save folder.
    void WriteThreeMemos() {
        WriteMemo("A.bmp");
        WriteMemo("B.bmp");
        WriteMemo("C.bmp");
        Touch(HostSaveFolder() / "A.bmp", 2009, 1, 13, 12, 0, 0);
        Touch(HostSaveFolder() / "B.bmp", 2009, 1, 13, 11, 0, 0);
        Touch(HostSaveFolder() / "C.bmp", 2009, 1, 13, 10, 0, 0);
    }
    void Open(const std::string& name) {
        EXPECT_NE(app->m_pDocTemplate->OpenDocumentFile("\\My Documents\\Quillo\\" + name),
                  nullptr);
    }
    std::string Shown() const {
        const std::string& path = doc->GetPathName();
        return path.substr(path.rfind('\\') + 1);
    }
    void AnswerDelete(const std::string& title, int answer) {
        ExpectModal([title, answer](ModalRun& run) {
            EXPECT_EQ(run.kind, ModalRun::Kind::MessageBox);
            EXPECT_EQ(run.text, title + " を削除してよろしいですか？");
            EXPECT_EQ(run.type, MB_YESNO | MB_ICONQUESTION);
            EXPECT_EQ(run.caption, "Quillo");
            run.Answer(answer);
        });
    }
};

}  // namespace

TEST_F(ViewCommands, NextAndPreviousWalkTheListAndWrapAround) {
    WriteThreeMemos();
    ASSERT_TRUE(Start());
    EXPECT_EQ(Shown(), "A.bmp") << "the newest opens first";
    Open("B.bmp");
    SendCommand(frame, ID_NEXT_MEMO);
    EXPECT_EQ(Shown(), "C.bmp");
    SendCommand(frame, ID_NEXT_MEMO);
    EXPECT_EQ(Shown(), "A.bmp") << "next from the oldest wraps to the newest";
    SendCommand(frame, ID_PREV_MEMO);
    EXPECT_EQ(Shown(), "C.bmp") << "previous from the newest wraps to the oldest";
    SendCommand(frame, ID_PREV_MEMO);
    EXPECT_EQ(Shown(), "B.bmp");
    SendCommand(frame, ID_PREV_MEMO);
    EXPECT_EQ(Shown(), "A.bmp");
}

TEST_F(ViewCommands, KeysStepThroughTheMemos) {
    WriteThreeMemos();
    ASSERT_TRUE(Start());
    for (const UINT key : {VK_NEXT, VK_RIGHT, VK_DOWN}) {
        Open("A.bmp");
        Key(view, key);
        EXPECT_EQ(Shown(), "B.bmp") << key;
    }
    for (const UINT key : {VK_PRIOR, VK_LEFT, VK_UP}) {
        Open("A.bmp");
        Key(view, key);
        EXPECT_EQ(Shown(), "C.bmp") << key;
    }
}

TEST_F(ViewCommands, AnUnsavedMemoGoesToTheNewestOrTheOldest) {
    WriteThreeMemos();
    ASSERT_TRUE(Start());
    SendCommand(frame, ID_FILE_NEW);
    SendCommand(frame, ID_NEXT_MEMO);
    EXPECT_EQ(Shown(), "A.bmp");
    SendCommand(frame, ID_FILE_NEW);
    SendCommand(frame, ID_PREV_MEMO);
    EXPECT_EQ(Shown(), "C.bmp");
}

TEST_F(ViewCommands, DeleteOpensTheNextMemo) {
    WriteThreeMemos();
    ASSERT_TRUE(Start());
    Open("B.bmp");
    AnswerDelete("B", IDYES);
    SendCommand(frame, ID_DELETE_MEMO);
    EXPECT_FALSE(fs::exists(HostSaveFolder() / "B.bmp"));
    EXPECT_EQ(Shown(), "C.bmp");
    AnswerDelete("C", IDYES);
    SendCommand(frame, ID_DELETE_MEMO);
    EXPECT_EQ(Shown(), "A.bmp") << "after the oldest comes the newest";
    AnswerDelete("A", IDYES);
    SendCommand(frame, ID_DELETE_MEMO);
    EXPECT_TRUE(doc->GetPathName().empty()) << "the only memo gone: a new blank memo";
    EXPECT_EQ(doc->m_bitmap.Width(), view->GetClientRect().Width());
    EXPECT_TRUE(fs::is_empty(HostSaveFolder()));
    ExpectAllModalsAnswered();
}

TEST_F(ViewCommands, DeleteTakesTheAlarmAndAVanishedFileActsAsADelete) {
    WriteThreeMemos();
    ASSERT_TRUE(Start());
    Open("B.bmp");
    ASSERT_TRUE(app->m_alarmStore.Update([&](CAlarmStore& store) {
        store.SetAlarm(doc->GetPathName(), MakeSpan(2009, 2, 1, 8, 0, 0), AlarmRepeat::None, "", 0);
    }));
    AnswerDelete("B", IDYES);
    SendCommand(frame, ID_DELETE_MEMO);
    EXPECT_EQ(app->m_alarmStore.GetCount(), 0) << "a deleted memo never rings";
    ASSERT_EQ(Shown(), "C.bmp");
    fs::remove(HostSaveFolder() / "C.bmp");  // by another program, while the user was away
    frame->SendMessage(WM_ACTIVATE, WA_ACTIVE);
    EXPECT_EQ(Shown(), "A.bmp");
    EXPECT_FALSE(fs::exists(HostSaveFolder() / "C.bmp"));
}

TEST_F(ViewCommands, InAFolderThatRefusesChangesDeleteAndRenameSaySoAndChangeNothing) {
    WriteThreeMemos();
    ASSERT_TRUE(Start());
    Open("B.bmp");
    ASSERT_TRUE(app->m_alarmStore.Update([&](CAlarmStore& store) {
        store.SetAlarm(doc->GetPathName(), MakeSpan(2009, 2, 1, 8, 0, 0), AlarmRepeat::None, "", 0);
    }));
    const ReadOnlyFolder readOnly(HostSaveFolder());
    AnswerDelete("B", IDYES);
    ExpectModal([](ModalRun& run) {
        EXPECT_EQ(run.text, "メモを削除できませんでした。");
        run.Answer(IDOK);
    });
    SendCommand(frame, ID_DELETE_MEMO);
    EXPECT_EQ(Shown(), "B.bmp") << "it stays on the memo";
    EXPECT_EQ(app->m_alarmStore.GetCount(), 1) << "and its alarm";
    ExpectModal([](ModalRun& run) {
        run.dialog->SetDlgItemText(IDC_RENAME_NEW, "shopping");
        run.Press(IDOK);
    });
    ExpectModal([](ModalRun& run) {
        EXPECT_EQ(run.text, "名前を変更できませんでした。") << "the name is not at fault";
        run.Answer(IDOK);
    });
    SendCommand(frame, ID_RENAME_MEMO);
    ExpectAllModalsAnswered();
    EXPECT_EQ(Shown(), "B.bmp");
    EXPECT_TRUE(fs::exists(HostSaveFolder() / "B.bmp"));
}

TEST_F(ViewCommands, AnsweringNoDeletesNothing) {
    WriteThreeMemos();
    ASSERT_TRUE(Start());
    AnswerDelete("A", IDNO);
    SendCommand(frame, ID_DELETE_MEMO);
    EXPECT_TRUE(fs::exists(HostSaveFolder() / "A.bmp"));
    EXPECT_EQ(Shown(), "A.bmp");
}

TEST_F(ViewCommands, DeletingAMemoFromOutsideAnEmptyFolderStartsANewOne) {
    ASSERT_TRUE(Start());
    WriteMemo("outside.bmp");
    fs::rename(HostSaveFolder() / "outside.bmp", m_device->Host("My Documents/outside.bmp"));
    EXPECT_NE(app->m_pDocTemplate->OpenDocumentFile("\\My Documents\\outside.bmp"), nullptr);
    AnswerDelete("outside", IDYES);
    SendCommand(frame, ID_DELETE_MEMO);
    EXPECT_FALSE(fs::exists(m_device->Host("My Documents/outside.bmp")));
    EXPECT_TRUE(doc->GetPathName().empty());
}

TEST_F(ViewCommands, FileCommandsNeedASavedMemo) {
    ASSERT_TRUE(Start());
    for (const UINT id : {ID_DELETE_MEMO, ID_RENAME_MEMO, ID_MEMO_INFO}) {
        EXPECT_FALSE(State(id).m_bEnabled) << id;
    }
    SendCommand(frame, ID_FILE_SAVE);
    for (const UINT id : {ID_DELETE_MEMO, ID_RENAME_MEMO, ID_MEMO_INFO}) {
        EXPECT_TRUE(State(id).m_bEnabled) << id;
    }
}

TEST_F(ViewCommands, PenAndEraserAreCheckedAsTheyAreChosen) {
    ASSERT_TRUE(Start());
    EXPECT_EQ(State(ID_TOOL_PEN).m_nCheck, 1);
    EXPECT_EQ(State(ID_TOOL_ERASER).m_nCheck, 0);
    SendCommand(frame, ID_TOOL_ERASER);
    EXPECT_EQ(view->m_nTool, CQuilloView::ToolEraser);
    EXPECT_EQ(State(ID_TOOL_PEN).m_nCheck, 0);
    EXPECT_EQ(State(ID_TOOL_ERASER).m_nCheck, 1);
    frame->OnIdleUpdateCmdUI();
    EXPECT_TRUE(frame->m_commandBar.IsButtonChecked(ID_TOOL_ERASER)) << "the button shows pressed";
    SendCommand(frame, ID_TOOL_PEN);
    EXPECT_EQ(view->m_nTool, CQuilloView::ToolPen);
}

TEST_F(ViewCommands, EscapeAsksForThePreview) {
    ASSERT_TRUE(Start());
    std::vector<std::pair<CWnd*, WPARAM>> commands;
    SetMessageSpy([&](CWnd* window, UINT message, WPARAM wParam, LPARAM) {
        if (message == WM_COMMAND) commands.push_back({window, wParam});
    });
    ExpectModal([](ModalRun& run) {
        EXPECT_EQ(run.caption, "プレビュー");
        run.Press(IDCANCEL);
    });
    Key(view, VK_ESCAPE);
    SetMessageSpy(nullptr);
    ASSERT_GE(commands.size(), 1u);
    EXPECT_EQ(commands[0].first, frame);
    EXPECT_EQ(commands[0].second, ID_PREVIEW);
}

TEST_F(ViewCommands, RenameMovesTheFileAndTheTitleAndTheAlarmFollow) {
    const std::string old = WriteMemo("200901131530.bmp");
    ASSERT_TRUE(Start());
    ASSERT_TRUE(app->m_alarmStore.Update([&](CAlarmStore& store) {
        store.SetAlarm(old, MakeSpan(2009, 2, 1, 8, 0, 0), AlarmRepeat::Daily, "Bell", 1);
    }));
    Stroke({{3, 3}, {30, 3}});
    ExpectModal([](ModalRun& run) {
        ASSERT_EQ(run.kind, ModalRun::Kind::Dialog);
        EXPECT_EQ(run.caption, "ﾀｲﾄﾙの変更");
        EXPECT_EQ(run.dialog->GetDlgItemText(IDC_RENAME_OLD), "200901131530");
        EXPECT_EQ(run.dialog->GetDlgItemText(IDC_RENAME_NEW), "200901131530");
        run.dialog->SetDlgItemText(IDC_RENAME_NEW, "shopping");
        run.Press(IDOK);
    });
    SendCommand(frame, ID_RENAME_MEMO);
    EXPECT_FALSE(fs::exists(HostSaveFolder() / "200901131530.bmp"));
    ASSERT_TRUE(fs::exists(HostSaveFolder() / "shopping.bmp"));
    EXPECT_EQ(doc->GetPathName(), "\\My Documents\\Quillo\\shopping.bmp");
    EXPECT_EQ(doc->GetTitle(), "shopping.bmp");
    EXPECT_FALSE(doc->IsModified()) << "the memo was saved before the move";
    CMemoBitmap saved;
    ASSERT_TRUE(saved.LoadFile("\\My Documents\\Quillo\\shopping.bmp"));
    EXPECT_EQ(saved.GetBitmap()->GetSurface()->GetPixelValue(10, 3), 0u) << "with the stroke";
    EXPECT_EQ(frame->GetWindowText(), "Folian");
    EXPECT_EQ(app->GetRecentFiles(), std::vector<std::string>{doc->GetPathName()});
    ASSERT_EQ(app->m_alarmStore.GetCount(), 1);
    EXPECT_EQ(app->m_alarmStore.GetAt(0).FileName, doc->GetPathName());
    EXPECT_EQ(app->m_alarmStore.GetAt(0).Repeat, AlarmRepeat::Daily);
}

TEST_F(ViewCommands, RenameToANameThatCannotBeShowsTheMessageAndChangesNothing) {
    WriteMemo("memo.bmp");
    WriteMemo("Taken.bmp");
    ASSERT_TRUE(Start());
    EXPECT_NE(app->m_pDocTemplate->OpenDocumentFile("\\My Documents\\Quillo\\memo.bmp"), nullptr);
    for (const char* name : {"taken", "Taken", "..", "..\\escape", "a|b", "a:b", "", ".hidden"}) {
        ExpectModal([name](ModalRun& run) {
            run.dialog->SetDlgItemText(IDC_RENAME_NEW, name);
            run.Press(IDOK);
        });
        ExpectModal([name](ModalRun& run) {
            EXPECT_EQ(run.kind, ModalRun::Kind::MessageBox) << name;
            EXPECT_EQ(run.text, "ファイル名が無効です。有効な名前を入力してください。");
            EXPECT_EQ(run.type, MB_OK);
            run.Answer(IDOK);
        });
        SendCommand(frame, ID_RENAME_MEMO);
        EXPECT_EQ(doc->GetPathName(), "\\My Documents\\Quillo\\memo.bmp") << name;
    }
    EXPECT_TRUE(fs::exists(HostSaveFolder() / "memo.bmp"));
    EXPECT_TRUE(fs::exists(HostSaveFolder() / "Taken.bmp"));
    EXPECT_FALSE(fs::exists(m_device->Host("My Documents/escape.bmp")));
    EXPECT_EQ(std::distance(fs::directory_iterator(HostSaveFolder()), {}), 2);
    ExpectAllModalsAnswered();

    ExpectModal([](ModalRun& run) { run.Press(IDCANCEL); });
    SendCommand(frame, ID_RENAME_MEMO);
    EXPECT_EQ(doc->GetPathName(), "\\My Documents\\Quillo\\memo.bmp");
}

TEST_F(ViewCommands, FileInformationOfTheThirdOfTwelve) {
    for (int i = 0; i < 12; ++i) {
        const std::string name = Format("memo%02d.bmp", i);
        WriteMemo(name);
        Touch(HostSaveFolder() / name, 2009, 1, 13, 15, 59 - i, 0);
    }
    ASSERT_TRUE(Start());
    EXPECT_NE(app->m_pDocTemplate->OpenDocumentFile("\\My Documents\\Quillo\\memo02.bmp"), nullptr);
    ExpectModal([](ModalRun& run) {
        EXPECT_EQ(run.caption, "ファイル情報");
        EXPECT_EQ(run.dialog->GetDlgItemText(IDC_INFO_INDEX), "3/12");
        EXPECT_EQ(run.dialog->GetDlgItemText(IDC_INFO_FILE_NAME), "memo02.bmp");
        EXPECT_EQ(run.dialog->GetDlgItemText(IDC_INFO_SIZE), "2278") << "1078 + 40 x 30";
        EXPECT_EQ(run.dialog->GetDlgItemText(IDC_INFO_UPDATED), "2009/1/13 15:57");
        run.Press(IDOK);
    });
    SendCommand(frame, ID_MEMO_INFO);
    ExpectAllModalsAnswered();
}

TEST_F(ViewCommands, FileInformationOfAVanishedFileLeavesTheSizeEmpty) {
    WriteMemo("gone.bmp");
    ASSERT_TRUE(Start());
    fs::remove(HostSaveFolder() / "gone.bmp");
    ExpectModal([](ModalRun& run) {
        EXPECT_EQ(run.dialog->GetDlgItemText(IDC_INFO_FILE_NAME), "gone.bmp");
        EXPECT_EQ(run.dialog->GetDlgItemText(IDC_INFO_SIZE), "");
        EXPECT_EQ(run.dialog->GetDlgItemText(IDC_INFO_INDEX), "0/0");
        EXPECT_EQ(run.dialog->GetDlgItemText(IDC_INFO_UPDATED), "");
        run.Press(IDOK);
    });
    SendCommand(frame, ID_MEMO_INFO);
}

TEST_F(ViewCommands, ClearThenLeaveWithoutDrawingKeepsTheFile) {
    WriteThreeMemos();
    ASSERT_TRUE(Start());
    const std::string before = ReadHostFile(HostSaveFolder() / "A.bmp");
    Stroke({{5, 5}, {25, 25}});
    SendCommand(frame, ID_EDIT_CLEAR);
    EXPECT_FALSE(doc->IsModified());
    EXPECT_EQ(doc->GetPathName(), "\\My Documents\\Quillo\\A.bmp") << "the memo keeps its path";
    SendCommand(frame, ID_NEXT_MEMO);
    EXPECT_EQ(ReadHostFile(HostSaveFolder() / "A.bmp"), before);
}

TEST_F(ViewCommands, DateIsStampedAtTheTopLeftAndMarksTheMemo) {
    SetClock(2009, 3, 5, 9, 41);
    ASSERT_TRUE(Start());
    SendCommand(frame, ID_INSERT_DATE);
    EXPECT_TRUE(doc->IsModified());
    const Surface* picture = doc->m_bitmap.GetBitmap()->GetSurface();
    // The same text written by a fresh context: its font, black on opaque white.
    CBitmap reference;
    const RGBQUAD blackAndWhite[2] = {{255, 255, 255, 0}, {0, 0, 0, 0}};
    EXPECT_TRUE(reference.CreateDIBSection(
        BITMAPINFOHEADER{40, 200, -40, 1, 8, BI_RGB, 0, 0, 0, 0, 0}, blackAndWhite));
    CDC fresh;
    fresh.CreateCompatibleDC(nullptr);
    fresh.SelectObject(&reference);
    fresh.TextOut(0, 0, "2009/03/05");
    const CSize extent = fresh.GetTextExtent("2009/03/05");
    ASSERT_GT(extent.cx, 0);
    const Surface* expected = reference.GetSurface();
    for (int y = 0; y < extent.cy; ++y)
        for (int x = 0; x < extent.cx; ++x)
            ASSERT_EQ(picture->ToColor(picture->GetPixelValue(x, y)),
                      expected->ToColor(expected->GetPixelValue(x, y)))
                << x << "," << y;
    for (int y = 0; y < picture->Height(); ++y) {
        for (int x = extent.cx + 1; x < picture->Width(); ++x) {
            ASSERT_EQ(picture->GetPixelValue(x, y), 222u) << "nothing else changed";
        }
    }
    const Surface* screen = view->GetSurface();
    EXPECT_EQ(screen->ToColor(screen->GetPixelValue(0, 0)),
              picture->ToColor(picture->GetPixelValue(0, 0)));
}

TEST_F(ViewCommands, RuledLinesToggleTwiceRestoresTheSettingAndNeverTheMemo) {
    WriteMemo("memo.bmp");
    ASSERT_TRUE(Start());
    const std::string before = ReadHostFile(HostSaveFolder() / "memo.bmp");
    SendCommand(frame, ID_RULED_LINES);
    EXPECT_EQ(app->GetProfileInt("View", "BackLine", -1), 1);
    EXPECT_EQ(State(ID_RULED_LINES).m_nCheck, 1);
    view->UpdateWindow();
    EXPECT_FALSE(doc->IsModified());
    SendCommand(frame, ID_RULED_LINES);
    EXPECT_EQ(app->GetProfileInt("View", "BackLine", -1), 0);
    EXPECT_EQ(State(ID_RULED_LINES).m_nCheck, 0);
    EXPECT_FALSE(doc->IsModified());
    SendCommand(frame, ID_NEXT_MEMO);
    EXPECT_EQ(ReadHostFile(HostSaveFolder() / "memo.bmp"), before);
}
