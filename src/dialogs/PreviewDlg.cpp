#include "dialogs/PreviewDlg.h"

#include <algorithm>

#include "app/QuilloApp.h"
#include "dialogs/RenameDlg.h"
#include "platform/fs/Device.h"
#include "platform/fs/DevicePath.h"
#include "platform/ui/ModalRun.h"
#include "res/ResourceIds.h"

namespace {

constexpr int kMargin = 2;
constexpr int kPageRows = 5;

}  // namespace

// clang-format off
BEGIN_MESSAGE_MAP(CPreviewDlg, CDialog)
    on::VScroll(&CPreviewDlg::OnVScroll),
    on::Command(IDC_PREVIEW_NEW, &CPreviewDlg::OnNew),
    on::Command(IDC_PREVIEW_DELETE, &CPreviewDlg::OnDelete),
    on::Command(IDC_PREVIEW_TITLE, &CPreviewDlg::OnTitle),
END_MESSAGE_MAP()
// clang-format on

CPreviewDlg::CPreviewDlg() : CDialog(IDD_PREVIEW) {}

int CPreviewDlg::LargestFirstRow(int count) {
    return std::max(0, (count - 1) / 2 - 1);
}

bool CPreviewDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    m_scrollBar.Attach(GetDlgItem(IDC_PREVIEW_SCROLL)->GetWidget(), this, IDC_PREVIEW_SCROLL);
    m_nMaxRow = LargestFirstRow(m_pMemoList != nullptr ? static_cast<int>(m_pMemoList->size()) : 0);
    m_scrollBar.SetScrollRange(0, m_nMaxRow, true);
    m_scrollBar.SetScrollPage(CThumbnailCtrl::kCells / 2);  // the rows in view
    m_scrollBar.SetScrollPos(0, true);
    m_thumbnails.SubclassDlgItem(IDC_PREVIEW_THUMBNAILS, this);
    m_thumbnails.m_pMemoList = m_pMemoList;
    FitControls();
    return true;
}

namespace {

// A control's rectangle in its dialog's client coordinates.
CRect RectInParent(const CWnd& control, const CWnd& dialog) {
    const CRect screen = control.GetWindowRect();
    const CPoint topLeft = dialog.ScreenToClient(CPoint{screen.left, screen.top});
    return {topLeft.x, topLeft.y, topLeft.x + screen.Width(), topLeft.y + screen.Height()};
}

}  // namespace

void CPreviewDlg::FitControls() {
    const CRect client = GetClientRect();
    CRect bar = RectInParent(m_scrollBar, *this);
    const int32_t barWidth = bar.Width();
    bar.right = client.right - kMargin;
    bar.left = bar.right - barWidth;
    bar.bottom = client.bottom - kMargin;
    m_scrollBar.MoveWindow(bar);
    CRect area = RectInParent(m_thumbnails, *this);
    area.right = bar.left - kMargin;
    area.bottom = client.bottom - kMargin;
    m_thumbnails.MoveWindow(area);
}

void CPreviewDlg::OnVScroll(UINT code, UINT position, CScrollBar*) {
    int row = m_thumbnails.m_nFirstRow;
    switch (code) {
        case SB_LINEUP:
            --row;
            break;
        case SB_LINEDOWN:
            ++row;
            break;
        case SB_PAGEUP:
            row -= kPageRows;
            break;
        case SB_PAGEDOWN:
            row += kPageRows;
            break;
        case SB_THUMBPOSITION:
        case SB_THUMBTRACK:
            row = static_cast<int>(position);
            break;
        case SB_TOP:
            row = 0;
            break;
        case SB_BOTTOM:
            row = m_nMaxRow;
            break;
        default:
            break;
    }
    row = std::clamp(row, 0, m_nMaxRow);
    m_scrollBar.SetScrollPos(row, true);
    if (row != m_thumbnails.m_nFirstRow) {
        m_thumbnails.m_nFirstRow = row;
        m_thumbnails.Invalidate();
    }
}

void CPreviewDlg::OnOK() {
    m_nResult = m_thumbnails.m_nSelected;
    CDialog::OnOK();
}

void CPreviewDlg::OnNew() {
    m_nResult = kNewMemo;
    EndDialog(IDOK);
}

MemoEntry* CPreviewDlg::SelectedMemo() {
    const int selected = m_thumbnails.m_nSelected;
    if (m_pMemoList == nullptr || selected < 0 ||
        selected >= static_cast<int>(m_pMemoList->size())) {
        AfxMessageBox("メモを選択してください", MB_OK);
        return nullptr;
    }
    return &(*m_pMemoList)[static_cast<size_t>(selected)];
}

void CPreviewDlg::OnDelete() {
    const MemoEntry* memo = SelectedMemo();
    if (memo == nullptr) return;
    CQuilloApp* app = QuilloApp();
    if (AfxMessageBox(CQuilloApp::GetMemoTitle(memo->name) + " を削除してよろしいですか？",
                      MB_YESNO | MB_ICONQUESTION) != IDYES) {
        return;
    }
    if (!app->DeleteMemo(app->GetMemoPath(memo->name))) return;
    m_nMaxRow = LargestFirstRow(app->RefreshMemoList());
    m_scrollBar.SetScrollRange(0, m_nMaxRow, true);
    m_thumbnails.m_nFirstRow = 0;
    m_scrollBar.SetScrollPos(0, true);
    m_thumbnails.m_nSelected = -1;
    m_thumbnails.Invalidate();
}

void CPreviewDlg::OnTitle() {
    MemoEntry* memo = SelectedMemo();
    if (memo == nullptr) return;
    CQuilloApp* app = QuilloApp();
    CRenameDlg rename;
    rename.m_strOldName = CQuilloApp::GetMemoTitle(memo->name);
    rename.m_strNewName = rename.m_strOldName;
    if (rename.DoModal() != IDOK) return;
    if (!app->RenameMemo(app->GetMemoPath(memo->name), rename.m_strNewName)) return;
    memo->name = rename.m_strNewName + ".bmp";
    m_thumbnails.Invalidate();
}
