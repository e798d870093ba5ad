#include <gtest/gtest-spi.h>

#include <QCoreApplication>
#include <QImage>
#include <QKeyEvent>
#include <QToolButton>
#include <QWidget>
#include <QWindow>
#include <algorithm>
#include <map>

#include "Demo.h"
#include "platform/ui/Dialog.h"
#include "platform/ui/DocTemplate.h"
#include "platform/ui/FileDialog.h"
#include "platform/ui/KeyTranslation.h"
#include "platform/ui/Menu.h"
#include "platform/ui/Stylus.h"
#include "platform/ui/SurfacePainting.h"
#include "support/Scenario.h"

using demo::Log;

namespace {

class Framework : public ScenarioTest {
  protected:
    void SetUp() override {
        ScenarioTest::SetUp();
        Log().clear();
        app = std::make_unique<demo::DemoApp>();
        ASSERT_TRUE(app->InitInstance());
        frame = static_cast<demo::DemoFrame*>(app->m_pMainWnd);
        view = static_cast<demo::DemoView*>(frame->GetActiveView());
        document = static_cast<demo::DemoDoc*>(frame->GetActiveDocument());
        SetActiveWindowTracked(frame);
        Log().clear();
    }
    void TearDown() override {
        app.reset();
        ScenarioTest::TearDown();
    }

    std::unique_ptr<demo::DemoApp> app;
    demo::DemoFrame* frame = nullptr;
    demo::DemoView* view = nullptr;
    demo::DemoDoc* document = nullptr;
};

std::vector<std::string> Logged() {
    return Log();
}

}  // namespace

TEST_F(Framework, CommandsRouteViewDocumentFrameApplication) {
    SendCommand(frame, demo::ID_BOTH);
    SendCommand(frame, demo::ID_FRAME_ONLY);
    SendCommand(frame, demo::ID_APP_ONLY);
    SendCommand(frame, demo::ID_NOBODY);
    EXPECT_EQ(Logged(), (std::vector<std::string>{"view: Both", "frame: Frame only"}));
    EXPECT_EQ(app->m_nAppOnly, 1);
    document->SetModifiedFlag();
    SendCommand(frame, ID_FILE_SAVE);
    EXPECT_EQ(Logged().back(), "SaveMemo \\untitled") << "the document is asked after the view";
    EXPECT_FALSE(document->IsModified()) << "saved";
}

TEST_F(Framework, UpdateRulesSetToolBarButtons) {
    frame->OnIdleUpdateCmdUI();
    EXPECT_TRUE(frame->m_commandBar.IsButtonEnabled(demo::ID_TOGGLE));
    EXPECT_FALSE(frame->m_commandBar.IsButtonChecked(demo::ID_TOGGLE));
    EXPECT_TRUE(frame->m_commandBar.IsButtonEnabled(demo::ID_BOTH));
    EXPECT_FALSE(frame->m_commandBar.IsButtonEnabled(demo::ID_NOBODY)) << "no handler: disabled";
    SendCommand(frame, demo::ID_TOGGLE);
    frame->OnIdleUpdateCmdUI();
    EXPECT_TRUE(frame->m_commandBar.IsButtonChecked(demo::ID_TOGGLE));
    EXPECT_EQ(frame->m_commandBar.GetButtonCommands(),
              (std::vector<UINT>{demo::ID_TOGGLE, demo::ID_BOTH, demo::ID_NOBODY}));
    const CRect first = frame->m_commandBar.GetButtonRect(demo::ID_TOGGLE);
    const CRect second = frame->m_commandBar.GetButtonRect(demo::ID_BOTH);
    EXPECT_FALSE(first.IsRectEmpty());
    EXPECT_GT(second.left, first.left);
    EXPECT_TRUE(frame->m_commandBar.GetButtonRect(demo::ID_APP_ONLY).IsRectEmpty());
    // Flat, as the device draws them: a frame only under the pointer.
    const auto buttons = frame->GetWidget()->findChildren<QToolButton*>();
    ASSERT_GE(buttons.size(), 3);
    for (const auto* button : buttons) EXPECT_TRUE(button->autoRaise());
}

