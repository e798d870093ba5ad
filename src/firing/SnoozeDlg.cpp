#include "firing/SnoozeDlg.h"

#include "alarm/AlarmTime.h"
#include "platform/ui/DataExchange.h"
#include "res/ResourceIds.h"

CSnoozeDlg::CSnoozeDlg() : CDialog(IDD_SNOOZE) {}

bool CSnoozeDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    for (const char* unit : {"分", "時間", "日"}) m_unitList.AddString(unit);
    m_unitList.SetCurSel(0);
    m_spin.SetRange(1, 60);
    m_spin.SetPos(m_nCount);
    return true;
}

void CSnoozeDlg::DoDataExchange(CDataExchange* exchange) {
    DDX_Control(exchange, IDC_SNOOZE_SPIN, m_spin);
    DDX_Control(exchange, IDC_SNOOZE_UNIT, m_unitList);
    DDX_Text(exchange, IDC_SNOOZE_COUNT, m_nCount);
    DDV_MinMaxInt(exchange, m_nCount, 1, 60);
}

void CSnoozeDlg::OnOK() {
    if (!UpdateData(true)) return;
    switch (m_unitList.GetCurSel()) {
        case 0:
            m_span = MakeSpan(0, 0, 0, 0, m_nCount, 0);
            break;
        case 1:
            m_span = MakeSpan(0, 0, 0, m_nCount, 0, 0);
            break;
        case 2:
            m_span = MakeSpan(0, 0, m_nCount, 0, 0, 0);
            break;
        default:
            break;
    }
    EndDialog(IDOK);
}
