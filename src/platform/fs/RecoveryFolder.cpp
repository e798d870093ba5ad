#include "RecoveryFolder.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "platform/base/Format.h"
#include "platform/base/Time.h"
#include "platform/fs/Device.h"
#include "platform/fs/File.h"

namespace {

constexpr const char* kLockName = "lock";

}  // namespace

RecoveryFolder::RecoveryFolder(UniqueFd folder, UniqueFd lock, std::string hostPath)
    : m_folder(std::move(folder)), m_lock(std::move(lock)), m_hostPath(std::move(hostPath)) {}

CopyTrouble CopyTroubleOf(int error) {
    switch (error) {
        case ENOSPC:
        case EDQUOT:
        case EFBIG:  // a file-size limit: as good as a full disk
            return CopyTrouble::NoRoom;
        case EWOULDBLOCK:
            return CopyTrouble::HeldElsewhere;
        default:
            return CopyTrouble::CannotWrite;
    }
}

std::unique_ptr<RecoveryFolder> RecoveryFolder::Claim(int* error,
                                                      std::chrono::milliseconds holderWait) {
    const auto refused = [error](int reason) -> std::unique_ptr<RecoveryFolder> {
        if (error != nullptr) *error = reason;
        return nullptr;
    };
    if (!Device::IsMounted()) return refused(ENODEV);
    std::string path = Device::HostDirectory() + "/recovery";
    if (::mkdir(path.c_str(), 0700) != 0 && errno != EEXIST) return refused(errno);
    UniqueFd folder(::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
    if (!folder.IsValid()) return refused(errno);
    UniqueFd lock(::openat(folder.Get(), kLockName,
                           O_RDWR | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC, 0600));
    // A device directory that became read-only still has its lock, to be taken for reading.
    if (!lock.IsValid() && errno == EROFS) {
        lock.Reset(
            ::openat(folder.Get(), kLockName, O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
    }
    if (!lock.IsValid()) return refused(errno);
    // The lock belongs to this open file: a second claim in the same process is refused too.
    const auto until = std::chrono::steady_clock::now() + holderWait;
    while (::flock(lock.Get(), LOCK_EX | LOCK_NB) != 0) {
        if (errno != EWOULDBLOCK || std::chrono::steady_clock::now() >= until) {
            return refused(errno);
        }
        ::usleep(20000);
    }
    return std::unique_ptr<RecoveryFolder>(
        new RecoveryFolder(std::move(folder), std::move(lock), std::move(path)));
}

bool RecoveryFolder::HasCopy() const {
    struct stat st {};
    return ::fstatat(m_folder.Get(), kRecoveryCopyName, &st, AT_SYMLINK_NOFOLLOW) == 0;
}

bool RecoveryFolder::RemoveCopy() const {
    if (::unlinkat(m_folder.Get(), kRecoveryCopyName, 0) != 0) return errno == ENOENT;
    ::fsync(m_folder.Get());
    return true;
}

RecoveryFolder::LeftCopy RecoveryFolder::ReadCopy(std::string& bytes) const {
    bytes.clear();
    // O_NONBLOCK: a FIFO in the copy's place must not hold the start until someone writes.
    UniqueFd fd(::openat(m_folder.Get(), kRecoveryCopyName,
                         O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
    if (!fd.IsValid() && errno == ENOENT) return LeftCopy::None;
    struct stat st {};
    if (!fd.IsValid() || ::fstat(fd.Get(), &st) != 0 || !S_ISREG(st.st_mode)) {
        return LeftCopy::Unusable;
    }
    bytes.resize(static_cast<size_t>(st.st_size));
    const ptrdiff_t got = ReadFully(fd.Get(), bytes.data(), bytes.size());
    if (got < 0) return LeftCopy::Unusable;
    bytes.resize(static_cast<size_t>(got));
    return LeftCopy::Read;
}

std::string RecoveryFolder::SetCopyAside(std::string_view reason) const {
    // The program's clock, as the rescued memos are named by it.
    const SYSTEMTIME now = GetLocalTime();
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::string name = Format("%s.%.*s-%04d%02d%02d-%02d%02d%02d", kRecoveryCopyName,
                                  static_cast<int>(reason.size()), reason.data(), now.wYear,
                                  now.wMonth, now.wDay, now.wHour, now.wMinute, now.wSecond);
        if (attempt > 0) name += Format("-%d", attempt);
        if (::renameat2(m_folder.Get(), kRecoveryCopyName, m_folder.Get(), name.c_str(),
                        RENAME_NOREPLACE) == 0) {
            ::fsync(m_folder.Get());
            return m_hostPath + "/" + name;
        }
        if (errno != EEXIST) break;
    }
    return {};
}
