#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "memo/MemoBitmap.h"
#include "memo/MemoHistory.h"
#include "memo/MemoHost.h"
#include "platform/ui/Document.h"

// One memo: its picture and the file it lives in. A modified memo is saved silently
// whenever it is left, under a name made from the time of its first save.
class CQuilloDoc : public CDocument {
    DECLARE_MESSAGE_MAP()

  public:
    explicit CQuilloDoc(MemoHost& host) : m_host(host) {}

    bool NewMemo() override;
    bool OpenMemo(std::string_view path) override;
    bool SaveMemo(std::string_view path) override;
    // A memo that is left is saved silently; when that fails the user is told and the
    // memo stays, modified, so nothing written is lost.
    bool SaveIfModified() override;
    // Quitting with a memo that cannot be saved asks whether to quit without it.
    bool SaveBeforeClose() override;
    // Saves without asking anything (on leaving the window); false when it failed.
    [[nodiscard]] bool SaveSilently();

    void OnSave();
    void OnSaveAs();
    // Makes sure the memo is on disk and returns its path (an alarm is set on it, a rename
    // moves it): a modified or never-saved memo is saved, one whose file is gone is written
    // again. Nothing is written over another program's version or over a file that could
    // not be read: its path is what comes back. Empty when it could not be saved.
    [[nodiscard]] std::string SaveAndGetPath();
    // A path in the save folder that no file has yet, from the current minute; empty when
    // the save folder leaves no room for a name within the device's 260 characters.
    [[nodiscard]] std::string CreateAutoPath() const;

    // The file as this document last loaded or saved it; unknown for a memo never saved or
    // a file that could not be opened.
    const FileIdentity& GetFileIdentity() const { return m_fileIdentity; }
    // True once a first save under an automatic name failed, so the memo has no file yet.
    bool HasFailedAutoSave() const { return m_bAutoSaveFailed; }
    // True while the memo's file is there but could not be read: it is never written over,
    // and a changed picture is saved under a new automatic name.
    bool IsUnreadable() const { return m_bUnreadable; }

    enum class FileCheck { Unchanged, ChangedElsewhere, Gone };
    // The window became active: tells of a save that went to a new name while the user was
    // away, and looks whether another program changed or removed the file of an unmodified
    // memo (the caller reads it again, or goes on as after a delete).
    FileCheck CheckFileOnActivation();
    // The program renamed this memo's file: the document, its title and the recent-file
    // entry follow it. `wasCurrent`: the file was still the one this document knew.
    void FollowRename(std::string_view newPath, bool wasCurrent);

    // From now on each change goes to `recovery` (null: nowhere), which must say so before
    // it goes.
    void KeepChangesIn(MemoChangeListener* listener) { m_pChangeListener = listener; }

    // Undo and redo: a stroke or a stamp records the area it is about to change, a clear
    // the picture it replaces. The history is the open memo's; opening or starting one ends it.
    void RecordChange(const CRect& area) { m_history.BeforeChange(m_bitmap, area); }
    void RecordClear() { m_history.BeforeClear(m_bitmap); }
    bool CanUndo() const { return m_history.CanUndo(); }
    bool CanRedo() const { return m_history.CanRedo(); }
    // The memo is unmodified afterwards exactly where its file holds it (or it is a cleared
    // picture not drawn on since); false when there was nothing to undo or redo.
    [[nodiscard]] bool Undo();
    [[nodiscard]] bool Redo();
    // The picture of a recovery copy in place of the file's: it differs from the file, and
    // nothing before it can be undone. False for bytes that are no memo.
    [[nodiscard]] bool TakeRecoveredPicture(std::string_view memo);

    CMemoBitmap m_bitmap;

  protected:
    // Keeps each change in the recovery copy, and drops the copy once the memo is safe.
    void OnModifiedFlagSet(bool modified) override;

  private:
    enum class SaveResult { Saved, SavedAsNew, Failed };

    // Saves under the memo's path while its file is still the one this document knows;
    // when another program has replaced or rewritten it, under a new automatic name, so
    // that no version is lost.
    [[nodiscard]] SaveResult SaveKeepingOthers();
    // The first save under an automatic name: never over an existing file.
    [[nodiscard]] bool SaveUnderNewName();
    // Writes the picture to `path`; with `expected`, only while the file there is that one
    // (or none); without it over whatever is there (the user chose the name).
    [[nodiscard]] CReplacingFile::Outcome WriteMemo(std::string_view path, const FileIdentity* expected);
    // A save as any leave makes it: an empty canvas (a file that was no bitmap) holds
    // nothing to lose and counts as saved.
    [[nodiscard]] SaveResult SaveNow();
    // Tells the user, once, of a save that went to a new name.
    void TellSavedAsNew();

    FileIdentity m_fileIdentity;
    CMemoHistory m_history;
    MemoHost& m_host;
    MemoChangeListener* m_pChangeListener = nullptr;
    // Gone with the document: a message posted for later looks here first.
    std::shared_ptr<const CQuilloDoc*> m_self = std::make_shared<const CQuilloDoc*>(this);
    bool m_bAutoSaveFailed = false;
    bool m_bSavedAsNewUntold = false;
    bool m_bUnreadable = false;
};