TEST_F(Framework, HotKeyPopsTheMenuWithUpdateRulesAsked) {
    SendCommand(frame, demo::ID_TOGGLE);
    ExpectModal([&](ModalRun& run) {
        ASSERT_EQ(run.kind, ModalRun::Kind::PopupMenu);
        EXPECT_EQ(run.flags & TPM_BOTTOMALIGN, TPM_BOTTOMALIGN);
        const CRect client = frame->ClientToScreen(frame->GetClientRect());
        EXPECT_EQ(run.point, (CPoint{client.left, client.bottom}));
        std::map<UINT, MenuItemState> items;
        for (const auto& item : run.items) items[item.id] = item;
        EXPECT_TRUE(items[demo::ID_TOGGLE].checked);
        EXPECT_TRUE(items[demo::ID_APP_ONLY].enabled) << "the application's handler counts";
        EXPECT_TRUE(items[demo::ID_FRAME_ONLY].enabled);
        EXPECT_EQ(items[demo::ID_FRAME_ONLY].depth, 1) << "inside the sub-menu";
        EXPECT_TRUE(items[0].enabled) << "a sub-menu always opens";
        EXPECT_EQ(items[0].text, "More");
        EXPECT_FALSE(items[demo::ID_NOBODY].enabled);
        run.Answer(demo::ID_FRAME_ONLY);
    });
    Key(view, VK_F10);
    EXPECT_EQ(Logged(), (std::vector<std::string>{"frame: Frame only"}));
    EXPECT_TRUE(view->m_keys.empty()) << "the hot key never reaches the view";
    ExpectModal([](ModalRun& run) { run.Answer(0); });
    Key(view, VK_APPS);
    ExpectAllModalsAnswered();
}

TEST_F(Framework, MessagesInARowUpdateTheCommandsOnceWhenIdle) {
    // Only what the program posted runs here: no timer can add a message of its own.
    const auto runPosted = [] { QCoreApplication::sendPostedEvents(); };
    runPosted();
    app->m_nIdle = 0;
    for (int i = 0; i < 5; ++i) SendCommand(frame, demo::ID_TOGGLE);
    EXPECT_EQ(app->m_nIdle, 0) << "not while messages come";
    runPosted();
    const int settled = app->m_nIdle;
    EXPECT_GE(settled, 1);
    EXPECT_LE(settled, 2) << "one update, and at most one more for what it changed itself";
    for (int i = 0; i < 10; ++i) runPosted();
    EXPECT_EQ(app->m_nIdle, settled) << "an idle program stays idle";
    EXPECT_TRUE(frame->m_commandBar.IsButtonChecked(demo::ID_TOGGLE)) << "toggled five times";
}

TEST_F(Framework, HotKeyPassesThroughWhileADialogIsActive) {
    ExpectModal([&](ModalRun& run) {
        ASSERT_EQ(run.kind, ModalRun::Kind::Dialog);
        EXPECT_EQ(run.caption, "Demo dialog");
        EXPECT_EQ(CWnd::GetActiveWindow(), run.dialog);
        Key(run.dialog, VK_F10);  // no pop-up may open: none is expected
        run.Press(IDCANCEL);
    });
    SendCommand(frame, demo::ID_DIALOG);
    EXPECT_EQ(ModalRunsSeen(), 1);
    EXPECT_EQ(Logged(), (std::vector<std::string>{"dialog ended 2"}));
    // A file dialog is no window of ours that the frame could see as active: the hot key
    // must still open nothing under it, nor be typed into the view behind it.
    ExpectModal([&](ModalRun& run) {
        ASSERT_EQ(run.kind, ModalRun::Kind::FileDialog);
        Key(view, VK_F10);
        run.Answer(IDCANCEL);
    });
    CFileDialog files(true, {}, {}, 0, {}, frame);
    EXPECT_EQ(files.DoModal(), IDCANCEL);
    EXPECT_EQ(ModalRunsSeen(), 2);
    EXPECT_TRUE(view->m_keys.empty());
}

