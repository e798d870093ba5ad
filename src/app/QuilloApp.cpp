#include "app/QuilloApp.h"

#include "app/MainFrame.h"
#include "firing/AlarmFiring.h"
#include "memo/QuilloDoc.h"
#include "platform/base/Format.h"
#include "platform/base/Text.h"
#include "platform/fs/Device.h"
#include "platform/registry/Registry.h"
#include "platform/shell/ProgramOptions.h"
#include "platform/shell/Screen.h"
#include "platform/shell/SingleInstance.h"
#include "platform/shell/Sound.h"
#include "platform/ui/Dialog.h"
#include "platform/ui/DocTemplate.h"
#include "platform/ui/ModalRun.h"
#include "res/AlarmSounds.h"
#include "res/QuilloResources.h"
#include "res/ResourceIds.h"
#include "settings/ProfileValues.h"
#include "view/QuilloView.h"

namespace {

constexpr const char* kSyncKey = "Software\\Microsoft\\Windows CE Services";
constexpr const char* kSyncValue = "FileSyncPath";
constexpr size_t kSyncPathCharacters = 256;  // what the value's 512-byte buffer holds
constexpr const char* kRestoredMemo = "保存されていなかったメモを復元しました。";
const std::string kProfileSetAside =
    "設定ファイルを読み込めなかったため、アラームと設定を初期状態に戻しました。"
    "読み込めなかったファイルは次の場所に残しました: ";
const std::string kDamagedCopySetAside =
    "保存されていなかった変更の復元用コピーを読み込めませんでした。"
    "そのコピーは次の場所に残しました: ";
const std::string kUnsavedCopySetAside = "保存されていなかったメモを次の場所に残しました: ";
const std::string kRefusedFile = "指定されたファイルはメモとして開けませんでした: ";

// A memo file of the device that this program can read and show.
bool CanShowMemo(const std::string& path) {
    CMemoBitmap memo;
    return memo.LoadFile(path);
}

}  // namespace

// clang-format off
BEGIN_MESSAGE_MAP(CQuilloApp, CWinApp)
    on::Command(ID_APP_ABOUT, &CQuilloApp::OnAppAbout),
END_MESSAGE_MAP()
// clang-format on

CQuilloApp::CQuilloApp() : CWinApp(profile::kApplication) {
    m_pszAppName = "Quillo";
}

CQuilloApp* QuilloApp() {
    return static_cast<CQuilloApp*>(AfxGetApp());
}

