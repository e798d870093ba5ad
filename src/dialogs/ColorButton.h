#pragma once

#include "platform/gdi/GdiObjects.h"
#include "platform/ui/Controls.h"

// A button that shows a colour as a swatch with a drop-down arrow and, when clicked, lets
// the user choose another in the colour dialog.
class CColorButton : public COwnerDrawButton {
  public:
    CColorButton();
    void DrawItem(DRAWITEMSTRUCT* item) override;
    // The click: the colour dialog on this colour; a chosen colour is taken and shown.
    void OnClicked();

    COLORREF m_crColor = 0x00FFFFFF;

  private:
    CPen m_penGrey;
    CBrush m_brushFace;
};
