#include "dialogs/RenameDlg.h"

#include "platform/ui/DataExchange.h"
#include "res/ResourceIds.h"

CRenameDlg::CRenameDlg() : CDialog(IDD_RENAME) {}

bool CRenameDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    CenterWindow();
    return true;
}

void CRenameDlg::DoDataExchange(CDataExchange* exchange) {
    DDX_Text(exchange, IDC_RENAME_OLD, m_strOldName);
    DDX_Text(exchange, IDC_RENAME_NEW, m_strNewName);
}
