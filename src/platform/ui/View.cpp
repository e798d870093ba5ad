#include "View.h"

#include "platform/ui/Document.h"

// clang-format off
BEGIN_MESSAGE_MAP(CView, CWnd)
    on::Paint(&CView::OnPaint),
END_MESSAGE_MAP()
// clang-format on

void CView::SetDocument(CDocument* document) {
    m_pDocument = document;
    if (document != nullptr) document->m_pView = this;
}

void CView::OnInitialUpdate() {
    Invalidate(true);
}

void CView::OnPaint() {
    CPaintDC dc(this);
    OnDraw(&dc);
}

bool CView::OnCmdMsg(UINT id, CommandCode code, CCmdUI* ui) {
    if (CWnd::OnCmdMsg(id, code, ui)) return true;
    return m_pDocument != nullptr && m_pDocument->OnCmdMsg(id, code, ui);
}
