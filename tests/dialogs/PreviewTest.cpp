// The preview: every memo as a thumbnail, four at a time.
#include <QApplication>
#include <QGuiApplication>
#include <QScrollBar>
#include <QStyleHints>
#include <QTest>
#include <QWheelEvent>
#include <algorithm>
#include <filesystem>

#include "alarm/AlarmTime.h"
#include "dialogs/PreviewDlg.h"
#include "memo/DefaultColorTable.h"
#include "platform/base/Format.h"
#include "platform/gdi/Surface.h"
#include "platform/ui/DocTemplate.h"
#include "res/ResourceIds.h"
#include "support/QuilloScenario.h"
#include "support/ReadOnlyFolder.h"

namespace fs = std::filesystem;

namespace {

class Preview : public QuilloScenario {
  protected:
    // Memos M00 (newest) .. M<count-1> (oldest).
    void WriteMemos(int count) {
        for (int i = 0; i < count; ++i) {
            const std::string name = Format("M%02d.bmp", i);
            WriteMemo(name);
            Touch(HostSaveFolder() / name, 2009, 1, 13, 12, 59 - i, 0);
        }
    }
    // Runs the preview; `use` works the open dialog and ends it.
    // `inside` queues the answers of what the dialog opens in turn.
    void RunPreview(std::function<void(CPreviewDlg*)> use, std::function<void()> inside = {}) {
        ExpectModal([use](ModalRun& run) {
            ASSERT_EQ(run.caption, "プレビュー");
            use(static_cast<CPreviewDlg*>(run.dialog));
            if (run.IsOpen()) run.Press(IDCANCEL);
        });
        if (inside) inside();
        SendCommand(frame, ID_PREVIEW);
        ExpectAllModalsAnswered();
    }
    // A press on a cell as the toolkit delivers it; the second press of a double click
    // comes as a double click.
    static void Press(CPreviewDlg* dialog, int cell, bool secondOfDoubleClick = false) {
        const CRect r = CThumbnailCtrl::CellsOf(dialog->m_thumbnails.GetClientRect())[cell];
        QWidget* widget = dialog->m_thumbnails.GetWidget();
        const QPoint at(r.left + 5, r.top + 20);
        if (secondOfDoubleClick) {
            QTest::mouseDClick(widget, Qt::LeftButton, {}, at);
        } else {
            QTest::mousePress(widget, Qt::LeftButton, {}, at);
        }
        QTest::mouseRelease(widget, Qt::LeftButton, {}, at);
    }
    static void Scroll(CPreviewDlg* dialog, UINT code, UINT position = 0) {
        dialog->SendMessage(
            WM_VSCROLL, MAKEWPARAM(static_cast<uint16_t>(code), static_cast<uint16_t>(position)));
    }
    void ExpectMessage(const std::string& text, int answer = IDOK) {
        ExpectModal([text, answer](ModalRun& run) {
            EXPECT_EQ(run.text, text);
            run.Answer(answer);
        });
    }
    std::string Shown() const { return doc->GetPathName(); }
};

}  // namespace

TEST_F(Preview, TheLargestFirstRowLeavesTwoRowsShown) {
    const int expected[] = {0, 0, 0, 0, 0, 1, 1, 2, 2, 3};
    for (int count = 0; count < 10; ++count) {
        EXPECT_EQ(CPreviewDlg::LargestFirstRow(count), expected[count]) << count;
    }
}

TEST_F(Preview, ScrollingMovesByRowsWithinRange) {
    WriteMemos(9);
    ASSERT_TRUE(Start());
    RunPreview([](CPreviewDlg* dialog) {
        const struct {
            UINT code;
            UINT position;
            int row;
        } steps[] = {{SB_LINEUP, 0, 0},    {SB_PAGEDOWN, 0, 3}, {SB_LINEDOWN, 0, 3},
                     {SB_PAGEUP, 0, 0},    {SB_LINEDOWN, 0, 1}, {SB_THUMBTRACK, 2, 2},
                     {SB_ENDSCROLL, 0, 2}, {SB_TOP, 0, 0},      {SB_BOTTOM, 0, 3}};
        for (const auto& step : steps) {
            Scroll(dialog, step.code, step.position);
            EXPECT_EQ(dialog->m_thumbnails.m_nFirstRow, step.row) << step.code;
            EXPECT_EQ(dialog->m_scrollBar.GetScrollPos(), step.row) << step.code;
        }
    });
}

