#pragma once

#include "platform/ui/Controls.h"
#include "platform/ui/Dialog.h"

// Takes any pen or eraser width from 1 to 500 pixels.
class CWidthDlg : public CDialog {
  public:
    static constexpr int kPen = 1;
    static constexpr int kEraser = 2;

    CWidthDlg();
    bool OnInitDialog() override;
    void DoDataExchange(CDataExchange* exchange) override;

    CSpinButtonCtrl m_spin;
    int m_nMode = kPen;
    int m_nWidth = 1;
};
