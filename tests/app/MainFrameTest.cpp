#include <QApplication>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QScreen>
#include <QTest>
#include <QToolButton>
#include <QWindow>
#include <filesystem>
#include <functional>

#include "platform/ui/Dialog.h"
#include "platform/ui/DocTemplate.h"
#include "platform/ui/MenuBuilder.h"
#include "res/ResourceIds.h"
#include "support/QuilloScenario.h"

namespace fs = std::filesystem;

using MainFrame = QuilloScenario;

TEST_F(MainFrame, AStrokeThenADialogSavesTheMemo) {
    ASSERT_TRUE(Start());
    Stroke({{5, 5}, {50, 50}});
    ASSERT_TRUE(doc->IsModified());
    ExpectModal([&](ModalRun& run) {
        EXPECT_EQ(run.kind, ModalRun::Kind::Dialog);
        EXPECT_FALSE(doc->IsModified()) << "saved as the dialog became active";
        EXPECT_TRUE(fs::exists(HostSaveFolder() / "200901131530.bmp"));
        run.Press(IDOK);
    });
    SendCommand(frame, ID_APP_ABOUT);
    ExpectAllModalsAnswered();
}

TEST_F(MainFrame, AnUnmodifiedMemoWritesNothingOnDeactivation) {
    WriteMemo("memo.bmp");
    ASSERT_TRUE(Start());
    const auto written = fs::last_write_time(HostSaveFolder() / "memo.bmp");
    SetActiveWindowTracked(nullptr);  // the user switched to another program
    SetActiveWindowTracked(frame);
    EXPECT_EQ(fs::last_write_time(HostSaveFolder() / "memo.bmp"), written);
    EXPECT_EQ(std::distance(fs::directory_iterator(HostSaveFolder()), {}), 1);
}

TEST_F(MainFrame, TitleStaysFolian) {
    WriteMemo("memo.bmp");
    ASSERT_TRUE(Start());
    EXPECT_EQ(frame->GetWindowText(), "Folian");
    Stroke({{5, 5}, {9, 9}});
    SendCommand(frame, ID_FILE_SAVE);
    SendCommand(frame, ID_FILE_NEW);
    SendCommand(frame, ID_FILE_SAVE);
    EXPECT_NE(app->m_pDocTemplate->OpenDocumentFile("\\My Documents\\Quillo\\memo.bmp"), nullptr);
    EXPECT_EQ(frame->GetWindowText(), "Folian");
}

TEST_F(MainFrame, HotKeyPopsTheMenuButNotUnderADialog) {
    ASSERT_TRUE(Start());
    ExpectModal([&](ModalRun& run) {
        ASSERT_EQ(run.kind, ModalRun::Kind::PopupMenu);
        const CRect client = frame->ClientToScreen(frame->GetClientRect());
        EXPECT_EQ(run.point, (CPoint{client.left, client.bottom}));
        ASSERT_FALSE(run.items.empty());
        EXPECT_EQ(run.items[0].text, "ﾌｧｲﾙ");
        run.Answer(0);
    });
    Key(view, VK_F10);
    ExpectModal([&](ModalRun& run) {
        Key(run.dialog, VK_F10);  // no menu may open under the dialog
        run.Press(IDOK);
    });
    SendCommand(frame, ID_APP_ABOUT);
    EXPECT_EQ(ModalRunsSeen(), 2);
}

TEST_F(MainFrame, NewPreviewWidthsSettingsAndAlarmsAreEnabledAtStart) {
    ASSERT_TRUE(Start());
    frame->OnIdleUpdateCmdUI();
    EXPECT_TRUE(frame->m_commandBar.IsButtonEnabled(ID_FILE_NEW));
    EXPECT_TRUE(frame->m_commandBar.IsButtonEnabled(ID_PREVIEW));
    EXPECT_TRUE(frame->m_commandBar.IsButtonEnabled(ID_PEN_WIDTH_MENU));
    EXPECT_TRUE(State(ID_SETTINGS).m_bEnabled);
    EXPECT_TRUE(frame->m_commandBar.IsButtonEnabled(ID_ALARM_MENU)) << "the alarm menu works";
}

