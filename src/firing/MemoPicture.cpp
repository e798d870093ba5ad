#include "firing/MemoPicture.h"

// clang-format off
BEGIN_MESSAGE_MAP(CMemoPicture, CWnd)
    on::Paint(&CMemoPicture::OnPaint),
END_MESSAGE_MAP()
// clang-format on

void CMemoPicture::LoadMemo(std::string_view path) {
    // A memo that cannot be read shows as an empty picture.
    if (!m_bitmap.LoadFile(path)) m_bitmap.Reset();
}

void CMemoPicture::OnPaint() {
    CPaintDC dc(this);
    const CRect client = GetClientRect();
    (void)m_bitmap.StretchDraw(&dc, 0, 0, client.Width(), client.Height());  // blank if not
}
