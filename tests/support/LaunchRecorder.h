#pragma once

#include <atomic>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include "platform/shell/LaunchCommand.h"
#include "support/TempDevice.h"

// Stands in for the system's timed launch while it lives: every command the program would
// give the system is recorded instead, and answered by `Answer` (by default nothing
// answers: every tool is missing, nothing is started). The user's unit folder is a
// temporary one meanwhile. The recorder waits for the program's pending requests before
// it goes.
class LaunchRecorder {
  public:
    LaunchRecorder();
    ~LaunchRecorder();
    LaunchRecorder(const LaunchRecorder&) = delete;
    LaunchRecorder& operator=(const LaunchRecorder&) = delete;

    void Answer(LaunchCommandRunner answer);
    // systemctl, systemd-run, at, atq and atrm all answer as a working system does; `at`
    // numbers its jobs from 1.
    void AnswerAsWorkingSystemd();
    void AnswerAsWorkingAt();
    // Whether `atd` looks as if it runs (AnswerAsWorkingAt makes it run).
    void SetAtDaemonRunning(bool running);

    // Each command as one line, its words joined as the shell would read them.
    std::vector<std::string> Lines() const;
    std::vector<LaunchCommand> Commands() const;
    void Clear();

    // The user's unit folder (what $XDG_CONFIG_HOME/systemd/user names).
    std::string UnitFolder() const;

  private:
    struct SavedVariable {
        const char* name;
        std::string value;
        bool had = false;
    };

    TempFolder m_config;
    std::vector<SavedVariable> m_saved;
    std::atomic<bool> m_atDaemonRunning{false};
    mutable std::mutex m_mutex;
    std::vector<LaunchCommand> m_commands;
    LaunchCommandRunner m_answer;
    int m_nextJob = 1;
};
