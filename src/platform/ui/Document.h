#pragma once

#include <string>
#include <string_view>

#include "platform/ui/CmdTarget.h"

class CView;
class CSingleDocTemplate;

// A document: one file's worth of data with its path, title and modified flag. The
// framework calls the hooks below when a document is started, opened, saved or left.
class CDocument : public CCmdTarget {
    DECLARE_MESSAGE_MAP()

  public:
    ~CDocument() override = default;

    const std::string& GetPathName() const { return m_strPathName; }
    // Sets the path and the title taken from it, and puts the path at the top of the
    // recent-file list.
    virtual void SetPathName(std::string_view path, bool addToRecentFiles = true);
    const std::string& GetTitle() const { return m_strTitle; }
    void SetTitle(std::string_view title) { m_strTitle = title; }

    bool IsModified() const { return m_bModified; }
    // Every change marks the document anew (true), every open, save or discard clears it.
    void SetModifiedFlag(bool modified = true) {
        m_bModified = modified;
        OnModifiedFlagSet(modified);
    }

    // The new-document hook: the path emptied and the modified flag cleared.
    [[nodiscard]] virtual bool NewMemo();
    // The open-document hook; the framework's own takes the path and clears the flag.
    [[nodiscard]] virtual bool OpenMemo(std::string_view path);
    // The save-document hook; the framework's own only clears the flag.
    [[nodiscard]] virtual bool SaveMemo(std::string_view path);
    // Asked before the document is replaced or closed; false keeps it.
    [[nodiscard]] virtual bool SaveIfModified();
    // Asked before the program's window closes with the document; false keeps both.
    [[nodiscard]] virtual bool SaveBeforeClose() { return SaveIfModified(); }

    CView* GetFirstView() const { return m_pView; }

  protected:
    // Told of each SetModifiedFlag: a change (true) or the document no longer differing
    // from its file, or given up (false).
    virtual void OnModifiedFlagSet(bool /*modified*/) {}

  public:
    CSingleDocTemplate* GetDocTemplate() const { return m_pDocTemplate; }

  private:
    friend class CSingleDocTemplate;
    friend class CView;

    std::string m_strPathName;
    std::string m_strTitle;
    bool m_bModified = false;
    CView* m_pView = nullptr;
    CSingleDocTemplate* m_pDocTemplate = nullptr;
};
