#include "app/MemoRecovery.h"

#include "memo/QuilloDoc.h"
#include "memo/RecoveryCopy.h"
#include "platform/ui/DocTemplate.h"
#include "platform/ui/View.h"

CMemoRecovery::CMemoRecovery() = default;
CMemoRecovery::~CMemoRecovery() {
    if (m_pDocument != nullptr) m_pDocument->KeepChangesIn(nullptr);
}

bool CMemoRecovery::Claim() {
    m_folder = RecoveryFolder::Claim();
    return m_folder != nullptr;
}

bool CMemoRecovery::ReadLeftCopy(RecoveryCopy& copy) {
    std::string bytes;
    if (m_folder == nullptr || !m_folder->ReadCopy(bytes)) return false;
    CMemoBitmap picture;
    if (DecodeRecoveryCopy(bytes, copy) && picture.LoadBytes(copy.memo)) return true;
    m_folder->SetCopyAside("damaged");
    return false;
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
        m_folder->RemoveCopy();
    } else {
        m_folder->SetCopyAside("unsaved");
    }
}

void CMemoRecovery::Start(CQuilloDoc& document) {
    if (m_folder == nullptr) return;
    m_writer = std::make_unique<RecoveryWriter>(m_folder->FolderFd());
    m_pDocument = &document;
    document.KeepChangesIn(this);
    // A restored memo keeps its copy until the next change replaces it or a save removes it.
    m_copyMayExist = m_folder->HasCopy();
    if (document.IsModified()) MemoChanged(document);
}

void CMemoRecovery::MemoChanged(const CQuilloDoc& document) {
    if (m_writer == nullptr) return;
    auto snapshot = std::make_shared<const MemoSnapshot>(document.m_bitmap, document.GetPathName(),
                                                         document.GetFileIdentity());
    if (snapshot->IsEmpty()) return;
    m_writer->Write(
        [snapshot](const RecoveryWriter::Sink& sink) { return snapshot->WriteTo(sink); });
    m_copyMayExist = true;
}

void CMemoRecovery::MemoSafe() {
    if (m_writer == nullptr || !m_copyMayExist) return;
    m_writer->Remove();
    m_copyMayExist = false;
}

void CMemoRecovery::Flush() {
    if (m_writer != nullptr) m_writer->Flush();
}
