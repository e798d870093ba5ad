#include "dialogs/WidthDlg.h"

#include "platform/ui/DataExchange.h"
#include "res/ResourceIds.h"

namespace {

constexpr int kMinimumWidth = 1;
constexpr int kMaximumWidth = 500;

}  // namespace

CWidthDlg::CWidthDlg() : CDialog(IDD_WIDTH) {}

bool CWidthDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    m_spin.SetRange(kMinimumWidth, kMaximumWidth);
    m_spin.SetPos(m_nWidth);
    if (m_nMode == kPen) SetWindowText("ペン幅の設定");
    if (m_nMode == kEraser) SetWindowText("消しゴム幅の設定");
    return true;
}

void CWidthDlg::DoDataExchange(CDataExchange* exchange) {
    DDX_Control(exchange, IDC_WIDTH_SPIN, m_spin);
    DDX_Text(exchange, IDC_WIDTH_EDIT, m_nWidth);
    DDV_MinMaxInt(exchange, m_nWidth, kMinimumWidth, kMaximumWidth);
}
