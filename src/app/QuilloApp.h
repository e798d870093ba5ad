#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "alarm/AlarmStore.h"
#include "app/MemoRecovery.h"
#include "memo/MemoHost.h"
#include "memo/MemoList.h"
#include "platform/base/Time.h"
#include "platform/shell/SingleInstance.h"
#include "platform/ui/WinApp.h"

class CSingleDocTemplate;

// The application object: the save folder, the memo extension, the memo list and the
// document template that every part of the program reaches through it. It is the host of
// the memo it shows.
class CQuilloApp : public CWinApp, public MemoHost {
    DECLARE_MESSAGE_MAP()

  public:
    static constexpr std::string_view kMainWindowTitle = "Folian";
    static constexpr int kRecentFileCount = 4;

    CQuilloApp();

    bool InitInstance() override;
    // Saves a modified memo; when that fails, keeps it in rescued/ and says so at the next
    // start.
    void OnEndSession() override;

    // The memos of the save folder, newest first; the number of them.
    int RefreshMemoList();
    // The position of the memo with exactly this name (case counted), or -1.
    [[nodiscard]] int FindMemo(std::string_view name) const;
    std::string GetMemoPath(std::string_view name) const override;
    const std::string& GetSaveFolder() const override { return m_strSaveFolder; }
    const std::string& GetMemoExtension() const override { return m_strMemoExt; }
    void MemoRenamed(std::string_view oldPath, std::string_view newPath) override {
        RenameInRecentFileList(oldPath, newPath);
    }
    void KeepUnsavedMemo() override { OnEndSession(); }
    static std::string GetMemoTitle(std::string_view path);
    // Deletes a memo's file and removes its alarm in the same store update. When it is the
    // open memo, the window goes on to the memo after it, or a new one when none is left.
    // False, once the user is told, when the file stays: it keeps its alarm and its window.
    [[nodiscard]] bool DeleteMemo(const std::string& path);
    // Renames a memo within the save folder to `title` plus ".bmp"; the open memo and the
    // memo's alarm follow it. False, once the user is told, for a name that is invalid or
    // taken, or a file that could not be moved.
    [[nodiscard]] bool RenameMemo(const std::string& path, std::string_view title);
    // Opens the memo at `position` of the list as it is now, the first when there is none
    // there, or a new one when the folder holds none: where a memo that is gone stood.
    void OpenMemoInPlaceOf(int position);
    // Opens the memo at `index` of the memo list as last listed (a new one for -1).
    void OpenMemoAt(int index);
    // "\My Documents\Quillo", or Quillo inside the synchronised-files folder; the folder
    // is created.
    std::string GetDefaultSaveFolder();
    // Says, when `written` is false, that a setting the user changed did not reach the
    // profile: it lasts until the program ends.
    static void TellIfSettingNotWritten(bool written);

    CSingleDocTemplate* m_pDocTemplate = nullptr;
    std::string m_strSaveFolder;
    std::string m_strMemoExt;
    std::vector<MemoEntry> m_memoList;
    CAlarmStore m_alarmStore;
    CMemoRecovery m_recovery;
    // This process's right to be the running window, held from the start.
    std::unique_ptr<InstanceClaim> m_instanceClaim;

    // The launch minute and the alarm dialog switch, read at start for the alarm launch.
    SYSTEMTIME m_launchMinute{};
    int m_nNotifyDialog = 1;
    bool m_bAlarmLaunch = false;

  private:
    // The launch the system made for an alarm: rings it; false when start-up ends here,
    // else the memo to open first.
    [[nodiscard]] bool RunAlarmLaunch(std::string& memoToOpen);
    // Writes a memo's bytes into rescued/, for the next start to say where; false when
    // even that failed.
    [[nodiscard]] bool KeepInRescued(std::string_view memo);
    // Once: where the memo that could not be saved at the end of the last run was kept.
    void TellOfRescuedMemo();
    // Once: what the start (or an earlier process) moved out of the way, and where it lies.
    void TellOfSetAside();
    void OnAppAbout();
};

CQuilloApp* QuilloApp();
