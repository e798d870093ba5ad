#include "dialogs/SettingsDlg.h"

#include "app/QuilloApp.h"
#include "dialogs/FolderDlg.h"
#include "dialogs/SoundList.h"
#include "platform/base/Text.h"
#include "platform/fs/Device.h"
#include "platform/fs/DevicePath.h"
#include "platform/ui/DataExchange.h"
#include "platform/ui/ModalRun.h"
#include "res/ResourceIds.h"
#include "settings/ProfileValues.h"

namespace {

// "\" + twelve digits + "(NN)" + ".bmp": the longest name an automatic save makes.
constexpr size_t kLongestAutoName = 1 + 12 + 4 + 4;
constexpr size_t kDevicePathLimit = kMaxDevicePath;

// Every missing level of the folder named by `names`, made in turn; false when one
// cannot be.
bool MakeFolders(const std::vector<std::string>& names) {
    std::vector<std::string> level;
    for (const std::string& name : names) {
        level.push_back(name);
        const std::string path = JoinDevicePath(level);
        FileStatus status;
        if (Device::FileSystem().GetStatus(path, status)) {
            if (!status.isFolder) return false;  // a file in the way
        } else if (!Device::FileSystem().CreateFolder(path)) {
            return false;
        }
    }
    return true;
}

}  // namespace

// clang-format off
BEGIN_MESSAGE_MAP(CSettingsDlg, CDialog)
    on::Command(IDC_SETTINGS_DEFAULT_FOLDER, &CSettingsDlg::OnDefaultFolder),
    on::Command(IDC_SETTINGS_BROWSE, &CSettingsDlg::OnBrowse),
    on::Command(IDC_SETTINGS_PLAY, &CSettingsDlg::OnPlay),
END_MESSAGE_MAP()
// clang-format on

CSettingsDlg::CSettingsDlg() : CDialog(IDD_SETTINGS) {}

void CSettingsDlg::DoDataExchange(CDataExchange* exchange) {
    DDX_Control(exchange, IDC_SETTINGS_SOUND, m_soundList);
    DDX_Text(exchange, IDC_SETTINGS_FOLDER, m_strSaveFolder);
    DDX_Check(exchange, IDC_SETTINGS_NOTIFY, m_nNotifyDialog);
    DDX_Check(exchange, IDC_SETTINGS_SOUND_REPEAT, m_nSoundRepeat);
    DDX_Check(exchange, IDC_SETTINGS_PEN_PRESSURE, m_nPenPressure);
}

bool CSettingsDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    CenterWindow();
    CQuilloApp* app = QuilloApp();
    m_nSoundRepeat = app->GetProfileInt(profile::kDefaultWaveRepeat);
    m_soundFiles = FindSoundFiles();
    FillSoundList(m_soundList, m_soundFiles, app->GetProfileString(profile::kDefaultWaveFile));
    (void)UpdateData(false);  // filling the controls refuses nothing
    return true;
}

bool CSettingsDlg::PrepareSaveFolder(const std::string& folder) {
    // Empty: memos go to "\" until the next start puts the default back.
    if (folder.empty()) return true;
    const auto names = ParseDevicePath(folder);
    if (names && Utf16Length(JoinDevicePath(*names)) + kLongestAutoName < kDevicePathLimit &&
        MakeFolders(*names)) {
        return true;
    }
    AfxMessageBox("ファイル名が無効です。有効な名前を入力してください。", MB_OK);
    return false;
}

void CSettingsDlg::OnOK() {
    if (!UpdateData(true)) return;
    // A folder no memo can be saved in would lose every memo written until it is changed.
    if (!PrepareSaveFolder(m_strSaveFolder)) return;
    CQuilloApp* app = QuilloApp();
    // The caller says it, with the rest of what it writes, when this did not reach the profile.
    m_bSoundDefaultsWritten =
        app->WriteProfileInt(profile::kDefaultWaveRepeat, m_nSoundRepeat) &&
        app->WriteProfileString(profile::kDefaultWaveFile,
                                SoundAt(m_soundFiles, m_soundList.GetCurSel()));
    CDialog::OnOK();
}

void CSettingsDlg::OnDefaultFolder() {
    (void)UpdateData(true);  // no field here that can be refused
    m_strSaveFolder = QuilloApp()->GetDefaultSaveFolder();
    (void)UpdateData(false);  // filling the controls refuses nothing
}

void CSettingsDlg::OnBrowse() {
    (void)UpdateData(true);  // no field here that can be refused
    CFolderDlg folder;
    folder.m_strFolder = m_strSaveFolder;
    if (folder.DoModal() == IDOK) m_strSaveFolder = folder.m_strFolder;
    (void)UpdateData(false);  // filling the controls refuses nothing
}

void CSettingsDlg::OnPlay() {
    PlaySoundAt(m_soundFiles, m_soundList.GetCurSel());
}
