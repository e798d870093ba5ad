// Setting, changing and removing the alarm of the memo on screen.
#include <QCalendarWidget>
#include <QTest>
#include <QToolButton>
#include <QTreeWidget>
#include <filesystem>

#include "dialogs/AlarmDlg.h"
#include "dialogs/AlarmListDlg.h"
#include "alarm/AlarmTime.h"
#include "dialogs/CalendarDlg.h"
#include "platform/fs/Device.h"
#include "platform/registry/Registry.h"
#include "platform/shell/TimedLaunch.h"
#include "res/ResourceIds.h"
#include "support/HeldProfile.h"
#include "support/QuilloScenario.h"

namespace fs = std::filesystem;

namespace {

constexpr const char* kMemo = "\\My Documents\\Quillo\\A.bmp";
constexpr UINT kOneDay = 32840;
constexpr UINT kFiveMinutes = 32813;
constexpr UINT kFiftyFiveMinutes = 32827;

class AlarmCommands : public QuilloScenario {
  protected:
    void StartOnMemo() {
        WriteMemo("A.bmp");
        ASSERT_TRUE(Start());
        ASSERT_EQ(doc->GetPathName(), kMemo);
    }
    static CAlarmDlg* Dialog(ModalRun& run) { return static_cast<CAlarmDlg*>(run.dialog); }
    // The alarm dialog: `fill` sets its fields, then OK is pressed.
    void AnswerAlarm(std::function<void(CAlarmDlg*)> fill) {
        ExpectModal([fill](ModalRun& run) {
            ASSERT_EQ(run.caption, "アラーム");
            fill(Dialog(run));
            run.Press(IDOK);
        });
    }
    void ExpectMessage(const std::string& text) {
        ExpectModal([text](ModalRun& run) {
            EXPECT_EQ(run.kind, ModalRun::Kind::MessageBox);
            EXPECT_EQ(run.text, text);
            run.Answer(IDOK);
        });
    }
    std::string Stored(const char* name) { return app->GetProfileString("MemoNotify", name, "-"); }
    std::string Requested() {
        SYSTEMTIME when{};
        return GetRunAppAtTimeRequest(when) ? FormatAlarmTime(when) : "none";
    }
    AlarmEntry OnlyAlarm() {
        EXPECT_EQ(app->m_alarmStore.GetCount(), 1);
        return app->m_alarmStore.GetCount() > 0 ? app->m_alarmStore.GetAt(0) : AlarmEntry{};
    }
};

}  // namespace

TEST_F(AlarmCommands, ANewAlarmStartsFromNowAndTheDefaultsAndAPastOneShotIsRefused) {
    SetClock(2009, 1, 13, 15, 30, 20);
    StartOnMemo();
    EXPECT_TRUE(app->WriteProfileString("Alerm", "DefaultWaveFile", "Chime"));
    EXPECT_TRUE(app->WriteProfileInt("Alerm", "DefaultWaveRepeat", 1));
    ExpectModal([](ModalRun& run) {
        CAlarmDlg* dialog = Dialog(run);
        EXPECT_EQ(dialog->GetDlgItemText(IDC_ALARM_DATE), "2009/01/13");
        EXPECT_EQ(dialog->GetDlgItemText(IDC_ALARM_HOUR), "15");
        EXPECT_EQ(dialog->GetDlgItemText(IDC_ALARM_MINUTE), "30");
        EXPECT_EQ(dialog->m_repeatList.GetLBText(dialog->m_repeatList.GetCurSel()), "なし");
        EXPECT_EQ(dialog->m_soundList.GetLBText(dialog->m_soundList.GetCurSel()), "Chime");
        EXPECT_EQ(dialog->IsDlgButtonChecked(IDC_ALARM_SOUND_REPEAT), 1);
        run.Press(IDOK);
        EXPECT_TRUE(run.IsOpen()) << "15:30:00 is before 15:30:20";
        dialog->m_repeatList.SetCurSel(2);
        run.Press(IDOK);
        EXPECT_FALSE(run.IsOpen()) << "a repeating alarm may start in the past";
    });
    ExpectMessage("現在より以前です");
    SendCommand(frame, ID_ALARM_CUSTOM);
    ExpectAllModalsAnswered();
    const AlarmEntry alarm = OnlyAlarm();
    EXPECT_EQ(alarm.FileName, kMemo);
    EXPECT_EQ(FormatAlarmTime(alarm.Time), "2009/01/13 15:30");
    EXPECT_EQ(alarm.Repeat, AlarmRepeat::Daily);
    EXPECT_EQ(alarm.WaveFile, "Chime");
    EXPECT_EQ(alarm.WaveRepeat, 1);
    EXPECT_EQ(Stored("Time00"), "2009/01/13 15:30");
    EXPECT_EQ(Requested(), "2009/01/13 15:30") << "a daily alarm of this minute is due now";
}

