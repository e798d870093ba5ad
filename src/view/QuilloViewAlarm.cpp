// The view's alarm commands: the alarm dialog, the quick alarm menu under its tool bar
// button (pressed while the memo has an alarm), the quick alarms themselves, removing the
// memo's alarm, and the list of all alarms.
#include "alarm/AlarmSchedule.h"
#include "alarm/AlarmTime.h"
#include "app/QuilloApp.h"
#include "dialogs/AlarmDlg.h"
#include "dialogs/AlarmListDlg.h"
#include "firing/AlarmFiring.h"
#include "memo/QuilloDoc.h"
#include "platform/shell/TimedLaunch.h"
#include "platform/ui/CmdUI.h"
#include "platform/ui/DocTemplate.h"
#include "platform/ui/ModalRun.h"
#include "res/ResourceIds.h"
#include "settings/ProfileValues.h"
#include "view/QuilloView.h"

namespace {

constexpr int kAlarmPopup = 2;  // of the view's pop-up menus

// How far ahead a quick alarm rings: 1 to 10 minutes, 15 to 55 minutes in fives, 1 to 12
// hours, 1 to 10 days.
SYSTEMTIME QuickAlarmOffset(UINT id) {
    const int n = static_cast<int>(id);
    if (id <= 32818) return MakeSpan(0, 0, 0, 0, n - 32808, 0);
    if (id <= 32827) return MakeSpan(0, 0, 0, 0, 5 * (n - 32816), 0);
    if (id <= 32839) return MakeSpan(0, 0, 0, n - 32827, 0, 0);
    return MakeSpan(0, 0, n - 32839, 0, 0, 0);
}

SYSTEMTIME QuickAlarmTime(UINT id) {
    SYSTEMTIME time = CurrentMinute();
    return AddSpan(time, QuickAlarmOffset(id));
}

std::string DefaultSound() {
    return QuilloApp()->GetProfileString(profile::kDefaultWaveFile);
}

int DefaultSoundRepeat() {
    return QuilloApp()->GetProfileInt(profile::kDefaultWaveRepeat);
}

}  // namespace

void CQuilloView::StoreAlarm(const AlarmEntry& alarm) {
    // Over what the store holds now; it schedules again.
    const bool stored = QuilloApp()->m_alarmStore.Update([&](CAlarmStore& store) {
        store.SetAlarm(alarm.FileName, alarm.Time, alarm.Repeat, alarm.WaveFile, alarm.WaveRepeat);
    });
    TellIfAlarmNotStored(stored);
    if (!stored) return;
    m_bSelfLaunchToTell = QuilloApp()->GetProfileInt(profile::kSelfLaunchTold) != 1;
    if (m_bSelfLaunchToTell) SetTimer(kSelfLaunchCheckTimer, kSelfLaunchCheckPeriodMs);
}

void CQuilloView::TellOfSelfLaunchOnce() {
    // The record names the backend chosen for this alarm only once the background work
    // has handed it over; until then it may still name an earlier choice.
    if (TimedLaunchRequestsPending()) return;
    KillTimer(kSelfLaunchCheckTimer);
    if (!m_bSelfLaunchToTell) return;
    const std::string backend = GetRunAppAtTimeBackend();
    m_bSelfLaunchToTell = false;
    if (backend != "self" || QuilloApp()->GetProfileInt(profile::kSelfLaunchTold) == 1) return;
    // Unremembered, it is only said once more.
    (void)QuilloApp()->WriteProfileInt(profile::kSelfLaunchTold, 1);
    AfxMessageBox("Quillo を終了している間はアラームが鳴りません。次に起動したときに鳴ります。",
                  MB_OK);
}

std::string CQuilloView::SaveToDisk() {
    // An alarm names a file, a rename moves one: only a memo on disk can have either.
    const std::string path = GetDocument()->SaveAndGetPath();
    if (path.empty()) AfxMessageBox("メモを保存できませんでした。", MB_OK | MB_ICONEXCLAMATION);
    return path;
}

int CQuilloView::FindAlarmOfMemo() const {
    const std::string& path = GetDocument()->GetPathName();
    CAlarmStore& store = QuilloApp()->m_alarmStore;
    // What another process stored since (a launch that rang it, another window) shows.
    store.ReadAgainIfChanged();
    return path.empty() ? -1 : store.FindByFile(path);
}