TEST_F(MainFrame, TimerReachesTheViewAndNotificationOpensTheNamedMemo) {
    const std::string path = WriteMemo("alarm.bmp");
    ASSERT_TRUE(Start());
    SendCommand(frame, ID_FILE_NEW);
    EXPECT_TRUE(app->WriteProfileString("System", "NotifyFile", path));
    SendCommand(frame, ID_OPEN_BY_NOTIFICATION);
    EXPECT_EQ(doc->GetPathName(), path);
    frame->SendMessage(WM_TIMER, kAlarmCheckTimer);  // passed on to the view without harm
    SendCommand(frame, ID_MENU);                     // does nothing
    EXPECT_EQ(doc->GetPathName(), path);
}

TEST_F(MainFrame, DialogsOpenOnTheDeviceScreenOverTheirOwner) {
    WriteMemo(std::string(196, 'a') + ".bmp");
    ASSERT_TRUE(Start());
    frame->MoveWindow(CRect{300, 200, 540, 520});  // the device's screen, somewhere on the host
    for (const UINT command : {ID_RENAME_MEMO, ID_MEMO_INFO, ID_APP_ABOUT}) {
        ExpectModal([this, command](ModalRun& run) {
            const CRect screen = frame->GetWindowRect();
            const CRect dialog = run.dialog->GetWindowRect();
            EXPECT_GE(dialog.left, screen.left) << command;
            EXPECT_GE(dialog.top, screen.top) << command;
            EXPECT_LE(dialog.right, screen.right) << command;
            EXPECT_LE(dialog.bottom, screen.bottom) << command;
            run.Press(IDCANCEL);
        });
        SendCommand(frame, command);
    }
    // The delete question names the memo: 200 characters, wrapped to the screen's width.
    ExpectModal([this](ModalRun& run) {
        const CRect screen = frame->GetWindowRect();
        EXPECT_NE(run.text.find(std::string(196, 'a')), std::string::npos);
        EXPECT_GE(run.window.left, screen.left);
        EXPECT_GE(run.window.top, screen.top);
        EXPECT_LE(run.window.right, screen.right);
        EXPECT_LE(run.window.bottom, screen.bottom);
        EXPECT_GT(run.window.Height(), 100) << "the name wraps onto several lines";
        run.Answer(IDNO);
    });
    SendCommand(frame, ID_DELETE_MEMO);
    ExpectAllModalsAnswered();
}

TEST_F(MainFrame, PageDownReachesTheViewAfterAToolBarButton) {
    WriteMemo("A.bmp");
    WriteMemo("B.bmp");
    Touch(HostSaveFolder() / "A.bmp", 2009, 1, 13, 10, 0, 0);
    Touch(HostSaveFolder() / "B.bmp", 2009, 1, 13, 11, 0, 0);
    ASSERT_TRUE(Start());
    frame->GetWidget()->show();
    frame->GetWidget()->activateWindow();
    ProcessEvents();
    EXPECT_EQ(doc->GetPathName(), app->GetMemoPath("B.bmp"));
    QToolButton* pen = nullptr;
    for (auto* button : frame->m_commandBar.GetWidget()->findChildren<QToolButton*>())
        if (button->property("quillo.command").toUInt() == ID_TOOL_PEN) pen = button;
    ASSERT_NE(pen, nullptr);
    // Clicked as the window system would (a spontaneous press gives focus by the button's
    // policy), then the key sent to whatever has the focus, as a keyboard's would be.
    QTest::mouseClick(pen, Qt::LeftButton);
    ProcessEvents();
    QWidget* focus = QApplication::focusWidget();
    ASSERT_NE(focus, nullptr);
    QTest::keyClick(focus, Qt::Key_PageDown);
    ProcessEvents();
    EXPECT_EQ(doc->GetPathName(), app->GetMemoPath("A.bmp")) << "the next memo";
}

