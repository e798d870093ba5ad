#include "dialogs/InputDlg.h"

#include "platform/ui/DataExchange.h"
#include "res/ResourceIds.h"

CInputDlg::CInputDlg() : CDialog(IDD_INPUT) {}

bool CInputDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    CenterWindow();
    return true;
}

void CInputDlg::DoDataExchange(CDataExchange* exchange) {
    DDX_Text(exchange, IDC_INPUT_TEXT, m_strText);
    DDX_Text(exchange, IDC_INPUT_MESSAGE, m_strMessage);
}
