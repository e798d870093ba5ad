#pragma once

#include <functional>
#include <memory>
#include <vector>

#include "platform/ui/Wnd.h"

class CView;
class CDocument;
class InstanceServer;
class CControlBar;
struct AcceleratorResource;

// What a frame needs to make its view.
struct CCreateContext {
    std::function<CView*()> newView;
    CDocument* document = nullptr;
};

// A bar docked at the top of a frame.
class CControlBar : public CWnd {
  public:
    virtual int BarHeight() const = 0;
    // Takes the state of its buttons from `target`'s update rules.
    virtual void UpdateCmdUI(CCmdTarget* target) = 0;
};

// The main window: bars at the top, the view below them, and the command routing.
class CFrameWnd : public CWnd {
    DECLARE_MESSAGE_MAP()

  public:
    CFrameWnd();
    ~CFrameWnd() override;

    // Creates the window sized to the device's screen, with the menu keys of accelerator
    // table `resourceId` (when there is one) and the view that `context` makes. A later
    // launch finds the window by its title: it can bring it forward and send it commands.
    [[nodiscard]] bool LoadFrame(UINT resourceId, CCreateContext* context);

    CView* GetActiveView() const { return m_pActiveView; }
    CDocument* GetActiveDocument() const;
    void InitialUpdateFrame(CDocument* document);
    // Shows the title of the document unless FWS_ADDTOTITLE was taken away.
    virtual void OnUpdateFrameTitle();

    void AddControlBar(CControlBar* bar);
    void RecalcLayout();
    // Gives the bars' buttons their state from the update rules.
    void OnIdleUpdateCmdUI();

    // Routing: the active view (and its document), the frame, the application.
    bool OnCmdMsg(UINT id, CommandCode code, CCmdUI* ui) override;
    // The frame's menu keys.
    bool PreTranslateMessage(MSG* msg) override;

  protected:
    int OnCreate();
    void OnClose();
    void OnDestroy();
    void OnSize(UINT type, int cx, int cy);

    UINT m_nIDResource = 0;

  private:
    CCreateContext* m_pContext = nullptr;
    std::unique_ptr<CView> m_view;
    CView* m_pActiveView = nullptr;
    std::vector<CControlBar*> m_bars;
    const AcceleratorResource* m_pAccelerators = nullptr;
    std::unique_ptr<InstanceServer> m_instance;
};
