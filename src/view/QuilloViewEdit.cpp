// The edit commands: undo and redo of the memo's changes, and its picture copied to the
// desktop's clipboard.
#include "memo/QuilloDoc.h"
#include "platform/ui/Clipboard.h"
#include "platform/ui/CmdUI.h"
#include "platform/ui/ModalRun.h"
#include "view/QuilloView.h"

void CQuilloView::OnEditUndo() {
    if (GetDocument()->Undo()) Invalidate(true);
}

void CQuilloView::OnEditRedo() {
    if (GetDocument()->Redo()) Invalidate(true);
}

void CQuilloView::OnUpdateEditUndo(CCmdUI* ui) {
    ui->Enable(GetDocument()->CanUndo());
}

void CQuilloView::OnUpdateEditRedo(CCmdUI* ui) {
    ui->Enable(GetDocument()->CanRedo());
}

void CQuilloView::OnEditCopy() {
    CBitmap* picture = GetDocument()->m_bitmap.GetBitmap();
    if (picture == nullptr) return;
    if (!SetClipboardBitmap(picture)) {
        AfxMessageBox("メモをコピーできませんでした。", MB_OK | MB_ICONEXCLAMATION);
    }
}

void CQuilloView::OnUpdateEditCopy(CCmdUI* ui) {
    ui->Enable(GetDocument()->m_bitmap.GetBitmap() != nullptr);
}
