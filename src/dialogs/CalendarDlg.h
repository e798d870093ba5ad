#pragma once

#include "platform/base/Time.h"
#include "platform/ui/Controls.h"
#include "platform/ui/Dialog.h"

// Picks a date on a month calendar; the date comes back at 00:00.
class CCalendarDlg : public CDialog {
  public:
    CCalendarDlg();
    bool OnInitDialog() override;
    void OnOK() override;

    CMonthCalCtrl m_calendar;
    SYSTEMTIME m_date{};  // in and out
};