bool CQuilloApp::InitInstance() {
    AfxSetResources(&QuilloResources());
    // The date controls need no registration here: the toolkit provides them.
    m_launchMinute = GetLocalTime();
    m_launchMinute.wSecond = 0;
    m_launchMinute.wMilliseconds = 0;
    SetRegistryKey(profile::kCompany);
    InstallAlarmSounds();
    m_nNotifyDialog = GetProfileInt(profile::kNotifyDialog);
    m_alarmStore.Load();
    m_bAlarmLaunch = m_lpCmdLine.find(kAlarmLaunchArgument) != std::string::npos;
    std::string alarmMemo;
    if (m_bAlarmLaunch) {
        if (!RunAlarmLaunch(alarmMemo)) return false;
    } else if (auto running = RunningInstance::FindOrClaim(kMainWindowTitle, m_instanceClaim)) {
        // Also a start at the same instant: it holds the claim, and this one hands over.
        (void)running->BringToFront();  // this start ends either way
        return false;
    } else {
        // What the system holds follows the store, also after a crash or a logout that
        // ended a launch half way.
        m_alarmStore.Schedule(m_launchMinute);
    }
    LoadStdProfileSettings(kRecentFileCount);
    m_strSaveFolder = GetProfileString(profile::kSaveFolder);
    if (m_strSaveFolder.empty()) m_strSaveFolder = GetDefaultSaveFolder();

    const bool portrait = GetSystemMetrics(SM_CXSCREEN) < GetSystemMetrics(SM_CYSCREEN);
    auto docTemplate = std::make_unique<CSingleDocTemplate>(
        portrait ? IDR_MAINFRAME_PORTRAIT : IDR_MAINFRAME_LANDSCAPE,
        [this] { return new CQuilloDoc(*this); }, [] { return new CMainFrame; },
        [] { return new CQuilloView; });
    m_pDocTemplate = docTemplate.get();
    AddDocTemplate(std::move(docTemplate));

    CCommandLineInfo shellCommand;
    // The alarm launch's own argument names no file to open.
    if (!m_bAlarmLaunch) ParseCommandLine(shellCommand);
    // A file named there opens only when it is a memo this program can show.
    const bool named = shellCommand.m_nShellCommand == CCommandLineInfo::FileOpen;
    const bool refused = named && !CanShowMemo(shellCommand.m_strFileName);
    // This process is the running window from here on: what a run that crashed left in
    // recovery/ is its own now, and comes back before anything is written there.
    // Held by another process, nothing is kept, which the first change says.
    (void)m_recovery.Claim();
    bool restored = false;
    const int memoCount = RefreshMemoList();
    // Whether the first window could be made is looked at below.
    if (!alarmMemo.empty()) {
        m_recovery.RescueLeftCopy([this](std::string_view memo) { return KeepInRescued(memo); });
        (void)m_pDocTemplate->OpenDocumentFile(alarmMemo);
    } else if (m_recovery.RestoreLeftCopy(m_pDocTemplate)) {
        restored = true;
        // Saved as any memo that is left, the restored one makes way for the named file.
        if (named && !refused) (void)m_pDocTemplate->OpenDocumentFile(shellCommand.m_strFileName);
    } else if (named && !refused) {
        (void)m_pDocTemplate->OpenDocumentFile(shellCommand.m_strFileName);
    } else if (memoCount > 0) {
        (void)m_pDocTemplate->OpenDocumentFile(GetMemoPath(m_memoList[0].name));
    } else if (!ProcessShellCommand(CCommandLineInfo{})) {
        return false;
    }
    if (m_pMainWnd == nullptr) return false;  // the first window could not be made
    m_pMainWnd->ShowWindow(SW_SHOWNORMAL);
    m_pMainWnd->UpdateWindow();
    m_pMainWnd->SetForegroundWindow();
    if (auto* memo = static_cast<CQuilloDoc*>(m_pDocTemplate->GetDocument())) {
        m_recovery.Start(*memo);
    }
    // Said once the window runs: a logout while the message shows saves the memo.
    if (restored) AfxPostCall([] { AfxMessageBox(kRestoredMemo, MB_OK); });
    if (refused) {
        const std::string text = kRefusedFile + shellCommand.m_strFileName;
        AfxPostCall([text] {
            if (QuilloApp() != nullptr) AfxMessageBox(text, MB_OK | MB_ICONEXCLAMATION);
        });
    }
    TellOfRescuedMemo();
    TellOfSetAside();
    return true;
}

bool CQuilloApp::RunAlarmLaunch(std::string& memoToOpen) {
    const FiredAlarm fired = FireLaunchAlarm(m_launchMinute, m_nNotifyDialog);
    if (fired.outcome == AlarmOutcome::NothingDue || fired.outcome == AlarmOutcome::Closed) {
        return false;
    }
    if (auto running = RunningInstance::FindOrClaim(kMainWindowTitle, m_instanceClaim)) {
        // Written before the command, which the running window answers only once it has
        // opened the memo named here; unwritten, it would open the memo named last.
        if (!WriteProfileString(profile::kNotifyFile, fired.entry.FileName)) {
            (void)running->BringToFront();  // what went wrong is said either way
            AfxMessageBox("アラームのメモを開けませんでした。", MB_OK | MB_ICONEXCLAMATION);
            return false;
        }
        // Unanswered only by a window that went or hangs meanwhile: nothing left to ask.
        (void)running->SendCommand(ID_OPEN_BY_NOTIFICATION);
        (void)running->BringToFront();
        // Without a notice the sound is all the user gets: it is not cut off by the end.
        if (fired.outcome == AlarmOutcome::Sounded) WaitForSoundToEnd();
        return false;
    }
    memoToOpen = fired.entry.FileName;
    return true;
}

