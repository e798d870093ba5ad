#pragma once

#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "memo/MemoHost.h"
#include "platform/fs/RecoveryFolder.h"
#include "platform/fs/RecoveryWriter.h"

class CQuilloDoc;
struct RecoveryCopy;
class CSingleDocTemplate;

// Not one stroke lost to a crash: while the memo differs from its file, every change of it
// is kept in recovery/ of the device within about a second, and the start after a crash
// brings that copy back. Only the running window keeps copies: it holds the folder's lock.
// When no copy can be kept (no room, a folder that refuses, another window holding the
// lock) the user is told once, at the first change it would have kept.
class CMemoRecovery : public MemoChangeListener {
  public:
    CMemoRecovery();
    ~CMemoRecovery() override;

    // Takes recovery/ for this process, which is becoming the running window; false when
    // another process holds it (nothing is kept then).
    [[nodiscard]] bool Claim();
    // An ordinary start: opens the copy that a run which ended without saving left behind,
    // in place of the newest memo. True when a memo was opened from it; a damaged copy is set
    // aside and the start goes on as usual (false).
    [[nodiscard]] bool RestoreLeftCopy(CSingleDocTemplate* docTemplate);
    // A start for an alarm's memo: the copy left behind goes to rescued/ (`keep` writes the
    // memo there and says where at the start), never over the alarm's memo.
    void RescueLeftCopy(const std::function<bool(std::string_view memo)>& keep);
    // From here on the changes of `document` are kept, beginning with it as it is now when
    // it differs from its file; or, without the folder, the first of them says why not.
    void Start(CQuilloDoc& document);

    // The memo changed: its canvas is taken now and written a little later, elsewhere.
    void MemoChanged(const CQuilloDoc& document) override;
    // The memo is in its file (or rescued, deleted, cleared, left unchanged): no copy.
    void MemoSafe() override;
    // Waits until the copy on disk is what was asked for last.
    void Flush();

    // A copy left behind that the start moved out of the way: damaged (or no file at all),
    // or whole but with nowhere else to go. Empty path: none.
    struct SetAsideCopy {
        std::string path;
        bool damaged = false;
    };
    const SetAsideCopy& GetSetAsideCopy() const { return m_setAside; }

  private:
    // The copy left behind, whole; a damaged one is set aside (false).
    [[nodiscard]] bool ReadLeftCopy(RecoveryCopy& copy);
    void SetAside(std::string_view reason, bool damaged);
    // Says once per run why changes are not kept, by the system's error number.
    void TellNotKept(int error);

    CQuilloDoc* m_pDocument = nullptr;
    std::unique_ptr<RecoveryFolder> m_folder;
    std::unique_ptr<RecoveryWriter> m_writer;
    bool m_bCopyMayExist = false;
    SetAsideCopy m_setAside;
    int m_nClaimError = 0;
    bool m_bToldNotKept = false;
};
