// Alarms that ring: in a running window on its timer, and in the launch the system makes.
#include <QApplication>
#include <QDialogButtonBox>
#include <QPushButton>
#include <QTest>
#include <QWidget>
#include <QWindow>
#include <csignal>
#include <filesystem>

#include "alarm/AlarmTime.h"
#include "firing/AlarmNotifyDlg.h"
#include "firing/SnoozeDlg.h"
#include "memo/RecoveryCopy.h"
#include "platform/fs/RecoveryFolder.h"
#include "platform/shell/TimedLaunch.h"
#include "platform/ui/DocTemplate.h"
#include "res/ResourceIds.h"
#include "settings/ProfileValues.h"
#include "support/InstanceHelperProcess.h"
#include "support/LocalTime.h"
#include "support/QuilloScenario.h"
#include "support/ReadOnlyFolder.h"

namespace fs = std::filesystem;

namespace {

class AlarmFiring : public QuilloScenario {
  protected:
    // A memo with an alarm at `time`; its device path.
    std::string MemoWithAlarm(const std::string& name, const SYSTEMTIME& time,
                              AlarmRepeat repeat = AlarmRepeat::None, const std::string& sound = "",
                              int soundRepeat = 0) {
        const std::string path = WriteMemo(name);
        // Before the start, as another process would; after it, as the window itself.
        std::unique_ptr<CWinApp> other;
        CAlarmStore before;
        if (!app) {
            other = std::make_unique<CWinApp>("quillo");
            other->SetRegistryKey(profile::kCompany);
            before.Load();
        }
        CAlarmStore& store = app ? app->m_alarmStore : before;
        EXPECT_TRUE(store.Update(
            [&](CAlarmStore& latest) { latest.SetAlarm(path, time, repeat, sound, soundRepeat); }));
        return path;
    }
    void Tick() { frame->SendMessage(WM_TIMER, kAlarmCheckTimer); }
    static CAlarmNotifyDlg* Notice(ModalRun& run) {
        return static_cast<CAlarmNotifyDlg*>(run.dialog);
    }
    // The notice of the memo titled `title`, answered by `act`.
    void ExpectNotice(const std::string& title, std::function<void(ModalRun&)> act) {
        ExpectModal([title, act](ModalRun& run) {
            ASSERT_EQ(run.kind, ModalRun::Kind::Dialog);
            EXPECT_EQ(run.caption, "Quillo（アラーム）");
            EXPECT_EQ(run.dialog->GetDlgItemText(IDC_NOTIFY_TITLE), title);
            act(run);
        });
    }
    void ExpectSnooze(const char* count, int unit) {
        ExpectModal([count, unit](ModalRun& run) {
            EXPECT_EQ(run.caption, "再通知");
            run.dialog->SetDlgItemText(IDC_SNOOZE_COUNT, count);
            static_cast<CSnoozeDlg*>(run.dialog)->m_unitList.SetCurSel(unit);
            run.Press(IDOK);
        });
    }
    int StoredCount() { return app->GetProfileInt("MemoNotify", "Count", 0); }
    // A click and keys as the window system delivers them: to the window, which passes
    // them on, or holds them back while it waits.
    static void Click(QWidget* widget) {
        QWidget* window = widget->window();
        QTest::mouseClick(window->windowHandle(), Qt::LeftButton, {},
                          widget->mapTo(window, widget->rect().center()));
        ProcessEvents();
    }
    static void Keys(QWidget* window, Qt::Key key, Qt::KeyboardModifiers modifiers = {}) {
        QTest::keyClick(window->windowHandle(), key, modifiers);
        ProcessEvents();
    }
    static QWidget* Control(const ModalRun& run, UINT id) {
        return run.dialog->GetDlgItem(id)->GetWidget();
    }
    // A minute of the day the tests take place on.
    static SYSTEMTIME On13th(int hour, int minute) { return At(2009, 1, 13, hour, minute); }
};

}  // namespace

TEST_F(AlarmFiring, TheScreenShapePicksTheLayoutAndTheNoticeOpensAtTheTopLeft) {
    const struct {
        int width, height;
        UINT layout;
    } cases[] = {{240, 320, IDD_ALARM_NOTIFY},
                 {320, 240, IDD_ALARM_NOTIFY_WIDE},
                 {240, 240, IDD_ALARM_NOTIFY_WIDE}};
    SetClock(2009, 1, 13, 10, 0, 20);
    ASSERT_TRUE(Start());
    for (const auto& c : cases) {
        SetScreen(c.width, c.height);
        MemoWithAlarm("A.bmp", On13th(10, 0));
        ExpectNotice("A", [&c](ModalRun& run) {
            EXPECT_EQ(run.dialog->GetTemplateId(), c.layout) << c.width << "x" << c.height;
            EXPECT_EQ(run.dialog->GetWidget()->pos(), QPoint(0, 0));
            EXPECT_FALSE(Notice(run)->m_bTimerStopped);
            run.Press(IDCANCEL);
        });
        Tick();
        ExpectAllModalsAnswered();
    }
}

