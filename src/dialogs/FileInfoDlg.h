#pragma once

#include <string>

#include "platform/ui/Dialog.h"

// The file information dialog: four read-only texts that its caller computed.
class CFileInfoDlg : public CDialog {
  public:
    CFileInfoDlg();
    bool OnInitDialog() override;
    void DoDataExchange(CDataExchange* exchange) override;

    std::string m_strIndex;
    std::string m_strFileName;
    std::string m_strSize;
    std::string m_strUpdated;
};
