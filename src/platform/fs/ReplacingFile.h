#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "platform/fs/FileIdentity.h"
#include "platform/fs/UniqueFd.h"

// Writes a file of the mounted device so that it is replaced whole or not at all: the bytes
// go to a hidden temporary in the same folder, which `Commit` flushes to disk and renames
// over the old file. A crash, a kill or a full disk before the rename leaves the old file as
// it was; a writer destroyed without `Commit` removes its temporary.
class CReplacingFile {
  public:
    CReplacingFile() = default;
    CReplacingFile(const CReplacingFile&) = delete;
    CReplacingFile& operator=(const CReplacingFile&) = delete;
    ~CReplacingFile() { Abort(); }

    // Starts the replacement of `path` (which need not exist). Removes the temporaries that
    // crashed saves left in that folder. False when the path is invalid, names a folder or a
    // link, or the folder cannot be written.
    [[nodiscard]] bool Open(std::string_view path);
    [[nodiscard]] bool Write(const void* data, size_t count);
    // Makes the new content the file's. False, with the old file intact, on any failure.
    [[nodiscard]] bool Commit();
    // The same, but only when no file of that name is there by then; an existing one is
    // never replaced (false).
    [[nodiscard]] bool CommitIfAbsent();

    enum class Outcome { Committed, TargetChanged, Failed };
    // Makes the new content the file's only while the file under the name is still the one
    // `expected` names, or nothing is there (a file deleted meanwhile is written again). An
    // unknown `expected` asks for the name to be free. Anything else there stays as it is
    // (TargetChanged), and so does the temporary's content: nothing is renamed.
    [[nodiscard]] Outcome CommitIfUnchanged(const FileIdentity& expected);
    void Abort();

    bool IsOpen() const { return m_fd.IsValid(); }
    // After a successful commit: the identity of the file as written, read after the rename
    // (which moves its change time), so that a later look can tell whether anyone else has
    // replaced or rewritten it since.
    const FileIdentity& GetCommittedIdentity() const { return m_committed; }

  private:
    [[nodiscard]] Outcome Finish(bool replace);
    [[nodiscard]] bool RenameOver();
    // Renames the temporary to the name only while nothing is there; errno EEXIST when
    // something is.
    [[nodiscard]] bool RenameIfFree();

    UniqueFd m_folder;
    UniqueFd m_fd;
    std::string m_name;
    std::string m_tempName;
    FileIdentity m_committed;
};

// The prefix of the temporaries; hidden from the device because it starts with ".".
constexpr std::string_view kReplacingTempPrefix = ".quillo-save-";
