#pragma once

#include <string>

#include "platform/ui/Dialog.h"

// The title change dialog: shows a memo's title and takes a new one. The caller moves the
// file itself.
class CRenameDlg : public CDialog {
  public:
    CRenameDlg();
    bool OnInitDialog() override;
    void DoDataExchange(CDataExchange* exchange) override;

    std::string m_strOldName;
    std::string m_strNewName;
};
