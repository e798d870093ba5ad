#pragma once

#include <string>

#include "dialogs/FolderTree.h"
#include "platform/ui/Controls.h"
#include "platform/ui/Dialog.h"

// Picks a folder of the device in a tree, where new folders can be made.
class CFolderDlg : public CDialog {
    DECLARE_MESSAGE_MAP()

  public:
    CFolderDlg();
    bool OnInitDialog() override;
    void DoDataExchange(CDataExchange* exchange) override;
    void OnOK() override;

    CFolderTree m_folderTree;
    CImageList m_images;
    std::string m_strFolder;
    CTreeCtrl m_tree;

  private:
    void OnItemExpanding(LPARAM notice, LRESULT* result);
    void OnDoubleClick(LPARAM notice, LRESULT* result);
    void OnCreateFolder();
};
