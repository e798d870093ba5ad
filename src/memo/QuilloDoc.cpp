#include "memo/QuilloDoc.h"

#include "platform/base/Format.h"
#include "platform/base/Text.h"
#include "platform/fs/Device.h"
#include "platform/fs/DevicePath.h"
#include "platform/fs/File.h"
#include "platform/ui/FileDialog.h"
#include "platform/ui/ModalRun.h"
#include "platform/ui/WinApp.h"

// clang-format off
BEGIN_MESSAGE_MAP(CQuilloDoc, CDocument)
    on::Command(ID_FILE_SAVE, &CQuilloDoc::OnSave),
    on::Command(ID_FILE_SAVE_AS, &CQuilloDoc::OnSaveAs),
END_MESSAGE_MAP()
// clang-format on

namespace {

constexpr const char* kSaveFailed = "メモを保存できませんでした。";
constexpr const char* kQuitUnsaved = "メモを保存できませんでした。保存せずに終了しますか？";
constexpr const char* kSavedAsNew =
    "別のプログラムがメモを変更したため、新しいメモとして保存しました。";
constexpr const char* kUnreadable = "このメモは読み込めませんでした。";
// Names taken by other files while a save was under way; more in a row means something
// keeps filling the folder, and the save is told as failed.
constexpr int kAutoNameAttempts = 8;

using Outcome = CReplacingFile::Outcome;

}  // namespace

void CQuilloDoc::OnModifiedFlagSet(bool modified) {
    if (m_pChangeListener == nullptr) return;
    if (modified) {
        m_pChangeListener->MemoChanged(*this);
    } else {
        m_pChangeListener->MemoSafe();
    }
}

bool CQuilloDoc::NewMemo() {
    m_history.Reset();
    m_fileIdentity = {};
    m_bAutoSaveFailed = false;
    m_bUnreadable = false;
    return CDocument::NewMemo();
}

bool CQuilloDoc::OpenMemo(std::string_view path) {
    m_history.Reset();
    m_bitmap.Reset();
    m_fileIdentity = {};
    m_bAutoSaveFailed = false;
    // One spelling per file, so that the title, the memo list and the alarms agree on it.
    const std::string canonical = Device::FileSystem().CanonicalPath(path);
    // A file that cannot be read opens as an empty canvas under its path.
    const bool loaded = m_bitmap.LoadFile(canonical, &m_fileIdentity);
    HostLocation location;
    m_bUnreadable = !loaded && Device::FileSystem().Locate(canonical, location) && location.exists;
    SetPathName(canonical);
    SetModifiedFlag(false);
    // Said once the window runs, and only while this memo is still the one shown.
    if (m_bUnreadable) {
        AfxPostCall([canonical, self = std::weak_ptr<const CQuilloDoc*>(m_self)] {
            const auto alive = self.lock();
            const CQuilloDoc* memo = alive != nullptr ? *alive : nullptr;
            if (memo != nullptr && memo->m_bUnreadable && memo->GetPathName() == canonical) {
                AfxMessageBox(kUnreadable, MB_OK | MB_ICONEXCLAMATION);
            }
        });
    }
    return true;
}

bool CQuilloDoc::Undo() {
    if (!m_history.Undo(m_bitmap)) return false;
    SetModifiedFlag(!m_history.IsUnmodified());
    return true;
}

bool CQuilloDoc::Redo() {
    if (!m_history.Redo(m_bitmap)) return false;
    SetModifiedFlag(!m_history.IsUnmodified());
    return true;
}

bool CQuilloDoc::TakeRecoveredPicture(std::string_view memo) {
    if (!m_bitmap.LoadBytes(memo)) return false;
    m_history.Reset(false);
    SetModifiedFlag();
    return true;
}

bool CQuilloDoc::SaveMemo(std::string_view path) {
    return WriteMemo(path, nullptr) == Outcome::Committed;
}

Outcome CQuilloDoc::WriteMemo(std::string_view path, const FileIdentity* expected) {
    // A failed save must not pass for a saved memo: the flag stays up, so leaving the memo
    // again tries again, and the old file is untouched.
    FileIdentity written;
    Outcome outcome = Outcome::Failed;
    if (expected != nullptr) {
        outcome = m_bitmap.SaveFileIfUnchanged(path, *expected, &written);
    } else if (m_bitmap.SaveFile(path, &written)) {
        outcome = Outcome::Committed;
    }
    if (outcome == Outcome::Committed) {
        m_fileIdentity = written;
        m_history.MarkSaved();
        SetModifiedFlag(false);
    }
    return outcome;
}

bool CQuilloDoc::SaveUnderNewName() {
    const FileIdentity noFile;
    for (int attempt = 0; attempt < kAutoNameAttempts; ++attempt) {
        const std::string path = CreateAutoPath();
        if (path.empty()) break;
        const Outcome outcome = WriteMemo(path, &noFile);
        if (outcome == Outcome::Committed) {
            SetPathName(path);
            m_bAutoSaveFailed = false;
            return true;
        }
        if (outcome == Outcome::Failed) break;
        // Another file took the name meanwhile: the next counter.
    }
    // No path for a file that is not there: rename, delete and file information stay off.
    if (GetPathName().empty()) m_bAutoSaveFailed = true;
    return false;
}