TEST_F(AlarmCommands, TheDialogReadsDateHourAndMinuteOrSaysWhatIsWrong) {
    SetClock(2009, 1, 1, 0, 0);
    StartOnMemo();
    const struct {
        const char* date;
        const char* hour;
        const char* minute;
        const char* message;  // null: accepted
    } cases[] = {
        {"2009/01", "7", "5", "日付の形式が不正です"},
        {"2009/02/30", "7", "5", "日付の形式が不正です"},
        {"2009/1/5", "24", "5", "0 から 23 までの整数を入力してください。"},
        {"2009/1/5", "7", "60", "0 から 59 までの整数を入力してください。"},
        {"2009/1/5", "7", "5", nullptr},
    };
    for (const auto& c : cases) {
        ExpectModal([&c](ModalRun& run) {
            CAlarmDlg* dialog = Dialog(run);
            dialog->SetDlgItemText(IDC_ALARM_DATE, c.date);
            dialog->SetDlgItemText(IDC_ALARM_HOUR, c.hour);
            dialog->SetDlgItemText(IDC_ALARM_MINUTE, c.minute);
            run.Press(IDOK);
            EXPECT_EQ(run.IsOpen(), c.message != nullptr) << c.date << " " << c.hour;
            if (run.IsOpen()) run.Press(IDCANCEL);
        });
        if (c.message != nullptr) ExpectMessage(c.message);
        SendCommand(frame, ID_ALARM_CUSTOM);
        ExpectAllModalsAnswered();
    }
    EXPECT_EQ(FormatAlarmTime(OnlyAlarm().Time), "2009/01/05 07:05");
}

TEST_F(AlarmCommands, TheCalendarPicksTheDateAndKeepsTheTypedTime) {
    SetClock(2009, 1, 13, 15, 30);
    StartOnMemo();
    AnswerAlarm([this](CAlarmDlg* dialog) {
        dialog->SetDlgItemText(IDC_ALARM_HOUR, "7");
        dialog->SetDlgItemText(IDC_ALARM_MINUTE, "45");
        ExpectModal([](ModalRun& run) {
            EXPECT_EQ(run.caption, "カレンダー");
            auto* calendar = static_cast<CCalendarDlg*>(run.dialog);
            EXPECT_EQ(calendar->m_calendar.GetWindowRect().TopLeft(),
                      calendar->ClientToScreen(CPoint{0, 0}));
            SYSTEMTIME shown{};
            ASSERT_TRUE(calendar->m_calendar.GetCurSel(shown));
            EXPECT_EQ(FormatAlarmTime(shown), "2009/01/13 00:00");
            const auto* widget = static_cast<QCalendarWidget*>(calendar->m_calendar.GetWidget());
            EXPECT_EQ(widget->firstDayOfWeek(), Qt::Sunday);
            const auto* month = widget->findChild<QToolButton*>("qt_calendar_monthbutton");
            ASSERT_NE(month, nullptr);
            EXPECT_EQ(month->text().toStdString(), "1月");
            calendar->m_calendar.SetCurSel(MakeSpan(2009, 2, 14, 0, 0, 0));
            run.Press(IDOK);
        });
        dialog->PressButton(IDC_ALARM_CALENDAR);
        EXPECT_EQ(dialog->GetDlgItemText(IDC_ALARM_DATE), "2009/02/14");
        EXPECT_EQ(dialog->GetDlgItemText(IDC_ALARM_HOUR), "7");
        EXPECT_EQ(dialog->GetDlgItemText(IDC_ALARM_MINUTE), "45");
    });
    SendCommand(frame, ID_ALARM_CUSTOM);
    EXPECT_EQ(FormatAlarmTime(OnlyAlarm().Time), "2009/02/14 07:45");
    EXPECT_EQ(OnlyAlarm().Time.wDayOfWeek, 6);
}

