#pragma once

#include <vector>

#include "platform/ui/Frame.h"

constexpr UINT kCommandBarId = 0xE800;

// The bar at the top of the frame: a menu bar, a gap, tool bar buttons and the window's
// close button, in the order they are inserted.
class CCommandBar : public CControlBar {
  public:
    using CControlBar::Create;
    bool Create(CFrameWnd* parent, UINT id = kCommandBarId);
    bool InsertMenubar(UINT menuId);
    bool InsertSeparator(int width);
    // One button per command of tool bar `id`, with its 16 x 16 image.
    bool LoadToolBar(UINT id);
    // The close button, which closes the frame as its own close button would.
    bool AddAdornments(UINT flags = 0);

    // A button's rectangle in the bar's client coordinates; empty when there is none.
    CRect GetButtonRect(UINT id) const;
    // The commands of the tool bar buttons, left to right.
    std::vector<UINT> GetButtonCommands() const;
    bool IsButtonEnabled(UINT id) const;
    bool IsButtonChecked(UINT id) const;

    int BarHeight() const override;
    void UpdateCmdUI(CCmdTarget* target) override;

  private:
    // After a command from the bar the keys go to the view again.
    void GiveFocusToView();

    CFrameWnd* m_pFrame = nullptr;
};
