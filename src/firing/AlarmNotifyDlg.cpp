#include "firing/AlarmNotifyDlg.h"

#include "app/QuilloApp.h"
#include "firing/SnoozeDlg.h"
#include "platform/shell/Sound.h"
#include "platform/ui/ModalRun.h"
#include "res/ResourceIds.h"

namespace {

constexpr UINT kFrontTimer = 301;
constexpr UINT kFrontPeriodMs = 1000;

}  // namespace

std::string SoundPath(const std::string& sound) {
    return "\\windows\\" + sound + ".wav";
}

// clang-format off
BEGIN_MESSAGE_MAP(CAlarmNotifyDlg, CDialog)
    on::Timer(&CAlarmNotifyDlg::OnTimer),
    on::Command(IDC_NOTIFY_SNOOZE, &CAlarmNotifyDlg::OnSnooze),
    on::Command(IDC_NOTIFY_DELETE, &CAlarmNotifyDlg::OnDelete),
    on::Destroy(&CAlarmNotifyDlg::OnDestroy),
END_MESSAGE_MAP()
// clang-format on

CAlarmNotifyDlg::CAlarmNotifyDlg() : CAlarmNotifyDlg(IDD_ALARM_NOTIFY) {}

CAlarmNotifyDlg::CAlarmNotifyDlg(UINT templateId) : CDialog(templateId) {}

CAlarmNotifyWideDlg::CAlarmNotifyWideDlg() : CAlarmNotifyDlg(IDD_ALARM_NOTIFY_WIDE) {}

bool CAlarmNotifyDlg::OnInitDialog() {
    m_picture.LoadMemo(m_strFileName);
    m_picture.SubclassDlgItem(IDC_NOTIFY_PICTURE, this);
    CDialog::OnInitDialog();
    if (!m_strSound.empty()) {
        PlaySoundFile(SoundPath(m_strSound), m_bSoundRepeat ? SoundPlay::Loop : SoundPlay::Once);
    }
    m_strTitle = CQuilloApp::GetMemoTitle(m_strFileName);
    SetDlgItemText(IDC_NOTIFY_TITLE, m_strTitle);
    MoveKeepingSize(CPoint{0, 0});
    // On a desktop of many windows the notice must not get lost behind them.
    SetTopMost(true);
    // A user typing in another program keeps the keyboard: a Space or Enter meant for it
    // would press a button here and the alarm would be gone unseen.
    m_bTookKeyboard = IsProgramActive();
    if (m_bTookKeyboard) {
        SetForegroundWindow();
    } else {
        ShowWithoutActivating();
        BringWindowToTop();
        FlashWindow();
    }
    // A compositor may give it the keyboard anyway while the user types elsewhere.
    HoldKeysUntilQuiet();
    m_bTimerStopped = false;
    SetTimer(kFrontTimer, kFrontPeriodMs);
    return true;
}

void CAlarmNotifyDlg::OnTimer(UINT id) {
    if (id == kFrontTimer) BringWindowToTop();
}

void CAlarmNotifyDlg::StopFrontTimer() {
    if (m_bTimerStopped) return;
    KillTimer(kFrontTimer);
    SetTopMost(false);
    m_bTimerStopped = true;
}

void CAlarmNotifyDlg::OnSnooze() {
    StopFrontTimer();
    CSnoozeDlg snooze;
    if (snooze.DoModal() != IDOK) return;
    m_bSnooze = true;
    m_snoozeSpan = snooze.m_span;
    EndDialog(IDCANCEL);
}

void CAlarmNotifyDlg::OnDelete() {
    StopFrontTimer();
    if (AfxMessageBox(m_strTitle + " を削除してよろしいですか？", MB_YESNO | MB_ICONQUESTION) !=
        IDYES) {
        return;
    }
    // A memo that could not be deleted is still the one this notice is about.
    if (QuilloApp()->DeleteMemo(m_strFileName)) EndDialog(IDCANCEL);
}

void CAlarmNotifyDlg::OnDestroy() {
    StopFrontTimer();
    if (!m_strSound.empty()) StopSound();
    CDialog::OnDestroy();
}