void CQuilloView::OnAlarmCustom() {
    CQuilloDoc* doc = GetDocument();
    std::string path = doc->GetPathName();
    // A memo never saved is saved too, so the alarm never names no file.
    if (doc->IsModified() || path.empty()) {
        path = SaveToDisk();
        if (path.empty()) return;
    }
    CAlarmDlg dialog;
    dialog.m_strFileName = path;
    dialog.m_time = CurrentMinute();
    dialog.m_repeat = AlarmRepeat::None;
    dialog.m_strSound = DefaultSound();
    dialog.m_bSoundRepeat = DefaultSoundRepeat() != 0;
    CAlarmStore& store = QuilloApp()->m_alarmStore;
    store.ReadAgainIfChanged();
    if (const int found = store.FindByFile(path); found >= 0) {
        const AlarmEntry alarm = store.GetAt(found);
        dialog.m_time = alarm.Time;
        dialog.m_repeat = alarm.Repeat;
        dialog.m_strSound = alarm.WaveFile;
        dialog.m_bSoundRepeat = alarm.WaveRepeat != 0;
    }
    if (dialog.DoModal() != IDOK) return;
    StoreAlarm(
        {path, dialog.m_time, dialog.m_repeat, dialog.m_strSound, dialog.m_bSoundRepeat ? 1 : 0});
}

void CQuilloView::OnAlarmMenu() {
    PopUpUnderButton(ID_ALARM_MENU, kAlarmPopup);
}

void CQuilloView::OnUpdateAlarmMenu(CCmdUI* ui) {
    const int found = FindAlarmOfMemo();
    if (found < 0) return;
    ui->SetCheck(1);
    const AlarmEntry alarm = QuilloApp()->m_alarmStore.GetAt(found);
    const SYSTEMTIME next = NextOccurrence(alarm, CurrentMinute());
    if (IsRealInstant(next)) ui->SetText("アラーム：" + FormatAlarmTime(next));
}

void CQuilloView::OnAlarmList() {
    CAlarmListDlg dialog;
    if (dialog.DoModal() != IDOK) return;
    // The memo on screen stays as it is, history and all.
    if (dialog.m_strChosenFile == GetDocument()->GetPathName()) return;
    // A memo that cannot be left said so, and stays.
    (void)QuilloApp()->m_pDocTemplate->OpenDocumentFile(dialog.m_strChosenFile);
}

void CQuilloView::OnQuickAlarm(UINT id) {
    const SYSTEMTIME time = QuickAlarmTime(id);
    const std::string path = SaveToDisk();
    if (path.empty()) return;
    StoreAlarm({path, time, AlarmRepeat::None, DefaultSound(), DefaultSoundRepeat()});
}

void CQuilloView::OnUpdateQuickAlarm(CCmdUI* ui) {
    const int found = FindAlarmOfMemo();
    if (found < 0) return;
    const AlarmEntry alarm = QuilloApp()->m_alarmStore.GetAt(found);
    ui->SetCheck(IsSameTime(QuickAlarmTime(ui->m_nID), alarm.Time) ? 1 : 0);
}

void CQuilloView::OnAlarmNone() {
    if (FindAlarmOfMemo() < 0) return;
    const std::string path = GetDocument()->GetPathName();
    TellIfAlarmNotStored(QuilloApp()->m_alarmStore.Update(
        [&](CAlarmStore& store) { store.RemoveAt(store.FindByFile(path)); }));
}

void CQuilloView::OnUpdateAlarmNone(CCmdUI* ui) {
    ui->SetCheck(FindAlarmOfMemo() < 0 ? 1 : 0);
}

void CQuilloView::OnTimer(UINT id) {
    if (id == kSelfLaunchCheckTimer) TellOfSelfLaunchOnce();
    if (id != kAlarmCheckTimer) return;
    const FiredAlarm fired = FireRunningAlarm(CurrentMinute());
    // "開く" shows the memo; the memo on screen is saved first, as every leave saves it.
    if (fired.outcome == AlarmOutcome::Open) {
        // A memo that cannot be left said so, and stays.
        (void)QuilloApp()->m_pDocTemplate->OpenDocumentFile(fired.entry.FileName);
    }
}
