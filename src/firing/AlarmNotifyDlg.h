#pragma once

#include <string>

#include "firing/MemoPicture.h"
#include "platform/base/Time.h"
#include "platform/ui/Dialog.h"

// The notice of an alarm that rings: the memo's title and picture, its sound, and the
// choice to open the memo (OK), close the notice, have it ring again later, or delete
// the memo. It keeps itself in front of everything until the user acts on it.
class CAlarmNotifyDlg : public CDialog {
    DECLARE_MESSAGE_MAP()

  public:
    CAlarmNotifyDlg();
    bool OnInitDialog() override;

    std::string m_strFileName;
    std::string m_strSound;
    bool m_bSoundRepeat = false;
    CMemoPicture m_picture;
    bool m_bSnooze = false;
    SYSTEMTIME m_snoozeSpan{};
    bool m_bTimerStopped = true;
    std::string m_strTitle;
    // Whether it took the keyboard when it opened: only from the program's own window.
    bool m_bTookKeyboard = false;

  protected:
    explicit CAlarmNotifyDlg(UINT templateId);

  private:
    void OnTimer(UINT id);
    void OnSnooze();
    void OnDelete();
    void OnDestroy();
    void StopFrontTimer();
};

// The same notice laid out for a landscape screen.
class CAlarmNotifyWideDlg : public CAlarmNotifyDlg {
  public:
    CAlarmNotifyWideDlg();
};

// The device path of a sound of \Windows by its name.
std::string SoundPath(const std::string& sound);