TEST_F(AlarmCommands, TheSoundListIsSortedAVanishedSoundShowsAsNoneAndPlayWaits) {
    SetClock(2009, 1, 13, 15, 30);
    StartOnMemo();
    WriteHostFile(m_device->Host("Windows/alarm2.WAV"), "RIFF");
    fs::create_directories(m_device->Host("Windows/folder.wav"));
    ASSERT_TRUE(app->m_alarmStore.Update([](CAlarmStore& store) {
        store.SetAlarm(kMemo, MakeSpan(2009, 1, 20, 8, 0, 0), AlarmRepeat::None, "Gone", 0);
    }));
    ExpectModal([this](ModalRun& run) {
        CAlarmDlg* dialog = Dialog(run);
        std::vector<std::string> items;
        for (int i = 0; i < dialog->m_soundList.GetCount(); ++i) {
            items.push_back(dialog->m_soundList.GetLBText(i));
        }
        EXPECT_EQ(items, (std::vector<std::string>{"なし", "alarm2", "Beeps", "Bell", "Chime"}));
        EXPECT_EQ(dialog->m_soundList.GetCurSel(), 0) << "the stored sound is gone";
        dialog->PressButton(IDC_ALARM_PLAY);
        EXPECT_TRUE(m_sounds.empty()) << "nothing to play";
        dialog->m_soundList.SetCurSel(1);
        dialog->PressButton(IDC_ALARM_PLAY);
        ASSERT_EQ(m_sounds.size(), 1u);
        EXPECT_EQ(m_sounds[0].path, "\\windows\\alarm2.WAV");
        EXPECT_EQ(m_sounds[0].how, SoundPlay::Wait);
        dialog->m_soundList.SetCurSel(3);
        run.Press(IDOK);
    });
    SendCommand(frame, ID_ALARM_CUSTOM);
    EXPECT_EQ(OnlyAlarm().WaveFile, "Bell");
}

TEST_F(AlarmCommands, QuickAlarmsCountFromThisMinute) {
    const struct {
        SYSTEMTIME now;
        UINT id;
        const char* stored;
    } cases[] = {
        {{2009, 1, 6, 31, 23, 59, 30, 0}, kOneDay, "2009/02/01 23:59"},
        {{2009, 1, 2, 13, 23, 30, 0, 0}, kFiftyFiveMinutes, "2009/01/14 00:25"},
        {{2009, 1, 2, 13, 10, 0, 0, 0}, 32839, "2009/01/13 22:00"},
        {{2009, 1, 2, 13, 10, 0, 0, 0}, 32809, "2009/01/13 10:01"},
    };
    StartOnMemo();
    for (const auto& c : cases) {
        SetFixedLocalTime(&c.now);
        SendCommand(frame, c.id);
        EXPECT_EQ(Stored("Time00"), c.stored) << c.id;
        EXPECT_EQ(Stored("FileName00"), kMemo);
        EXPECT_EQ(Requested(), c.stored) << c.id;
    }
    EXPECT_EQ(app->GetProfileInt("MemoNotify", "Count", -1), 1);
}

TEST_F(AlarmCommands, AQuickAlarmMakesADailyAlarmOneShotWithTheDefaultSound) {
    SetClock(2009, 1, 13, 10, 0);
    StartOnMemo();
    ASSERT_TRUE(app->m_alarmStore.Update([](CAlarmStore& store) {
        store.SetAlarm(kMemo, MakeSpan(2009, 1, 1, 7, 0, 0), AlarmRepeat::Daily, "Bell", 1);
    }));
    EXPECT_TRUE(app->WriteProfileString("Alerm", "DefaultWaveFile", "Beeps"));
    SendCommand(frame, kFiveMinutes);
    const AlarmEntry alarm = OnlyAlarm();
    EXPECT_EQ(alarm.Repeat, AlarmRepeat::None);
    EXPECT_EQ(alarm.WaveFile, "Beeps");
    EXPECT_EQ(alarm.WaveRepeat, 0);
}

