#pragma once

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/registry/Profile.h"
#include "platform/ui/CmdTarget.h"

class CDocument;
class CSingleDocTemplate;
class Registry;

// The framework's reading of a command line: a first word that is no switch names a file,
// by its device path, or by its host path (as a file manager gives it) when it lies inside
// the device.
class CCommandLineInfo {
  public:
    enum ShellCommand { FileNew, FileOpen };
    ShellCommand m_nShellCommand = FileNew;
    std::string m_strFileName;
};

// The application object: exactly one exists while the program runs. It owns the
// document template, gives profile access under a company key and handles the standard
// commands new, open and exit.
class CWinApp : public CCmdTarget {
    DECLARE_MESSAGE_MAP()

  public:
    // `exeName` names the program in the profile and in message box captions.
    explicit CWinApp(std::string_view exeName);
    ~CWinApp() override;
    CWinApp(const CWinApp&) = delete;
    CWinApp& operator=(const CWinApp&) = delete;

    virtual bool InitInstance() { return true; }
    virtual int ExitInstance();
    // Runs the message loop until the main window goes.
    virtual int Run();
    // Called once after messages were handled: bars take their state from update rules.
    virtual void OnIdle();
    // Offers a key message to the windows from its own up to its top-level window, and
    // the hot key to the main window.
    virtual bool PreTranslateMessage(MSG* msg);
    // The session ends or the process was told to end: keep what would be lost; nobody is
    // there to answer a question.
    virtual void OnEndSession() {}

    void ParseCommandLine(CCommandLineInfo& info) const;
    [[nodiscard]] bool ProcessShellCommand(const CCommandLineInfo& info);

    void SetRegistryKey(std::string_view company);
    int GetProfileInt(std::string_view section, std::string_view entry, int defaultValue);
    std::string GetProfileString(std::string_view section, std::string_view entry,
                                 std::string_view defaultValue = {});
    [[nodiscard]] bool WriteProfileInt(std::string_view section, std::string_view entry, int value);
    [[nodiscard]] bool WriteProfileString(std::string_view section, std::string_view entry,
                                          std::string_view value);
    int GetProfileInt(const ProfileInt& value) { return GetProfile().Get(value); }
    std::string GetProfileString(const ProfileText& value) { return GetProfile().Get(value); }
    [[nodiscard]] bool WriteProfileInt(const ProfileInt& value, int number) {
        return GetProfile().Write(value, number);
    }
    [[nodiscard]] bool WriteProfileString(const ProfileText& value, std::string_view text) {
        return GetProfile().Write(value, text);
    }
    // The device's registry, for the machine hive; null when none could be opened.
    Registry* GetRegistry();

    // Enables the recent-file list of `maxFiles` entries, read from its own section.
    void LoadStdProfileSettings(int maxFiles);
    void AddToRecentFileList(std::string_view path);
    // A file of the list renamed: its entry takes the new path where it stands.
    void RenameInRecentFileList(std::string_view from, std::string_view to);
    const std::vector<std::string>& GetRecentFiles() const { return m_recentFiles; }

    void AddDocTemplate(std::unique_ptr<CSingleDocTemplate> docTemplate);
    CSingleDocTemplate* GetDocTemplate() const { return m_docTemplate.get(); }
    [[nodiscard]] CDocument* OpenDocumentFile(std::string_view path);

    void OnFileNew();
    void OnFileOpen();
    void OnAppExit();

    // The program's arguments, without the platform options, as the system handed them over.
    void SetCommandLine(std::vector<std::string> words);

    std::string m_lpCmdLine;   // the command line without the program and platform options
    std::string m_pszExeName;  // "quillo"
    std::string m_pszAppName;  // the program's name for captions
    std::string m_pszRegistryKey;
    // The command line word by word, as the system handed it over.
    std::vector<std::string> m_commandWords;
    CWnd* m_pMainWnd = nullptr;

  private:
    void WriteRecentFileList();
    Profile& GetProfile();

    std::unique_ptr<Profile> m_profile;
    Registry* m_pProfileRegistry = nullptr;
    std::unique_ptr<CSingleDocTemplate> m_docTemplate;
    int m_nMaxRecentFiles = 0;
    std::vector<std::string> m_recentFiles;
};

CWinApp* AfxGetApp();
CWnd* AfxGetMainWnd();
std::string AfxGetAppName();
void AfxPostQuitMessage(int exitCode);
// Runs `call` on the user-interface thread once its message loop turns again: after start-up,
// where a request to end the program is already heard. May be asked from any thread.
void AfxPostCall(std::function<void()> call);

// The program's entry: takes the platform's options (--device DIR, --screen WxHxx,
// --help) off the command line, mounts the device, starts the toolkit and runs the
// application object through InitInstance, Run and ExitInstance.
int AfxWinMain(int argc, char** argv);