namespace {

// The frame on the screen and active, as a user finds it.
void ShowActive(CMainFrame* frame) {
    frame->GetWidget()->show();
    frame->GetWidget()->activateWindow();
    for (int i = 0; i < 3; ++i) QCoreApplication::processEvents();
}

// A key as the keyboard delivers it: to the window that has the focus, which passes it on.
void Keyboard(CMainFrame* frame, Qt::Key key, Qt::KeyboardModifiers modifiers = {}) {
    QWindow* focus = QGuiApplication::focusWindow();
    QTest::keyClick(focus != nullptr ? focus : frame->GetWidget()->windowHandle(), key, modifiers);
    QCoreApplication::processEvents();
}

QToolButton* ToolButton(CMainFrame* frame, UINT command) {
    for (auto* button : frame->m_commandBar.GetWidget()->findChildren<QToolButton*>())
        if (button->property("quillo.command").toUInt() == command) return button;
    return nullptr;
}

// What the window shows of a widget: the window's own pixels, not a fresh rendering.
QImage Shown(QWidget* widget) {
    const QPoint at = widget->mapTo(widget->window(), QPoint(0, 0));
    return widget->screen()
        ->grabWindow(widget->window()->winId(), at.x(), at.y(), widget->width(), widget->height())
        .toImage();
}

}  // namespace

TEST_F(MainFrame, TypingIntoADialogReplacesTheTextOfItsFirstEdit) {
    WriteMemo("202612080859.bmp");
    ASSERT_TRUE(Start());
    ShowActive(frame);
    // Each dialog whose first control is an edit starts there with the text selected.
    for (const UINT command : {ID_PEN_WIDTH_CUSTOM, ID_SETTINGS, ID_ALARM_CUSTOM}) {
        ExpectModal([command](ModalRun& run) {
            ProcessEvents();
            auto* edit = qobject_cast<QLineEdit*>(QApplication::focusWidget());
            ASSERT_NE(edit, nullptr) << command;
            EXPECT_EQ(edit->selectedText(), edit->text()) << command;
            EXPECT_FALSE(edit->text().isEmpty()) << command;
            run.Press(IDCANCEL);
        });
        SendCommand(frame, command);
    }
    ExpectModal([](ModalRun&) {
        ProcessEvents();
        QWidget* focus = QApplication::focusWidget();
        ASSERT_NE(focus, nullptr);
        QTest::keyClicks(focus, "abc");
        QTest::keyClick(focus, Qt::Key_Return);
    });
    SendCommand(frame, ID_RENAME_MEMO);
    ExpectAllModalsAnswered();
    EXPECT_TRUE(fs::exists(HostSaveFolder() / "abc.bmp"));
}

TEST_F(MainFrame, ToolButtonsShowTheToolChosenAfterADialog) {
    ASSERT_TRUE(Start());
    ShowActive(frame);
    QToolButton* pen = ToolButton(frame, ID_TOOL_PEN);
    QToolButton* eraser = ToolButton(frame, ID_TOOL_ERASER);
    ASSERT_NE(eraser, nullptr);
    frame->OnIdleUpdateCmdUI();
    ProcessEvents();
    const QImage penChosen = Shown(pen);
    const QImage eraserFree = Shown(eraser);
    QTest::mouseClick(eraser, Qt::LeftButton);
    frame->OnIdleUpdateCmdUI();
    ProcessEvents();
    ExpectModal([](ModalRun& run) { run.Press(IDOK); });
    SendCommand(frame, ID_APP_ABOUT);
    ProcessEvents();  // the window active again, repainted whole
    frame->OnIdleUpdateCmdUI();
    QTest::mouseClick(pen, Qt::LeftButton);
    frame->OnIdleUpdateCmdUI();
    ProcessEvents();
    EXPECT_EQ(Shown(eraser), eraserFree) << "the eraser no longer shows pressed";
    EXPECT_EQ(Shown(pen), penChosen);
}