TEST_F(AlarmFiring, ReNotifyStoresTheAlarmAgainWithItsRepeatAndSoundAndItRingsThen) {
    SetClock(2009, 1, 13, 10, 0, 40);
    ASSERT_TRUE(Start());
    const std::string memo = MemoWithAlarm("A.bmp", On13th(10, 0), AlarmRepeat::Daily, "Bell", 1);
    ExpectNotice("A", [this](ModalRun& run) {
        ASSERT_EQ(m_sounds.size(), 1u);
        EXPECT_EQ(m_sounds[0].path, "\\windows\\Bell.wav");
        EXPECT_EQ(m_sounds[0].how, SoundPlay::Loop);
        run.Press(IDC_NOTIFY_SNOOZE);
        EXPECT_FALSE(run.IsOpen());
    });
    ExpectSnooze("5", 0);
    Tick();
    ASSERT_FALSE(m_sounds.empty());
    EXPECT_TRUE(m_sounds.back().stop) << "the looping sound ends with the notice";
    ASSERT_EQ(app->m_alarmStore.GetCount(), 1);
    const AlarmEntry again = app->m_alarmStore.GetAt(0);
    EXPECT_EQ(FormatAlarmTime(again.Time), "2009/01/13 10:05");
    EXPECT_EQ(again.Repeat, AlarmRepeat::Daily);
    EXPECT_EQ(again.WaveFile, "Bell");
    EXPECT_EQ(again.WaveRepeat, 1);

    Tick();  // still 10:00: nothing rings
    SetClock(2009, 1, 13, 10, 5, 10);
    ExpectNotice("A", [](ModalRun& run) { run.Press(IDCANCEL); });
    Tick();
    ExpectAllModalsAnswered();
    EXPECT_EQ(StoredCount(), 0) << "a daily alarm that rang is gone like a one-shot one";
}

TEST_F(AlarmFiring, ReNotifyCancelledAndClosedLeavesNoAlarm) {
    SetClock(2009, 1, 13, 10, 0);
    ASSERT_TRUE(Start());
    MemoWithAlarm("A.bmp", On13th(10, 0));
    ExpectNotice("A", [](ModalRun& run) {
        run.Press(IDC_NOTIFY_SNOOZE);
        EXPECT_TRUE(run.IsOpen());
        EXPECT_TRUE(Notice(run)->m_bTimerStopped) << "no longer pulled to the front";
        run.Press(IDCANCEL);
    });
    ExpectModal([](ModalRun& run) { run.Press(IDCANCEL); });
    Tick();
    EXPECT_EQ(app->m_alarmStore.GetCount(), 0);
    EXPECT_EQ(StoredCount(), 0);
}

TEST_F(AlarmFiring, DeleteAsksAndRemovesTheMemoOnlyOnYes) {
    SetClock(2009, 1, 13, 10, 0);
    ASSERT_TRUE(Start());
    const std::string memo = MemoWithAlarm("A.bmp", On13th(10, 0), AlarmRepeat::None, "Chime", 1);
    EXPECT_NE(app->m_pDocTemplate->OpenDocumentFile(memo), nullptr);
    Stroke({{10, 50}, {100, 50}});
    ExpectNotice("A", [this](ModalRun& run) {
        run.Press(IDC_NOTIFY_DELETE);
        EXPECT_TRUE(run.IsOpen());
        EXPECT_TRUE(Notice(run)->m_bTimerStopped);
        EXPECT_TRUE(fs::exists(HostSaveFolder() / "A.bmp"));
        run.Press(IDC_NOTIFY_DELETE);
        EXPECT_FALSE(run.IsOpen());
    });
    for (const int answer : {IDNO, IDYES}) {
        ExpectModal([answer](ModalRun& run) {
            EXPECT_EQ(run.text, "A を削除してよろしいですか？");
            EXPECT_EQ(run.type, MB_YESNO | MB_ICONQUESTION);
            run.Answer(answer);
        });
    }
    Tick();
    ExpectAllModalsAnswered();
    EXPECT_FALSE(fs::exists(HostSaveFolder() / "A.bmp"));
    ASSERT_FALSE(m_sounds.empty());
    EXPECT_TRUE(m_sounds.back().stop);
    EXPECT_TRUE(doc->GetPathName().empty()) << "the open memo went with its file";
    Stroke({{10, 60}, {100, 60}});
    SendCommand(frame, ID_FILE_NEW);
    EXPECT_FALSE(fs::exists(HostSaveFolder() / "A.bmp")) << "and stays deleted";
}

