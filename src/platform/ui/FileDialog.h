#pragma once

#include <string>
#include <string_view>

#include "platform/ui/Messages.h"

class CWnd;

constexpr UINT OFN_OVERWRITEPROMPT = 0x00000002;
constexpr UINT OFN_HIDEREADONLY = 0x00000004;
constexpr UINT OFN_NOCHANGEDIR = 0x00000008;
constexpr UINT OFN_PATHMUSTEXIST = 0x00000800;

// The open-file and save-file dialogs over the device's file system: they show root/ as
// the device's "\" and answer device paths. A choice outside the device counts as cancel.
class CFileDialog {
  public:
    CFileDialog(bool openFileDialog, std::string_view defaultExtension = {},
                std::string_view fileName = {}, UINT flags = 0, std::string_view filter = {},
                CWnd* parent = nullptr);

    int DoModal();  // IDOK or IDCANCEL
    const std::string& GetPathName() const { return m_strPathName; }

    std::string m_strTitle;
    std::string m_strInitialFolder;  // a device path

  private:
    bool m_bOpen;
    std::string m_strDefaultExtension;
    std::string m_strFileName;
    UINT m_nFlags;
    std::string m_strFilter;
    CWnd* m_pParent;
    std::string m_strPathName;
};

// The device path of a host path under the device's root, or empty when it lies outside.
std::string DevicePathFromHost(std::string_view hostPath);
// The host path of a device folder that exists, or the root's when it does not.
std::string HostFolderOfDevicePath(std::string_view devicePath);
