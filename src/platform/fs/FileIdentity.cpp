#include "FileIdentity.h"

#include <fcntl.h>
#include <sys/stat.h>

#include "platform/fs/Device.h"

namespace {

int64_t Nanoseconds(const timespec& time) {
    return static_cast<int64_t>(time.tv_sec) * 1'000'000'000 + time.tv_nsec;
}

FileIdentity IdentityFromStat(const struct stat& st) {
    FileIdentity identity;
    identity.device = st.st_dev;
    identity.inode = st.st_ino;
    identity.size = st.st_size;
    identity.modifiedNs = Nanoseconds(st.st_mtim);
    identity.changedNs = Nanoseconds(st.st_ctim);
    return identity;
}

}  // namespace

FileIdentity FileIdentityAt(std::string_view path) {
    HostLocation location;
    if (!Device::FileSystem().Locate(path, location) || !location.exists) return {};
    return FileIdentityAtHost(location.folder.Get(), location.name);
}

FileIdentity FileIdentityAtHost(int folder, const std::string& name) {
    struct stat st {};
    if (::fstatat(folder, name.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0) return {};
    return IdentityFromStat(st);
}

FileIdentity FileIdentityOfHostFd(int fd) {
    struct stat st {};
    return ::fstat(fd, &st) == 0 ? IdentityFromStat(st) : FileIdentity{};
}

namespace {

void AppendLittleEndian(std::string& out, uint64_t value) {
    for (int i = 0; i < 8; ++i) out.push_back(static_cast<char>(value >> (8 * i)));
}

uint64_t TakeLittleEndian(std::string_view& in) {
    uint64_t value = 0;
    for (int i = 0; i < 8; ++i) value |= uint64_t{static_cast<uint8_t>(in[i])} << (8 * i);
    in.remove_prefix(8);
    return value;
}

}  // namespace

void AppendFileIdentity(std::string& out, const FileIdentity& identity) {
    AppendLittleEndian(out, identity.device);
    AppendLittleEndian(out, identity.inode);
    AppendLittleEndian(out, static_cast<uint64_t>(identity.size));
    AppendLittleEndian(out, static_cast<uint64_t>(identity.modifiedNs));
    AppendLittleEndian(out, static_cast<uint64_t>(identity.changedNs));
}

bool TakeFileIdentity(std::string_view& in, FileIdentity& identity) {
    if (in.size() < kFileIdentityBytes) return false;
    identity.device = TakeLittleEndian(in);
    identity.inode = TakeLittleEndian(in);
    identity.size = static_cast<int64_t>(TakeLittleEndian(in));
    identity.modifiedNs = static_cast<int64_t>(TakeLittleEndian(in));
    identity.changedNs = static_cast<int64_t>(TakeLittleEndian(in));
    return true;
}
