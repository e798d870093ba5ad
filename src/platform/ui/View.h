#pragma once

#include "platform/ui/Wnd.h"

class CDocument;

constexpr UINT AFX_IDW_PANE_FIRST = 0xE900;

// A view shows its document in a frame and is the first to be offered every command.
class CView : public CWnd {
    DECLARE_MESSAGE_MAP()

  public:
    CDocument* GetDocument() const { return m_pDocument; }
    // Called each time a document is started or opened into this view; the framework's
    // own asks for a full repaint.
    virtual void OnInitialUpdate();
    virtual void OnDraw(CDC* dc) = 0;

    // Routing: the view's own table, then its document's.
    bool OnCmdMsg(UINT id, CommandCode code, CCmdUI* ui) override;

    void SetDocument(CDocument* document);

  protected:
    void OnPaint();

  private:
    CDocument* m_pDocument = nullptr;
};
