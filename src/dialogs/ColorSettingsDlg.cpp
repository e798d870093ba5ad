#include "dialogs/ColorSettingsDlg.h"

#include "res/ResourceIds.h"

// clang-format off
BEGIN_MESSAGE_MAP(CColorSettingsDlg, CDialog)
    on::Command(IDC_COLOR_PEN, &CColorSettingsDlg::OnPenButton),
    on::Command(IDC_COLOR_BACK, &CColorSettingsDlg::OnBackButton),
END_MESSAGE_MAP()
// clang-format on

CColorSettingsDlg::CColorSettingsDlg() : CDialog(IDD_COLOR_SETTINGS) {}

bool CColorSettingsDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    m_penButton.Attach(GetDlgItem(IDC_COLOR_PEN)->GetWidget(), this, IDC_COLOR_PEN);
    m_backButton.Attach(GetDlgItem(IDC_COLOR_BACK)->GetWidget(), this, IDC_COLOR_BACK);
    m_penButton.m_crColor = m_crPen;
    m_backButton.m_crColor = m_crBack;
    return true;
}

void CColorSettingsDlg::OnOK() {
    m_crPen = m_penButton.m_crColor;
    m_crBack = m_backButton.m_crColor;
    CDialog::OnOK();
}
