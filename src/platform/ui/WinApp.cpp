#include "WinApp.h"

#include <QApplication>
#include <algorithm>

#include "platform/base/Format.h"
#include "platform/base/Text.h"
#include "platform/fs/Device.h"
#include "platform/registry/Profile.h"
#include "platform/registry/Registry.h"
#include "platform/ui/DocTemplate.h"
#include "platform/ui/FileDialog.h"
#include "platform/ui/Frame.h"

namespace {

CWinApp* gApp = nullptr;
const char* const kRecentFileSection = "Recent File List";

std::string Quoted(const std::string& word) {
    return word.find_first_of(" \t") == std::string::npos ? word : "\"" + word + "\"";
}

}  // namespace

// clang-format off
BEGIN_MESSAGE_MAP(CWinApp, CCmdTarget)
    on::Command(ID_FILE_NEW, &CWinApp::OnFileNew),
    on::Command(ID_FILE_OPEN, &CWinApp::OnFileOpen),
    on::Command(ID_APP_EXIT, &CWinApp::OnAppExit),
END_MESSAGE_MAP()
// clang-format on

CWinApp::CWinApp(std::string_view exeName) : m_pszExeName(exeName), m_pszAppName(exeName) {
    gApp = this;
}

CWinApp::~CWinApp() {
    // The windows go before the application that their handlers reach.
    m_docTemplate.reset();
    if (gApp == this) gApp = nullptr;
}

CWinApp* AfxGetApp() {
    return gApp;
}

CWnd* AfxGetMainWnd() {
    return gApp != nullptr ? gApp->m_pMainWnd : nullptr;
}

std::string AfxGetAppName() {
    return gApp != nullptr ? gApp->m_pszAppName : std::string();
}

void AfxPostQuitMessage(int exitCode) {
    if (QCoreApplication::instance() != nullptr) QCoreApplication::exit(exitCode);
}

void AfxPostCall(std::function<void()> call) {
    if (QCoreApplication::instance() != nullptr) {
        // Queued: safe from any thread, run on the user-interface thread.
        QMetaObject::invokeMethod(QCoreApplication::instance(), std::move(call),
                                  Qt::QueuedConnection);
    }
}

int CWinApp::ExitInstance() {
    return 0;
}

int CWinApp::Run() {
    if (m_pMainWnd == nullptr) return ExitInstance();
    QApplication::exec();
    return ExitInstance();
}

void CWinApp::OnIdle() {
    if (auto* frame = dynamic_cast<CFrameWnd*>(m_pMainWnd)) frame->OnIdleUpdateCmdUI();
}

bool CWinApp::PreTranslateMessage(MSG* msg) {
    for (CWnd* window = msg->hwnd; window != nullptr; window = window->GetParent()) {
        if (window->PreTranslateMessage(msg)) return true;
    }
    return false;
}

void CWinApp::SetCommandLine(std::vector<std::string> words) {
    m_lpCmdLine.clear();
    for (const std::string& word : words)
        m_lpCmdLine += (m_lpCmdLine.empty() ? "" : " ") + Quoted(word);
    m_commandWords = std::move(words);
}

void CWinApp::ParseCommandLine(CCommandLineInfo& info) const {
    // The words come split by the shell already: splitting them again would lose quotes.
    for (const std::string& word : m_commandWords) {
        if (word.empty() || word.front() == '-') continue;
        // A file manager names a file by its host path: inside the device it is the device
        // path of that file. Any other word starting with "/" is a switch, unless it is a
        // path of more than one name.
        std::string device = Device::DevicePathOfHost(word);
        if (device.empty() && word.front() == '/' &&
            word.find_first_of("/\\", 1) == std::string::npos) {
            continue;
        }
        info.m_nShellCommand = CCommandLineInfo::FileOpen;
        info.m_strFileName = device.empty() ? word : std::move(device);
        return;
    }
    info.m_nShellCommand = CCommandLineInfo::FileNew;
}

bool CWinApp::ProcessShellCommand(const CCommandLineInfo& info) {
    if (info.m_nShellCommand == CCommandLineInfo::FileOpen) {
        return OpenDocumentFile(info.m_strFileName) != nullptr;
    }
    OnFileNew();
    return m_pMainWnd != nullptr;
}

void CWinApp::SetRegistryKey(std::string_view company) {
    m_pszRegistryKey = company;
    m_profile.reset();
}

