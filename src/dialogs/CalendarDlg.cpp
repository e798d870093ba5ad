#include "dialogs/CalendarDlg.h"

#include "alarm/AlarmTime.h"
#include "res/ResourceIds.h"

CCalendarDlg::CCalendarDlg() : CDialog(IDD_CALENDAR) {}

bool CCalendarDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    m_calendar.Create(this, CPoint{0, 0}, IDC_CALENDAR);
    const CRect size = m_calendar.GetMinReqRect();
    m_calendar.MoveWindow(CRect{0, 0, size.Width(), size.Height()});
    m_calendar.SetCurSel(m_date);
    return true;
}

void CCalendarDlg::OnOK() {
    SYSTEMTIME picked{};
    if (m_calendar.GetCurSel(picked))
        m_date = MakeSpan(picked.wYear, picked.wMonth, picked.wDay, 0, 0, 0);
    CDialog::OnOK();
}
