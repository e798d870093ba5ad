#pragma once

#include <cstdint>
#include <string>

// How long a statement waits for another process: as long as that one makes progress (its
// commits change the file), up to kLongestWaitMs, but only a patience without any. Another
// Quillo's commit takes milliseconds; a profile that someone keeps must not hold a window,
// and a read (or the look at a file being opened) is less patient than a write.
inline constexpr int64_t kWritePatienceMs = 2000;
inline constexpr int64_t kReadPatienceMs = 400;
inline constexpr int64_t kLongestWaitMs = 10000;
// Once the registry kept a statement waiting in vain (its holder made no progress), nothing
// waits for it again for this long: each value a start or a menu reads, and each write a
// command makes, would wait otherwise.
inline constexpr int64_t kBusyBackoffMs = 5000;

struct FileStamp {
    int64_t modifiedNs = -1;
    int64_t size = -1;
    bool operator==(const FileStamp&) const = default;
};

struct RegistryBusyWait {
    std::string file;
    int64_t patienceMs = kReadPatienceMs;
    int64_t startMs = 0;
    int64_t lastProgressMs = 0;
    FileStamp stamp;

    // SQLite's busy handler: nonzero to try the lock again.
    static int Again(void* context, int previousCalls);
};

// How long the next statement may wait: none while the registry was recently kept in vain.
int64_t ReadPatienceMs();
int64_t WritePatienceMs();
// A statement's result: one that got through ends the holding; it is waited for again.
int Seen(int result);
