// Undo, redo and copy, as a user reaches them: the landscape window's keys and the edit menu.
#include <QClipboard>
#include <QGuiApplication>
#include <QImage>
#include <QMimeData>
#include <QTest>
#include <QWindow>
#include <functional>

#include "platform/ui/Clipboard.h"
#include "res/ResourceIds.h"
#include "support/QuilloScenario.h"

namespace {

class EditCommands : public QuilloScenario {
  protected:
    // A landscape window, where the keys work, on a memo of another size than the window.
    void StartOnAMemo() {
        SetScreen(640, 240);
        WriteMemo("A.bmp", 200, 150, 100);
        ASSERT_TRUE(Start());
        frame->GetWidget()->show();
        frame->GetWidget()->activateWindow();
        ProcessEvents();
    }
    // A key as the keyboard delivers it, to the window that has the focus.
    void Press(Qt::Key key, Qt::KeyboardModifiers modifiers) {
        QWindow* focus = QGuiApplication::focusWindow();
        QTest::keyClick(focus != nullptr ? focus : frame->GetWidget()->windowHandle(), key,
                        modifiers);
        ProcessEvents();
    }
    void Drag(QPoint from, QPoint to) {
        QTest::mousePress(view->GetWidget(), Qt::LeftButton, {}, from);
        QTest::mouseMove(view->GetWidget(), to);
        QTest::mouseRelease(view->GetWidget(), Qt::LeftButton, {}, to);
    }
    std::string Picture() const { return doc->m_bitmap.EncodeFile(); }
    std::string File() const { return ReadHostFile(HostSaveFolder() / "A.bmp"); }
};

}  // namespace

TEST_F(EditCommands, EachChangeIsUndoneAndRedoneToItsExactPixels) {
    StartOnAMemo();
    const struct {
        const char* change;
        std::function<void()> make;
        bool modified;  // a cleared memo is not saved until it is drawn on
    } rows[] = {
        {"a stroke",
         [&] {
             Drag({10, 50}, {100, 60});
         },
         true},
        {"a tap",
         [&] {
             QTest::mouseClick(view->GetWidget(), Qt::LeftButton, {}, {30, 30});
         },
         true},
        {"the date stamp", [&] { SendCommand(frame, ID_INSERT_DATE); }, true},
        {"クリア", [&] { SendCommand(frame, ID_EDIT_CLEAR); }, false},
    };
    const std::string file = Picture();
    for (const auto& row : rows) {
        row.make();
        const std::string changed = Picture();
        ASSERT_NE(changed, file) << row.change;
        EXPECT_TRUE(State(ID_EDIT_UNDO).m_bEnabled) << row.change;
        EXPECT_FALSE(State(ID_EDIT_REDO).m_bEnabled) << row.change;
        const struct {
            Qt::Key key;
            Qt::KeyboardModifiers modifiers;
            bool undoes;
        } keys[] = {{Qt::Key_Z, Qt::ControlModifier, true},
                    {Qt::Key_Y, Qt::ControlModifier, false},
                    {Qt::Key_Backspace, Qt::AltModifier, true},
                    {Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier, false}};
        for (const auto& key : keys) {
            Press(key.key, key.modifiers);
            EXPECT_EQ(Picture(), key.undoes ? file : changed) << row.change << " " << key.key;
            EXPECT_EQ(doc->IsModified(), !key.undoes && row.modified) << row.change;
            EXPECT_EQ(State(ID_EDIT_UNDO).m_bEnabled, !key.undoes) << row.change;
            EXPECT_EQ(State(ID_EDIT_REDO).m_bEnabled, key.undoes) << row.change;
        }
        SendCommand(frame, ID_EDIT_UNDO);  // the next change starts from the file's picture
        ASSERT_EQ(Picture(), file);
    }
    EXPECT_EQ(File(), file) << "nothing was saved: every change was undone";
}

TEST_F(EditCommands, TheMemoIsUnmodifiedWhereItsFileHoldsIt) {
    StartOnAMemo();
    Drag({10, 50}, {100, 50});
    ASSERT_TRUE(doc->IsModified());
    Press(Qt::Key_S, Qt::ControlModifier);
    const std::string saved = File();
    ASSERT_EQ(Picture(), saved);
    Drag({10, 80}, {100, 80});
    Press(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_FALSE(doc->IsModified()) << "saving did not end the history";
    Press(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_TRUE(doc->IsModified()) << "the file holds the first stroke";
    Drag({10, 110}, {100, 110});
    EXPECT_FALSE(State(ID_EDIT_REDO).m_bEnabled) << "a new change drops what could be redone";
    Press(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_TRUE(doc->IsModified());
    // Another memo, or a new one, ends the history (and the leave saves the memo).
    for (const UINT leave : {ID_NEXT_MEMO, ID_FILE_NEW}) {
        Drag({10, 140}, {100, 140});
        SendCommand(frame, leave);
        EXPECT_FALSE(State(ID_EDIT_UNDO).m_bEnabled) << leave;
    }
    EXPECT_NE(File(), saved);
}

TEST_F(EditCommands, CopyPutsTheMemosOwnPixelsOnTheClipboard) {
    StartOnAMemo();
    view->SetPenColor(RGB(255, 0, 0));
    Drag({10, 50}, {100, 60});
    QGuiApplication::clipboard()->clear();
    Press(Qt::Key_C, Qt::ControlModifier);
    const QMimeData* data = QGuiApplication::clipboard()->mimeData();
    ASSERT_NE(data, nullptr);
    const Surface* picture = doc->m_bitmap.GetBitmap()->GetSurface();
    for (const char* type : {"image/png", "image/bmp"}) {
        const QImage image = QImage::fromData(data->data(type));
        ASSERT_EQ(image.size(), QSize(200, 150)) << type;
        int differing = 0;
        for (int y = 0; y < 150; ++y) {
            for (int x = 0; x < 200; ++x) {
                const COLORREF memo = picture->ToColor(picture->GetPixelValue(x, y));
                const QRgb pasted = image.pixel(x, y);
                if (static_cast<COLORREF>(qRed(pasted) | qGreen(pasted) << 8 |
                                          qBlue(pasted) << 16) != memo) {
                    ++differing;
                }
            }
        }
        EXPECT_EQ(differing, 0) << type;
    }
    // Nothing to copy is refused and leaves the clipboard as it was.
    CBitmap uncreated;
    EXPECT_FALSE(SetClipboardBitmap(nullptr));
    EXPECT_FALSE(SetClipboardBitmap(&uncreated));
    EXPECT_TRUE(QGuiApplication::clipboard()->mimeData()->hasFormat("image/bmp"));
}
