#pragma once

#include "platform/gdi/Color.h"
#include "platform/ui/Messages.h"

class CWnd;

constexpr UINT CC_RGBINIT = 0x0001;
constexpr UINT CC_FULLOPEN = 0x0002;

// The standard colour dialog: an initial colour and sixteen custom colours that the caller
// owns. The custom colours the user changes come back in the caller's array.
class CColorDialog {
  public:
    explicit CColorDialog(COLORREF initial = 0, UINT flags = 0, CWnd* parent = nullptr);
    int DoModal();  // IDOK or IDCANCEL
    COLORREF GetColor() const { return m_cc.rgbResult; }

    struct {
        COLORREF rgbResult;
        COLORREF* lpCustColors;  // sixteen entries, or null
        UINT Flags;
    } m_cc;

  private:
    CWnd* m_pParent;
};
