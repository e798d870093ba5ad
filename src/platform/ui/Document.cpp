#include "Document.h"

#include "platform/ui/WinApp.h"

// clang-format off
BEGIN_MESSAGE_MAP(CDocument, CCmdTarget)
END_MESSAGE_MAP()
// clang-format on

void CDocument::SetPathName(std::string_view path, bool addToRecentFiles) {
    m_strPathName = path;
    const size_t separator = m_strPathName.find_last_of("\\/");
    m_strTitle =
        separator == std::string::npos ? m_strPathName : m_strPathName.substr(separator + 1);
    if (addToRecentFiles) {
        if (CWinApp* app = AfxGetApp()) app->AddToRecentFileList(m_strPathName);
    }
}

bool CDocument::NewMemo() {
    m_strPathName.clear();
    m_strTitle = "Untitled";
    SetModifiedFlag(false);
    return true;
}

bool CDocument::OpenMemo(std::string_view path) {
    SetPathName(path);
    SetModifiedFlag(false);
    return true;
}

bool CDocument::SaveMemo(std::string_view) {
    SetModifiedFlag(false);
    return true;
}

bool CDocument::SaveIfModified() {
    return true;
}
