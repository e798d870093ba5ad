// Preloaded into a helper process: records every fsync, fdatasync and rename, in order, with
// the host paths they concern, into the file that QUILLO_SYNC_LOG names, then does the real call.
#include <dlfcn.h>
#include <fcntl.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <unistd.h>

#include <string>

namespace {

std::string PathOfFd(int fd) {
    char link[64];
    char target[4096];
    snprintf(link, sizeof link, "/proc/self/fd/%d", fd);
    const ssize_t length = readlink(link, target, sizeof target - 1);
    return length > 0 ? std::string(target, static_cast<size_t>(length)) : "?";
}

std::string PathAt(int folder, const char* name) {
    if (name[0] == '/') return name;
    return (folder == AT_FDCWD ? std::string(".") : PathOfFd(folder)) + "/" + name;
}

void Record(const std::string& line) {
    const char* log = getenv("QUILLO_SYNC_LOG");
    if (log == nullptr) return;
    const int fd = open(log, O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0600);
    if (fd < 0) return;
    const std::string text = line + "\n";
    (void)!write(fd, text.data(), text.size());
    close(fd);
}

template <typename Function>
Function Real(const char* name) {
    return reinterpret_cast<Function>(dlsym(RTLD_NEXT, name));
}

}  // namespace

extern "C" {

int fsync(int fd) {
    Record("fsync " + PathOfFd(fd));
    return Real<int (*)(int)>("fsync")(fd);
}

int fdatasync(int fd) {
    Record("fsync " + PathOfFd(fd));
    return Real<int (*)(int)>("fdatasync")(fd);
}

int rename(const char* from, const char* to) {
    Record("rename " + PathAt(AT_FDCWD, from) + " " + PathAt(AT_FDCWD, to));
    return Real<int (*)(const char*, const char*)>("rename")(from, to);
}

int renameat(int fromFolder, const char* from, int toFolder, const char* to) {
    Record("rename " + PathAt(fromFolder, from) + " " + PathAt(toFolder, to));
    return Real<int (*)(int, const char*, int, const char*)>("renameat")(fromFolder, from, toFolder,
                                                                         to);
}

int renameat2(int fromFolder, const char* from, int toFolder, const char* to, unsigned flags) {
    Record("rename " + PathAt(fromFolder, from) + " " + PathAt(toFolder, to));
    return Real<int (*)(int, const char*, int, const char*, unsigned)>("renameat2")(
        fromFolder, from, toFolder, to, flags);
}
}