Registry* CWinApp::GetRegistry() {
    return Registry::OfDevice();
}

Profile& CWinApp::GetProfile() {
    // The device's registry is opened anew when another device is mounted.
    Registry* registry = GetRegistry();
    if (!m_profile || m_pProfileRegistry != registry) {
        m_profile = std::make_unique<Profile>(registry, m_pszRegistryKey, m_pszExeName);
        m_pProfileRegistry = registry;
    }
    return *m_profile;
}

int CWinApp::GetProfileInt(std::string_view section, std::string_view entry, int defaultValue) {
    return GetProfile().GetInt(section, entry, defaultValue);
}

std::string CWinApp::GetProfileString(std::string_view section, std::string_view entry,
                                      std::string_view defaultValue) {
    return GetProfile().GetString(section, entry, defaultValue);
}

bool CWinApp::WriteProfileInt(std::string_view section, std::string_view entry, int value) {
    return GetProfile().WriteInt(section, entry, value);
}

bool CWinApp::WriteProfileString(std::string_view section, std::string_view entry,
                                 std::string_view value) {
    return GetProfile().WriteString(section, entry, value);
}

void CWinApp::LoadStdProfileSettings(int maxFiles) {
    m_nMaxRecentFiles = maxFiles;
    m_recentFiles.clear();
    for (int i = 1; i <= maxFiles; ++i) {
        const std::string path = GetProfileString(kRecentFileSection, Format("File%d", i));
        if (!path.empty()) m_recentFiles.push_back(path);
    }
}

void CWinApp::AddToRecentFileList(std::string_view path) {
    if (m_nMaxRecentFiles <= 0 || path.empty()) return;
    std::erase_if(m_recentFiles,
                  [path](const std::string& known) { return EqualNoCase(known, path); });
    m_recentFiles.insert(m_recentFiles.begin(), std::string(path));
    if (m_recentFiles.size() > static_cast<size_t>(m_nMaxRecentFiles)) {
        m_recentFiles.resize(static_cast<size_t>(m_nMaxRecentFiles));
    }
    WriteRecentFileList();
}

void CWinApp::RenameInRecentFileList(std::string_view from, std::string_view to) {
    if (std::none_of(m_recentFiles.begin(), m_recentFiles.end(),
                     [from](const std::string& known) { return EqualNoCase(known, from); })) {
        return;
    }
    // An older entry of the new name goes: the renamed file is the one it names now.
    std::vector<std::string> renamed;
    for (const std::string& known : m_recentFiles) {
        if (EqualNoCase(known, from)) {
            renamed.emplace_back(to);
        } else if (!EqualNoCase(known, to)) {
            renamed.push_back(known);
        }
    }
    m_recentFiles = std::move(renamed);
    for (size_t i = m_recentFiles.size(); i < static_cast<size_t>(m_nMaxRecentFiles); ++i) {
        // Unwritten, the list only shows an older state at the next start.
        (void)WriteProfileString(kRecentFileSection, Format("File%zu", i + 1), "");
    }
    WriteRecentFileList();
}

void CWinApp::WriteRecentFileList() {
    for (size_t i = 0; i < m_recentFiles.size(); ++i) {
        // Unwritten, the list only shows an older state at the next start.
        (void)WriteProfileString(kRecentFileSection, Format("File%zu", i + 1), m_recentFiles[i]);
    }
}

void CWinApp::AddDocTemplate(std::unique_ptr<CSingleDocTemplate> docTemplate) {
    m_docTemplate = std::move(docTemplate);
}

CDocument* CWinApp::OpenDocumentFile(std::string_view path) {
    return m_docTemplate != nullptr ? m_docTemplate->OpenDocumentFile(path) : nullptr;
}

void CWinApp::OnFileNew() {
    (void)OpenDocumentFile({});  // the document tells why it could not
}

void CWinApp::OnFileOpen() {
    CFileDialog dialog(true, {}, {}, OFN_HIDEREADONLY | OFN_PATHMUSTEXIST, {}, m_pMainWnd);
    // The document tells why it could not.
    if (dialog.DoModal() == IDOK) (void)OpenDocumentFile(dialog.GetPathName());
}

void CWinApp::OnAppExit() {
    if (m_pMainWnd != nullptr) m_pMainWnd->SendMessage(WM_CLOSE);
}