TEST_F(AlarmCommands, TheChosenItemIsCheckedForItsMinuteAndNoneWhenThereIsNoAlarm) {
    SetClock(2009, 1, 13, 10, 0, 15);
    StartOnMemo();
    EXPECT_EQ(State(ID_ALARM_NONE).m_nCheck, 1);
    EXPECT_EQ(State(kFiveMinutes).m_nCheck, 0);
    SendCommand(frame, kFiveMinutes);
    EXPECT_EQ(State(kFiveMinutes).m_nCheck, 1);
    EXPECT_EQ(State(kFiveMinutes + 1).m_nCheck, 0);
    EXPECT_EQ(State(ID_ALARM_NONE).m_nCheck, 0);
    // The bell button shows pressed, its tip naming the alarm's time.
    QToolButton* bell = nullptr;
    for (auto* button : frame->m_commandBar.GetWidget()->findChildren<QToolButton*>())
        if (button->property("quillo.command").toUInt() == ID_ALARM_MENU) bell = button;
    ASSERT_NE(bell, nullptr);
    frame->OnIdleUpdateCmdUI();
    EXPECT_TRUE(bell->isChecked());
    EXPECT_EQ(bell->toolTip().toStdString(), "アラーム：2009/01/13 10:05");
    SetClock(2009, 1, 13, 10, 1, 0);
    EXPECT_EQ(State(kFiveMinutes).m_nCheck, 0) << "a minute later it is the 4-minute one";
    EXPECT_EQ(State(kFiveMinutes - 1).m_nCheck, 1);

    SendCommand(frame, ID_ALARM_NONE);
    EXPECT_EQ(app->m_alarmStore.GetCount(), 0);
    EXPECT_EQ(app->GetProfileInt("MemoNotify", "Count", -1), 0);
    EXPECT_EQ(Requested(), "none");
    EXPECT_EQ(State(ID_ALARM_NONE).m_nCheck, 1);
    frame->OnIdleUpdateCmdUI();
    EXPECT_FALSE(bell->isChecked());
    EXPECT_EQ(bell->toolTip().toStdString(), "アラームのメニュー表示");
    SendCommand(frame, ID_ALARM_NONE);  // nothing left to remove
    EXPECT_EQ(app->m_alarmStore.GetCount(), 0);
}

TEST_F(AlarmCommands, TheMenuOpensJustBelowItsButton) {
    StartOnMemo();
    ExpectModal([this](ModalRun& run) {
        ASSERT_EQ(run.kind, ModalRun::Kind::PopupMenu);
        const CRect button = frame->m_commandBar.GetButtonRect(ID_ALARM_MENU);
        const CPoint corner =
            frame->m_commandBar.ClientToScreen(CPoint{button.left, button.bottom});
        EXPECT_EQ(run.point, (CPoint{corner.x, corner.y + 1}));
        ASSERT_GE(run.items.size(), 2u);
        EXPECT_EQ(run.items[0].text, "なし");
        EXPECT_TRUE(run.items[0].checked);
        EXPECT_EQ(run.items[1].text, "カスタム...");
        run.Answer(kOneDay);
    });
    SendCommand(frame, ID_ALARM_MENU);
    EXPECT_EQ(app->m_alarmStore.GetCount(), 1) << "the chosen item runs its command";
}

TEST_F(AlarmCommands, AMemoNeverSavedIsSavedFirstAndAFailedSaveSetsNoAlarm) {
    SetClock(2009, 1, 13, 10, 0);
    ASSERT_TRUE(Start());
    ASSERT_TRUE(doc->GetPathName().empty());
    ExpectModal([](ModalRun& run) {
        EXPECT_EQ(Dialog(run)->m_strFileName, "\\My Documents\\Quillo\\200901131000.bmp");
        Dialog(run)->m_repeatList.SetCurSel(1);
        run.Press(IDOK);
    });
    SendCommand(frame, ID_ALARM_CUSTOM);
    EXPECT_TRUE(fs::exists(HostSaveFolder() / "200901131000.bmp"));
    EXPECT_EQ(OnlyAlarm().FileName, "\\My Documents\\Quillo\\200901131000.bmp");

    SendCommand(frame, ID_FILE_NEW);
    fs::remove_all(HostSaveFolder());
    for (const UINT command : {ID_ALARM_CUSTOM, kOneDay}) {
        ExpectMessage("メモを保存できませんでした。");
        SendCommand(frame, command);
        ExpectAllModalsAnswered();
        EXPECT_EQ(app->m_alarmStore.GetCount(), 1) << command;
        EXPECT_TRUE(doc->GetPathName().empty()) << "no path of a file that is not there";
        EXPECT_TRUE(doc->HasFailedAutoSave());
        EXPECT_FALSE(State(ID_DELETE_MEMO).m_bEnabled);
    }
}

