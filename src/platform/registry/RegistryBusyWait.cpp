#include "RegistryBusyWait.h"

#include <sqlite3.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <chrono>

namespace {

std::atomic<int64_t> gLastBusyMs{-kBusyBackoffMs};

int64_t NowMs() {
    return std::chrono::duration_cast<std::chrono::milliseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

bool HeldRecently() {
    return NowMs() - gLastBusyMs.load() < kBusyBackoffMs;
}

FileStamp StampOf(const std::string& file) {
    struct stat st {};
    if (::stat(file.c_str(), &st) != 0) return {};
    return {int64_t{st.st_mtim.tv_sec} * 1000000000 + st.st_mtim.tv_nsec, int64_t{st.st_size}};
}

}  // namespace

int64_t ReadPatienceMs() {
    return HeldRecently() ? 0 : kReadPatienceMs;
}

int64_t WritePatienceMs() {
    return HeldRecently() ? 0 : kWritePatienceMs;
}

int Seen(int result) {
    if (result == SQLITE_OK || result == SQLITE_ROW || result == SQLITE_DONE) {
        gLastBusyMs = -kBusyBackoffMs;
    }
    return result;
}

int RegistryBusyWait::Again(void* context, int previousCalls) {
    auto* wait = static_cast<RegistryBusyWait*>(context);
    const int64_t now = NowMs();
    const FileStamp stamp = StampOf(wait->file);
    if (previousCalls == 0) {
        wait->startMs = now;
        wait->lastProgressMs = now;
    } else if (!(stamp == wait->stamp)) {
        wait->lastProgressMs = now;
    }
    wait->stamp = stamp;
    if (now - wait->lastProgressMs >= wait->patienceMs) {
        // Kept, not just busy: the next statements do not wait for it.
        if (wait->patienceMs > 0) gLastBusyMs = now;
        return 0;
    }
    if (now - wait->startMs >= kLongestWaitMs) return 0;
    ::usleep(previousCalls < 10 ? 1000 : 10000);
    return 1;
}