TEST_F(AlarmFiring, ADeleteThatCannotRemoveTheMemoSaysSoAndLeavesTheNoticeOpen) {
    SetClock(2009, 1, 13, 10, 0);
    ASSERT_TRUE(Start());
    MemoWithAlarm("A.bmp", On13th(10, 0));
    const ReadOnlyFolder readOnly(HostSaveFolder());
    ExpectNotice("A", [](ModalRun& run) {
        run.Press(IDC_NOTIFY_DELETE);
        EXPECT_TRUE(run.IsOpen()) << "the memo is still there to open or re-notify";
        run.Press(IDCANCEL);
    });
    ExpectModal([](ModalRun& run) { run.Answer(IDYES); });
    ExpectModal([](ModalRun& run) {
        EXPECT_EQ(run.text, "メモを削除できませんでした。");
        run.Answer(IDOK);
    });
    Tick();
    ExpectAllModalsAnswered();
    EXPECT_TRUE(fs::exists(HostSaveFolder() / "A.bmp"));
}

TEST_F(AlarmFiring, TwoAlarmsOfOneMinuteRingOnTwoTicksAndAMissedMinuteStillRings) {
    SetClock(2009, 1, 13, 10, 7);
    ASSERT_TRUE(Start());
    MemoWithAlarm("A.bmp", On13th(10, 7));
    MemoWithAlarm("B.bmp", On13th(10, 7));
    MemoWithAlarm("Missed.bmp", On13th(9, 58));
    for (const char* title : {"A", "B", "Missed"}) {
        ExpectNotice(title, [](ModalRun& run) { run.Press(IDCANCEL); });
        Tick();
        ExpectAllModalsAnswered();
    }
    Tick();
    EXPECT_EQ(ModalRunsSeen(), 3);
}

TEST_F(AlarmFiring, AMissingMemoShowsAnEmptyPictureAndOpenShowsTheMemo) {
    SetClock(2009, 1, 13, 10, 0);
    ASSERT_TRUE(Start());
    MemoWithAlarm("Gone.bmp", On13th(10, 0));
    fs::remove(HostSaveFolder() / "Gone.bmp");
    ExpectNotice("Gone", [](ModalRun& run) {
        EXPECT_TRUE(Notice(run)->m_picture.m_bitmap.GetBitmap() == nullptr);
        run.Press(IDCANCEL);
    });
    Tick();
    const std::string memo = MemoWithAlarm("Shown.bmp", On13th(10, 0));
    ExpectNotice("Shown", [](ModalRun& run) {
        EXPECT_FALSE(Notice(run)->m_picture.m_bitmap.GetBitmap() == nullptr);
        run.Press(IDOK);
    });
    Tick();
    EXPECT_EQ(doc->GetPathName(), memo) << "開く shows the memo";
}

TEST_F(AlarmFiring, WithoutNoticesTheSoundPlaysOnceAndNothingShows) {
    SetClock(2009, 1, 13, 10, 0);
    ASSERT_TRUE(Start());
    EXPECT_TRUE(app->WriteProfileInt("System", "NotifyDialog", 0));
    MemoWithAlarm("A.bmp", On13th(10, 0), AlarmRepeat::None, "Beeps", 1);
    Tick();
    ASSERT_EQ(m_sounds.size(), 1u);
    EXPECT_EQ(m_sounds[0].path, "\\windows\\Beeps.wav");
    EXPECT_EQ(m_sounds[0].how, SoundPlay::Once);
    MemoWithAlarm("Silent.bmp", On13th(10, 0));
    Tick();
    EXPECT_EQ(m_sounds.size(), 1u) << "an alarm without a sound asks for none";
    EXPECT_EQ(ModalRunsSeen(), 0);
    EXPECT_EQ(StoredCount(), 0);
}

