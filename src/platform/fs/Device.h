#pragma once

#include <string>
#include <string_view>

#include "platform/fs/DeviceFileSystem.h"

// The emulated device: one host folder holding the registry file and root/, the device's
// "\". A process works with one device at a time.
class Device {
  public:
    // $XDG_DATA_HOME/Quillo, or ~/.local/share/Quillo when that is not set.
    static std::string DefaultDirectory();

    // Makes `hostDirectory` the device, creating it, root/, \My Documents and \Windows as
    // needed. False when the folder cannot be made or opened, or is the file system's root;
    // nothing is mounted then.
    [[nodiscard]] static bool Mount(const std::string& hostDirectory);
    // Whether `hostDirectory` is the root of the host's file system ("/", "//", "/..", a link
    // to it), which must never become a device: root/ would be the host's /root.
    static bool IsFileSystemRoot(const std::string& hostDirectory);
    // The device path of a host path inside the mounted device's root ("\" for the root
    // itself); empty for one outside it or that does not exist.
    [[nodiscard]] static std::string DevicePathOfHost(const std::string& hostPath);
    static void Unmount();
    static bool IsMounted();

    static const std::string& HostDirectory();
    static std::string RegistryFile();
    // The host folder that is the device's "\".
    static std::string HostRoot();
    // The mounted file system; with none mounted every operation on it fails.
    static const DeviceFileSystem& FileSystem();
    // Writes `bytes` as `name` into rescued/ of the device directory (beside root/, out of
    // the device's sight), where what could not be saved is kept; the host path written,
    // or empty when even that failed.
    [[nodiscard]] static std::string WriteRescuedFile(std::string_view name,
                                                      std::string_view bytes);
};