void CQuilloApp::OnEndSession() {
    CDocument* document = m_pDocTemplate != nullptr ? m_pDocTemplate->GetDocument() : nullptr;
    auto* memo = static_cast<CQuilloDoc*>(document);
    if (memo == nullptr || !memo->IsModified() || memo->SaveSilently()) return;
    if (KeepInRescued(memo->m_bitmap.EncodeFile())) memo->SetModifiedFlag(false);
}

bool CQuilloApp::KeepInRescued(std::string_view memo) {
    const SYSTEMTIME now = GetLocalTime();
    const std::string rescued =
        Device::WriteRescuedFile(Format("%04d%02d%02d-%02d%02d%02d.bmp", now.wYear, now.wMonth,
                                        now.wDay, now.wHour, now.wMinute, now.wSecond),
                                 memo);
    if (rescued.empty()) return false;
    // Kept all the same when this cannot be noted: rescued/ holds it.
    (void)WriteProfileString(profile::kRescuedMemo, rescued);
    return true;
}

void CQuilloApp::TellOfRescuedMemo() {
    const std::string rescued = GetProfileString(profile::kRescuedMemo);
    if (rescued.empty()) return;
    (void)WriteProfileString(profile::kRescuedMemo, "");  // else said once more
    AfxMessageBox("保存できなかったメモを次の場所に残しました: " + rescued,
                  MB_OK | MB_ICONEXCLAMATION);
}

void CQuilloApp::TellOfSetAside() {
    // Noted by whichever process found the profile damaged: perhaps one that showed no window.
    if (Registry* registry = GetRegistry()) {
        for (const std::string& file : registry->TakeSetAsideFiles()) {
            AfxMessageBox(kProfileSetAside + file, MB_OK | MB_ICONEXCLAMATION);
        }
    }
    const CMemoRecovery::SetAsideCopy& copy = m_recovery.GetSetAsideCopy();
    if (copy.path.empty()) return;
    AfxMessageBox((copy.damaged ? kDamagedCopySetAside : kUnsavedCopySetAside) + copy.path,
                  MB_OK | MB_ICONEXCLAMATION);
}

int CQuilloApp::RefreshMemoList() {
    // Straight into the list, which keeps its room from the last listing.
    m_memoList.clear();
    // A folder that cannot be read holds no memo to list.
    (void)Device::FileSystem().FindEach(GetMemoPath("*.bmp"), [this](FindEntry& entry) {
        if (!entry.isFolder) {
            m_memoList.push_back(
                {std::move(entry.name), LocalSeconds(FileTimeToLocalTime(entry.lastWrite))});
        }
        return true;
    });
    SortMemoList(m_memoList);
    return static_cast<int>(m_memoList.size());
}

int CQuilloApp::FindMemo(std::string_view name) const {
    for (size_t i = 0; i < m_memoList.size(); ++i) {
        if (m_memoList[i].name == name) return static_cast<int>(i);
    }
    return -1;
}

std::string CQuilloApp::GetMemoPath(std::string_view name) const {
    return m_strSaveFolder + "\\" + std::string(name);
}

std::string CQuilloApp::GetMemoTitle(std::string_view path) {
    return MemoTitleOfPath(path);
}

std::string CQuilloApp::GetDefaultSaveFolder() {
    std::string folder = "\\My Documents";
    Registry* registry = GetRegistry();
    if (registry != nullptr && registry->KeyExists(Hive::LocalMachine, kSyncKey)) {
        // A value that is absent, not text, or longer than its buffer reads as nothing.
        const auto text = registry->ReadString(Hive::LocalMachine, kSyncKey, kSyncValue);
        if (!text || Utf16Length(*text) >= kSyncPathCharacters) {
            folder.clear();
        } else if (!text->empty()) {
            folder = *text;
        }
    }
    if (folder.empty() || folder.back() != '\\') folder += '\\';
    folder += "Quillo";
    (void)Device::FileSystem().CreateFolder(folder);  // there already, or the first save says
    return folder;
}

void CQuilloApp::TellIfSettingNotWritten(bool written) {
    if (!written) AfxMessageBox("設定を保存できませんでした。", MB_OK | MB_ICONEXCLAMATION);
}

void CQuilloApp::OnAppAbout() {
    CDialog about(IDD_ABOUTBOX);
    about.DoModal();
}