TEST_F(AlarmFiring, TheLaunchRingsThenEndsOrOpensTheMemo) {
    SetClock(2009, 1, 13, 10, 0, 30);
    const std::string memo = MemoWithAlarm("A.bmp", On13th(10, 0), AlarmRepeat::Hourly, "Bell", 0);
    // A copy a crashed window left: only a launch that becomes the window may take it.
    const fs::path copy = m_device->Directory() / "recovery" / kRecoveryCopyName;
    const std::string unsaved = ReadHostFile(HostSaveFolder() / "A.bmp");
    fs::create_directories(copy.parent_path());
    WriteHostFile(copy, EncodeRecoveryCopy({"", {}, unsaved}));
    const std::string left = ReadHostFile(copy);
    ExpectNotice("A", [](ModalRun& run) { run.Press(IDC_NOTIFY_SNOOZE); });
    ExpectSnooze("5", 0);
    EXPECT_FALSE(Start("AppRunAtTime"));
    EXPECT_EQ(AfxGetMainWnd(), nullptr) << "no window";
    CAlarmStore stored;
    ASSERT_EQ(stored.Load(), 1);
    EXPECT_EQ(FormatAlarmTime(stored.GetAt(0).Time), "2009/01/13 10:05");
    EXPECT_EQ(stored.GetAt(0).Repeat, AlarmRepeat::Hourly);
    EXPECT_EQ(stored.GetAt(0).WaveFile, "Bell");
    app.reset();

    SetClock(2009, 1, 13, 10, 5);
    ExpectNotice("A", [](ModalRun& run) { run.Press(IDCANCEL); });
    EXPECT_FALSE(Start("AppRunAtTime"));
    EXPECT_EQ(StoredCount(), 0);
    EXPECT_EQ(app->GetProfileString("MemoNotify", "FileName00", ""), memo) << "left, unseen";
    app.reset();
    EXPECT_EQ(ReadHostFile(copy), left) << "launches that end never touch a copy";

    MemoWithAlarm("A.bmp", On13th(10, 5));
    ExpectNotice("A", [](ModalRun& run) { run.Press(IDOK); });
    const fs::path rescued = m_device->Directory() / "rescued" / "20090113-100500.bmp";
    ExpectMessage("保存できなかったメモを次の場所に残しました: " + rescued.string());
    ASSERT_TRUE(Start("AppRunAtTime"));
    EXPECT_EQ(doc->GetPathName(), memo);
    ExpectAllModalsAnswered();
    EXPECT_FALSE(fs::exists(copy)) << "moved, never over the alarm's memo";
    EXPECT_EQ(ReadHostFile(rescued), unsaved);
}

TEST_F(AlarmFiring, ALaunchWithNothingDueEndsQuietlyAndKeepsTheNextAlarmRequested) {
    SetClock(2009, 1, 13, 10, 0);
    MemoWithAlarm("Later.bmp", On13th(11, 0));
    MemoWithAlarm("Deleted.bmp", On13th(10, 30));
    fs::remove(HostSaveFolder() / "Deleted.bmp");
    // The request that made this launch is used up.
    EXPECT_TRUE(RunAppAtTime("/usr/bin/quillo", nullptr));
    EXPECT_FALSE(Start("AppRunAtTime"));
    EXPECT_EQ(ModalRunsSeen(), 0);
    EXPECT_EQ(StoredCount(), 1) << "the deleted memo's alarm is dropped";
    SYSTEMTIME requested{};
    ASSERT_TRUE(GetRunAppAtTimeRequest(requested));
    EXPECT_EQ(FormatAlarmTime(requested), "2009/01/13 11:00");
}

TEST_F(AlarmFiring, ALaunchWithoutNoticesHandsOverAndLetsItsSoundPlayOut) {
    SetClock(2009, 1, 13, 10, 0);
    const std::string log = (m_device->Directory() / "requests.log").string();
    Helper running(m_device->Directory().string(), "Folian", log);
    ASSERT_EQ(running.First(), "ready\n");
    MemoWithAlarm("A.bmp", On13th(10, 0), AlarmRepeat::None, "Chime", 0);
    {
        CWinApp before("quillo");
        before.SetRegistryKey(profile::kCompany);
        EXPECT_TRUE(before.WriteProfileInt("System", "NotifyDialog", 0));
    }
    EXPECT_FALSE(Start("AppRunAtTime"));
    EXPECT_EQ(ReadHostFile(log),
              "command " + std::to_string(ID_OPEN_BY_NOTIFICATION) + "\nfront\n");
    ASSERT_EQ(m_sounds.size(), 2u);
    EXPECT_EQ(m_sounds[0].path, "\\windows\\Chime.wav");
    EXPECT_TRUE(m_sounds[1].awaitEnd) << "the sound is not cut off as the launch ends";
}