TEST_F(Preview, TheWheelScrollsARowPerNotchAndTheThumbSpansTheRowsInView) {
    WriteMemos(9);
    ASSERT_TRUE(Start());
    RunPreview([](CPreviewDlg* dialog) {
        EXPECT_EQ(static_cast<QScrollBar*>(dialog->m_scrollBar.GetWidget())->pageStep(), 2);
        QWidget* thumbnails = dialog->m_thumbnails.GetWidget();
        const struct {
            int turn;
            int row;
        } notches[] = {{-120, 1}, {-60, 1}, {-60, 2}, {-240, 3}, {120, 2}, {360, 0}};
        for (const auto& notch : notches) {
            QWheelEvent wheel(QPointF(20, 20), thumbnails->mapToGlobal(QPointF(20, 20)), {},
                              QPoint(0, notch.turn), Qt::NoButton, Qt::NoModifier,
                              Qt::NoScrollPhase, false);
            QApplication::sendEvent(thumbnails, &wheel);
            EXPECT_EQ(dialog->m_thumbnails.m_nFirstRow, notch.row) << notch.turn;
            EXPECT_EQ(dialog->m_scrollBar.GetScrollPos(), notch.row) << notch.turn;
        }
    });
}

TEST_F(Preview, APressSelectsASecondOneInTimeOpensAndEmptyCellsDoNothing) {
    WriteMemos(3);
    ASSERT_TRUE(Start());
    const std::string opened = "\\My Documents\\Quillo\\M01.bmp";
    ExpectModal([this](ModalRun& run) {
        auto* dialog = static_cast<CPreviewDlg*>(run.dialog);
        Press(dialog, 3);  // beyond the last memo
        EXPECT_EQ(dialog->m_thumbnails.m_nSelected, -1);
        SetClock(2009, 1, 13, 15, 30, 0);
        Press(dialog, 1);
        EXPECT_EQ(dialog->m_thumbnails.m_nSelected, 1);
        SetClock(2009, 1, 13, 15, 30, 5);  // too late for a double press
        Press(dialog, 1);
        EXPECT_TRUE(run.IsOpen());
        // The desktop's double-click interval, not a fixed one, is the limit.
        const int interval = QGuiApplication::styleHints()->mouseDoubleClickInterval();
        ASSERT_LT(interval, 950);
        SetClock(2009, 1, 13, 15, 30, 5, interval + 50);
        Press(dialog, 1);
        EXPECT_TRUE(run.IsOpen());
        Press(dialog, 1, true);  // within the double-click time of the renewed click
        EXPECT_FALSE(run.IsOpen());
    });
    SendCommand(frame, ID_PREVIEW);
    EXPECT_EQ(Shown(), opened);

    RunPreview([](CPreviewDlg* dialog) { dialog->PressButton(IDOK); });
    EXPECT_EQ(Shown(), opened) << "OK without a selection opens nothing";
    RunPreview([](CPreviewDlg* dialog) { dialog->PressButton(IDC_PREVIEW_NEW); });
    EXPECT_TRUE(Shown().empty()) << "新規 starts a new memo";
}

TEST_F(Preview, DeleteAsksRefreshesAndStartsAtTheTopWithoutSelection) {
    WriteMemos(7);
    ASSERT_TRUE(Start());
    EXPECT_NE(app->m_pDocTemplate->OpenDocumentFile("\\My Documents\\Quillo\\M05.bmp"), nullptr);
    ASSERT_TRUE(app->m_alarmStore.Update([](CAlarmStore& store) {
        store.SetAlarm("\\My Documents\\Quillo\\M05.bmp", MakeSpan(2009, 2, 1, 8, 0, 0),
                       AlarmRepeat::None, "", 0);
    }));
    RunPreview(
        [](CPreviewDlg* dialog) {
            dialog->PressButton(IDC_PREVIEW_DELETE);
            Scroll(dialog, SB_BOTTOM);
            Press(dialog, 1);
            dialog->PressButton(IDC_PREVIEW_DELETE);
            EXPECT_EQ(dialog->m_thumbnails.m_nSelected, 5) << "No keeps everything";
            dialog->PressButton(IDC_PREVIEW_DELETE);
            EXPECT_EQ(dialog->m_thumbnails.m_nSelected, -1);
            EXPECT_EQ(dialog->m_thumbnails.m_nFirstRow, 0);
            EXPECT_EQ(dialog->m_scrollBar.GetScrollPos(), 0);
            EXPECT_EQ(dialog->m_nMaxRow, 1);
        },
        [this] {
            ExpectMessage("メモを選択してください");
            ExpectMessage("M05 を削除してよろしいですか？", IDNO);
            ExpectMessage("M05 を削除してよろしいですか？", IDYES);
        });
    EXPECT_FALSE(fs::exists(HostSaveFolder() / "M05.bmp"));
    EXPECT_EQ(app->m_memoList.size(), 6u);
    EXPECT_EQ(Shown(), "\\My Documents\\Quillo\\M06.bmp")
        << "the view goes on as after its own delete, to the memo that followed";
    EXPECT_EQ(app->m_alarmStore.GetCount(), 0) << "the alarm went with its memo";
}

