#include "memo/QuilloDoc.h"

#include "app/MemoRecovery.h"
#include "app/QuilloApp.h"
#include "platform/base/Exceptions.h"
#include "platform/base/Format.h"
#include "platform/base/Text.h"
#include "platform/fs/DevicePath.h"
#include "platform/fs/File.h"
#include "platform/ui/FileDialog.h"
#include "platform/ui/ModalRun.h"

// clang-format off
BEGIN_MESSAGE_MAP(CQuilloDoc, CDocument)
    on::Command(ID_FILE_SAVE, &CQuilloDoc::OnSave),
    on::Command(ID_FILE_SAVE_AS, &CQuilloDoc::OnSaveAs),
END_MESSAGE_MAP()
// clang-format on

void CQuilloDoc::OnModifiedFlagSet(bool modified) {
    if (m_pRecovery == nullptr) return;
    if (modified) {
        m_pRecovery->MemoChanged(*this);
    } else {
        m_pRecovery->MemoSafe();
    }
}

bool CQuilloDoc::NewMemo() {
    m_fileIdentity = {};
    return CDocument::NewMemo();
}

bool CQuilloDoc::OpenMemo(std::string_view path) {
    m_bitmap.Reset();
    m_fileIdentity = {};
    try {
        m_bitmap.LoadFile(path, &m_fileIdentity);
    } catch (const CFileException&) {
        // A file that cannot be read opens as an empty canvas under its path.
    }
    SetPathName(path);
    SetModifiedFlag(false);
    return true;
}

bool CQuilloDoc::SaveMemo(std::string_view path) {
    WriteMemo(path);
    return true;
}

bool CQuilloDoc::WriteMemo(std::string_view path) {
    // A failed save must not pass for a saved memo: the flag stays up, so leaving the memo
    // again tries again, and the old file is untouched.
    bool saved = false;
    try {
        saved = m_bitmap.SaveFile(path, &m_fileIdentity);
    } catch (const CFileException&) {
        saved = false;
    }
    if (saved) SetModifiedFlag(false);
    return saved;
}

namespace {

constexpr const char* kSaveFailed = "メモを保存できませんでした。";
constexpr const char* kQuitUnsaved = "メモを保存できませんでした。保存せずに終了しますか？";

}  // namespace

bool CQuilloDoc::SaveSilently() {
    // A canvas without a picture (a file that was no bitmap) holds nothing to lose.
    if (m_bitmap.GetBitmap() == nullptr) return true;
    if (GetPathName().empty()) {
        const std::string path = CreateAutoPath();
        if (path.empty()) return false;
        SetPathName(path);
    }
    return WriteMemo(GetPathName());
}

bool CQuilloDoc::SaveIfModified() {
    if (!IsModified() || SaveSilently()) return true;
    AfxMessageBox(kSaveFailed, MB_OK | MB_ICONEXCLAMATION);
    return false;
}

bool CQuilloDoc::SaveBeforeClose() {
    if (!IsModified() || SaveSilently()) return true;
    if (AfxMessageBox(kQuitUnsaved, MB_YESNO | MB_ICONQUESTION) != IDYES) return false;
    QuilloApp()->OnEndSession();  // keeps a copy where the next start can point to it
    return true;
}

void CQuilloDoc::OnSave() {
    if (!GetPathName().empty()) {
        SaveMemo(GetPathName());
    } else {
        OnSaveAs();
    }
}

void CQuilloDoc::OnSaveAs() {
    std::string path;
    if (GetPathName().empty()) path = CreateAutoPath();
    // A memo without a name, where no automatic name can be made, is named by the user.
    if (path.empty()) {
        CFileDialog dialog(
            false, "bmp", GetPathName(),
            OFN_OVERWRITEPROMPT | OFN_HIDEREADONLY | OFN_NOCHANGEDIR | OFN_PATHMUSTEXIST,
            "bmpﾌｧｲﾙ(*.bmp) |*.bmp||");
        dialog.m_strTitle = "名前を付けて保存";
        dialog.m_strInitialFolder = QuilloApp()->m_strSaveFolder;
        if (dialog.DoModal() != IDOK) return;
        path = dialog.GetPathName();
    }
    SetPathName(path);
    SaveMemo(path);
}

std::string CQuilloDoc::SaveAndGetPath() {
    if (GetPathName().empty()) {
        const std::string path = CreateAutoPath();
        if (path.empty()) return {};
        SetPathName(path);
    }
    return WriteMemo(GetPathName()) ? GetPathName() : std::string();
}

std::string CQuilloDoc::CreateAutoPath() const {
    const CQuilloApp* app = QuilloApp();
    const SYSTEMTIME now = GetLocalTime();
    const std::string name =
        Format("%d%02d%02d%02d%02d.bmp", now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute);
    std::string candidate = app->GetMemoPath(name);
    const std::string base = candidate.substr(0, candidate.rfind('.'));
    candidate = base + app->m_strMemoExt;
    for (int counter = 1;; ++counter) {
        // The device holds no longer path: a name that does not fit is refused, not cut.
        if (Utf16Length(candidate) >= kMaxDevicePath) return {};
        CFile probe;
        if (!probe.Open(candidate, CFile::modeRead)) return candidate;
        candidate = Format("%s(%02d)", base.c_str(), counter) + app->m_strMemoExt;
    }
}
