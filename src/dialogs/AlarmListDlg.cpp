#include "dialogs/AlarmListDlg.h"

#include <algorithm>

#include "alarm/AlarmSchedule.h"
#include "alarm/AlarmStore.h"
#include "alarm/AlarmTime.h"
#include "app/QuilloApp.h"
#include "firing/AlarmFiring.h"
#include "platform/ui/DataExchange.h"
#include "platform/ui/ModalRun.h"
#include "res/ResourceIds.h"

namespace {

constexpr const char* kHeadings[] = {"タイトル", "次回", "繰り返し", "サウンド"};

std::string RepeatText(AlarmRepeat repeat) {
    const auto index = static_cast<size_t>(repeat);
    // A unit the program does not know (a hand-edited profile) never rings again.
    return index < std::size(kRepeatNames) ? kRepeatNames[index] : kRepeatNames[0];
}

}  // namespace

// clang-format off
BEGIN_MESSAGE_MAP(CAlarmListDlg, CDialog)
    on::Command(IDC_ALARM_LIST_DELETE, &CAlarmListDlg::OnDelete),
    on::Notify(NM_DBLCLK, IDC_ALARM_LIST, &CAlarmListDlg::OnDoubleClick),
    on::Timer(&CAlarmListDlg::OnTimer),
END_MESSAGE_MAP()
// clang-format on

std::vector<ListedAlarm> ListAlarms(const CAlarmStore& store, const SYSTEMTIME& now) {
    std::vector<ListedAlarm> listed;
    for (int i = 0; i < store.GetCount(); ++i) {
        AlarmEntry entry = store.GetAt(i);
        const SYSTEMTIME next = NextOccurrence(entry, now);
        listed.push_back({std::move(entry), next});
    }
    std::stable_sort(listed.begin(), listed.end(), [](const ListedAlarm& a, const ListedAlarm& b) {
        return IsEarlier(a.next, b.next);
    });
    return listed;
}

CAlarmListDlg::CAlarmListDlg() : CDialog(IDD_ALARM_LIST) {}

void CAlarmListDlg::DoDataExchange(CDataExchange* exchange) {
    DDX_Control(exchange, IDC_ALARM_LIST, m_list);
}

bool CAlarmListDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    for (int i = 0; i < static_cast<int>(std::size(kHeadings)); ++i) {
        m_list.InsertColumn(i, kHeadings[static_cast<size_t>(i)], LVSCW_AUTOSIZE_USEHEADER);
    }
    ShowStore();
    SetTimer(kAlarmListTimer, kAlarmListPeriodMs);
    return true;
}

void CAlarmListDlg::ShowStore() {
    CAlarmStore& store = QuilloApp()->m_alarmStore;
    store.ReadAgainIfChanged();
    std::vector<ListedAlarm> listed = ListAlarms(store, CurrentMinute());
    if (listed == m_shown) return;
    const int selected = m_list.GetNextItem(-1, LVNI_SELECTED);
    const std::string selectedFile =
        selected >= 0 ? m_shown[static_cast<size_t>(selected)].entry.FileName : std::string();
    m_shown = std::move(listed);
    m_list.DeleteAllItems();
    int select = -1;
    for (size_t i = 0; i < m_shown.size(); ++i) {
        const ListedAlarm& alarm = m_shown[i];
        const int row =
            m_list.InsertItem(static_cast<int>(i), CQuilloApp::GetMemoTitle(alarm.entry.FileName));
        m_list.SetItemText(row, 1, IsRealInstant(alarm.next) ? FormatAlarmTime(alarm.next) : "-");
        m_list.SetItemText(row, 2, RepeatText(alarm.entry.Repeat));
        m_list.SetItemText(row, 3, alarm.entry.WaveFile.empty() ? "なし" : alarm.entry.WaveFile);
        if (alarm.entry.FileName == selectedFile) select = row;
    }
    // Wide enough for what they show; the list scrolls sideways on a narrow screen.
    for (int i = 0; i < static_cast<int>(std::size(kHeadings)); ++i) {
        m_list.SetColumnWidth(i, LVSCW_AUTOSIZE_USEHEADER);
    }
    if (select < 0) select = std::min(std::max(selected, 0), m_list.GetItemCount() - 1);
    if (select >= 0) m_list.SetItemState(select, LVIS_SELECTED, LVIS_SELECTED);
}

void CAlarmListDlg::OnTimer(UINT id) {
    if (id == kAlarmListTimer) ShowStore();
}

std::string CAlarmListDlg::SelectedFile() {
    const int selected = m_list.GetNextItem(-1, LVNI_SELECTED);
    if (selected < 0 || selected >= static_cast<int>(m_shown.size())) {
        AfxMessageBox("アラームを選択してください", MB_OK);
        return {};
    }
    return m_shown[static_cast<size_t>(selected)].entry.FileName;
}

void CAlarmListDlg::OnOK() {
    m_strChosenFile = SelectedFile();
    if (!m_strChosenFile.empty()) CDialog::OnOK();
}

void CAlarmListDlg::OnDoubleClick() {
    OnOK();
}

void CAlarmListDlg::OnDelete() {
    const std::string file = SelectedFile();
    if (file.empty()) return;
    if (AfxMessageBox(CQuilloApp::GetMemoTitle(file) + " のアラームを削除してよろしいですか？",
                      MB_YESNO | MB_ICONQUESTION) != IDYES) {
        return;
    }
    // Found again by its memo: the store may have moved on while the question was open.
    TellIfAlarmNotStored(QuilloApp()->m_alarmStore.Update(
        [&](CAlarmStore& store) { store.RemoveAt(store.FindByFile(file)); }));
    ShowStore();
}