TEST_F(AlarmFiring, ALogoutWhileTheNoticeIsOpenKeepsTheMemoFirst) {
    SetClock(2009, 1, 13, 10, 0);
    ASSERT_TRUE(Start());
    MemoWithAlarm("A.bmp", On13th(10, 0));
    Stroke({{10, 50}, {100, 50}});
    // Every save fails: the memo can only be rescued.
    fs::remove_all(HostSaveFolder());
    WriteHostFile(HostSaveFolder(), "in the way");
    FinishTimedLaunchRequests();  // nothing half done crosses the fork
    ExpectNotice("A", [](ModalRun&) {
        ::raise(SIGTERM);  // as a logout sends it; handled in the notice's own loop
        ProcessEvents();
    });
    EXPECT_EXIT(
        {
            Tick();
            std::_Exit(1);  // the notice must not have ended otherwise
        },
        ::testing::ExitedWithCode(0), "");
    EXPECT_TRUE(fs::exists(m_device->Directory() / "rescued" / "20090113-100000.bmp"));
    EXPECT_EQ(StoredCount(), 1) << "the alarm went back";
}

TEST_F(AlarmFiring, TheNoticeLeavesAnotherProgramsKeyboardAloneAndTakesKeysOnlyAfterAQuietSecond) {
    SetClock(2009, 1, 13, 10, 0);
    ASSERT_TRUE(Start());
    MemoWithAlarm("A.bmp", On13th(10, 0));
    MemoWithAlarm("B.bmp", On13th(10, 0));
    QApplication::setActiveWindow(nullptr);  // the user works in another program
    ExpectNotice("A", [this](ModalRun& run) {
        QWidget* notice = run.dialog->GetWidget();
        EXPECT_FALSE(Notice(run)->m_bTookKeyboard);
        EXPECT_TRUE(notice->testAttribute(Qt::WA_ShowWithoutActivating));
        // Under a window manager a modal window is activated as it is shown.
        EXPECT_FALSE(notice->isModal());
        QTest::mousePress(view->GetWidget(), Qt::LeftButton, {}, QPoint(10, 60));
        EXPECT_TRUE(view->m_stroke.empty()) << "the memo takes no pen while the notice waits";
        QTest::mouseRelease(view->GetWidget(), Qt::LeftButton, {}, QPoint(10, 60));
        Notice(run)->SendMessage(WM_TIMER, 301);
        EXPECT_FALSE(CWnd::IsProgramActive()) << "a tick raises it, never activates it";
        // A compositor gives it the keyboard while the user types on in a terminal: however
        // long the typing lasts, none of it answers the notice.
        notice->activateWindow();
        ProcessEvents();
        const struct {
            int second, millisecond;
            Qt::Key key;
        } typed[] = {{0, 0, Qt::Key_O},
                     {0, 600, Qt::Key_C},
                     {1, 200, Qt::Key_Space},
                     {1, 800, Qt::Key_Escape}};
        for (const auto& t : typed) {
            SetClock(2009, 1, 13, 10, 0, t.second, t.millisecond);
            Keys(notice, t.key);
            EXPECT_TRUE(run.IsOpen()) << t.second << "." << t.millisecond;
        }
        SetClock(2009, 1, 13, 10, 0, 2, 800);
        Keys(notice, Qt::Key_Escape);
        EXPECT_FALSE(run.IsOpen()) << "after a quiet second, a key is the user's answer";
    });
    Tick();
    ExpectNotice("B", [](ModalRun& run) {
        QWidget* notice = run.dialog->GetWidget();
        notice->activateWindow();
        ProcessEvents();
        Click(Control(run, IDC_NOTIFY_TITLE));
        Keys(notice, Qt::Key_Escape);
        EXPECT_FALSE(run.IsOpen()) << "a click into it makes the next key an answer";
    });
    Tick();
    ExpectAllModalsAnswered();
    EXPECT_EQ(StoredCount(), 0);
}

