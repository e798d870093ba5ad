#pragma once

// A small document, frame and view made on the framework, for the framework's tests and
// its manual check under a real X server. Nothing of the program is in it.

#include <string>
#include <vector>

#include "platform/ui/CommandBar.h"
#include "platform/ui/Document.h"
#include "platform/ui/Frame.h"
#include "platform/ui/View.h"
#include "platform/ui/WinApp.h"

namespace demo {

constexpr UINT kFrameResource = 1;
constexpr UINT kMenuResource = 2;
constexpr UINT kToolBarResource = 3;
constexpr UINT kBitmapResource = 4;
constexpr UINT kDialogResource = 5;

constexpr UINT ID_TOGGLE = 100;      // the view: checked while on
constexpr UINT ID_BOTH = 101;        // the view and the frame both handle it
constexpr UINT ID_APP_ONLY = 102;    // only the application
constexpr UINT ID_FRAME_ONLY = 103;  // only the frame
constexpr UINT ID_NOBODY = 104;      // nothing handles it
constexpr UINT ID_DIALOG = 105;      // the frame opens the demo dialog
constexpr UINT kTimerId = 7;

// What happened, in order, across the demo's classes.
std::vector<std::string>& Log();

struct PenRecord {
    UINT message;
    CPoint point;
    std::vector<CPoint> samples;
};

class DemoDoc : public CDocument {
    DECLARE_MESSAGE_MAP()

  public:
    bool NewMemo() override;
    bool OpenMemo(std::string_view path) override;
    bool SaveMemo(std::string_view path) override;
    bool SaveIfModified() override;
    void OnSave();
};

class DemoView : public CView {
    DECLARE_MESSAGE_MAP()

  public:
    void OnInitialUpdate() override;
    void OnDraw(CDC* dc) override;

    bool m_bToggle = false;
    std::vector<PenRecord> m_pens;
    std::vector<UINT> m_keys;

  private:
    void OnToggle();
    void OnUpdateToggle(CCmdUI* ui);
    void OnBoth();
    void OnPenMessage(UINT message, CPoint point);
    void OnLButtonDown(UINT flags, CPoint point);
    void OnMouseMove(UINT flags, CPoint point);
    void OnLButtonUp(UINT flags, CPoint point);
    void OnKeyDown(UINT key, UINT repeat, UINT flags);
};

class DemoFrame : public CFrameWnd {
    DECLARE_MESSAGE_MAP()

  public:
    bool PreCreateWindow(CREATESTRUCT& cs) override;
    bool PreTranslateMessage(MSG* msg) override;

    CCommandBar m_commandBar;
    int m_nTicks = 0;
    std::vector<UINT> m_activations;

  private:
    int OnCreate();
    void OnTimer(UINT id);
    void OnActivate(UINT state, CWnd* other, bool minimized);
    void OnBoth();
    void OnFrameOnly();
    void OnDialog();
};

class DemoApp : public CWinApp {
    DECLARE_MESSAGE_MAP()

  public:
    DemoApp() : CWinApp("demo") {}
    bool InitInstance() override;
    void OnIdle() override {
        ++m_nIdle;
        CWinApp::OnIdle();
    }
    int m_nAppOnly = 0;
    int m_nIdle = 0;

  private:
    void OnAppOnly();
};

}  // namespace demo
