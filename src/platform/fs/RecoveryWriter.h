#pragma once

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>

#include "platform/fs/UniqueFd.h"

// Keeps the recovery copy of a folder up to date from a thread of its own, so that no pen
// event and no stroke waits for a disk. Writes and removals run one at a time in the order
// they were asked for. Each carries a generation: a removal voids every older write, and a
// voided write is never renamed into place, so a copy never outlives the save that made it
// useless. Writes are spaced: one starts at most `spacing` after the first change it holds,
// and no sooner than `spacing` after the one before it; changes in between are folded into
// the write that is waiting.
class RecoveryWriter {
  public:
    using Sink = std::function<bool(const void* data, size_t count)>;
    // Streams the copy's bytes into the sink; false gives the write up.
    using Payload = std::function<bool(const Sink& sink)>;
    // Told, on the writer's thread, of each copy that could not be written, with the
    // system's error number (0 when the payload gave up).
    using FailureHandler = std::function<void(int error)>;

    // Writes into the open host folder `folderFd` (duplicated: the writer has its own).
    explicit RecoveryWriter(int folderFd,
                            std::chrono::milliseconds spacing = std::chrono::seconds(1),
                            FailureHandler onFailure = {});
    // Finishes what was asked, writing a waiting copy at once.
    ~RecoveryWriter();
    RecoveryWriter(const RecoveryWriter&) = delete;
    RecoveryWriter& operator=(const RecoveryWriter&) = delete;

    void Write(Payload payload);
    void Remove();
    // Waits until everything asked so far is done, waiting copies written at once.
    void Flush();

  private:
    struct Task {
        uint64_t generation = 0;
        Payload payload;  // empty: a removal
        std::chrono::steady_clock::time_point due;
    };

    void Run();
    void WriteCopy(const Task& task);
    void RemoveCopy();
    bool IsVoid(uint64_t generation) const { return generation <= m_voidThrough; }

    UniqueFd m_folder;
    const std::chrono::milliseconds m_spacing;
    const FailureHandler m_onFailure;

    mutable std::mutex m_mutex;
    std::condition_variable m_changed;
    std::deque<Task> m_tasks;
    uint64_t m_lastGeneration = 0;
    uint64_t m_voidThrough = 0;  // every write up to this generation is void
    bool m_busy = false;
    bool m_hurry = false;  // a flush or the end waits for no spacing
    bool m_stopping = false;
    std::chrono::steady_clock::time_point m_lastWriteStart{};
    // Held from the last look at the generation to the rename, so that a removal either
    // comes before the rename (which it then undoes) or voids the write before it.
    std::mutex m_renameMutex;
    std::thread m_thread;
};
