#include "dialogs/ThumbnailCtrl.h"

#include "app/QuilloApp.h"
#include "platform/base/Text.h"
#include "platform/shell/Screen.h"

namespace {

CRect Shrunk(const CRect& cell) {
    return {cell.left + 1, cell.top + 1, cell.right - 1, cell.bottom - 1};
}

// Milliseconds from `from` to `to`; a clock that went back gives a negative interval.
int64_t MillisecondsBetween(const SYSTEMTIME& from, const SYSTEMTIME& to) {
    FILETIME a = 0;
    FILETIME b = 0;
    if (!SystemTimeToFileTime(from, a) || !SystemTimeToFileTime(to, b)) return INT64_MAX;
    return (static_cast<int64_t>(b) - static_cast<int64_t>(a)) / 10000;
}

// The longest start of `text` that is no wider than `width`, whole characters only.
std::string FittingText(const CDC& dc, const std::string& text, int width) {
    std::string fitted = text;
    while (!fitted.empty() && dc.GetTextExtent(fitted).cx > width) {
        size_t cut = fitted.size() - 1;
        while (cut > 0 && (static_cast<unsigned char>(fitted[cut]) & 0xC0) == 0x80) --cut;
        fitted.resize(cut);
    }
    return fitted;
}

}  // namespace

// clang-format off
BEGIN_MESSAGE_MAP(CThumbnailCtrl, CWnd)
    on::Paint(&CThumbnailCtrl::OnPaint),
    on::LButtonDown(&CThumbnailCtrl::OnLButtonDown),
    // The control asks for no double clicks: the second press of one is a press like any.
    on::LButtonDblClk(&CThumbnailCtrl::OnLButtonDown),
    on::MouseWheel(&CThumbnailCtrl::OnMouseWheel),
END_MESSAGE_MAP()
// clang-format on

CThumbnailCtrl::CThumbnailCtrl() : m_lastClick(GetLocalTime()) {
    (void)m_font.CreatePointFont(90, "ＭＳ Ｐゴシック");  // without it, cells have no caption
}

std::array<CRect, CThumbnailCtrl::kCells> CThumbnailCtrl::CellsOf(const CRect& c) {
    const int32_t midX = c.left + (c.right - c.left) / 2;
    const int32_t midY = c.top + (c.bottom - c.top) / 2;
    return {CRect{c.left, c.top, midX, midY}, CRect{midX, c.top, c.right, midY},
            CRect{c.left, midY, midX, c.bottom}, CRect{midX, midY, c.right, c.bottom}};
}

int CThumbnailCtrl::IndexOfCell(int cell) const {
    const int index = 2 * m_nFirstRow + cell;
    return index < Count() ? index : -1;
}

void CThumbnailCtrl::OnPaint() {
    CPaintDC dc(this);
    Paint(dc, GetClientRect());
}

void CThumbnailCtrl::Paint(CDC& dc, const CRect& client) {
    dc.FillSolidRect(client, kBackground);
    m_cells = CellsOf(client);
    for (int i = 2 * m_nFirstRow; i < Count() && i < 2 * m_nFirstRow + kCells; ++i) {
        DrawThumbnail(dc, i);
    }
}

void CThumbnailCtrl::DrawThumbnail(CDC& dc, int index) {
    const size_t cell = static_cast<size_t>(index - 2 * m_nFirstRow);
    const CRect inner = Shrunk(m_cells[cell]);
    dc.FrameRect(m_cells[cell], GetStockBrush(BLACK_BRUSH));
    const MemoEntry& memo = (*m_pMemoList)[static_cast<size_t>(index)];
    CMemoBitmap& canvas = m_canvases[cell];
    canvas.Reset();
    CQuilloApp* app = QuilloApp();
    if (canvas.LoadFile(app->GetMemoPath(memo.name))) {
        // A cell that cannot be drawn stays blank, as for a memo that cannot be read.
        (void)canvas.StretchDraw(&dc, inner.left, inner.top, inner.Width(), inner.Height());
    }
    CFont* previous = dc.SelectObject(&m_font);
    dc.SetTextColor(RGB(0, 0, 0));
    dc.SetBkColor(RGB(255, 255, 255));
    dc.SetBkMode(OPAQUE);
    dc.TextOut(inner.left, inner.top,
               FittingText(dc, CQuilloApp::GetMemoTitle(memo.name), inner.Width()));
    dc.SelectObject(previous);
    if (index == m_nSelected) dc.InvertRect(inner);
}

void CThumbnailCtrl::InvertCellOf(int index) {
    const int cell = index - 2 * m_nFirstRow;
    if (cell < 0 || cell >= kCells) return;
    CClientDC dc(this);
    dc.InvertRect(Shrunk(m_cells[static_cast<size_t>(cell)]));
}

void CThumbnailCtrl::OnMouseWheel(UINT, int16_t delta, CPoint) {
    // A notch is a row, as an arrow of the scroll bar; fine wheels add up to notches.
    m_nWheelDelta += delta;
    CWnd* parent = GetParent();
    for (; m_nWheelDelta >= WHEEL_DELTA; m_nWheelDelta -= WHEEL_DELTA)
        if (parent != nullptr) parent->SendMessage(WM_VSCROLL, SB_LINEUP);
    for (; m_nWheelDelta <= -WHEEL_DELTA; m_nWheelDelta += WHEEL_DELTA)
        if (parent != nullptr) parent->SendMessage(WM_VSCROLL, SB_LINEDOWN);
}

void CThumbnailCtrl::OnLButtonDown(UINT, CPoint point) {
    m_cells = CellsOf(GetClientRect());
    int index = -1;
    for (int cell = 0; cell < kCells && index < 0; ++cell) {
        if (m_cells[static_cast<size_t>(cell)].PtInRect(point)) index = 2 * m_nFirstRow + cell;
    }
    if (index < 0 || index >= Count()) return;  // outside the cells, or an empty one
    const SYSTEMTIME now = GetLocalTime();
    if (index == m_nSelected &&
        MillisecondsBetween(m_lastClick, now) < static_cast<int64_t>(GetDoubleClickTime())) {
        if (CWnd* parent = GetParent()) parent->SendMessage(WM_COMMAND, IDOK);
        return;
    }
    m_lastClick = now;
    if (index == m_nSelected) return;
    if (m_nSelected >= 0) InvertCellOf(m_nSelected);
    m_nSelected = index;
    InvertCellOf(index);
}