CQuilloDoc::SaveResult CQuilloDoc::SaveKeepingOthers() {
    if (GetPathName().empty()) return SaveUnderNewName() ? SaveResult::Saved : SaveResult::Failed;
    // What could not be read is not known to be anything this memo may replace: it stays,
    // with its alarm, and this picture becomes a memo of its own.
    if (m_bUnreadable) {
        if (!SaveUnderNewName()) return SaveResult::Failed;
        m_bUnreadable = false;
        return SaveResult::Saved;
    }
    const Outcome outcome = WriteMemo(GetPathName(), &m_fileIdentity);
    if (outcome != Outcome::TargetChanged) {
        return outcome == Outcome::Committed ? SaveResult::Saved : SaveResult::Failed;
    }
    // Another program's version stays under the name, and so does the memo's alarm; this
    // picture becomes a memo of its own, which later saves go to.
    if (!SaveUnderNewName()) return SaveResult::Failed;
    m_bSavedAsNewUntold = true;
    return SaveResult::SavedAsNew;
}

CQuilloDoc::SaveResult CQuilloDoc::SaveNow() {
    if (m_bitmap.GetBitmap() == nullptr) return SaveResult::Saved;
    return SaveKeepingOthers();
}

void CQuilloDoc::TellSavedAsNew() {
    if (!m_bSavedAsNewUntold) return;
    m_bSavedAsNewUntold = false;
    AfxMessageBox(kSavedAsNew, MB_OK | MB_ICONEXCLAMATION);
}

bool CQuilloDoc::SaveSilently() {
    return SaveNow() != SaveResult::Failed;
}

bool CQuilloDoc::SaveIfModified() {
    if (!IsModified()) return true;
    if (SaveNow() == SaveResult::Failed) {
        AfxMessageBox(kSaveFailed, MB_OK | MB_ICONEXCLAMATION);
        return false;
    }
    TellSavedAsNew();
    return true;
}

bool CQuilloDoc::SaveBeforeClose() {
    if (!IsModified()) return true;
    if (SaveNow() != SaveResult::Failed) {
        TellSavedAsNew();
        return true;
    }
    if (AfxMessageBox(kQuitUnsaved, MB_YESNO | MB_ICONQUESTION) != IDYES) return false;
    m_host.KeepUnsavedMemo();
    return true;
}

void CQuilloDoc::OnSave() {
    if (GetPathName().empty()) {
        OnSaveAs();
        return;
    }
    if (SaveNow() == SaveResult::Failed) {
        AfxMessageBox(kSaveFailed, MB_OK | MB_ICONEXCLAMATION);
        return;
    }
    TellSavedAsNew();
}

void CQuilloDoc::OnSaveAs() {
    // A memo without a name gets an automatic one; when that cannot be made or written, the
    // user names it.
    if (GetPathName().empty() && !m_bAutoSaveFailed && SaveUnderNewName()) return;
    CFileDialog dialog(false, "bmp", GetPathName(),
                       OFN_OVERWRITEPROMPT | OFN_HIDEREADONLY | OFN_NOCHANGEDIR | OFN_PATHMUSTEXIST,
                       "bmpﾌｧｲﾙ(*.bmp) |*.bmp||");
    dialog.m_strTitle = "名前を付けて保存";
    dialog.m_strInitialFolder = m_host.GetSaveFolder();
    if (dialog.DoModal() != IDOK) return;
    // The user chose the name and agreed to replace what is there.
    const std::string path = Device::FileSystem().CanonicalPath(dialog.GetPathName());
    if (!SaveMemo(path)) {
        AfxMessageBox(kSaveFailed, MB_OK | MB_ICONEXCLAMATION);
        return;  // the memo keeps the path it had
    }
    SetPathName(path);
    m_bAutoSaveFailed = false;
}

std::string CQuilloDoc::SaveAndGetPath() {
    // A file that could not be read holds nothing of this memo to write, and another
    // program's version is the memo now: either is named as it is.
    if (m_bitmap.GetBitmap() == nullptr) return GetPathName();
    if (!IsModified() && !GetPathName().empty() && FileIdentityAt(GetPathName()).IsKnown()) {
        return GetPathName();
    }
    if (SaveKeepingOthers() == SaveResult::Failed) return {};
    TellSavedAsNew();
    return GetPathName();
}

CQuilloDoc::FileCheck CQuilloDoc::CheckFileOnActivation() {
    TellSavedAsNew();
    if (IsModified() || GetPathName().empty() || !m_fileIdentity.IsKnown()) {
        return FileCheck::Unchanged;
    }
    const FileIdentity now = FileIdentityAt(GetPathName());
    if (now == m_fileIdentity) return FileCheck::Unchanged;
    return now.IsKnown() ? FileCheck::ChangedElsewhere : FileCheck::Gone;
}

void CQuilloDoc::FollowRename(std::string_view newPath, bool wasCurrent) {
    const std::string oldPath = GetPathName();
    SetPathName(newPath, false);
    m_host.MemoRenamed(oldPath, GetPathName());
    // The rename moves the file's change time. A file that had changed before it stays
    // another program's version: the old identity makes the next look read it again, and
    // the next save keep it.
    if (wasCurrent) m_fileIdentity = FileIdentityAt(newPath);
}

std::string CQuilloDoc::CreateAutoPath() const {
    const SYSTEMTIME now = GetLocalTime();
    const std::string name =
        Format("%d%02d%02d%02d%02d.bmp", now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute);
    std::string candidate = m_host.GetMemoPath(name);
    const std::string base = candidate.substr(0, candidate.rfind('.'));
    const std::string& extension = m_host.GetMemoExtension();
    candidate = base + extension;
    for (int counter = 1;; ++counter) {
        // The device holds no longer path: a name that does not fit is refused, not cut.
        if (Utf16Length(candidate) >= kMaxDevicePath) return {};
        // Anything under the name takes it: a folder, a file nobody may read, a link.
        HostLocation location;
        if (!Device::FileSystem().Locate(candidate, location) || !location.exists) {
            return candidate;
        }
        candidate = Format("%s(%02d)", base.c_str(), counter) + extension;
    }
}
