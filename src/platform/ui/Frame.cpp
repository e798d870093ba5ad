#include "Frame.h"

#include <QWidget>

#include "platform/shell/Screen.h"
#include "platform/shell/SingleInstance.h"
#include "platform/ui/CmdUI.h"
#include "platform/ui/Document.h"
#include "platform/ui/InputHold.h"
#include "platform/ui/LaunchActivation.h"
#include "platform/ui/Resources.h"
#include "platform/ui/View.h"
#include "platform/ui/WinApp.h"

namespace {

bool KeyStateMatches(const AcceleratorEntry& entry, const MSG& msg) {
    const UINT held = msg.keyModifiers;
    return entry.key == msg.wParam && entry.control == ((held & MOD_CONTROL) != 0) &&
           entry.alt == ((held & MOD_ALT) != 0) && entry.shift == ((held & MOD_SHIFT) != 0);
}

}  // namespace

// clang-format off
BEGIN_MESSAGE_MAP(CFrameWnd, CWnd)
    on::Create(&CFrameWnd::OnCreate),
    on::Close(&CFrameWnd::OnClose),
    on::Destroy(&CFrameWnd::OnDestroy),
    on::Size(&CFrameWnd::OnSize),
END_MESSAGE_MAP()
// clang-format on

CFrameWnd::CFrameWnd() {
    m_style = FWS_ADDTOTITLE;
}

CFrameWnd::~CFrameWnd() = default;

bool CFrameWnd::LoadFrame(UINT resourceId, CCreateContext* context) {
    m_nIDResource = resourceId;
    m_pAccelerators = FindAcceleratorResource(resourceId);
    m_pContext = context;
    const CSize screen = GetDeviceScreenSize();
    // The emulated device's screen sits at the host's top-left; a desktop window goes
    // wherever the window manager puts it.
    const int32_t left = HasScreenOverride() ? 0 : CW_USEDEFAULT;
    const bool ok = Create(nullptr, {left, 0, left + screen.cx, screen.cy}, resourceId, m_style,
                           AfxGetAppName());
    m_pContext = nullptr;
    if (ok) {
        // A later launch finds this window by its title, brings it forward, sends commands.
        m_instance = InstanceServer::Publish(
            GetWindowText(),
            [this](InstanceRequest request, uint32_t value, const LaunchActivation& activation) {
                if (request != InstanceRequest::BringToFront) {
                    SendMessage(WM_COMMAND, value);
                    return;
                }
                ShowWindow(SW_SHOW);
                // A dialog or notice that waits comes forward in the window's place.
                QWidget* top = TopWaitingWindow();
                UseLaunchActivation(activation, top != nullptr ? top : GetWidget());
                SetForegroundWindow();
            });
    }
    return ok;
}

int CFrameWnd::OnCreate() {
    if (m_pContext != nullptr && m_pContext->newView) {
        m_view.reset(m_pContext->newView());
        m_view->SetDocument(m_pContext->document);
        if (!m_view->Create(this, GetClientRect(), AFX_IDW_PANE_FIRST)) {
            m_view.reset();
            return -1;
        }
        m_pActiveView = m_view.get();
    }
    RecalcLayout();
    return 0;
}

CDocument* CFrameWnd::GetActiveDocument() const {
    return m_pActiveView != nullptr ? m_pActiveView->GetDocument() : nullptr;
}

void CFrameWnd::InitialUpdateFrame(CDocument* document) {
    if (m_pActiveView != nullptr) {
        m_pActiveView->SetDocument(document);
        m_pActiveView->OnInitialUpdate();
    }
    OnUpdateFrameTitle();
}

void CFrameWnd::OnUpdateFrameTitle() {
    if ((m_style & FWS_ADDTOTITLE) == 0) return;
    const CDocument* document = GetActiveDocument();
    SetWindowText(document != nullptr ? document->GetTitle() + " - " + AfxGetAppName()
                                      : AfxGetAppName());
}

void CFrameWnd::AddControlBar(CControlBar* bar) {
    m_bars.push_back(bar);
    RecalcLayout();
}

void CFrameWnd::RecalcLayout() {
    const CRect client = GetClientRect();
    int top = 0;
    for (CControlBar* bar : m_bars) {
        if (!bar->IsWindow()) continue;
        bar->MoveWindow({0, top, client.right, top + bar->BarHeight()});
        top += bar->BarHeight();
    }
    if (m_pActiveView != nullptr && m_pActiveView->IsWindow()) {
        m_pActiveView->MoveWindow({0, top, client.right, std::max(top, client.bottom)});
    }
}

void CFrameWnd::OnSize(UINT, int, int) {
    RecalcLayout();
}

void CFrameWnd::OnIdleUpdateCmdUI() {
    for (CControlBar* bar : m_bars) {
        if (bar->IsWindow()) bar->UpdateCmdUI(this);
    }
}

bool CFrameWnd::OnCmdMsg(UINT id, CommandCode code, CCmdUI* ui) {
    if (m_pActiveView != nullptr && m_pActiveView->OnCmdMsg(id, code, ui)) return true;
    if (CWnd::OnCmdMsg(id, code, ui)) return true;
    CWinApp* app = AfxGetApp();
    return app != nullptr && app->OnCmdMsg(id, code, ui);
}

bool CFrameWnd::PreTranslateMessage(MSG* msg) {
    if (msg->message != WM_KEYDOWN || m_pAccelerators == nullptr) return false;
    for (const AcceleratorEntry& entry : m_pAccelerators->entries) {
        if (KeyStateMatches(entry, *msg)) {
            SendMessage(WM_COMMAND, entry.command);
            return true;
        }
    }
    return false;
}

void CFrameWnd::OnClose() {
    // Closing the main window leaves the document: it may save, or refuse.
    CDocument* document = GetActiveDocument();
    if (document != nullptr && !document->SaveBeforeClose()) return;
    DestroyWindow();
}

void CFrameWnd::OnDestroy() {
    m_instance.reset();  // a later launch must not find a window that is gone
    CWinApp* app = AfxGetApp();
    if (app != nullptr && app->m_pMainWnd == this) {
        app->m_pMainWnd = nullptr;
        AfxPostQuitMessage(0);
    }
}
