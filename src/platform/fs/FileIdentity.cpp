#include "FileIdentity.h"

#include <fcntl.h>
#include <sys/stat.h>

#include "platform/base/LittleEndian.h"
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

void AppendFileIdentity(std::string& out, const FileIdentity& identity) {
    for (const uint64_t field :
         {uint64_t{identity.device}, uint64_t{identity.inode}, static_cast<uint64_t>(identity.size),
          static_cast<uint64_t>(identity.modifiedNs), static_cast<uint64_t>(identity.changedNs)}) {
        AppendLittleEndian(out, field);
    }
}

bool TakeFileIdentity(std::string_view& in, FileIdentity& identity) {
    if (in.size() < kFileIdentityBytes) return false;
    uint64_t size = 0, modified = 0, changed = 0;
    const bool taken = TakeLittleEndian(in, identity.device) &&
                       TakeLittleEndian(in, identity.inode) && TakeLittleEndian(in, size) &&
                       TakeLittleEndian(in, modified) && TakeLittleEndian(in, changed);
    identity.size = static_cast<int64_t>(size);
    identity.modifiedNs = static_cast<int64_t>(modified);
    identity.changedNs = static_cast<int64_t>(changed);
    return taken;
}
