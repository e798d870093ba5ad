#include "dialogs/FolderTree.h"

#include "platform/base/Text.h"
#include "platform/fs/Device.h"

namespace {

constexpr int kRootImage = 0;
constexpr int kFolderImage = 1;
constexpr int kOpenFolderImage = 2;

std::string Joined(const std::string& path, std::string_view name) {
    return path + (!path.empty() && path.back() == '\\' ? "" : "\\") + std::string(name);
}

}  // namespace

void CFolderTree::Attach(CTreeCtrl* tree) {
    m_pTree = tree;
    Fill();
}

void CFolderTree::Fill() {
    DeleteChildren(TVI_ROOT);
    m_hRoot = m_pTree->InsertItem(kRootLabel, kRootImage, kRootImage);
    m_nDepth = 0;
    AddChildren("\\", m_hRoot);
    m_pTree->Expand(m_hRoot, TVE_EXPAND);
}

void CFolderTree::AddChildren(const std::string& path, HTREEITEM parent) {
    ++m_nDepth;
    // A folder that cannot be read shows no children.
    (void)Device::FileSystem().FindEach(Joined(path, "*.*"), [&](const FindEntry& entry) {
        if (!entry.isFolder) return true;
        if (m_nDepth >= 2) {
            // A folder one level further down only needs to show that it can open.
            m_pTree->InsertItem(kPlaceholder, kFolderImage, kOpenFolderImage, parent);
            return false;
        }
        HTREEITEM child = m_pTree->InsertItem(entry.name, kFolderImage, kOpenFolderImage, parent);
        AddChildren(Joined(path, entry.name), child);
        return true;
    });
    --m_nDepth;
}

std::string CFolderTree::PathOf(HTREEITEM item) const {
    std::string path;
    for (; item != nullptr && item != m_hRoot; item = m_pTree->GetParentItem(item)) {
        const std::string text = m_pTree->GetItemText(item);
        path = path.empty() ? text : text + "\\" + path;
    }
    return "\\" + path;
}

void CFolderTree::DeleteChildren(HTREEITEM item) {
    for (HTREEITEM child = m_pTree->GetChildItem(item); child != nullptr;
         child = m_pTree->GetChildItem(item)) {
        m_pTree->DeleteItem(child);
    }
}

void CFolderTree::Refresh(HTREEITEM item) {
    DeleteChildren(item);
    m_nDepth = 0;
    AddChildren(PathOf(item), item);
}

HTREEITEM CFolderTree::FindPath(std::string_view path) {
    if (path.empty()) return m_hRoot;
    path.remove_prefix(1);
    if (path.empty()) return m_hRoot;
    HTREEITEM current = m_hRoot;
    for (;;) {
        const size_t separator = path.find('\\');
        const std::string_view component = path.substr(0, separator);
        HTREEITEM child = m_pTree->GetChildItem(current);
        if (child == nullptr) return nullptr;
        if (m_pTree->GetItemText(child) == kPlaceholder) {
            Refresh(current);
            child = m_pTree->GetChildItem(current);
        }
        while (child != nullptr && !EqualNoCase(m_pTree->GetItemText(child), component)) {
            child = m_pTree->GetNextSiblingItem(child);
        }
        if (child == nullptr || separator == std::string_view::npos) return child;
        path.remove_prefix(separator + 1);
        current = child;
    }
}

bool CFolderTree::Select(std::string_view path) {
    m_bUserEvents = false;
    HTREEITEM found = FindPath(path);
    if (found != nullptr) {
        for (HTREEITEM above = m_pTree->GetParentItem(found); above != nullptr;
             above = m_pTree->GetParentItem(above)) {
            m_pTree->Expand(above, TVE_EXPAND);
        }
        m_pTree->SelectItem(found);
    }
    m_bUserEvents = true;
    return found != nullptr;
}

HTREEITEM CFolderTree::SelectedOrRoot() const {
    HTREEITEM selected = m_pTree->GetSelectedItem();
    return selected != nullptr ? selected : m_hRoot;
}

bool CFolderTree::CreateFolder(const std::string& name) {
    HTREEITEM selected = SelectedOrRoot();
    const std::string path = Joined(PathOf(selected), name);
    if (name.empty() || !Device::FileSystem().CreateFolder(path)) return false;
    Refresh(selected);
    return Select(path);
}
