#pragma once

#include <string>
#include <string_view>

#include "platform/base/Time.h"
#include "platform/ui/Wnd.h"

// Typed windows over the controls a dialog template makes. A dialog binds one to its
// control with DDX_Control (or Attach); the control stays the dialog's.

// An edit control: its text is the window text.
class CEdit : public CWnd {};

class CButton : public CWnd {
  public:
    int GetCheck() const;
    void SetCheck(int check);
};

class CComboBox : public CWnd {
  public:
    int AddString(std::string_view text);
    void ResetContent();
    int GetCount() const;
    int GetCurSel() const;  // -1 for none
    int SetCurSel(int index);
    std::string GetLBText(int index) const;
    // The first item equal to `text` without regard to case, from after `start`; -1 for none.
    int FindStringExact(int start, std::string_view text) const;
};

class CSpinButtonCtrl : public CWnd {
  public:
    void SetRange(int lower, int upper);
    int SetPos(int position);
    int GetPos() const;
};

constexpr int SB_CTL = 2;

class CScrollBar : public CWnd {
  public:
    void SetScrollRange(int minimum, int maximum, bool redraw = true);
    int SetScrollPos(int position, bool redraw = true);
    int GetScrollPos() const;
    // The positions one view shows: the thumb takes that share of the bar.
    void SetScrollPage(int positions);
};

// A tree item; null stands for none (and for the root when inserting).
using HTREEITEM = void*;
constexpr HTREEITEM TVI_ROOT = nullptr;
constexpr UINT TVE_COLLAPSE = 1;
constexpr UINT TVE_EXPAND = 2;
constexpr UINT TVN_ITEMEXPANDING = static_cast<UINT>(-405);
constexpr UINT TVN_SELCHANGED = static_cast<UINT>(-402);
constexpr UINT NM_DBLCLK = static_cast<UINT>(-3);

// What TVN_ITEMEXPANDING carries: the item and whether it opens or closes.
struct NMTREEVIEW {
    NMHDR hdr;
    UINT action;
    HTREEITEM item;
};

// 16 x 16 images cut from a bitmap resource.
class CImageList {
  public:
    [[nodiscard]] bool Create(UINT bitmapId, int width = 16);
    int GetImageCount() const { return m_nCount; }
    UINT GetBitmapId() const { return m_nBitmap; }
    int GetImageWidth() const { return m_nWidth; }

  private:
    UINT m_nBitmap = 0;
    int m_nWidth = 16;
    int m_nCount = 0;
};

class CTreeCtrl : public CWnd {
  public:
    void SetImageList(const CImageList* images);
    HTREEITEM InsertItem(std::string_view text, int image, int selectedImage,
                         HTREEITEM parent = TVI_ROOT);
    bool DeleteItem(HTREEITEM item);
    HTREEITEM GetRootItem() const;
    HTREEITEM GetParentItem(HTREEITEM item) const;
    HTREEITEM GetChildItem(HTREEITEM item) const;
    HTREEITEM GetNextSiblingItem(HTREEITEM item) const;
    std::string GetItemText(HTREEITEM item) const;
    // Shows an expand button on an item whose children are not known yet.
    void SetHasChildren(HTREEITEM item, bool hasChildren);
    bool ItemHasChildren(HTREEITEM item) const;
    HTREEITEM GetSelectedItem() const;
    bool SelectItem(HTREEITEM item);
    // Opens or closes the item without sending TVN_ITEMEXPANDING, as the device does.
    bool Expand(HTREEITEM item, UINT action);
    // As if the user clicked the item's expand button: the notification comes first.
    void ToggleByUser(HTREEITEM item);
    void DoubleClickByUser(HTREEITEM item);
};

constexpr UINT LVN_ITEMCHANGED = static_cast<UINT>(-101);
constexpr int LVNI_SELECTED = 0x0002;
constexpr UINT LVIS_SELECTED = 0x0002;
constexpr int LVSCW_AUTOSIZE_USEHEADER = -2;

// A list of rows under a header of columns (the report view), one row selected at a time.
// A change of the selection comes as LVN_ITEMCHANGED, a double-click as NM_DBLCLK.
class CListCtrl : public CWnd {
  public:
    // `width` in pixels.
    int InsertColumn(int column, std::string_view heading, int width);
    // `width` in pixels, or LVSCW_AUTOSIZE_USEHEADER: the widest of the rows and the heading.
    bool SetColumnWidth(int column, int width);
    int InsertItem(int item, std::string_view text);
    bool SetItemText(int item, int column, std::string_view text);
    std::string GetItemText(int item, int column) const;
    int GetItemCount() const;
    bool DeleteAllItems();
    // With LVNI_SELECTED: the selected row after `start` (-1: from the top); -1 for none.
    int GetNextItem(int start, int flags) const;
    // Selects the row (LVIS_SELECTED in both), or no row (0 as the state).
    bool SetItemState(int item, UINT state, UINT mask);
};

// The month calendar, made at run time inside a dialog.
class CMonthCalCtrl : public CWnd {
  public:
    using CWnd::Create;
    bool Create(CWnd* parent, CPoint topLeft, UINT id);
    CRect GetMinReqRect() const;
    bool SetCurSel(const SYSTEMTIME& date);
    bool GetCurSel(SYSTEMTIME& date) const;
};

// What an owner-drawn button gets to draw itself with.
constexpr UINT ODS_SELECTED = 0x0001;
constexpr UINT ODS_FOCUS = 0x0010;
struct DRAWITEMSTRUCT {
    UINT CtlID;
    UINT itemState;
    CDC* pDC;
    CRect rcItem;
};

// An owner-drawn push button that paints itself through DrawItem.
class COwnerDrawButton : public CButton {
  public:
    virtual void DrawItem(DRAWITEMSTRUCT* item) = 0;
};

// The system's colour for button faces.
COLORREF GetSysColorButtonFace();
