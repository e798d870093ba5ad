#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/base/Time.h"
#include "platform/fs/UniqueFd.h"

struct FileStatus {
    bool isFolder = false;
    uint64_t size = 0;
    FILETIME lastWrite = 0;  // UTC
};

struct FindEntry {
    std::string name;  // as the host stores it, case preserved
    bool isFolder = false;
    uint64_t size = 0;
    FILETIME lastWrite = 0;  // UTC
};

// Where a device path lands on the host: an open folder and the name inside it. `name` is
// the existing entry's own spelling when one matches without regard to case, else the name
// as the caller gave it.
struct HostLocation {
    UniqueFd folder;
    std::string name;
    bool exists = false;
    bool isSymlink = false;
};

// The device's file system: every device path resolves under one host folder, the root, by
// walking it one name at a time with the host's *at() calls. No symbolic link is ever
// followed and ".." never climbs above the root, so no path reaches the host outside it.
class DeviceFileSystem {
  public:
    // Takes an open descriptor of the root folder.
    explicit DeviceFileSystem(UniqueFd root);

    [[nodiscard]] static DeviceFileSystem OpenRoot(const std::string& hostRoot, bool& ok);

    // The folder that will hold `path`'s last name, opened; fails when a folder on the way
    // does not exist or the path is invalid. The root itself has no location.
    [[nodiscard]] bool Locate(std::string_view path, HostLocation& location) const;
    // The one spelling of `path`: a leading "\", "\" between names, each name that exists
    // spelled as on disk (the rest as given). An invalid path comes back as it is.
    std::string CanonicalPath(std::string_view path) const;
    // Opens the folder that `path` names (the root for "\").
    [[nodiscard]] UniqueFd OpenFolder(std::string_view path) const;

    [[nodiscard]] bool GetStatus(std::string_view path, FileStatus& status) const;
    [[nodiscard]] bool DeleteFile(std::string_view path) const;
    // Fails when the target exists, unless it is the source itself under another case.
    [[nodiscard]] bool MoveFile(std::string_view from, std::string_view to) const;
    // Makes one folder level; fails when the parent is missing or the name exists.
    [[nodiscard]] bool CreateFolder(std::string_view path) const;
    // Lists the entries of a folder that match the last name of `pattern` without regard
    // to case, in the host's order. False when the folder cannot be read or nothing matches.
    [[nodiscard]] bool Find(std::string_view pattern, std::vector<FindEntry>& entries) const;
    // The same one entry at a time, until `visit` answers false; false when the folder
    // cannot be read.
    // `visit` may move from the entry it is given.
    [[nodiscard]] bool FindEach(std::string_view pattern,
                                const std::function<bool(FindEntry&)>& visit) const;

    int RootFd() const { return m_root.Get(); }

  private:
    UniqueFd m_root;
};

// Calls `visit` with every name in the open host folder, "." and ".." included; false when
// the folder cannot be read.
[[nodiscard]] bool ForEachHostName(int folder, const std::function<void(std::string_view)>& visit);
// The same until `visit` answers false.
[[nodiscard]] bool ForEachHostNameUntil(int folder,
                                        const std::function<bool(std::string_view)>& visit);

// How many folder entries the device's listings have read in this process, for tests of
// how much a listing reads.
uint64_t DeviceEntriesRead();

// Finds `name` in the open folder without regard to case: the exact spelling first, else
// the first match in byte order. Empty when nothing matches.
[[nodiscard]] std::string FindNameNoCase(int folder, std::string_view name,
                                         bool* isSymlink = nullptr);
