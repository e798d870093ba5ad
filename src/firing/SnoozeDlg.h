#pragma once

#include "platform/base/Time.h"
#include "platform/ui/Controls.h"
#include "platform/ui/Dialog.h"

// How long until an alarm rings again: 1 to 60 minutes, hours or days.
class CSnoozeDlg : public CDialog {
  public:
    CSnoozeDlg();
    bool OnInitDialog() override;
    void DoDataExchange(CDataExchange* exchange) override;
    void OnOK() override;

    SYSTEMTIME m_span{};
    CSpinButtonCtrl m_spin;
    CComboBox m_unitList;
    int m_nCount = 1;
};
