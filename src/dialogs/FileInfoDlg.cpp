#include "dialogs/FileInfoDlg.h"

#include "platform/ui/DataExchange.h"
#include "res/ResourceIds.h"

CFileInfoDlg::CFileInfoDlg() : CDialog(IDD_FILE_INFO) {}

bool CFileInfoDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    CenterWindow();
    return true;
}

void CFileInfoDlg::DoDataExchange(CDataExchange* exchange) {
    DDX_Text(exchange, IDC_INFO_INDEX, m_strIndex);
    DDX_Text(exchange, IDC_INFO_FILE_NAME, m_strFileName);
    DDX_Text(exchange, IDC_INFO_SIZE, m_strSize);
    DDX_Text(exchange, IDC_INFO_UPDATED, m_strUpdated);
}
