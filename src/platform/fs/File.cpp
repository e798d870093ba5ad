#include "File.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "platform/fs/Device.h"

ptrdiff_t ReadFully(int fd, void* buffer, size_t count) {
    auto* bytes = static_cast<unsigned char*>(buffer);
    size_t done = 0;
    while (done < count) {
        const ssize_t got = ::read(fd, bytes + done, count - done);
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got < 0) {
            return -1;
        }
        if (got == 0) {
            break;
        }
        done += static_cast<size_t>(got);
    }
    return static_cast<ptrdiff_t>(done);
}

bool WriteFully(int fd, const void* data, size_t count) {
    const auto* bytes = static_cast<const unsigned char*>(data);
    size_t done = 0;
    while (done < count) {
        const ssize_t put = ::write(fd, bytes + done, count - done);
        if (put < 0 && errno == EINTR) {
            continue;
        }
        if (put <= 0) {
            return false;
        }
        done += static_cast<size_t>(put);
    }
    return true;
}

bool CFile::Open(std::string_view path, unsigned flags) {
    Close();
    HostLocation location;
    if (!Device::FileSystem().Locate(path, location) || location.isSymlink) {
        return false;
    }
    const bool write = (flags & modeWrite) != 0;
    // O_NONBLOCK: a FIFO someone left in the device must not hang the program.
    int hostFlags = (write ? O_WRONLY : O_RDONLY) | O_NOFOLLOW | O_CLOEXEC | O_NONBLOCK;
    if (write && (flags & modeCreate) != 0) {
        hostFlags |= O_CREAT | O_TRUNC;
    }
    UniqueFd fd(::openat(location.folder.Get(), location.name.c_str(), hostFlags, 0666));
    struct stat st {};
    if (!fd.IsValid() || ::fstat(fd.Get(), &st) != 0 || !S_ISREG(st.st_mode)) {
        return false;
    }
    m_fd = std::move(fd);
    m_strPath = path;
    return true;
}

ptrdiff_t CFile::Read(void* buffer, size_t count) {
    return ReadFully(m_fd.Get(), buffer, count);
}

bool CFile::Write(const void* data, size_t count) {
    return WriteFully(m_fd.Get(), data, count);
}

int64_t CFile::Seek(int64_t offset, SeekPosition from) {
    const int whence = from == begin ? SEEK_SET : from == current ? SEEK_CUR : SEEK_END;
    return ::lseek(m_fd.Get(), offset, whence);
}

int64_t CFile::GetLength() const {
    struct stat st {};
    return ::fstat(m_fd.Get(), &st) == 0 ? st.st_size : -1;
}
