#pragma once

#include <string>
#include <vector>

#include "platform/ui/Controls.h"
#include "platform/ui/Dialog.h"

// The save folder, whether a ringing alarm shows its notice, the sound new alarms start
// with, and whether the pen's width follows its pressure.
class CSettingsDlg : public CDialog {
    DECLARE_MESSAGE_MAP()

  public:
    CSettingsDlg();
    void DoDataExchange(CDataExchange* exchange) override;
    bool OnInitDialog() override;
    void OnOK() override;

    // A save folder that can hold memos, made where it is missing; false (and the user
    // told) for one that cannot be.
    [[nodiscard]] static bool PrepareSaveFolder(const std::string& folder);

    std::vector<std::string> m_soundFiles;
    CComboBox m_soundList;
    std::string m_strSaveFolder;
    int m_nNotifyDialog = 0;
    int m_nSoundRepeat = 0;
    int m_nPenPressure = 0;
    bool m_bSoundDefaultsWritten = false;

  private:
    void OnDefaultFolder();
    void OnBrowse();
    void OnPlay();
};