TEST_F(AlarmCommands, AMemoThatCouldNotBeReadGetsItsAlarmAndStaysAsItIs) {
    SetClock(2009, 1, 13, 10, 0);
    fs::create_directories(HostSaveFolder());
    WriteHostFile(HostSaveFolder() / "notes.bmp", "BM and then nothing a picture needs");
    ASSERT_TRUE(Start());
    ASSERT_EQ(doc->m_bitmap.GetBitmap(), nullptr);
    SendCommand(frame, kOneDay);
    ASSERT_EQ(app->m_alarmStore.GetCount(), 1);
    EXPECT_EQ(OnlyAlarm().FileName, "\\My Documents\\Quillo\\notes.bmp");
    EXPECT_EQ(ReadHostFile(HostSaveFolder() / "notes.bmp"), "BM and then nothing a picture needs");
    EXPECT_EQ(doc->GetPathName(), "\\My Documents\\Quillo\\notes.bmp");
}

TEST_F(AlarmCommands, TheMenuAndTheDialogShowWhatAnotherProcessStoredJustNow) {
    SetClock(2009, 1, 13, 15, 30);
    StartOnMemo();
    {
        // A launch that rang nothing of this memo stored its alarm a moment ago.
        auto other = Registry::Open(Device::RegistryFile());
        const std::string section = "Software\\Vornak\\quillo\\MemoNotify";
        EXPECT_TRUE(other->Write(Hive::CurrentUser, section, "Count", 1));
        EXPECT_TRUE(other->Write(Hive::CurrentUser, section, "FileName00", std::string(kMemo)));
        EXPECT_TRUE(
            other->Write(Hive::CurrentUser, section, "Time00", std::string("2009/01/13 15:35")));
    }
    EXPECT_EQ(State(ID_ALARM_NONE).m_nCheck, 0) << "the memo has an alarm now";
    EXPECT_EQ(State(kFiveMinutes).m_nCheck, 1);
    ExpectModal([](ModalRun& run) {
        EXPECT_EQ(Dialog(run)->GetDlgItemText(IDC_ALARM_MINUTE), "35");
        run.Press(IDCANCEL);
    });
    SendCommand(frame, ID_ALARM_CUSTOM);
    ExpectAllModalsAnswered();
}

TEST_F(AlarmCommands, WhereOnlyTheProgramCanRingAnAlarmSettingOneSaysSoOncePerDevice) {
    SetClock(2009, 1, 13, 15, 30);
    StartOnMemo();  // nothing of the system answers: the program itself is the backend
    ExpectMessage("Quillo を終了している間はアラームが鳴りません。次に起動したときに鳴ります。");
    for (int i = 0; i < 2; ++i) {
        SendCommand(frame, kFiveMinutes);
        FinishTimedLaunchRequests();
        // The view's own short look, not the 10-s alarm tick: the message comes at once.
        view->SendMessage(WM_TIMER, kSelfLaunchCheckTimer);
    }
    ExpectAllModalsAnswered();
    EXPECT_EQ(ModalRunsSeen(), 1);
    EXPECT_EQ(app->GetProfileInt("System", "SelfLaunchTold", 0), 1);
}

TEST_F(AlarmCommands, WhileAnotherProcessKeepsTheProfileNoAlarmChangeShowsAsMadeAndItIsSaid) {
    SetClock(2009, 1, 13, 10, 0);
    StartOnMemo();
    SendCommand(frame, kFiveMinutes);
    {
        const HeldProfile held(m_device->Directory());
        for (const UINT command : {kOneDay, static_cast<UINT>(ID_ALARM_NONE)}) {
            ExpectMessage("アラームを設定できませんでした。");
            SendCommand(frame, command);
            ExpectAllModalsAnswered();
            EXPECT_EQ(State(kFiveMinutes).m_nCheck, 1) << command << ": what is stored shows";
            EXPECT_EQ(State(kOneDay).m_nCheck, 0) << command;
        }
    }
    SendCommand(frame, kOneDay);
    EXPECT_EQ(State(kOneDay).m_nCheck, 1) << "once it is free again, it is stored";
    EXPECT_EQ(Stored("Time00"), "2009/01/14 10:00");
}