TEST_F(MainFrame, KeysReachTheViewAfterTheMenuIsDismissed) {
    WriteMemo("A.bmp");
    WriteMemo("B.bmp");
    Touch(HostSaveFolder() / "A.bmp", 2009, 1, 13, 10, 0, 0);
    Touch(HostSaveFolder() / "B.bmp", 2009, 1, 13, 11, 0, 0);
    ASSERT_TRUE(Start());
    ShowActive(frame);
    auto* bar = frame->m_commandBar.GetWidget()->findChild<QMenuBar*>();
    ASSERT_NE(bar, nullptr);
    QTest::mouseClick(bar, Qt::LeftButton, {}, bar->actionGeometry(bar->actions()[0]).center());
    ProcessEvents();
    QMenu* menu = bar->actions()[0]->menu();
    ASSERT_TRUE(menu->isVisible());
    QTest::keyClick(menu, Qt::Key_Escape);
    ProcessEvents();
    ASSERT_FALSE(menu->isVisible());
    QWidget* focus = QApplication::focusWidget();
    ASSERT_NE(focus, nullptr);
    QTest::keyClick(focus, Qt::Key_PageDown);
    ProcessEvents();
    EXPECT_EQ(doc->GetPathName(), app->GetMemoPath("A.bmp")) << "the next memo";
}

TEST_F(MainFrame, TheHotKeyDoesNothingUnderAnyModalRun) {
    ASSERT_TRUE(Start());
    ShowActive(frame);
    const auto pressHotKey = [this] { Keyboard(frame, Qt::Key_F10); };
    ExpectModal([&](ModalRun& run) {
        EXPECT_EQ(run.kind, ModalRun::Kind::FileDialog);
        pressHotKey();
        run.Answer(IDCANCEL);
    });
    SendCommand(frame, ID_FILE_OPEN);
    ExpectModal([&](ModalRun& run) {
        pressHotKey();
        run.Answer(IDOK);
    });
    AfxMessageBox("message");
    ExpectModal([&](ModalRun& run) {
        frame->SetForegroundWindow();  // a second start brings the window forward
        EXPECT_EQ(CWnd::GetActiveWindow(), run.dialog) << "the dialog stays in front";
        pressHotKey();
        run.Press(IDOK);
    });
    SendCommand(frame, ID_APP_ABOUT);
    EXPECT_EQ(ModalRunsSeen(), 3) << "no menu opened";
}

TEST_F(MainFrame, BringingForwardRestoresAMinimisedWindowAsItWas) {
    ASSERT_TRUE(Start());
    QWidget* window = frame->GetWidget();
    for (const bool maximized : {false, true}) {
        window->showNormal();
        if (maximized) window->showMaximized();
        window->showMinimized();
        ProcessEvents();
        ASSERT_TRUE(window->isMinimized());
        frame->SetForegroundWindow();
        ProcessEvents();
        EXPECT_FALSE(window->isMinimized()) << maximized;
        EXPECT_EQ(window->isMaximized(), maximized);
    }
}

