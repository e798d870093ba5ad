#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/fs/FileIdentity.h"
#include "platform/fs/UniqueFd.h"

// A file of the mounted device, opened for reading or created for writing.
class CFile {
  public:
    enum OpenFlags : unsigned {
        modeRead = 0x0000,
        modeWrite = 0x0001,
        modeCreate = 0x1000,  // with modeWrite: create, or truncate an existing file
    };
    enum SeekPosition { begin, current, end };

    CFile() = default;
    CFile(CFile&&) = default;
    CFile& operator=(CFile&&) = default;

    // False when the path is invalid, a folder on the way is missing, or the host refuses.
    [[nodiscard]] bool Open(std::string_view path, unsigned flags);
    void Close() { m_fd.Reset(); }
    bool IsOpen() const { return m_fd.IsValid(); }

    // Reads up to `count` bytes; fewer only at the end of the file. -1 on a read error.
    [[nodiscard]] ptrdiff_t Read(void* buffer, size_t count);
    // Writes all `count` bytes, or returns false (a full disk, an I/O error).
    [[nodiscard]] bool Write(const void* data, size_t count);
    // The new position, or -1.
    [[nodiscard]] int64_t Seek(int64_t offset, SeekPosition from);
    // The file's length in bytes, or -1.
    [[nodiscard]] int64_t GetLength() const;
    // The identity of the open file, as a later look at its path can compare.
    FileIdentity GetIdentity() const { return FileIdentityOfHostFd(m_fd.Get()); }

    const std::string& GetFilePath() const { return m_strPath; }
    // The host's descriptor, for a reader that must open the very same file again.
    int HostFd() const { return m_fd.Get(); }

  private:
    UniqueFd m_fd;
    std::string m_strPath;
};

// Host-descriptor helpers shared by the device's writers and readers.
[[nodiscard]] ptrdiff_t ReadFully(int fd, void* buffer, size_t count);
[[nodiscard]] bool WriteFully(int fd, const void* data, size_t count);
