#pragma once

#include <chrono>
#include <memory>
#include <string>
#include <string_view>

#include "platform/fs/UniqueFd.h"

// The one copy's name inside the folder, and the temporary it is written as first.
constexpr const char* kRecoveryCopyName = "memo.copy";
constexpr const char* kRecoveryTempName = ".memo.copy-writing";

// Why no copy of the memo can be kept, as the user is told it.
enum class CopyTrouble { NoRoom, CannotWrite, HeldElsewhere };
// The trouble behind the system's error number `error` of a claim or a write.
CopyTrouble CopyTroubleOf(int error);

// recovery/ of the device directory (beside root/ and rescued/), where the memo being
// written is kept until it is safe in its file. One process owns it at a time: the one that
// holds its lock, which the system drops when that process ends, however it ends.
class RecoveryFolder {
  public:
    // Opens the folder of the mounted device, making it, and takes its lock, waiting up to
    // `holderWait` for a process that holds it (a window that is ending); null when another
    // process holds the lock (`error` EWOULDBLOCK) or the folder cannot be used (`error` the
    // system's reason).
    [[nodiscard]] static std::unique_ptr<RecoveryFolder> Claim(
        int* error = nullptr, std::chrono::milliseconds holderWait = std::chrono::milliseconds(0));

    enum class LeftCopy { None, Read, Unusable };
    // The copy a process left behind. Unusable: something is there that is no regular file
    // that can be read (a FIFO, a folder, a read error); it is to be set aside. Never waits
    // for a writer.
    [[nodiscard]] LeftCopy ReadCopy(std::string& bytes) const;
    // Moves the copy out of the way under a name of its own (it is never deleted); the
    // host path it went to, empty when it could not be moved.
    [[nodiscard]] std::string SetCopyAside(std::string_view reason) const;
    bool HasCopy() const;
    // The host path of the copy.
    std::string CopyPath() const { return m_hostPath + "/" + kRecoveryCopyName; }
    // False when a copy stays (a folder that refuses the change).
    [[nodiscard]] bool RemoveCopy() const;

    int FolderFd() const { return m_folder.Get(); }

  private:
    RecoveryFolder(UniqueFd folder, UniqueFd lock, std::string hostPath);

    UniqueFd m_folder;
    UniqueFd m_lock;
    std::string m_hostPath;
};