TEST_F(Preview, InAFolderThatRefusesChangesDeleteAndTitleSaySoAndKeepTheSelection) {
    WriteMemos(3);
    ASSERT_TRUE(Start());
    const ReadOnlyFolder readOnly(HostSaveFolder());
    RunPreview(
        [](CPreviewDlg* dialog) {
            Press(dialog, 1);
            dialog->PressButton(IDC_PREVIEW_DELETE);
            dialog->PressButton(IDC_PREVIEW_TITLE);
            EXPECT_EQ(dialog->m_thumbnails.m_nSelected, 1);
            EXPECT_EQ((*dialog->m_pMemoList)[1].name, "M01.bmp");
        },
        [this] {
            ExpectMessage("M01 を削除してよろしいですか？", IDYES);
            ExpectMessage("メモを削除できませんでした。");
            ExpectModal([](ModalRun& run) {
                run.dialog->SetDlgItemText(IDC_RENAME_NEW, "shopping");
                run.Press(IDOK);
            });
            ExpectMessage("名前を変更できませんでした。");
        });
    EXPECT_TRUE(fs::exists(HostSaveFolder() / "M01.bmp"));
}

TEST_F(Preview, ATitleChangeKeepsItsPlaceAndABadTitleChangesNothing) {
    WriteMemos(3);
    WriteMemo("Taken.bmp");
    Touch(HostSaveFolder() / "Taken.bmp", 2009, 1, 13, 11, 0, 0);
    ASSERT_TRUE(Start());
    const struct {
        const char* title;
        const char* message;  // null: accepted
    } titles[] = {{"M01", nullptr},
                  {"taken", "ファイル名が無効です。有効な名前を入力してください。"},
                  {"..\\x", "ファイル名が無効です。有効な名前を入力してください。"},
                  {".hidden", "ファイル名が無効です。有効な名前を入力してください。"},
                  {"shopping", nullptr}};
    RunPreview(
        [&](CPreviewDlg* dialog) {
            dialog->PressButton(IDC_PREVIEW_TITLE);
            Press(dialog, 1);
            for (size_t i = 0; i < std::size(titles); ++i) dialog->PressButton(IDC_PREVIEW_TITLE);
            EXPECT_EQ((*dialog->m_pMemoList)[1].name, "shopping.bmp") << "still second";
        },
        [&] {
            ExpectMessage("メモを選択してください");
            for (const auto& t : titles) {
                ExpectModal([&t](ModalRun& run) {
                    EXPECT_EQ(run.dialog->GetDlgItemText(IDC_RENAME_OLD),
                              run.dialog->GetDlgItemText(IDC_RENAME_NEW));
                    run.dialog->SetDlgItemText(IDC_RENAME_NEW, t.title);
                    run.Press(IDOK);
                });
                if (t.message != nullptr) ExpectMessage(t.message);
            }
        });
    EXPECT_TRUE(fs::exists(HostSaveFolder() / "shopping.bmp"));
    EXPECT_FALSE(fs::exists(HostSaveFolder() / "M01.bmp"));
    EXPECT_FALSE(fs::exists(m_device->Host("My Documents/x.bmp")));
    EXPECT_EQ(std::distance(fs::directory_iterator(HostSaveFolder()), {}), 4);
}

