#pragma once

#include <array>
#include <vector>

#include "memo/MemoBitmap.h"
#include "memo/MemoList.h"
#include "platform/base/Time.h"
#include "platform/gdi/Font.h"
#include "platform/gdi/GdiObjects.h"
#include "platform/ui/Wnd.h"

// Four memos at a time as thumbnails, two to a row: each in its cell, framed, stretched,
// titled, and inverted when selected. A press selects; a second press on the selection
// within the double-click time opens it (OK to the dialog). Only the four visible memos
// are held, and every paint loads them afresh.
class CThumbnailCtrl : public CWnd {
    DECLARE_MESSAGE_MAP()

  public:
    static constexpr int kCells = 4;
    static constexpr COLORREF kBackground = 0x00808080;

    CThumbnailCtrl();

    // The cells of a client rectangle, left to right, top to bottom.
    static std::array<CRect, kCells> CellsOf(const CRect& client);
    // The list position shown in `cell`, or -1 for a cell beyond the last memo.
    int IndexOfCell(int cell) const;
    // One paint of the client rectangle `client` into `dc`.
    void Paint(CDC& dc, const CRect& client);

    const std::vector<MemoEntry>* m_pMemoList = nullptr;
    int m_nFirstRow = 0;
    int m_nSelected = -1;
    std::array<CMemoBitmap, kCells> m_canvases;
    std::array<CRect, kCells> m_cells;
    SYSTEMTIME m_lastClick{};

  private:
    void OnPaint();
    void OnLButtonDown(UINT flags, CPoint point);
    void OnMouseWheel(UINT flags, int16_t delta, CPoint point);
    void DrawThumbnail(CDC& dc, int index);
    void InvertCellOf(int index);
    int Count() const { return m_pMemoList != nullptr ? static_cast<int>(m_pMemoList->size()) : 0; }

    CFont m_font;
    int m_nWheelDelta = 0;  // the turn of the wheel not yet a whole notch
};
