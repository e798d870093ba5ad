#pragma once

#include <memory>
#include <vector>

#include "platform/ui/Messages.h"
#include "platform/ui/Resources.h"

class CWnd;

constexpr UINT TPM_LEFTALIGN = 0x0000;
constexpr UINT TPM_TOPALIGN = 0x0000;
constexpr UINT TPM_BOTTOMALIGN = 0x0020;
constexpr UINT TPM_NONOTIFY = 0x0080;
constexpr UINT TPM_RETURNCMD = 0x0100;

// A menu loaded from a menu resource; its pop-ups can be shown as context menus.
class CMenu {
  public:
    bool LoadMenu(UINT id);
    void DestroyMenu();
    int GetMenuItemCount() const { return static_cast<int>(m_items.size()); }
    // The pop-up at position `index`, or null when that item is no pop-up.
    CMenu* GetSubMenu(int index);
    const std::vector<MenuItemResource>& Items() const { return m_items; }

    // Shows this menu as a pop-up with its top-left (or, with TPM_BOTTOMALIGN, its
    // bottom-left) at the screen point, after asking `owner`'s update rules. The chosen
    // command is returned with TPM_RETURNCMD, otherwise sent to `owner` as WM_COMMAND.
    UINT TrackPopupMenu(UINT flags, int x, int y, CWnd* owner);

  private:
    std::vector<MenuItemResource> m_items;
    std::vector<std::unique_ptr<CMenu>> m_subMenus;
};