TEST_F(MainFrame, TheCommandBarMenuIsTheDevicesMenu) {
    ASSERT_TRUE(Start());
    auto* bar = frame->m_commandBar.GetWidget()->findChild<QMenuBar*>();
    ASSERT_NE(bar, nullptr);
    // Each item as "text id", a sub-menu as "text >" with its items indented, "-" a separator.
    std::vector<std::string> shown;
    std::function<void(const QMenu*, const std::string&)> walk = [&](const QMenu* menu,
                                                                     const std::string& indent) {
        for (const QAction* action : menu->actions()) {
            if (action->isSeparator()) {
                shown.push_back(indent + "-");
            } else if (action->menu() != nullptr) {
                shown.push_back(indent + action->text().toStdString() + " >");
                walk(action->menu(), indent + "  ");
            } else {
                shown.push_back(indent + action->text().toStdString() + " " +
                                std::to_string(CommandOfAction(action)));
            }
        }
    };
    for (const QAction* top : bar->actions()) {
        shown.push_back(top->text().toStdString() + " >");
        walk(top->menu(), "  ");
    }
    const std::vector<std::string> device = {
        "ﾒﾆｭｰ >",
        "  ﾌｧｲﾙ >",
        "    新規作成 57600",
        "    -",
        "    プレビューから開く... 32773",
        "    開く... 57601",
        "    上書き保存 57603",
        "    名前を付けて保存... 57604",
        "    -",
        "    このファイルの名前を変更... 32802",
        "    このファイルを削除... 32799",
        "    このファイルの情報... 32803",
        "    このファイルをアラーム... 32805",
        "    アラーム一覧... 32807",
        "    -",
        "    ｱﾌﾟﾘｹｰｼｮﾝの終了 57665",
        "  編集 >",
        "    元に戻す 57643",
        "    やり直し 32775",
        "    -",
        "    コピー 57634",
        "    クリア 57632",
        "    -",
        "    ペン 32771",
        "    消しゴム 32772",
        "    -",
        "    ペンの太さ >",
        "      1 32777",
        "      2 32778",
        "      3 32779",
        "      4 32780",
        "      5 32781",
        "      6 32782",
        "      7 32783",
        "      8 32784",
        "      9 32785",
        "      10 32786",
        "      -",
        "      ｶｽﾀﾑ 32797",
        "    消しゴムの太さ >",
        "      5 32787",
        "      10 32788",
        "      15 32789",
        "      20 32790",
        "      25 32791",
        "      30 32792",
        "      35 32793",
        "      40 32794",
        "      -",
        "      ｶｽﾀﾑ 32798",
        "    ペンの色(&P)... 32858",
        "    色設定... 32776",
        "    -",
        "    今日の日付挿入 32853",
        "  表示 >",
        "    次のメモへ 32800",
        "    前のメモへ 32801",
        "    -",
        "    罫線 32857",
        "    設定... 32852",
        "    -",
        "    ﾊﾞｰｼﾞｮﾝ情報... 57664",
    };
    EXPECT_EQ(shown, device);
}

TEST_F(MainFrame, ShortcutKeysWorkInALandscapeWindowOnly) {
    const struct {
        int width, height;
        bool landscape;
    } screens[] = {{640, 240, true}, {240, 320, false}};
    for (const auto& screen : screens) {
        SetScreen(screen.width, screen.height);
        WriteMemo("memo.bmp");
        ASSERT_TRUE(Start());
        ShowActive(frame);
        const auto press = [this](Qt::Key key) { Keyboard(frame, key, Qt::ControlModifier); };
        doc->SetModifiedFlag();
        press(Qt::Key_S);
        EXPECT_EQ(doc->IsModified(), !screen.landscape) << "Ctrl+S saves " << screen.width;
        if (screen.landscape) {
            ExpectModal([](ModalRun& run) {
                EXPECT_EQ(run.kind, ModalRun::Kind::FileDialog);
                run.Answer(IDCANCEL);
            });
        }
        press(Qt::Key_O);
        ExpectAllModalsAnswered();
        Stroke({{5, 50}, {60, 50}});
        press(Qt::Key_Z);
        EXPECT_EQ(doc->CanUndo(), !screen.landscape) << "Ctrl+Z " << screen.width;
        press(Qt::Key_N);
        EXPECT_EQ(doc->GetPathName().empty(), screen.landscape) << "Ctrl+N " << screen.width;
        app.reset();
        ProcessEvents();
        fs::remove_all(HostSaveFolder());
    }
}

TEST_F(MainFrame, ActivatingAnotherWindowSavesTheMemo) {
    ASSERT_TRUE(Start());
    ShowActive(frame);
    Stroke({{5, 5}, {50, 50}});
    ASSERT_TRUE(doc->IsModified());
    QWidget other;  // another program's window, as far as the toolkit can tell
    other.show();
    other.activateWindow();
    ProcessEvents();
    ASSERT_TRUE(other.isActiveWindow());
    EXPECT_FALSE(doc->IsModified());
    EXPECT_TRUE(fs::exists(HostSaveFolder() / "200901131530.bmp"));
}
