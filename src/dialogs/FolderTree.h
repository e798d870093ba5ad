#pragma once

#include <string>
#include <string_view>

#include "platform/ui/Controls.h"

// The device's folders in a tree control, read lazily: a folder's sub-folders are read when
// it is shown, theirs only probed for a placeholder that gives the expand button, and an
// item is read again each time it is expanded or collapsed.
class CFolderTree {
  public:
    static constexpr const char* kRootLabel = "ルート";
    static constexpr const char* kPlaceholder = "*Dummy*";

    void Attach(CTreeCtrl* tree);
    void Fill();
    void AddChildren(const std::string& path, HTREEITEM parent);
    std::string PathOf(HTREEITEM item) const;
    void Refresh(HTREEITEM item);
    HTREEITEM FindPath(std::string_view path);
    [[nodiscard]] bool Select(std::string_view path);
    [[nodiscard]] bool CreateFolder(const std::string& name);
    // The selection, or the root when nothing is selected.
    HTREEITEM SelectedOrRoot() const;

    CTreeCtrl* m_pTree = nullptr;
    HTREEITEM m_hRoot = nullptr;
    int m_nDepth = 0;
    bool m_bUserEvents = true;

  private:
    void DeleteChildren(HTREEITEM item);
};
