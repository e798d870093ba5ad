#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

// What tells one version of a file from another: a sync tool's download renamed over it
// brings another inode, a rewrite in place another size or modification time, and even a
// rewrite within the same clock tick moves the change time.
struct FileIdentity {
    uint64_t device = 0;
    uint64_t inode = 0;
    int64_t size = 0;
    int64_t modifiedNs = 0;  // st_mtim, in nanoseconds since the epoch
    int64_t changedNs = 0;   // st_ctim

    // False for no file at all: nothing was loaded, or nothing is there.
    bool IsKnown() const { return inode != 0; }
    friend bool operator==(const FileIdentity&, const FileIdentity&) = default;
};

// What is at a device path now; unknown when nothing is there or the path is invalid. A link
// is not followed: it is not the file that was written.
[[nodiscard]] FileIdentity FileIdentityAt(std::string_view path);
// Of the entry `name` in an open host folder, not followed when it is a link; unknown when
// nothing is there.
[[nodiscard]] FileIdentity FileIdentityAtHost(int folder, const std::string& name);
// Of an open host descriptor; unknown when it cannot be read.
[[nodiscard]] FileIdentity FileIdentityOfHostFd(int fd);

// The identity as a fixed 40 bytes, little-endian, for files that must name the version of
// another file they belong to.
constexpr size_t kFileIdentityBytes = 40;
void AppendFileIdentity(std::string& out, const FileIdentity& identity);
// Reads kFileIdentityBytes from the front of `in` and drops them; false when `in` is shorter.
[[nodiscard]] bool TakeFileIdentity(std::string_view& in, FileIdentity& identity);
