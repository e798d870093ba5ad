#pragma once

#include <string>

#include "platform/ui/Dialog.h"

// One line of text asked for with a message.
class CInputDlg : public CDialog {
  public:
    CInputDlg();
    bool OnInitDialog() override;
    void DoDataExchange(CDataExchange* exchange) override;

    std::string m_strText;
    std::string m_strMessage;
};
