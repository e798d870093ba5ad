#include "ReplacingFile.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "platform/base/Format.h"
#include "platform/fs/Device.h"
#include "platform/fs/File.h"

namespace {

// A temporary is named for the process writing it; one whose process is gone was left by
// a crash. Those of live processes, another instance saving at this moment, stay.
void RemoveStaleTemporaries(int folder) {
    // A folder that cannot be listed cannot be written either: the open fails after this.
    (void)ForEachHostName(folder, [folder](std::string_view name) {
        if (!name.starts_with(kReplacingTempPrefix)) return;
        const long pid = std::strtol(name.data() + kReplacingTempPrefix.size(), nullptr, 10);
        if (pid > 0 && pid != ::getpid() && ::kill(static_cast<pid_t>(pid), 0) != 0 &&
            errno == ESRCH) {
            ::unlinkat(folder, std::string(name).c_str(), 0);
        }
    });
}

}  // namespace

bool CReplacingFile::Open(std::string_view path) {
    Abort();
    m_committed = {};
    HostLocation location;
    if (!Device::FileSystem().Locate(path, location) || location.isSymlink) {
        return false;
    }
    mode_t mode = 0;
    if (location.exists) {
        struct stat st {};
        if (::fstatat(location.folder.Get(), location.name.c_str(), &st, AT_SYMLINK_NOFOLLOW) !=
                0 ||
            !S_ISREG(st.st_mode)) {
            return false;
        }
        mode = st.st_mode & 07777;
    }
    RemoveStaleTemporaries(location.folder.Get());

    static std::atomic<unsigned> counter{0};
    for (int attempt = 0; attempt < 16 && !m_fd.IsValid(); ++attempt) {
        m_tempName = Format("%.*s%ld-%u", static_cast<int>(kReplacingTempPrefix.size()),
                            kReplacingTempPrefix.data(), static_cast<long>(::getpid()),
                            counter.fetch_add(1));
        m_fd.Reset(::openat(location.folder.Get(), m_tempName.c_str(),
                            O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600));
    }
    if (!m_fd.IsValid()) {
        m_tempName.clear();
        return false;
    }
    if (location.exists) {
        ::fchmod(m_fd.Get(), mode);  // keep the permissions the user gave the old file
    } else {
        const mode_t mask = ::umask(0);
        ::umask(mask);
        ::fchmod(m_fd.Get(), 0666 & ~mask);
    }
    m_folder = std::move(location.folder);
    m_name = location.name;
    return true;
}

bool CReplacingFile::Write(const void* data, size_t count) {
    return m_fd.IsValid() && WriteFully(m_fd.Get(), data, count);
}

bool CReplacingFile::Commit() {
    return Finish(true) == Outcome::Committed;
}

bool CReplacingFile::CommitIfAbsent() {
    return Finish(false) == Outcome::Committed;
}

CReplacingFile::Outcome CReplacingFile::CommitIfUnchanged(const FileIdentity& expected) {
    if (!m_fd.IsValid()) {
        return Outcome::Failed;
    }
    const FileIdentity there = FileIdentityAtHost(m_folder.Get(), m_name);
    if (!there.IsKnown()) {
        // Nothing there: the rename must not take a name that is filled meanwhile.
        return Finish(false);
    }
    if (!expected.IsKnown() || there != expected) {
        Abort();
        return Outcome::TargetChanged;
    }
    // What remains of the race is the time from this look to the rename, a few system
    // calls: a replacement landing exactly then is overwritten. The host has no rename that
    // replaces only a given inode.
    return Finish(true);
}

CReplacingFile::Outcome CReplacingFile::Finish(bool replace) {
    if (!m_fd.IsValid()) {
        return Outcome::Failed;
    }
    if (::fsync(m_fd.Get()) != 0) {
        Abort();
        return Outcome::Failed;
    }
    if (!(replace ? RenameOver() : RenameIfFree())) {
        const bool taken = errno == EEXIST;
        Abort();
        return taken ? Outcome::TargetChanged : Outcome::Failed;
    }
    m_tempName.clear();
    // Read through the descriptor, not the name: another program may already have put
    // something else under the name.
    m_committed = FileIdentityOfHostFd(m_fd.Get());
    m_fd.Reset();
    // The rename itself must reach the disk, or a power cut could bring back the old name.
    ::fsync(m_folder.Get());
    m_folder.Reset();
    return Outcome::Committed;
}

bool CReplacingFile::RenameOver() {
    return ::renameat(m_folder.Get(), m_tempName.c_str(), m_folder.Get(), m_name.c_str()) == 0;
}

bool CReplacingFile::RenameIfFree() {
    if (::renameat2(m_folder.Get(), m_tempName.c_str(), m_folder.Get(), m_name.c_str(),
                    RENAME_NOREPLACE) == 0) {
        return true;
    }
    if (errno != EINVAL && errno != ENOSYS) return false;
    // A file system without the no-replace rename (some network and FUSE mounts): a hard
    // link fails just as atomically when the name is taken; then the temporary name goes.
    if (::linkat(m_folder.Get(), m_tempName.c_str(), m_folder.Get(), m_name.c_str(), 0) != 0) {
        return false;
    }
    ::unlinkat(m_folder.Get(), m_tempName.c_str(), 0);
    return true;
}

void CReplacingFile::Abort() {
    m_fd.Reset();
    if (!m_tempName.empty() && m_folder.IsValid()) {
        ::unlinkat(m_folder.Get(), m_tempName.c_str(), 0);
    }
    m_tempName.clear();
    m_folder.Reset();
}
