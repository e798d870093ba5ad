#pragma once

#include <string>
#include <vector>

#include "alarm/AlarmEntry.h"
#include "platform/ui/Controls.h"
#include "platform/ui/Dialog.h"

class CAlarmStore;

// One row of the alarm list: an alarm and when it rings next.
struct ListedAlarm {
    AlarmEntry entry;
    SYSTEMTIME next{};  // no real instant for an alarm that never rings

    friend bool operator==(const ListedAlarm&, const ListedAlarm&) = default;
};

// The alarms of `store` soonest first, those that never ring last; ties in the store's order.
std::vector<ListedAlarm> ListAlarms(const CAlarmStore& store, const SYSTEMTIME& now);

// Every stored alarm at a glance: the memo's title, when it rings next, its repeat unit and
// its sound. "開く" opens the chosen memo, "削除" removes its alarm. While it is open the list
// follows the store: an alarm that rang, another process's change.
class CAlarmListDlg : public CDialog {
    DECLARE_MESSAGE_MAP()

  public:
    CAlarmListDlg();
    bool OnInitDialog() override;
    void DoDataExchange(CDataExchange* exchange) override;
    void OnOK() override;

    CListCtrl m_list;
    // What the rows show, in their order.
    std::vector<ListedAlarm> m_shown;
    // Once the dialog ended with OK: the memo to open.
    std::string m_strChosenFile;

  private:
    void OnDelete();
    void OnDoubleClick();
    void OnTimer(UINT id);
    // Shows the store as it is now, when that differs from the rows; the selected alarm
    // stays selected, or the row where it stood.
    void ShowStore();
    // The selected alarm's memo, or empty once the user has been asked to select one.
    [[nodiscard]] std::string SelectedFile();
};
