#include "dialogs/FolderDlg.h"

#include "dialogs/InputDlg.h"
#include "platform/ui/DataExchange.h"
#include "res/ResourceIds.h"

// clang-format off
BEGIN_MESSAGE_MAP(CFolderDlg, CDialog)
    on::NotifyWithData(TVN_ITEMEXPANDING, IDC_FOLDER_TREE, &CFolderDlg::OnItemExpanding),
    on::NotifyWithData(NM_DBLCLK, IDC_FOLDER_TREE, &CFolderDlg::OnDoubleClick),
    on::Command(IDC_FOLDER_CREATE, &CFolderDlg::OnCreateFolder),
END_MESSAGE_MAP()
// clang-format on

CFolderDlg::CFolderDlg() : CDialog(IDD_FOLDER) {}

void CFolderDlg::DoDataExchange(CDataExchange* exchange) {
    DDX_Control(exchange, IDC_FOLDER_TREE, m_tree);
}

bool CFolderDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    // The program's own bitmap: without it the folders would only lack their icons.
    (void)m_images.Create(IDB_FOLDER_IMAGES, 16);
    m_tree.SetImageList(&m_images);
    m_folderTree.Attach(&m_tree);
    // A folder that is gone leaves the tree at its top.
    if (!m_strFolder.empty()) (void)m_folderTree.Select(m_strFolder);
    return true;
}

void CFolderDlg::OnOK() {
    (void)UpdateData(true);  // no field here that can be refused
    m_strFolder = m_folderTree.PathOf(m_folderTree.SelectedOrRoot());
    EndDialog(IDOK);
}

void CFolderDlg::OnItemExpanding(LPARAM notice, LRESULT* result) {
    const auto* tree = reinterpret_cast<const NMTREEVIEW*>(notice);
    if (m_folderTree.m_bUserEvents) m_folderTree.Refresh(tree->item);
    *result = 0;
}

void CFolderDlg::OnDoubleClick(LPARAM, LRESULT*) {
    if (m_folderTree.m_bUserEvents) OnOK();
}

void CFolderDlg::OnCreateFolder() {
    CInputDlg input;
    input.m_strMessage = "フォルダ名を入力してください";
    // A folder not made does not show in the tree.
    if (input.DoModal() == IDOK) (void)m_folderTree.CreateFolder(input.m_strText);
}
