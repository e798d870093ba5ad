#include "app/MemoRecovery.h"

#include "app/QuilloApp.h"
#include "memo/QuilloDoc.h"
#include "memo/RecoveryCopy.h"
#include "platform/ui/DocTemplate.h"
#include "platform/ui/ModalRun.h"
#include "platform/ui/View.h"

namespace {

const char* NotKeptText(int error) {
    switch (CopyTroubleOf(error)) {
        case CopyTrouble::NoRoom:
            return "デバイスの空き容量が足りないため、復元用のコピーを残せません。"
                   "保存していない変更は、異常終了すると失われます。";
        case CopyTrouble::HeldElsewhere:
            return "別の Quillo がこのデバイスを使っているため、復元用のコピーを残せません。"
                   "保存していない変更は、異常終了すると失われます。";
        case CopyTrouble::CannotWrite:
            break;
    }
    return "デバイスのフォルダに書き込めないため、復元用のコピーを残せません。"
           "保存していない変更は、異常終了すると失われます。";
}

// A window that is ending may hold the folder for a moment yet.
constexpr std::chrono::seconds kEndingWindowWait{2};

}  // namespace

CMemoRecovery::CMemoRecovery() = default;
CMemoRecovery::~CMemoRecovery() {
    if (m_pDocument != nullptr) m_pDocument->KeepChangesIn(nullptr);
}

bool CMemoRecovery::Claim() {
    m_folder = RecoveryFolder::Claim(&m_nClaimError, kEndingWindowWait);
    return m_folder != nullptr;
}

void CMemoRecovery::TellNotKept(int error) {
    if (m_bToldNotKept) return;
    m_bToldNotKept = true;
    // Said once the stroke or the save that noticed it is over.
    const char* text = NotKeptText(error);
    AfxPostCall([text] {
        if (QuilloApp() != nullptr) AfxMessageBox(text, MB_OK | MB_ICONEXCLAMATION);
    });
}

bool CMemoRecovery::ReadLeftCopy(RecoveryCopy& copy) {
    std::string bytes;
    if (m_folder == nullptr) return false;
    const RecoveryFolder::LeftCopy left = m_folder->ReadCopy(bytes);
    if (left == RecoveryFolder::LeftCopy::None) return false;
    CMemoBitmap picture;
    if (left == RecoveryFolder::LeftCopy::Read && DecodeRecoveryCopy(bytes, copy) &&
        picture.LoadBytes(copy.memo)) {
        return true;
    }
    SetAside("damaged", true);
    return false;
}

void CMemoRecovery::SetAside(std::string_view reason, bool damaged) {
    std::string path = m_folder->SetCopyAside(reason);
    // Where it could not be moved it stays, and the next start tries again.
    m_setAside = {path.empty() ? m_folder->CopyPath() : std::move(path), damaged};
}

bool CMemoRecovery::RestoreLeftCopy(CSingleDocTemplate* docTemplate) {
    RecoveryCopy copy;
    if (!ReadLeftCopy(copy)) return false;
    // Back under its own name, unless its file has changed since: then the picture comes
    // back as a new memo and that file stays as it is. A file that is gone is written again.
    const FileIdentity now = copy.path.empty() ? FileIdentity{} : FileIdentityAt(copy.path);
    const bool ownName = !copy.path.empty() && (!now.IsKnown() || now == copy.identity);
    auto* document =
        static_cast<CQuilloDoc*>(docTemplate->OpenDocumentFile(ownName ? copy.path : ""));
    if (document == nullptr || !document->TakeRecoveredPicture(copy.memo)) return false;
    if (CView* view = document->GetFirstView()) view->Invalidate(true);
    return true;
}

void CMemoRecovery::RescueLeftCopy(const std::function<bool(std::string_view)>& keep) {
    RecoveryCopy copy;
    if (!ReadLeftCopy(copy)) return;
    if (keep(copy.memo)) {
        // Kept in rescued/ already: a copy that stays comes back once more at the next start.
        (void)m_folder->RemoveCopy();
    } else {
        SetAside("unsaved", false);
    }
}

void CMemoRecovery::Start(CQuilloDoc& document) {
    m_pDocument = &document;
    document.KeepChangesIn(this);
    if (m_folder == nullptr) {
        if (document.IsModified()) TellNotKept(m_nClaimError);
        return;
    }
    // Told on the writer's thread; said on the user's.
    m_writer = std::make_unique<RecoveryWriter>(m_folder->FolderFd(), std::chrono::seconds(1),
                                                [](int error) {
                                                    AfxPostCall([error] {
                                                        if (CQuilloApp* app = QuilloApp())
                                                            app->m_recovery.TellNotKept(error);
                                                    });
                                                });
    // A restored memo keeps its copy until the next change replaces it or a save removes it;
    // one that was restored and saved on the way to another memo needs it no more.
    m_bCopyMayExist = m_folder->HasCopy();
    if (document.IsModified()) {
        MemoChanged(document);
    } else {
        MemoSafe();
    }
}

void CMemoRecovery::MemoChanged(const CQuilloDoc& document) {
    if (m_writer == nullptr) {
        TellNotKept(m_nClaimError);
        return;
    }
    auto snapshot = std::make_shared<const MemoSnapshot>(document.m_bitmap, document.GetPathName(),
                                                         document.GetFileIdentity());
    if (snapshot->IsEmpty()) return;
    m_writer->Write(
        [snapshot](const RecoveryWriter::Sink& sink) { return snapshot->WriteTo(sink); });
    m_bCopyMayExist = true;
}

void CMemoRecovery::MemoSafe() {
    if (m_writer == nullptr || !m_bCopyMayExist) return;
    m_writer->Remove();
    m_bCopyMayExist = false;
}

void CMemoRecovery::Flush() {
    if (m_writer != nullptr) m_writer->Flush();
}
