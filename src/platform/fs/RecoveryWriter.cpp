#include "RecoveryWriter.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

#include "platform/fs/File.h"
#include "platform/fs/RecoveryFolder.h"

RecoveryWriter::RecoveryWriter(int folderFd, std::chrono::milliseconds spacing,
                               FailureHandler onFailure)
    : m_folder(::fcntl(folderFd, F_DUPFD_CLOEXEC, 0)),
      m_spacing(spacing),
      m_onFailure(std::move(onFailure)) {
    m_thread = std::thread([this] { Run(); });
}

RecoveryWriter::~RecoveryWriter() {
    {
        std::lock_guard lock(m_mutex);
        m_stopping = true;
        m_hurry = true;
    }
    m_changed.notify_all();
    m_thread.join();
}

void RecoveryWriter::Write(Payload payload) {
    {
        std::lock_guard lock(m_mutex);
        const uint64_t generation = ++m_lastGeneration;
        if (!m_tasks.empty() && m_tasks.back().payload) {
            // Not started yet: it takes the newer picture and keeps its time.
            m_tasks.back().payload = std::move(payload);
            m_tasks.back().generation = generation;
            return;
        }
        const auto now = std::chrono::steady_clock::now();
        const auto spaced = m_lastWriteStart + m_spacing;
        m_tasks.push_back({generation, std::move(payload), spaced > now ? spaced : now});
    }
    m_changed.notify_all();
}

void RecoveryWriter::Remove() {
    {
        std::lock_guard renaming(m_renameMutex);
        std::lock_guard lock(m_mutex);
        const uint64_t generation = ++m_lastGeneration;
        m_voidThrough = generation;
        // Writes still queued are void already; only the removal itself is left to do.
        std::erase_if(m_tasks, [](const Task& task) { return static_cast<bool>(task.payload); });
        m_tasks.push_back({generation, {}, {}});
    }
    m_changed.notify_all();
}

void RecoveryWriter::Flush() {
    std::unique_lock lock(m_mutex);
    m_hurry = true;
    m_changed.notify_all();
    m_changed.wait(lock, [this] { return m_tasks.empty() && !m_busy; });
    m_hurry = m_stopping;
}

void RecoveryWriter::Run() {
    std::unique_lock lock(m_mutex);
    for (;;) {
        m_changed.wait(lock, [this] { return m_stopping || !m_tasks.empty(); });
        if (m_tasks.empty()) return;  // stopping, with nothing left
        if (m_tasks.front().payload) {
            m_changed.wait_until(lock, m_tasks.front().due, [this] {
                return m_hurry || m_tasks.empty() || !m_tasks.front().payload;
            });
            if (m_tasks.empty()) continue;
        }
        const Task task = std::move(m_tasks.front());
        m_tasks.pop_front();
        m_busy = true;
        if (task.payload) m_lastWriteStart = std::chrono::steady_clock::now();
        lock.unlock();
        if (task.payload) {
            WriteCopy(task);
        } else {
            RemoveCopy();
        }
        lock.lock();
        m_busy = false;
        m_changed.notify_all();
    }
}

void RecoveryWriter::WriteCopy(const Task& task) {
    // Whatever a crash or someone else left under the temporary name goes first: a FIFO
    // there would hold this thread, and with it every save that waits for it.
    ::unlinkat(m_folder.Get(), kRecoveryTempName, 0);
    UniqueFd fd(::openat(m_folder.Get(), kRecoveryTempName,
                         O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC, 0600));
    int error = fd.IsValid() ? 0 : errno;
    const Sink sink = [&fd, &error](const void* data, size_t count) {
        if (WriteFully(fd.Get(), data, count)) return true;
        error = errno;
        return false;
    };
    bool renamed = false;
    if (fd.IsValid() && task.payload(sink)) {
        if (::fsync(fd.Get()) != 0) error = errno;
    } else if (fd.IsValid() && error == 0) {
        error = -1;  // the payload gave up
    }
    bool isVoid = false;
    {
        std::lock_guard renaming(m_renameMutex);
        {
            std::lock_guard lock(m_mutex);
            isVoid = IsVoid(task.generation);
        }
        if (error == 0 && !isVoid) {
            renamed = ::renameat(m_folder.Get(), kRecoveryTempName, m_folder.Get(),
                                 kRecoveryCopyName) == 0;
            if (!renamed) error = errno;
        }
    }
    if (!renamed) {
        ::unlinkat(m_folder.Get(), kRecoveryTempName, 0);
        // A copy made useless by a save meanwhile was not needed: no failure.
        if (!isVoid && m_onFailure) m_onFailure(error < 0 ? 0 : error);
        return;
    }
    // The rename itself must reach the disk, or a power cut could bring back the older copy.
    ::fsync(m_folder.Get());
}

void RecoveryWriter::RemoveCopy() {
    if (::unlinkat(m_folder.Get(), kRecoveryCopyName, 0) == 0) ::fsync(m_folder.Get());
    ::unlinkat(m_folder.Get(), kRecoveryTempName, 0);
}
