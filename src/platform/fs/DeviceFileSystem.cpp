#include "DeviceFileSystem.h"

#include <dirent.h>
#include <fcntl.h>
#include <linux/fs.h>
#include <stdio.h>
#include <sys/stat.h>

#include <atomic>
#include <cerrno>
#include <cstring>

#include "platform/base/Text.h"
#include "platform/fs/DevicePath.h"

namespace {

constexpr int kFolderFlags = O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC;

FILETIME ToFileTime(const struct timespec& t) {
    return kUnixEpochAsFileTime + static_cast<FILETIME>(t.tv_sec) * kFileTimeUnitsPerSecond +
           static_cast<FILETIME>(t.tv_nsec) / 100;
}

FileStatus ToStatus(const struct stat& st) {
    FileStatus status;
    status.isFolder = S_ISDIR(st.st_mode);
    status.size = status.isFolder ? 0 : static_cast<uint64_t>(st.st_size);
    status.lastWrite = ToFileTime(st.st_mtim);
    return status;
}

bool LStatAt(int folder, const std::string& name, struct stat& st) {
    return ::fstatat(folder, name.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0;
}

// Walks the given names down from `start`; every one must be a real folder.
UniqueFd OpenFolderNames(int start, const std::vector<std::string>& names, size_t count) {
    UniqueFd current(::openat(start, ".", kFolderFlags));
    for (size_t i = 0; i < count && current.IsValid(); ++i) {
        const std::string hostName = FindNameNoCase(current.Get(), names[i]);
        if (hostName.empty()) {
            return {};
        }
        current = UniqueFd(::openat(current.Get(), hostName.c_str(), kFolderFlags));
    }
    return current;
}

std::atomic<uint64_t> gEntriesRead{0};

}  // namespace

bool ForEachHostName(int folder, const std::function<void(std::string_view)>& visit) {
    return ForEachHostNameUntil(folder, [&](std::string_view name) {
        visit(name);
        return true;
    });
}

uint64_t DeviceEntriesRead() {
    return gEntriesRead;
}

bool ForEachHostNameUntil(int folder, const std::function<bool(std::string_view)>& visit) {
    // A listing of its own: the folder's descriptor stays usable for *at() calls meanwhile.
    const int listing = ::openat(folder, ".", kFolderFlags);
    DIR* dir = listing >= 0 ? ::fdopendir(listing) : nullptr;
    if (dir == nullptr) {
        if (listing >= 0) ::close(listing);
        return false;
    }
    while (const dirent* entry = ::readdir(dir)) {
        ++gEntriesRead;
        if (!visit(entry->d_name)) break;
    }
    ::closedir(dir);
    return true;
}

std::string FindNameNoCase(int folder, std::string_view name, bool* isSymlink) {
    struct stat st {};
    const std::string exact(name);
    if (LStatAt(folder, exact, st)) {
        if (isSymlink != nullptr) {
            *isSymlink = S_ISLNK(st.st_mode);
        }
        return exact;
    }
    std::string best;
    // A folder that cannot be read matches nothing.
    (void)ForEachHostName(folder, [&](std::string_view candidate) {
        if (candidate.front() != '.' && EqualNoCase(candidate, name) &&
            (best.empty() || candidate < best)) {
            best = candidate;
        }
    });
    if (!best.empty() && isSymlink != nullptr) {
        *isSymlink = LStatAt(folder, best, st) && S_ISLNK(st.st_mode);
    }
    return best;
}

DeviceFileSystem::DeviceFileSystem(UniqueFd root) : m_root(std::move(root)) {}

DeviceFileSystem DeviceFileSystem::OpenRoot(const std::string& hostRoot, bool& ok) {
    UniqueFd root(::open(hostRoot.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    ok = root.IsValid();
    return DeviceFileSystem(std::move(root));
}

bool DeviceFileSystem::Locate(std::string_view path, HostLocation& location) const {
    const auto names = ParseDevicePath(path);
    if (!names || names->empty()) {
        return false;
    }
    location.folder = OpenFolderNames(m_root.Get(), *names, names->size() - 1);
    if (!location.folder.IsValid()) {
        return false;
    }
    location.isSymlink = false;
    const std::string found =
        FindNameNoCase(location.folder.Get(), names->back(), &location.isSymlink);
    location.exists = !found.empty();
    location.name = location.exists ? found : names->back();
    return true;
}

std::string DeviceFileSystem::CanonicalPath(std::string_view path) const {
    auto names = ParseDevicePath(path);
    if (!names) return std::string(path);
    UniqueFd current(::openat(m_root.Get(), ".", kFolderFlags));
    for (std::string& name : *names) {
        if (!current.IsValid()) break;
        const std::string hostName = FindNameNoCase(current.Get(), name);
        if (hostName.empty()) break;
        name = hostName;
        current = UniqueFd(::openat(current.Get(), hostName.c_str(), kFolderFlags));
    }
    return JoinDevicePath(*names);
}

UniqueFd DeviceFileSystem::OpenFolder(std::string_view path) const {
    const auto names = ParseDevicePath(path);
    if (!names) {
        return {};
    }
    return OpenFolderNames(m_root.Get(), *names, names->size());
}

bool DeviceFileSystem::GetStatus(std::string_view path, FileStatus& status) const {
    const auto names = ParseDevicePath(path);
    if (names && names->empty()) {
        struct stat st {};
        if (::fstat(m_root.Get(), &st) != 0) {
            return false;
        }
        status = ToStatus(st);
        return true;
    }
    HostLocation location;
    struct stat st {};
    if (!Locate(path, location) || !location.exists || location.isSymlink ||
        !LStatAt(location.folder.Get(), location.name, st)) {
        return false;
    }
    status = ToStatus(st);
    return true;
}

bool DeviceFileSystem::DeleteFile(std::string_view path) const {
    HostLocation location;
    struct stat st {};
    if (!Locate(path, location) || !location.exists ||
        !LStatAt(location.folder.Get(), location.name, st) || !S_ISREG(st.st_mode)) {
        return false;
    }
    return ::unlinkat(location.folder.Get(), location.name.c_str(), 0) == 0;
}

bool DeviceFileSystem::MoveFile(std::string_view from, std::string_view to) const {
    HostLocation source;
    HostLocation target;
    if (!Locate(from, source) || !source.exists || source.isSymlink || !Locate(to, target) ||
        target.isSymlink) {
        return false;
    }
    const int sourceFolder = source.folder.Get();
    const int targetFolder = target.folder.Get();
    if (target.exists) {
        struct stat a {};
        struct stat b {};
        const bool sameEntry = LStatAt(sourceFolder, source.name, a) &&
                               LStatAt(targetFolder, target.name, b) && a.st_dev == b.st_dev &&
                               a.st_ino == b.st_ino;
        if (!sameEntry) {
            return false;
        }
        // The same file under another spelling: only a change of case is a move.
        const auto names = ParseDevicePath(to);
        const std::string& wanted = names->back();
        if (wanted == source.name) {
            return true;
        }
        return ::renameat(sourceFolder, source.name.c_str(), targetFolder, wanted.c_str()) == 0;
    }
    if (::renameat2(sourceFolder, source.name.c_str(), targetFolder, target.name.c_str(),
                    RENAME_NOREPLACE) == 0) {
        return true;
    }
    if (errno != EINVAL) {
        return false;
    }
    // A host file system without RENAME_NOREPLACE: the look-up above already found no target.
    return ::renameat(sourceFolder, source.name.c_str(), targetFolder, target.name.c_str()) == 0;
}

bool DeviceFileSystem::CreateFolder(std::string_view path) const {
    HostLocation location;
    if (!Locate(path, location) || location.exists) {
        return false;
    }
    return ::mkdirat(location.folder.Get(), location.name.c_str(), 0777) == 0;
}

bool DeviceFileSystem::Find(std::string_view pattern, std::vector<FindEntry>& entries) const {
    entries.clear();
    // A folder that cannot be read lists nothing, which the result says.
    (void)FindEach(pattern, [&](FindEntry& entry) {
        entries.push_back(std::move(entry));
        return true;
    });
    return !entries.empty();
}

bool DeviceFileSystem::FindEach(std::string_view pattern,
                                const std::function<bool(FindEntry&)>& visit) const {
    const auto names = ParseDevicePath(pattern, true);
    if (!names || names->empty()) {
        return false;
    }
    const UniqueFd folder = OpenFolderNames(m_root.Get(), *names, names->size() - 1);
    if (!folder.IsValid()) {
        return false;
    }
    const std::string& wildcard = names->back();
    // A listing of the save folder runs whenever the memos are stepped through or previewed:
    // the name decides before the disk is asked, and each name is copied once.
    const int at = folder.Get();
    return ForEachHostNameUntil(at, [&](std::string_view hostName) {
        // What the device can see: no hidden host names, no names it could not spell, no
        // links or other special files.
        if (!IsValidDeviceName(hostName) || !MatchesPattern(hostName, wildcard)) return true;
        struct stat st {};
        // The name comes from the directory entry and ends in a NUL.
        if (::fstatat(at, hostName.data(), &st, AT_SYMLINK_NOFOLLOW) != 0 ||
            !(S_ISREG(st.st_mode) || S_ISDIR(st.st_mode))) {
            return true;
        }
        const FileStatus status = ToStatus(st);
        FindEntry entry{std::string(hostName), status.isFolder, status.size, status.lastWrite};
        return visit(entry);
    });
}
