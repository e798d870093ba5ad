#pragma once

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <optional>
#include <string>

// A helper process, our own child, that publishes a title; and what it printed first.
class Helper {
  public:
    static inline const char* kInstanceHelper = QUILLO_INSTANCE_HELPER;

    Helper(const std::string& device, const std::string& title, const std::string& log,
           std::optional<uid_t> expectUid = std::nullopt) {
        int output[2];
        if (::pipe(output) != 0) return;
        m_pid = ::fork();
        if (m_pid == 0) {
            ::dup2(output[1], STDOUT_FILENO);
            ::close(output[0]);
            const std::string uid = expectUid ? std::to_string(*expectUid) : std::string();
            if (expectUid) {
                ::execl(kInstanceHelper, "instance_helper", "serve", device.c_str(), title.c_str(),
                        log.c_str(), "--expect-uid", uid.c_str(), static_cast<char*>(nullptr));
            } else {
                ::execl(kInstanceHelper, "instance_helper", "serve", device.c_str(), title.c_str(),
                        log.c_str(), static_cast<char*>(nullptr));
            }
            ::_exit(127);
        }
        ::close(output[1]);
        char buffer[64];
        ssize_t got = 0;
        while ((got = ::read(output[0], buffer, sizeof buffer)) > 0) {
            m_first.append(buffer, static_cast<size_t>(got));
            if (m_first.find('\n') != std::string::npos) break;
        }
        ::close(output[0]);
    }
    ~Helper() { Kill(); }
    void Kill() {
        if (m_pid > 0) {
            ::kill(m_pid, SIGKILL);
            int status = 0;
            ::waitpid(m_pid, &status, 0);
            m_pid = 0;
        }
    }
    const std::string& First() const { return m_first; }

  private:
    pid_t m_pid = 0;
    std::string m_first;
};