TEST_F(AlarmCommands, TheAlarmListShowsEveryAlarmSoonestFirstAndOpensOrRemovesOne) {
    SetClock(2009, 1, 13, 15, 30);
    for (const char* name : {"A.bmp", "B.bmp", "C.bmp", "D.bmp"}) WriteMemo(name);
    ASSERT_TRUE(Start());
    const auto memo = [](const char* title) {
        return std::string("\\My Documents\\Quillo\\") + title;
    };
    ASSERT_TRUE(app->m_alarmStore.Update([&](CAlarmStore& store) {
        store.SetAlarm(memo("A.bmp"), MakeSpan(2009, 1, 10, 8, 0, 0), AlarmRepeat::Daily, "", 0);
        store.SetAlarm(memo("B.bmp"), MakeSpan(2009, 1, 13, 16, 0, 0), AlarmRepeat::None, "Chime",
                       1);
        store.SetAlarm(memo("C.bmp"), MakeSpan(2009, 1, 6, 15, 45, 0), AlarmRepeat::Weekly, "", 0);
        store.SetAlarm(memo("D.bmp"), MakeSpan(2009, 1, 13, 9, 10, 0), AlarmRepeat::Hourly, "", 0);
    }));
    const std::string left = doc->GetPathName();
    Stroke({{10, 10}, {60, 10}});
    const auto rows = [](CAlarmListDlg* dialog) {
        std::vector<std::string> shown;
        for (int row = 0; row < dialog->m_list.GetItemCount(); ++row) {
            std::string line;
            for (int column = 0; column < 4; ++column)
                line += (column > 0 ? " | " : "") + dialog->m_list.GetItemText(row, column);
            shown.push_back(line);
        }
        return shown;
    };
    // A row chosen as the toolkit delivers a tap on it.
    const auto tap = [](CAlarmListDlg* dialog, int row) {
        auto* list = qobject_cast<QTreeWidget*>(dialog->m_list.GetWidget());
        const QRect at = list->visualItemRect(list->topLevelItem(row));
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, at.center());
    };
    ExpectModal([&](ModalRun& run) {
        ASSERT_EQ(run.caption, "アラーム一覧");
        auto* dialog = static_cast<CAlarmListDlg*>(run.dialog);
        EXPECT_EQ(rows(dialog), (std::vector<std::string>{
                                    "C | 2009/01/13 15:45 | 週単位 | なし",
                                    "B | 2009/01/13 16:00 | なし | Chime",
                                    "D | 2009/01/13 16:10 | 時間単位 | なし",
                                    "A | 2009/01/14 08:00 | 日単位 | なし",
                                }));
        tap(dialog, 1);
        run.Press(IDC_ALARM_LIST_DELETE);
        EXPECT_EQ(rows(dialog).size(), 3u);
        EXPECT_EQ(app->m_alarmStore.FindByFile(memo("B.bmp")), -1);
        {
            // Another process takes D's alarm meanwhile: the open list follows.
            auto other = Registry::Open(Device::RegistryFile());
            const std::string section = "Software\\Vornak\\quillo\\MemoNotify";
            EXPECT_TRUE(other->Write(Hive::CurrentUser, section, "Count", 1));
            EXPECT_TRUE(other->Write(Hive::CurrentUser, section, "FileName00", memo("A.bmp")));
            EXPECT_TRUE(other->Write(Hive::CurrentUser, section, "Time00",
                                     std::string("2009/01/10 08:00")));
            EXPECT_TRUE(other->Write(Hive::CurrentUser, section, "Repeat00", 2));
        }
        EXPECT_TRUE(QTest::qWaitFor([&] { return rows(dialog).size() == 1; }, 5000));
        tap(dialog, 0);
        run.Press(IDOK);
    });
    ExpectModal([](ModalRun& run) {
        EXPECT_EQ(run.text, "B のアラームを削除してよろしいですか？");
        EXPECT_EQ(run.type, MB_YESNO | MB_ICONQUESTION);
        run.Answer(IDYES);
    });
    SendCommand(frame, ID_ALARM_LIST);
    ExpectAllModalsAnswered();
    EXPECT_EQ(doc->GetPathName(), memo("A.bmp")) << "開く opens the memo";
    CMemoBitmap saved;
    ASSERT_TRUE(saved.LoadFile(left));
    EXPECT_EQ(saved.GetBitmap()->GetSurface()->GetPixelValue(30, 10), 0u)
        << "the memo left was saved as any leave saves it";
}
