#pragma once

#include <string>
#include <vector>

#include "alarm/AlarmEntry.h"
#include "platform/ui/Controls.h"
#include "platform/ui/Dialog.h"

// Sets or changes the alarm of one memo: date (typed, or picked on a calendar), hour and
// minute, repeat unit, sound and whether the sound repeats.
class CAlarmDlg : public CDialog {
    DECLARE_MESSAGE_MAP()

  public:
    CAlarmDlg();
    bool OnInitDialog() override;
    void DoDataExchange(CDataExchange* exchange) override;
    void OnOK() override;

    std::string m_strFileName;
    SYSTEMTIME m_time{};
    AlarmRepeat m_repeat = AlarmRepeat::None;
    std::string m_strSound;
    bool m_bSoundRepeat = false;
    std::vector<std::string> m_soundFiles;
    CComboBox m_repeatList;
    CSpinButtonCtrl m_hourSpin;
    CSpinButtonCtrl m_minuteSpin;
    CComboBox m_soundList;
    std::string m_strDate;
    int m_nHour = 0;
    int m_nMinute = 0;
    int m_nRepeat = -1;
    int m_nSoundRepeat = 0;

  private:
    void FillSoundList();
    void OnCalendar();
    void OnPlay();
};
