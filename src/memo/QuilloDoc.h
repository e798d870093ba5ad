#pragma once

#include <string>
#include <string_view>

#include "memo/MemoBitmap.h"
#include "platform/ui/Document.h"

class CMemoRecovery;

// One memo: its picture and the file it lives in. A modified memo is saved silently
// whenever it is left, under a name made from the time of its first save.
class CQuilloDoc : public CDocument {
    DECLARE_MESSAGE_MAP()

  public:
    bool NewMemo() override;
    bool OpenMemo(std::string_view path) override;
    bool SaveMemo(std::string_view path) override;
    // A memo that is left is saved silently; when that fails the user is told and the
    // memo stays, modified, so nothing written is lost.
    bool SaveIfModified() override;
    // Quitting with a memo that cannot be saved asks whether to quit without it.
    bool SaveBeforeClose() override;
    // Saves without asking anything (on leaving the window); false when it failed.
    bool SaveSilently();

    void OnSave();
    void OnSaveAs();
    // Saves the memo (modified or not) under its path, making one first, and returns it;
    // empty when it could not be saved.
    std::string SaveAndGetPath();
    // A path in the save folder that no file has yet, from the current minute; empty when
    // the save folder leaves no room for a name within the device's 260 characters.
    std::string CreateAutoPath() const;

    // The file as this document last loaded or saved it; unknown for a memo never saved or
    // a file that could not be opened.
    const FileIdentity& GetFileIdentity() const { return m_fileIdentity; }

    // From now on each change goes to `recovery` (null: nowhere), which must say so before
    // it goes.
    void KeepChangesIn(CMemoRecovery* recovery) { m_pRecovery = recovery; }

    CMemoBitmap m_bitmap;

  protected:
    // Keeps each change in the recovery copy, and drops the copy once the memo is safe.
    void OnModifiedFlagSet(bool modified) override;

  private:
    FileIdentity m_fileIdentity;
    CMemoRecovery* m_pRecovery = nullptr;

    // Writes the picture to `path`; true once it is there whole.
    bool WriteMemo(std::string_view path);
};
