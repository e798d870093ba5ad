#include "firing/AlarmFiring.h"

#include <memory>
#include <optional>

#include "alarm/AlarmSchedule.h"
#include "alarm/AlarmTime.h"
#include "app/QuilloApp.h"
#include "firing/AlarmNotifyDlg.h"
#include "platform/shell/DesktopNotification.h"
#include "platform/shell/Screen.h"
#include "platform/shell/Sound.h"
#include "platform/shell/Termination.h"
#include "platform/shell/TimedLaunch.h"
#include "platform/ui/ModalRun.h"
#include "settings/ProfileValues.h"

namespace {

constexpr const char* kNoticeSummary = "Quillo（アラーム）";

bool StoreAgain(const AlarmEntry& entry, const SYSTEMTIME& time) {
    return QuilloApp()->m_alarmStore.Update([&](CAlarmStore& store) {
        store.SetAlarm(entry.FileName, time, entry.Repeat, entry.WaveFile, entry.WaveRepeat);
    });
}

// Ended by a logout with the notice open: the open memo is saved (or rescued) as it would
// be without a notice, and the alarm goes back as it was, for the next launch to ring it.
// Nobody is left to be told when that fails.
std::function<void()> EndedWhileOpen(const AlarmEntry& entry) {
    return [entry] {
        QuilloApp()->OnEndSession();
        // Nobody is left to tell when it cannot be stored.
        (void)StoreAgain(entry, entry.Time);
    };
}

// Shows the notice of `entry` (or, without notices, plays its sound); `unfinished` runs
// when the process is told to end while the notice is open.
AlarmOutcome Ring(const AlarmEntry& entry, const SYSTEMTIME& due, int notifyDialog,
                  const std::function<void()>& unfinished) {
    // Also on another workspace, or with no notice at all, the desktop tells of the alarm,
    // and of when it was due: a late one says so.
    PostDesktopNotification(kNoticeSummary,
                            CQuilloApp::GetMemoTitle(entry.FileName) + "\n" + FormatAlarmTime(due));
    if (notifyDialog == 0) {
        // An alarm without a sound has nothing to play, not a file named ".wav".
        if (!entry.WaveFile.empty()) PlaySoundFile(SoundPath(entry.WaveFile), SoundPlay::Once);
        return AlarmOutcome::Sounded;
    }
    const bool portrait = GetSystemMetrics(SM_CXSCREEN) < GetSystemMetrics(SM_CYSCREEN);
    const std::unique_ptr<CAlarmNotifyDlg> made =
        portrait ? std::make_unique<CAlarmNotifyDlg>() : std::make_unique<CAlarmNotifyWideDlg>();
    CAlarmNotifyDlg& notice = *made;
    notice.m_strFileName = entry.FileName;
    notice.m_strSound = entry.WaveFile;
    notice.m_bSoundRepeat = entry.WaveRepeat != 0;
    int result = IDCANCEL;
    {
        ScopedTerminationHandler whileOpen(unfinished);
        result = notice.DoModal();
    }
    if (result != IDOK) {
        if (notice.m_bSnooze) {
            SYSTEMTIME again = CurrentMinute();
            TellIfAlarmNotStored(StoreAgain(entry, AddSpan(again, notice.m_snoozeSpan)));
        }
        return AlarmOutcome::Closed;
    }
    if (!entry.WaveFile.empty()) StopSound();
    return AlarmOutcome::Open;
}

// The minute `entry` rang for: a one-shot alarm's own; for a repeating one the occurrence,
// the one the launch was requested for when that is it, else the launch's minute.
SYSTEMTIME DueMinute(const AlarmEntry& entry, const SYSTEMTIME& now,
                     const std::optional<SYSTEMTIME>& requested) {
    if (entry.Repeat == AlarmRepeat::None) return entry.Time;
    if (requested && !IsLater(*requested, now) &&
        IsSameTime(NextOccurrence(entry, *requested), *requested)) {
        return *requested;
    }
    return NextOccurrence(entry, now);
}

}  // namespace

FiredAlarm FireLaunchAlarm(const SYSTEMTIME& launchMinute, int notifyDialog) {
    CAlarmStore& store = QuilloApp()->m_alarmStore;
    // Read before the take, which requests the next alarm.
    std::optional<SYSTEMTIME> requested;
    if (SYSTEMTIME when{}; GetRunAppAtTimeRequest(when)) requested = when;
    bool stored = true;
    const auto taken = store.TakeDue(
        [&](const CAlarmStore& latest) { return latest.FindDue(launchMinute); }, &stored);
    if (!taken) {
        // Loading may have dropped alarms of deleted memos: what is left is stored and the
        // next of it requested, or the used request would leave it unrequested. Nothing the
        // user asked for is lost when that fails.
        (void)store.Update([](CAlarmStore&) {});
        return {};
    }
    const AlarmEntry entry = *taken;
    const AlarmOutcome outcome =
        Ring(entry, DueMinute(entry, launchMinute, requested), notifyDialog, EndedWhileOpen(entry));
    // It rang: that it stays stored (and rings again at a later start) is said once heard.
    TellIfAlarmNotStored(stored);
    return {outcome, entry};
}

void TellIfAlarmNotStored(bool stored) {
    if (!stored) AfxMessageBox("アラームを設定できませんでした。", MB_OK | MB_ICONEXCLAMATION);
}

FiredAlarm FireRunningAlarm(const SYSTEMTIME& now) {
    CAlarmStore& store = QuilloApp()->m_alarmStore;
    const auto due = [&](const CAlarmStore& latest) {
        return FindRunningDue(latest.Entries(), now);
    };
    store.ReadAgainIfChanged();
    if (due(store) < 0) return {};
    bool stored = true;
    const auto taken = store.TakeDue(due, &stored);
    if (!taken) return {};
    // The main window is not brought forward: the notice stands in front of it anyway.
    const AlarmEntry entry = *taken;
    const AlarmOutcome outcome =
        Ring(entry, DueMinute(entry, now, std::nullopt),
             QuilloApp()->GetProfileInt(profile::kNotifyDialog), EndedWhileOpen(entry));
    TellIfAlarmNotStored(stored);
    return {outcome, entry};
}