TEST_F(Framework, AcceleratorsAndKeysReachTheirTargets) {
    Key(view, 'N', MOD_CONTROL);
    EXPECT_EQ(Logged(), (std::vector<std::string>{"SaveIfModified", "NewMemo", "OnInitialUpdate"}));
    EXPECT_TRUE(view->m_keys.empty());
    Key(view, VK_ESCAPE);
    Key(view, 'N');
    EXPECT_EQ(view->m_keys, (std::vector<UINT>{VK_ESCAPE, 'N'}));
}

TEST_F(Framework, OpenByPathRunsTheThreeStepsInOrder) {
    EXPECT_NE(app->OpenDocumentFile("\\My Documents\\a.bmp"), nullptr);
    EXPECT_EQ(Logged(),
              (std::vector<std::string>{"SaveIfModified", "OpenMemo \\My Documents\\a.bmp",
                                        "OnInitialUpdate"}));
    EXPECT_EQ(document->GetPathName(), "\\My Documents\\a.bmp");
    EXPECT_EQ(document->GetTitle(), "a.bmp");
    EXPECT_FALSE(document->IsModified()) << "it is what its file holds";
    EXPECT_EQ(frame->GetActiveView(), view) << "the same view serves every document";

    Log().clear();
    document->SetModifiedFlag();
    SendCommand(frame, ID_FILE_NEW);
    EXPECT_EQ(Logged(), (std::vector<std::string>{"SaveIfModified (modified)",
                                                  "SaveMemo \\My Documents\\a.bmp", "NewMemo",
                                                  "OnInitialUpdate"}));
    EXPECT_EQ(app->GetDocTemplate()->GetDocument(), document);
}

TEST_F(Framework, RecentFilesKeepFourInTheirOwnSection) {
    for (const char* path : {"\\a.bmp", "\\b.bmp", "\\c.bmp", "\\d.bmp", "\\e.bmp", "\\B.BMP"}) {
        EXPECT_NE(app->OpenDocumentFile(path), nullptr);
    }
    EXPECT_EQ(app->GetRecentFiles(),
              (std::vector<std::string>{"\\B.BMP", "\\e.bmp", "\\d.bmp", "\\c.bmp"}));
    EXPECT_EQ(app->GetProfileString("Recent File List", "File1"), "\\B.BMP");
    EXPECT_EQ(app->GetProfileString("Recent File List", "File4"), "\\c.bmp");
}

TEST_F(Framework, TimerKeepsTickingUnderAModalDialog) {
    std::vector<UINT> activations;
    ExpectModal([&](ModalRun& run) {
        activations = frame->m_activations;
        const int before = frame->m_nTicks;
        EXPECT_TRUE(ModalRun::ProcessEventsUntil([&] { return frame->m_nTicks >= before + 3; }));
        run.Press(IDOK);
    });
    SendCommand(frame, demo::ID_DIALOG);
    EXPECT_EQ(Logged(), (std::vector<std::string>{"dialog ended 1"}));
    ASSERT_FALSE(activations.empty());
    EXPECT_EQ(activations.back(), WA_INACTIVE) << "the frame lost the activation to the dialog";
    EXPECT_EQ(frame->m_activations.back(), WA_ACTIVE) << "and got it back";
}