TEST_F(AlarmFiring, ANoticeWithoutTheKeyboardTakesClicksAndKeysInTheDialogsItOpens) {
    for (const bool launch : {true, false}) {
        SCOPED_TRACE(launch ? "alarm start" : "running window, another program active");
        SetClock(2009, 1, 13, 10, 0);
        if (!launch) {
            ASSERT_TRUE(Start());
            QApplication::setActiveWindow(nullptr);
        }
        const std::string memo = MemoWithAlarm("A.bmp", On13th(10, 0));
        ExpectNotice("A", [](ModalRun& run) {
            EXPECT_FALSE(Notice(run)->m_bTookKeyboard);
            Click(Control(run, IDC_NOTIFY_SNOOZE));
        });
        ExpectModal([](ModalRun& run) {
            EXPECT_EQ(run.caption, "再通知");
            QWidget* snooze = run.dialog->GetWidget();
            Keys(snooze, Qt::Key_A, Qt::ControlModifier);
            Keys(snooze, Qt::Key_5);
            Keys(snooze, Qt::Key_Return);
            EXPECT_FALSE(run.IsOpen());
        });
        launch ? (void)Start("AppRunAtTime") : Tick();
        ExpectAllModalsAnswered();
        CAlarmStore stored;
        ASSERT_EQ(stored.Load(), 1);
        EXPECT_EQ(FormatAlarmTime(stored.GetAt(0).Time), "2009/01/13 10:05");

        SetClock(2009, 1, 13, 10, 5);
        if (!launch) QApplication::setActiveWindow(nullptr);
        ExpectNotice("A", [](ModalRun& run) { Click(Control(run, IDC_NOTIFY_DELETE)); });
        ExpectModal([](ModalRun& run) {
            ASSERT_EQ(run.kind, ModalRun::Kind::MessageBox);
            QWidget* box = QApplication::activeModalWidget();
            ASSERT_NE(box, nullptr);
            Click(box->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Yes));
            EXPECT_EQ(run.Result(), IDYES);
        });
        if (launch) {
            app.reset();
            Start("AppRunAtTime");
        } else {
            Tick();
        }
        ExpectAllModalsAnswered();
        EXPECT_FALSE(fs::exists(HostSaveFolder() / "A.bmp"));
        EXPECT_EQ(StoredCount(), 0);
        app.reset();
    }
}

TEST_F(AlarmFiring, ANoticeOverAnOpenDialogIsAnsweredAndTheDialogThenClosesWithOk) {
    SetClock(2009, 1, 13, 10, 0);
    ASSERT_TRUE(Start());
    MemoWithAlarm("A.bmp", On13th(10, 0));
    ExpectModal([this](ModalRun& preview) {
        EXPECT_EQ(preview.caption, "プレビュー");
        QApplication::setActiveWindow(nullptr);  // the user went on in another program
        Tick();
        Click(preview.dialog->GetWidget()->findChild<QPushButton*>("captionOk"));
        EXPECT_FALSE(preview.IsOpen());
    });
    ExpectNotice("A", [](ModalRun& run) {
        EXPECT_FALSE(Notice(run)->m_bTookKeyboard);
        Click(Control(run, IDCANCEL));
        EXPECT_FALSE(run.IsOpen());
    });
    SendCommand(frame, ID_PREVIEW);
    ExpectAllModalsAnswered();
}

TEST_F(AlarmFiring, TheWindowANoticeWaitsOverHandsItTheKeyboardAndRunsNoCommandKey) {
    SetClock(2009, 1, 13, 10, 0);
    ASSERT_TRUE(Start());
    const std::string memo = MemoWithAlarm("A.bmp", On13th(10, 0));
    EXPECT_NE(app->m_pDocTemplate->OpenDocumentFile(memo), nullptr);
    const auto written = fs::last_write_time(HostSaveFolder() / "A.bmp");
    QApplication::setActiveWindow(nullptr);
    ExpectNotice("A", [this](ModalRun& run) {
        QWidget* main = frame->GetWidget();
        // A window manager gives the keyboard to the window clicked.
        Click(main);
        main->activateWindow();
        ProcessEvents();
        EXPECT_EQ(QApplication::activeWindow(), run.dialog->GetWidget());
        for (const Qt::Key key : {Qt::Key_N, Qt::Key_O, Qt::Key_S})
            Keys(main, key, Qt::ControlModifier);
        EXPECT_TRUE(run.IsOpen());
        run.Press(IDCANCEL);
    });
    Tick();
    ExpectAllModalsAnswered();
    EXPECT_EQ(ModalRunsSeen(), 1) << "Ctrl+O opened nothing";
    EXPECT_EQ(doc->GetPathName(), memo) << "Ctrl+N started no memo";
    EXPECT_EQ(fs::last_write_time(HostSaveFolder() / "A.bmp"), written) << "Ctrl+S saved nothing";
}
