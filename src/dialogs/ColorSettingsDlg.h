#pragma once

#include "dialogs/ColorButton.h"
#include "platform/ui/Dialog.h"

// The pen colour and the background colour of the next new or cleared memo.
class CColorSettingsDlg : public CDialog {
    DECLARE_MESSAGE_MAP()

  public:
    CColorSettingsDlg();
    bool OnInitDialog() override;
    void OnOK() override;

    CColorButton m_penButton;
    CColorButton m_backButton;
    COLORREF m_crPen = 0;
    COLORREF m_crBack = 0x00FFFFFF;

  private:
    void OnPenButton() { m_penButton.OnClicked(); }
    void OnBackButton() { m_backButton.OnClicked(); }
};