TEST_F(Framework, PenEventsArriveWithTheirRawSamples) {
    Pen(view, WM_LBUTTONDOWN, {10, 20}, {{40, 80}});
    Pen(view, WM_MOUSEMOVE, {13, 22}, {{44, 82}, {48, 84}, {52, 88}});
    std::vector<CPoint> many;
    for (int i = 0; i < 70; ++i) many.push_back({i, i});
    Pen(view, WM_MOUSEMOVE, {14, 23}, many);
    Pen(view, WM_LBUTTONUP, {15, 24}, {{60, 96}});
    ASSERT_EQ(view->m_pens.size(), 4u);
    EXPECT_EQ(view->m_pens[0].message, WM_LBUTTONDOWN);
    EXPECT_EQ(view->m_pens[0].point, (CPoint{10, 20}));
    EXPECT_EQ(view->m_pens[1].samples, (std::vector<CPoint>{{44, 82}, {48, 84}, {52, 88}}));
    ASSERT_EQ(view->m_pens[2].samples.size(), 64u) << "at most 64, the newest";
    EXPECT_EQ(view->m_pens[2].samples.front(), (CPoint{6, 6}));
    EXPECT_EQ(view->m_pens[2].samples.back(), (CPoint{69, 69}));
    EXPECT_EQ(view->m_pens[3].message, WM_LBUTTONUP);
    EXPECT_EQ(view->m_pens[3].samples, (std::vector<CPoint>{{60, 96}}));
}

TEST_F(Framework, ClientContextDrawsStraightOntoTheWindow) {
    view->UpdateWindow();
    const Surface* surface = view->GetSurface();
    ASSERT_NE(surface, nullptr);
    EXPECT_EQ(surface->ToColor(surface->GetPixelValue(100, 100)), RGB(255, 255, 240)) << "painted";
    Pen(view, WM_LBUTTONDOWN, {10, 100}, {{10, 100}});
    Pen(view, WM_MOUSEMOVE, {100, 100}, {{100, 100}});
    EXPECT_EQ(surface->ToColor(surface->GetPixelValue(50, 100)), RGB(0, 0, 128)) << "drawn at once";
    // What the toolkit is handed: opaque, since a compositor shows a zero alpha as see-through,
    // and on a screen of twice the pixels each pixel a sharp two-by-two square.
    QWidget* widget = view->GetWidget();
    QImage shown(widget->size() * 2, QImage::Format_ARGB32_Premultiplied);
    shown.setDevicePixelRatio(2);
    shown.fill(Qt::transparent);
    widget->render(&shown);
    int seeThrough = 0;
    for (int y = 0; y < shown.height(); ++y)
        for (int x = 0; x < shown.width(); ++x) seeThrough += qAlpha(shown.pixel(x, y)) != 255;
    EXPECT_EQ(seeThrough, 0);
    for (const int y : {197, 198, 203, 204}) {  // the pen's three rows, 99 to 101, doubled
        const bool ink = y == 198 || y == 203;
        EXPECT_EQ(shown.pixel(100, y), ink ? qRgb(0, 0, 128) : qRgb(255, 255, 240)) << y;
    }
    view->Invalidate(true);
    view->UpdateWindow();
    EXPECT_EQ(surface->ToColor(surface->GetPixelValue(50, 100)), RGB(255, 255, 240)) << "repainted";
}

TEST_F(Framework, ToolBarPicturesAreOpaqueSaveTheKeyColourAndWhatLiesBeyondTheStrip) {
    // A strip 20 x 12 of two 16-pixel pictures: the second is 4 columns wide, both 12 rows.
    BitmapResource strip{1, 20, 12, std::vector<uint32_t>(20 * 12, 0x123456)};
    strip.pixels[1] = kTransparentPixel;
    for (const int index : {0, 1}) {
        const QImage picture = ResourceImage(strip, index).pixmap(QSize(16, 16)).toImage();
        ASSERT_EQ(picture.size(), QSize(16, 16));
        int wrong = 0;
        for (int y = 0; y < 16; ++y) {
            for (int x = 0; x < 16; ++x) {
                const bool inside = index * 16 + x < 20 && y < 12;
                const bool key = index == 0 && x == 1 && y == 0;
                const QRgb expected = inside && !key ? qRgb(0x12, 0x34, 0x56) : 0u;
                wrong += picture.pixel(x, y) != expected;
            }
        }
        EXPECT_EQ(wrong, 0) << "picture " << index;
    }
}

