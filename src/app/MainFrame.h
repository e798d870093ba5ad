#pragma once

#include "platform/ui/CommandBar.h"
#include "platform/ui/Frame.h"

// The one top-level window: the fixed title by which a later launch finds it, the command
// bar, the alarm timer passed on to the view, and a silent save whenever it loses the
// activation.
class CMainFrame : public CFrameWnd {
    DECLARE_MESSAGE_MAP()

  public:
    bool PreCreateWindow(CREATESTRUCT& cs) override;
    bool PreTranslateMessage(MSG* msg) override;

    CCommandBar m_commandBar;

  private:
    int OnCreate();
    void OnActivate(UINT state, CWnd* other, bool minimized);
    void OnTimer(UINT id);
    void OnOpenByNotification();
    void OnMenu();
    // The memos as thumbnails: opens the one chosen, or a new memo.
    void OnPreview();
    void PopUpMenu();
};
