// The calls are taken over in the test program itself: a definition here comes before the
// C library's for every caller once this file is linked in.
#include "support/ReadOnlyFolder.h"

#include <dlfcn.h>
#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <mutex>
#include <string>

namespace {

std::mutex gMutex;
std::string gFolder;  // empty: nothing is refused

std::string HostPathAt(int folder, const char* name) {
    if (name[0] == '/') return name;
    char link[64];
    char target[PATH_MAX];
    std::snprintf(link, sizeof link, "/proc/self/fd/%d", folder);
    const ssize_t length = folder == AT_FDCWD ? -1 : ::readlink(link, target, sizeof target - 1);
    const std::string base = length > 0 ? std::string(target, static_cast<size_t>(length)) : ".";
    return base + "/" + name;
}

bool Refused(int folder, const char* name) {
    std::lock_guard lock(gMutex);
    if (gFolder.empty() || !HostPathAt(folder, name).starts_with(gFolder + "/")) return false;
    errno = EROFS;
    return true;
}

template <typename Function>
Function Real(const char* name) {
    return reinterpret_cast<Function>(::dlsym(RTLD_NEXT, name));
}

}  // namespace

ReadOnlyFolder::ReadOnlyFolder(const std::filesystem::path& folder) {
    std::lock_guard lock(gMutex);
    gFolder = std::filesystem::weakly_canonical(folder).string();
}

ReadOnlyFolder::~ReadOnlyFolder() {
    std::lock_guard lock(gMutex);
    gFolder.clear();
}

extern "C" int unlinkat(int folder, const char* name, int flags) {
    if (Refused(folder, name)) return -1;
    static const auto real = Real<int (*)(int, const char*, int)>("unlinkat");
    return real(folder, name, flags);
}

extern "C" int renameat(int fromFolder, const char* from, int toFolder, const char* to) {
    if (Refused(fromFolder, from) || Refused(toFolder, to)) return -1;
    static const auto real = Real<int (*)(int, const char*, int, const char*)>("renameat");
    return real(fromFolder, from, toFolder, to);
}

extern "C" int renameat2(int fromFolder, const char* from, int toFolder, const char* to,
                         unsigned flags) {
    if (Refused(fromFolder, from) || Refused(toFolder, to)) return -1;
    static const auto real =
        Real<int (*)(int, const char*, int, const char*, unsigned)>("renameat2");
    return real(fromFolder, from, toFolder, to, flags);
}
