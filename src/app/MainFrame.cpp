#include "app/MainFrame.h"

#include "app/QuilloApp.h"
#include "dialogs/PreviewDlg.h"
#include "memo/QuilloDoc.h"
#include "platform/shell/Screen.h"
#include "platform/ui/DocTemplate.h"
#include "platform/ui/Document.h"
#include "platform/ui/Menu.h"
#include "platform/ui/View.h"
#include "res/ResourceIds.h"
#include "settings/ProfileValues.h"

namespace {

constexpr int kMenuSeparatorWidth = 6;
constexpr int kNarrowScreen = 240;

}  // namespace

// clang-format off
BEGIN_MESSAGE_MAP(CMainFrame, CFrameWnd)
    on::Create(&CMainFrame::OnCreate),
    on::Activate(&CMainFrame::OnActivate),
    on::Timer(&CMainFrame::OnTimer),
    on::Command(ID_OPEN_BY_NOTIFICATION, &CMainFrame::OnOpenByNotification),
    on::Command(ID_MENU, &CMainFrame::OnMenu),
    on::Command(ID_PREVIEW, &CMainFrame::OnPreview),
END_MESSAGE_MAP()
// clang-format on

bool CMainFrame::PreCreateWindow(CREATESTRUCT& cs) {
    if (!CFrameWnd::PreCreateWindow(cs)) return false;
    // The title never follows the memo: a later launch finds the window by it.
    cs.style &= ~FWS_ADDTOTITLE;
    m_style &= ~FWS_ADDTOTITLE;
    cs.lpszName = CQuilloApp::kMainWindowTitle;
    return true;
}

int CMainFrame::OnCreate() {
    if (CFrameWnd::OnCreate() == -1) return -1;
    const int screenWidth = GetSystemMetrics(SM_CXSCREEN);
    if (!m_commandBar.Create(this, kCommandBarId) ||
        !m_commandBar.InsertMenubar(IDR_COMMANDBAR_MENU) ||
        !m_commandBar.InsertSeparator(kMenuSeparatorWidth) ||
        !m_commandBar.LoadToolBar(screenWidth > kNarrowScreen ? IDR_TOOLBAR_WIDE
                                                              : IDR_TOOLBAR_NARROW) ||
        !m_commandBar.AddAdornments()) {
        return -1;
    }
    SetTimer(kAlarmCheckTimer, kAlarmCheckPeriodMs);
    return 0;
}

void CMainFrame::OnActivate(UINT state, CWnd* other, bool minimized) {
    CFrameWnd::OnActivate(state, other, minimized);
    CView* view = GetActiveView();
    auto* memo = view != nullptr ? static_cast<CQuilloDoc*>(view->GetDocument()) : nullptr;
    if (memo == nullptr) return;
    if (state == WA_INACTIVE) {
        // Leaving the window, for a dialog of ours or another program, saves the memo;
        // silently: a memo that cannot be saved stays modified, and the next leave tries
        // again.
        if (memo->IsModified()) (void)memo->SaveSilently();
        return;
    }
    // Back in the window: what other programs did to the memo's file meanwhile shows.
    switch (memo->CheckFileOnActivation()) {
        case CQuilloDoc::FileCheck::ChangedElsewhere:
            // A memo that cannot be left said so, and stays.
            (void)QuilloApp()->m_pDocTemplate->OpenDocumentFile(std::string(memo->GetPathName()));
            break;
        case CQuilloDoc::FileCheck::Gone:
            QuilloApp()->OpenMemoInPlaceOf(0);
            break;
        case CQuilloDoc::FileCheck::Unchanged:
            break;
    }
}

void CMainFrame::OnTimer(UINT id) {
    if (CView* view = GetActiveView()) view->SendMessage(WM_TIMER, id);
    CFrameWnd::OnTimer(id);
}

bool CMainFrame::PreTranslateMessage(MSG* msg) {
    if (msg->message == WM_HOTKEY && msg->wParam == kMenuHotKey) {
        CWnd* active = GetActiveWindow();
        if (active != nullptr && active != this && active->IsDialog()) return false;
        PopUpMenu();
        return true;
    }
    return CFrameWnd::PreTranslateMessage(msg);
}

void CMainFrame::PopUpMenu() {
    CMenu menu;
    if (!menu.LoadMenu(IDR_COMMANDBAR_MENU)) return;
    const CRect client = ClientToScreen(GetClientRect());
    if (CMenu* popup = menu.GetSubMenu(0)) {
        popup->TrackPopupMenu(TPM_LEFTALIGN | TPM_BOTTOMALIGN | TPM_NONOTIFY, client.left,
                              client.bottom, AfxGetMainWnd());
    }
    menu.DestroyMenu();
}

void CMainFrame::OnOpenByNotification() {
    CQuilloApp* app = QuilloApp();
    // A memo that cannot be left said so, and stays.
    (void)app->m_pDocTemplate->OpenDocumentFile(app->GetProfileString(profile::kNotifyFile));
}

void CMainFrame::OnMenu() {}

void CMainFrame::OnPreview() {
    CQuilloApp* app = QuilloApp();
    // The memo on screen is saved before the folder is listed, so that the preview shows
    // it; a failure is told as for any leave, and the preview opens without it.
    if (CView* view = GetActiveView()) view->GetDocument()->SaveIfModified();
    CPreviewDlg preview;
    app->RefreshMemoList();
    preview.m_pMemoList = &app->m_memoList;
    if (preview.DoModal() != IDOK) return;
    // A memo that cannot be left said so, and stays.
    if (preview.m_nResult >= 0 && preview.m_nResult < static_cast<int>(app->m_memoList.size())) {
        (void)app->m_pDocTemplate->OpenDocumentFile(
            app->GetMemoPath(app->m_memoList[static_cast<size_t>(preview.m_nResult)].name));
    } else if (preview.m_nResult == CPreviewDlg::kNewMemo) {
        (void)app->m_pDocTemplate->OpenDocumentFile({});
        ShowWindow(SW_SHOW);
    }
}
