#include "Demo.h"

#include "platform/base/Format.h"
#include "platform/ui/CmdUI.h"
#include "platform/ui/Dialog.h"
#include "platform/ui/DocTemplate.h"
#include "platform/ui/Menu.h"
#include "platform/ui/Resources.h"
#include "platform/ui/Stylus.h"

namespace demo {

namespace {

BitmapResource ThreeImages() {
    BitmapResource bitmap{kBitmapResource, 48, 16, std::vector<uint32_t>(48 * 16, 0xFFFFFF)};
    for (int i = 0; i < 16; ++i) {
        bitmap.pixels[static_cast<size_t>(i * 48 + i)] = 0x000000;       // a diagonal
        bitmap.pixels[static_cast<size_t>(8 * 48 + 16 + i)] = 0xFF0000;  // a red bar
        bitmap.pixels[static_cast<size_t>(i * 48 + 40)] = 0x0000FF;      // a blue post
    }
    return bitmap;
}

const ResourceTable& Resources() {
    static const ResourceTable table{
        .menus = {{kMenuResource,
                   {{"Demo",
                     0,
                     {{"New", ID_FILE_NEW, {}},
                      {"Toggle", ID_TOGGLE, {}},
                      {},
                      {"Both", ID_BOTH, {}},
                      {"Application only", ID_APP_ONLY, {}},
                      {"More", 0, {{"Frame only", ID_FRAME_ONLY, {}}, {"Nobody", ID_NOBODY, {}}}},
                      {"Dialog...", ID_DIALOG, {}},
                      {"Exit", ID_APP_EXIT, {}}}}}}},
        .toolBars = {{kToolBarResource, kBitmapResource, {ID_TOGGLE, 0, ID_BOTH, ID_NOBODY}}},
        .bitmaps = {ThreeImages()},
        .accelerators = {{kFrameResource, {{'N', true, false, false, ID_FILE_NEW}}}},
        .strings = {{ID_TOGGLE, "Toggle\nToggle"}},
        .dialogs = {{kDialogResource, "Demo dialog", 120, 60, "ＭＳ Ｐゴシック", 9, true, {}}},
    };
    return table;
}

}  // namespace

std::vector<std::string>& Log() {
    static std::vector<std::string> log;
    return log;
}

// clang-format off
BEGIN_MESSAGE_MAP(DemoDoc, CDocument)
    on::Command(ID_FILE_SAVE, &DemoDoc::OnSave),
END_MESSAGE_MAP()
// clang-format on

bool DemoDoc::NewMemo() {
    Log().push_back("NewMemo");
    return CDocument::NewMemo();
}

bool DemoDoc::OpenMemo(std::string_view path) {
    Log().push_back("OpenMemo " + std::string(path));
    return CDocument::OpenMemo(path);
}

bool DemoDoc::SaveMemo(std::string_view path) {
    Log().push_back("SaveMemo " + std::string(path));
    return CDocument::SaveMemo(path);
}

bool DemoDoc::SaveIfModified() {
    Log().push_back(IsModified() ? "SaveIfModified (modified)" : "SaveIfModified");
    if (IsModified()) OnSave();
    return true;
}

void DemoDoc::OnSave() {
    SaveMemo(GetPathName().empty() ? "\\untitled" : GetPathName());
}

// clang-format off
BEGIN_MESSAGE_MAP(DemoView, CView)
    on::Command(ID_TOGGLE, &DemoView::OnToggle),
    on::UpdateCommandUI(ID_TOGGLE, &DemoView::OnUpdateToggle),
    on::Command(ID_BOTH, &DemoView::OnBoth),
    on::LButtonDown(&DemoView::OnLButtonDown),
    on::MouseMove(&DemoView::OnMouseMove),
    on::LButtonUp(&DemoView::OnLButtonUp),
    on::KeyDown(&DemoView::OnKeyDown),
END_MESSAGE_MAP()
// clang-format on

void DemoView::OnInitialUpdate() {
    Log().push_back("OnInitialUpdate");
    CView::OnInitialUpdate();
}

void DemoView::OnDraw(CDC* dc) {
    dc->FillSolidRect(GetClientRect(), RGB(255, 255, 240));
    dc->SetBkMode(TRANSPARENT);
    dc->TextOut(4, 4, m_bToggle ? "Toggle is on" : "Toggle is off");
}

void DemoView::OnToggle() {
    m_bToggle = !m_bToggle;
    Invalidate(true);
}

void DemoView::OnUpdateToggle(CCmdUI* ui) {
    ui->SetCheck(m_bToggle ? 1 : 0);
}

void DemoView::OnBoth() {
    Log().push_back("view: Both");
}

void DemoView::OnPenMessage(UINT message, CPoint point) {
    CPoint samples[kMaxStylusSamples];
    const int count = GetStylusSamples(samples, kMaxStylusSamples);
    m_pens.push_back({message, point, std::vector<CPoint>(samples, samples + count)});
    if (message != WM_LBUTTONDOWN && m_pens.size() >= 2) {
        CClientDC dc(this);
        CPen pen(PS_SOLID, 3, RGB(0, 0, 128));
        CPen* old = dc.SelectObject(&pen);
        dc.MoveTo(m_pens[m_pens.size() - 2].point.x, m_pens[m_pens.size() - 2].point.y);
        dc.LineTo(point.x, point.y);
        dc.SelectObject(old);
    }
}

void DemoView::OnLButtonDown(UINT flags, CPoint point) {
    OnPenMessage(WM_LBUTTONDOWN, point);
    CView::OnLButtonDown(flags, point);
}

void DemoView::OnMouseMove(UINT flags, CPoint point) {
    OnPenMessage(WM_MOUSEMOVE, point);
    CView::OnMouseMove(flags, point);
}

void DemoView::OnLButtonUp(UINT flags, CPoint point) {
    OnPenMessage(WM_LBUTTONUP, point);
    CView::OnLButtonUp(flags, point);
}

void DemoView::OnKeyDown(UINT key, UINT repeat, UINT flags) {
    m_keys.push_back(key);
    CView::OnKeyDown(key, repeat, flags);
}

// clang-format off
BEGIN_MESSAGE_MAP(DemoFrame, CFrameWnd)
    on::Create(&DemoFrame::OnCreate),
    on::Timer(&DemoFrame::OnTimer),
    on::Activate(&DemoFrame::OnActivate),
    on::Command(ID_BOTH, &DemoFrame::OnBoth),
    on::Command(ID_FRAME_ONLY, &DemoFrame::OnFrameOnly),
    on::Command(ID_DIALOG, &DemoFrame::OnDialog),
END_MESSAGE_MAP()
// clang-format on

bool DemoFrame::PreCreateWindow(CREATESTRUCT& cs) {
    if (!CFrameWnd::PreCreateWindow(cs)) return false;
    cs.style &= ~FWS_ADDTOTITLE;
    m_style &= ~FWS_ADDTOTITLE;
    cs.lpszName = "Demo";
    return true;
}

int DemoFrame::OnCreate() {
    if (CFrameWnd::OnCreate() == -1) return -1;
    if (!m_commandBar.Create(this) || !m_commandBar.InsertMenubar(kMenuResource) ||
        !m_commandBar.InsertSeparator(6) || !m_commandBar.LoadToolBar(kToolBarResource) ||
        !m_commandBar.AddAdornments()) {
        return -1;
    }
    SetTimer(kTimerId, 1);
    return 0;
}

void DemoFrame::OnTimer(UINT id) {
    if (id == kTimerId) ++m_nTicks;
}

void DemoFrame::OnActivate(UINT state, CWnd* other, bool minimized) {
    m_activations.push_back(state);
    CFrameWnd::OnActivate(state, other, minimized);
}

bool DemoFrame::PreTranslateMessage(MSG* msg) {
    if (msg->message == WM_HOTKEY && msg->wParam == kMenuHotKey) {
        CWnd* active = GetActiveWindow();
        if (active != nullptr && active != this && active->IsDialog()) return false;
        CMenu menu;
        menu.LoadMenu(kMenuResource);
        const CRect client = ClientToScreen(GetClientRect());
        menu.GetSubMenu(0)->TrackPopupMenu(TPM_LEFTALIGN | TPM_BOTTOMALIGN, client.left,
                                           client.bottom, this);
        return true;
    }
    return CFrameWnd::PreTranslateMessage(msg);
}

void DemoFrame::OnBoth() {
    Log().push_back("frame: Both");
}

void DemoFrame::OnFrameOnly() {
    Log().push_back("frame: Frame only");
}

void DemoFrame::OnDialog() {
    CDialog dialog(kDialogResource);
    Log().push_back(Format("dialog ended %d", dialog.DoModal()));
}

// clang-format off
BEGIN_MESSAGE_MAP(DemoApp, CWinApp)
    on::Command(ID_APP_ONLY, &DemoApp::OnAppOnly),
END_MESSAGE_MAP()
// clang-format on

bool DemoApp::InitInstance() {
    AfxSetResources(&Resources());
    SetRegistryKey("Demo Company");
    LoadStdProfileSettings(4);
    AddDocTemplate(CSingleDocTemplate::Make<DemoDoc, DemoFrame, DemoView>(kFrameResource));
    CCommandLineInfo info;
    ParseCommandLine(info);
    if (!ProcessShellCommand(info)) return false;
    m_pMainWnd->ShowWindow(SW_SHOW);
    m_pMainWnd->UpdateWindow();
    m_pMainWnd->SetForegroundWindow();
    return true;
}

void DemoApp::OnAppOnly() {
    ++m_nAppOnly;
}

}  // namespace demo
