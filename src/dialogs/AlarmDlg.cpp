#include "dialogs/AlarmDlg.h"

#include <algorithm>

#include "alarm/AlarmTime.h"
#include "dialogs/CalendarDlg.h"
#include "dialogs/SoundList.h"
#include "platform/base/Format.h"
#include "platform/base/Text.h"
#include "platform/fs/Device.h"
#include "platform/shell/Sound.h"
#include "platform/ui/DataExchange.h"
#include "platform/ui/ModalRun.h"
#include "res/ResourceIds.h"

namespace {

std::string DateText(const SYSTEMTIME& time) {
    return Format("%d/%02d/%02d", time.wYear, time.wMonth, time.wDay);
}

}  // namespace

// clang-format off
BEGIN_MESSAGE_MAP(CAlarmDlg, CDialog)
    on::Command(IDC_ALARM_CALENDAR, &CAlarmDlg::OnCalendar),
    on::Command(IDC_ALARM_PLAY, &CAlarmDlg::OnPlay),
END_MESSAGE_MAP()
// clang-format on

CAlarmDlg::CAlarmDlg() : CDialog(IDD_ALARM) {}

bool CAlarmDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    for (const char* name : kRepeatNames) m_repeatList.AddString(name);
    m_strDate = DateText(m_time);
    m_nHour = m_time.wHour;
    m_nMinute = m_time.wMinute;
    const auto repeat = static_cast<int>(m_repeat);
    // A repeat unit the program does not know (a hand-edited profile) shows as none.
    m_nRepeat = repeat >= 0 && repeat < static_cast<int>(std::size(kRepeatNames)) ? repeat : 0;
    m_nSoundRepeat = m_bSoundRepeat ? 1 : 0;
    FillSoundList();
    m_hourSpin.SetRange(0, 23);
    m_minuteSpin.SetRange(0, 59);
    m_hourSpin.SetPos(m_nHour);
    m_minuteSpin.SetPos(m_nMinute);
    (void)UpdateData(false);  // filling the controls refuses nothing
    return true;
}

void CAlarmDlg::DoDataExchange(CDataExchange* exchange) {
    DDX_Control(exchange, IDC_ALARM_REPEAT, m_repeatList);
    DDX_Control(exchange, IDC_ALARM_HOUR_SPIN, m_hourSpin);
    DDX_Control(exchange, IDC_ALARM_MINUTE_SPIN, m_minuteSpin);
    DDX_Control(exchange, IDC_ALARM_SOUND, m_soundList);
    DDX_Text(exchange, IDC_ALARM_DATE, m_strDate);
    DDX_Text(exchange, IDC_ALARM_HOUR, m_nHour);
    // Without this an hour of 24 or more would make a time that never comes.
    DDV_MinMaxInt(exchange, m_nHour, 0, 23);
    DDX_Text(exchange, IDC_ALARM_MINUTE, m_nMinute);
    DDV_MinMaxInt(exchange, m_nMinute, 0, 59);
    DDX_CBIndex(exchange, IDC_ALARM_REPEAT, m_nRepeat);
    DDX_Check(exchange, IDC_ALARM_SOUND_REPEAT, m_nSoundRepeat);
}

void CAlarmDlg::FillSoundList() {
    m_soundFiles = FindSoundFiles();
    ::FillSoundList(m_soundList, m_soundFiles, m_strSound);
}

void CAlarmDlg::OnCalendar() {
    if (!UpdateData(true)) return;
    CCalendarDlg calendar;
    calendar.m_date = m_time;
    if (calendar.DoModal() != IDOK) return;
    m_time = calendar.m_date;
    m_strDate = DateText(m_time);
    (void)UpdateData(false);  // filling the controls refuses nothing
}

void CAlarmDlg::OnPlay() {
    PlaySoundAt(m_soundFiles, m_soundList.GetCurSel());
}

void CAlarmDlg::OnOK() {
    if (!UpdateData(true)) return;
    SYSTEMTIME time = m_time;
    // A date the calendar does not have (2009/02/30) is as malformed as a missing "/".
    if (!ParseAlarmTime(m_strDate + Format(" %02d:%02d", m_nHour, m_nMinute), time) ||
        !IsRealInstant(time)) {
        AfxMessageBox("日付の形式が不正です", MB_OK);
        return;
    }
    m_time = time;
    if (m_nRepeat <= 0 && IsEarlier(m_time, GetLocalTime())) {
        AfxMessageBox("現在より以前です", MB_OK);
        return;
    }
    m_strSound = SoundAt(m_soundFiles, m_soundList.GetCurSel());
    m_repeat = static_cast<AlarmRepeat>(std::max(m_nRepeat, 0));
    m_bSoundRepeat = m_nSoundRepeat != 0;
    EndDialog(IDOK);
}
