// Deleting and renaming memo files from anywhere in the program (the view, the preview, the
// alarm notice): the open memo and the memo's alarm follow what happens to its file.
#include "firing/AlarmFiring.h"
#include "app/QuilloApp.h"
#include "memo/QuilloDoc.h"
#include "platform/base/Text.h"
#include "platform/fs/Device.h"
#include "platform/fs/DevicePath.h"
#include "platform/fs/FileIdentity.h"
#include "platform/ui/DocTemplate.h"
#include "platform/ui/ModalRun.h"
#include "platform/ui/Wnd.h"

namespace {

// The open memo and the alarms hold canonical paths; names are looked up without regard to
// case.
std::string Canonical(std::string_view path) {
    return Device::FileSystem().CanonicalPath(path);
}

bool Exists(std::string_view path) {
    HostLocation location;
    return Device::FileSystem().Locate(path, location) && location.exists;
}

// The open memo when it is the one at the canonical `path`, else null.
CQuilloDoc* OpenMemoNamed(const CQuilloApp& app, std::string_view path) {
    auto* memo = app.m_pDocTemplate != nullptr
                     ? static_cast<CQuilloDoc*>(app.m_pDocTemplate->GetDocument())
                     : nullptr;
    return memo != nullptr && EqualNoCase(memo->GetPathName(), path) ? memo : nullptr;
}

}  // namespace

bool CQuilloApp::DeleteMemo(const std::string& path) {
    const std::string canonical = Canonical(path);
    CQuilloDoc* open = OpenMemoNamed(*this, canonical);
    int position = -1;
    if (open != nullptr) {
        RefreshMemoList();
        position = FindMemo(canonical.substr(canonical.rfind('\\') + 1));
    }
    // A file that went meanwhile is as deleted; one that stays keeps its alarm and its window.
    if (!Device::FileSystem().DeleteFile(canonical) && Exists(canonical)) {
        AfxMessageBox("メモを削除できませんでした。", MB_OK | MB_ICONEXCLAMATION);
        return false;
    }
    // A deleted memo must never ring with an empty picture.
    TellIfAlarmNotStored(m_alarmStore.Update([&](CAlarmStore& store) {
        for (int i = store.GetCount() - 1; i >= 0; --i) {
            if (EqualNoCase(store.GetAt(i).FileName, canonical)) store.RemoveAt(i);
        }
    }));
    if (open != nullptr) {
        open->SetModifiedFlag(false);  // what was on screen was deleted with its file
        OpenMemoInPlaceOf(position);
    }
    return true;
}

void CQuilloApp::OpenMemoInPlaceOf(int position) {
    const int count = RefreshMemoList();
    OpenMemoAt(count == 0 ? -1 : position >= 0 && position < count ? position : 0);
}

void CQuilloApp::OpenMemoAt(int index) {
    // A memo that cannot be left said so, and stays.
    (void)m_pDocTemplate->OpenDocumentFile(
        index < 0 ? std::string() : GetMemoPath(m_memoList[static_cast<size_t>(index)].name));
    if (m_pMainWnd != nullptr) m_pMainWnd->ShowWindow(SW_SHOW);
}

bool CQuilloApp::RenameMemo(const std::string& path, std::string_view title) {
    // The name goes into the save folder as typed; a name the device cannot hold (a
    // separator, "..", a refused character, nothing at all) is as invalid as one that is
    // taken, and must not lead the file anywhere else.
    const std::string fileName = std::string(title) + ".bmp";
    const std::string newPath = GetMemoPath(fileName);
    if (newPath == path) return true;
    const std::string canonical = Canonical(path);
    CQuilloDoc* open = OpenMemoNamed(*this, canonical);
    const bool openWasCurrent =
        open != nullptr && open->GetFileIdentity() == FileIdentityAt(path);
    // Only a name that cannot be, or is taken, is the name's fault; anything else (a folder
    // that refuses, a memo that went) is said as a rename that failed.
    if (!IsValidDeviceName(fileName) ||
        (Exists(newPath) && !EqualNoCase(Canonical(newPath), canonical))) {
        AfxMessageBox("ファイル名が無効です。有効な名前を入力してください。", MB_OK);
        return false;
    }
    if (!Device::FileSystem().MoveFile(path, newPath)) {
        AfxMessageBox("名前を変更できませんでした。", MB_OK | MB_ICONEXCLAMATION);
        return false;
    }
    const std::string renamed = Canonical(newPath);
    TellIfAlarmNotStored(m_alarmStore.Update([&](CAlarmStore& store) {
        for (int i = 0; i < store.GetCount(); ++i) {
            AlarmEntry alarm = store.GetAt(i);
            if (!EqualNoCase(alarm.FileName, canonical)) continue;
            store.RemoveAt(i);
            store.SetAlarm(renamed, alarm.Time, alarm.Repeat, alarm.WaveFile, alarm.WaveRepeat);
            break;
        }
    }));
    if (open != nullptr) open->FollowRename(renamed, openWasCurrent);
    return true;
}
