// The view's commands: tools, clear, stepping through the memos, delete, rename, file
// information, the date stamp and the ruled lines.
#include "app/MainFrame.h"
#include "app/QuilloApp.h"
#include "dialogs/FileInfoDlg.h"
#include "dialogs/RenameDlg.h"
#include "memo/QuilloDoc.h"
#include "platform/base/Format.h"
#include "platform/fs/Device.h"
#include "platform/fs/DevicePath.h"
#include "platform/fs/File.h"
#include "platform/ui/CmdUI.h"
#include "platform/ui/Menu.h"
#include "platform/ui/ModalRun.h"
#include "res/ResourceIds.h"
#include "settings/ProfileValues.h"
#include "view/QuilloView.h"

namespace {

// "%d/%d/%d %02d:%02d": month and day unpadded, hour and minute padded.
std::string UpdatedText(const SYSTEMTIME& time) {
    return Format("%d/%d/%d %02d:%02d", time.wYear, time.wMonth, time.wDay, time.wHour,
                  time.wMinute);
}

}  // namespace

std::string CQuilloView::CurrentMemoName() const {
    return CQuilloApp::GetMemoTitle(GetDocument()->GetPathName()) + QuilloApp()->m_strMemoExt;
}

void CQuilloView::PopUpUnderButton(UINT button, int popup) {
    auto* frame = static_cast<CMainFrame*>(AfxGetMainWnd());
    if (frame == nullptr) return;
    const CRect area = frame->m_commandBar.GetButtonRect(button);
    const CPoint corner = frame->m_commandBar.ClientToScreen(CPoint{area.left, area.bottom});
    CMenu menu;
    if (!menu.LoadMenu(IDR_VIEW_POPUPS)) return;
    // One pixel below the button, its left edges in line; the choice comes as a command.
    if (CMenu* items = menu.GetSubMenu(popup)) {
        items->TrackPopupMenu(TPM_LEFTALIGN | TPM_TOPALIGN, corner.x, corner.y + 1, frame);
    }
    menu.DestroyMenu();
}

void CQuilloView::OnToolPen() {
    m_nTool = ToolPen;
}

void CQuilloView::OnToolEraser() {
    m_nTool = ToolEraser;
}

void CQuilloView::OnUpdateToolPen(CCmdUI* ui) {
    ui->SetCheck(m_nTool == ToolPen ? 1 : 0);
}

void CQuilloView::OnUpdateToolEraser(CCmdUI* ui) {
    ui->SetCheck(m_nTool == ToolEraser ? 1 : 0);
}

void CQuilloView::OnUpdateNeedsPath(CCmdUI* ui) {
    ui->Enable(!GetDocument()->GetPathName().empty());
}

void CQuilloView::OnUpdateRuledLines(CCmdUI* ui) {
    ui->SetCheck(m_bBackLine ? 1 : 0);
}

void CQuilloView::OnClear() {
    GetDocument()->RecordClear();
    NewCanvas();
    Invalidate(true);
}

void CQuilloView::OnDeleteMemo() {
    const std::string path = GetDocument()->GetPathName();
    if (AfxMessageBox(CQuilloApp::GetMemoTitle(path) + " を削除してよろしいですか？",
                      MB_YESNO | MB_ICONQUESTION) != IDYES) {
        return;
    }
    (void)QuilloApp()->DeleteMemo(path);  // a failure was told
}

void CQuilloView::OnNextMemo() {
    CQuilloApp* app = QuilloApp();
    const int count = app->RefreshMemoList();
    if (count == 0) return;
    const int current = app->FindMemo(CurrentMemoName());
    app->OpenMemoAt(current + 1 < count ? current + 1 : 0);
}

void CQuilloView::OnPrevMemo() {
    CQuilloApp* app = QuilloApp();
    const int count = app->RefreshMemoList();
    if (count == 0) return;
    const int current = app->FindMemo(CurrentMemoName());
    app->OpenMemoAt(current - 1 >= 0 ? current - 1 : count - 1);
}

void CQuilloView::OnRenameMemo() {
    CQuilloDoc* document = GetDocument();
    CRenameDlg dialog;
    dialog.m_strOldName = CQuilloApp::GetMemoTitle(document->GetPathName());
    dialog.m_strNewName = dialog.m_strOldName;
    if (dialog.DoModal() != IDOK) return;
    // What is renamed is the memo as it is on screen, on disk first.
    const std::string path = SaveToDisk();
    if (path.empty()) return;
    (void)QuilloApp()->RenameMemo(path, dialog.m_strNewName);  // a failure was told
}

void CQuilloView::OnMemoInfo() {
    CQuilloApp* app = QuilloApp();
    const std::string path = GetDocument()->GetPathName();
    CFileInfoDlg dialog;
    const size_t separator = path.rfind('\\');
    dialog.m_strFileName = separator == std::string::npos ? path : path.substr(separator + 1);
    FileStatus status;
    const bool known = Device::FileSystem().GetStatus(path, status);
    if (known) dialog.m_strSize = Format("%ld", static_cast<long>(status.size));
    const int count = app->RefreshMemoList();
    const int index = app->FindMemo(CurrentMemoName());
    dialog.m_strIndex = Format("%d/%d", index + 1, count);
    if (index != -1) {
        dialog.m_strUpdated =
            UpdatedText(LocalTimeOfSeconds(app->m_memoList[static_cast<size_t>(index)].time));
    }
    // The file's own time wins when it can be read; it stays open while the dialog shows.
    CFile file;
    if (file.Open(path, CFile::modeRead) && known) {
        dialog.m_strUpdated = UpdatedText(FileTimeToLocalTime(status.lastWrite));
    }
    dialog.DoModal();
}

void CQuilloView::OnInsertDate() {
    const SYSTEMTIME today = GetLocalTime();
    StampText(0, 0, Format("%d/%02d/%02d", today.wYear, today.wMonth, today.wDay));
    GetDocument()->SetModifiedFlag();
}

void CQuilloView::OnRuledLines() {
    m_bBackLine = !m_bBackLine;
    CQuilloApp::TellIfSettingNotWritten(
        QuilloApp()->WriteProfileInt(profile::kBackLine, m_bBackLine ? 1 : 0));
    Invalidate(true);
}

void CQuilloView::OnKeyDown(UINT key, UINT repeat, UINT flags) {
    switch (key) {
        case VK_ESCAPE:
            if (CWnd* main = AfxGetMainWnd()) main->SendMessage(WM_COMMAND, ID_PREVIEW);
            break;
        case VK_PRIOR:
        case VK_LEFT:
        case VK_UP:
            OnPrevMemo();
            break;
        case VK_NEXT:
        case VK_RIGHT:
        case VK_DOWN:
            OnNextMemo();
            break;
        default:
            break;
    }
    CView::OnKeyDown(key, repeat, flags);
}