TEST_F(Preview, TheMemoJustDrawnIsListedAndATitleChangeOfItIsFollowed) {
    WriteMemos(2);
    ASSERT_TRUE(Start());
    SendCommand(frame, ID_FILE_NEW);
    Stroke({{10, 50}, {100, 50}});
    RunPreview(
        [](CPreviewDlg* dialog) {
            ASSERT_EQ(dialog->m_pMemoList->size(), 3u) << "saved before the folder was listed";
            EXPECT_EQ((*dialog->m_pMemoList)[0].name, "200901131530.bmp");
            Press(dialog, 0);
            dialog->PressButton(IDC_PREVIEW_TITLE);
        },
        [this] {
            ExpectModal([](ModalRun& run) {
                run.dialog->SetDlgItemText(IDC_RENAME_NEW, "shopping");
                run.Press(IDOK);
            });
        });
    const std::string renamed = "\\My Documents\\Quillo\\shopping.bmp";
    EXPECT_EQ(Shown(), renamed) << "the open memo follows its file";
    EXPECT_EQ(doc->GetTitle(), "shopping.bmp");
    EXPECT_EQ(app->GetRecentFiles().front(), renamed);
    Stroke({{10, 60}, {100, 60}});
    SendCommand(frame, ID_FILE_NEW);
    EXPECT_FALSE(fs::exists(HostSaveFolder() / "200901131530.bmp")) << "no second memo";
}

TEST_F(Preview, APaintShowsGreyFramesStretchedMemosTitlesAndTheInvertedSelection) {
    // A white memo with a one-pixel black line across its middle.
    const auto& table = DefaultColorTable();
    const auto find = [&](uint8_t v) {
        return static_cast<uint8_t>(std::find_if(table.begin(), table.end(),
                                                 [v](const RGBQUAD& q) {
                                                     return q.rgbRed == v && q.rgbGreen == v &&
                                                            q.rgbBlue == v;
                                                 }) -
                                    table.begin());
    };
    WriteMemo("Lined.bmp", 200, 240, find(255));
    {
        CMemoBitmap memo;
        ASSERT_TRUE(memo.LoadFile("\\My Documents\\Quillo\\Lined.bmp"));
        Surface* pixels = memo.GetBitmap()->GetSurface();
        for (int x = 0; x < 200; ++x) pixels->SetPixelValue(x, 120, find(0));
        ASSERT_TRUE(memo.SaveFile("\\My Documents\\Quillo\\Lined.bmp"));
    }
    WriteMemo("Broken.bmp");
    WriteHostFile(HostSaveFolder() / "Broken.bmp", "not a bitmap");
    Touch(HostSaveFolder() / "Broken.bmp", 2009, 1, 13, 10, 0, 0);
    Touch(HostSaveFolder() / "Lined.bmp", 2009, 1, 13, 11, 0, 0);
    ASSERT_TRUE(Start());
    RunPreview([&](CPreviewDlg* dialog) {
        CThumbnailCtrl& control = dialog->m_thumbnails;
        Press(dialog, 1);
        control.UpdateWindow();
        const Surface* screen = control.GetSurface();
        const auto color = [&](int x, int y) {
            return screen->ToColor(screen->GetPixelValue(x, y));
        };
        const auto cells = CThumbnailCtrl::CellsOf(control.GetClientRect());
        EXPECT_EQ(color(cells[2].left + 3, cells[2].top + 40), 0x00808080u) << "an empty cell";
        for (const CRect& cell : {cells[0], cells[1]}) {
            EXPECT_EQ(color(cell.left, cell.top + 50), 0u) << "frame";
            EXPECT_EQ(color(cell.right - 1, cell.top + 50), 0u) << "frame";
            EXPECT_EQ(color(cell.left + 50, cell.bottom - 1), 0u) << "frame";
        }
        // The lined memo: white, its line still there, shrunk to half the height.
        const int middle = cells[0].top + 1 + (cells[0].Height() - 2) / 2;
        EXPECT_EQ(color(cells[0].left + 50, cells[0].bottom - 10), 0x00FFFFFFu);
        bool line = false;
        for (int y = middle - 2; y <= middle + 2; ++y)
            line |= color(cells[0].left + 50, y) != 0x00FFFFFFu;
        EXPECT_TRUE(line) << "a thin stroke stays visible";
        // The broken memo: frame and title only, the rest of its cell grey, inverted.
        EXPECT_EQ(color(cells[1].left + 50, cells[1].bottom - 10), 0x007F7F7Fu) << "inverted grey";
        bool ink = false;
        for (int y = cells[0].top + 1; y < cells[0].top + 12; ++y) {
            for (int x = cells[0].left + 1; x < cells[0].left + 30; ++x) ink |= color(x, y) == 0;
        }
        EXPECT_TRUE(ink) << "the title in black";
    });
}