TEST_F(Framework, MessageBoxesAnswerTheButtonPressed) {
    ExpectModal([](ModalRun& run) {
        EXPECT_EQ(run.kind, ModalRun::Kind::MessageBox);
        EXPECT_EQ(run.caption, "demo");
        EXPECT_EQ(run.text, "Delete?");
        EXPECT_EQ(run.type, MB_YESNO | MB_ICONQUESTION);
        EXPECT_TRUE(CWnd::GetActiveWindow()->IsDialog());
        run.Answer(IDYES);
    });
    EXPECT_EQ(AfxMessageBox("Delete?", MB_YESNO | MB_ICONQUESTION), IDYES);
    EXPECT_EQ(CWnd::GetActiveWindow(), frame);
}

TEST_F(Framework, AModalRunThatNothingAnswersFailsFast) {
    int result = 0;
    EXPECT_NONFATAL_FAILURE(result = AfxMessageBox("Anyone there?", MB_YESNO), "nothing answered");
    EXPECT_EQ(result, IDNO);
    EXPECT_NONFATAL_FAILURE(SendCommand(frame, demo::ID_DIALOG), "nothing answered the dialog");
    EXPECT_EQ(Logged(), (std::vector<std::string>{"dialog ended 2"}));
    ExpectModal([](ModalRun&) {});
    EXPECT_NONFATAL_FAILURE(result = AfxMessageBox("Ignored", MB_YESNO), "left without an answer");
    EXPECT_EQ(result, IDNO) << "left alone, a box is closed as by No";
}

TEST_F(Framework, ExitClosesTheMainWindowAfterAskingTheDocument) {
    document->SetModifiedFlag();
    SendCommand(frame, ID_APP_EXIT);
    EXPECT_EQ(Logged(),
              (std::vector<std::string>{"SaveIfModified (modified)", "SaveMemo \\untitled"}));
    EXPECT_EQ(app->m_pMainWnd, nullptr);
    EXPECT_FALSE(frame->IsWindow());
}

TEST_F(Framework, CommandLineNamesAFileOrStartsNew) {
    // The words as the shell split them: passed on unchanged, never joined and split again.
    struct Row {
        std::vector<std::string> words;
        CCommandLineInfo::ShellCommand command;
        const char* file;
    };
    const Row rows[] = {
        {{}, CCommandLineInfo::FileNew, ""},
        {{"/flag", "-other"}, CCommandLineInfo::FileNew, ""},
        {{"/flag", "\\My Documents\\a.bmp"}, CCommandLineInfo::FileOpen, "\\My Documents\\a.bmp"},
        {{"-x", "", "\\\"a b\".bmp", "b"}, CCommandLineInfo::FileOpen, "\\\"a b\".bmp"},
        {{""}, CCommandLineInfo::FileNew, ""},
    };
    for (const auto& row : rows) {
        app->SetCommandLine(row.words);
        CCommandLineInfo info;
        app->ParseCommandLine(info);
        EXPECT_EQ(info.m_nShellCommand, row.command) << app->m_lpCmdLine;
        EXPECT_EQ(info.m_strFileName, row.file) << app->m_lpCmdLine;
    }
}

TEST_F(Framework, RealKeyPressesAreTranslatedEveryTime) {
    frame->ShowWindow(SW_SHOW);
    QWindow* window = frame->GetWidget()->windowHandle();
    ASSERT_NE(window, nullptr);
    // As the toolkit delivers a key: to the window first, each event made in the same place.
    const auto press = [window](int key, Qt::KeyboardModifiers modifiers) {
        QKeyEvent event(QEvent::KeyPress, key, modifiers);
        QCoreApplication::sendEvent(window, &event);
    };
    for (int i = 0; i < 3; ++i) {
        ExpectModal([](ModalRun& run) {
            EXPECT_EQ(run.kind, ModalRun::Kind::PopupMenu);
            run.Answer(0);
        });
        press(Qt::Key_F10, Qt::NoModifier);
    }
    EXPECT_EQ(ModalRunsSeen(), 3) << "the hot key works on every press, not only the first";
    press(Qt::Key_N, Qt::ControlModifier);
    press(Qt::Key_N, Qt::ControlModifier);
    EXPECT_EQ(std::count(Log().begin(), Log().end(), "NewMemo"), 2) << "the accelerator, twice";
}
