#include "support/LaunchRecorder.h"

#include <cstdlib>

#include "platform/shell/LaunchBackends.h"
#include "platform/shell/TimedLaunch.h"

LaunchRecorder::LaunchRecorder() {
    // The user's units and the user manager's timer stamps go to a temporary folder.
    for (const char* name : {"XDG_CONFIG_HOME", "XDG_DATA_HOME"}) {
        const char* value = std::getenv(name);
        m_saved.push_back({name, value != nullptr ? value : "", value != nullptr});
    }
    ::setenv("XDG_CONFIG_HOME", m_config.Path().c_str(), 1);
    ::setenv("XDG_DATA_HOME", (m_config.Path() / "data").c_str(), 1);
    SetAtDaemonProbe([this] { return m_atDaemonRunning.load(); });
    SetLaunchCommandRunner([this](const LaunchCommand& command) {
        LaunchCommandRunner answer;
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_commands.push_back(command);
            answer = m_answer;
        }
        return answer ? answer(command) : LaunchCommandResult{127, "not found"};
    });
}

LaunchRecorder::~LaunchRecorder() {
    FinishTimedLaunchRequests();
    SetLaunchCommandRunner(nullptr);
    SetAtDaemonProbe(nullptr);
    for (const SavedVariable& saved : m_saved) {
        if (saved.had) {
            ::setenv(saved.name, saved.value.c_str(), 1);
        } else {
            ::unsetenv(saved.name);
        }
    }
}

void LaunchRecorder::SetAtDaemonRunning(bool running) {
    m_atDaemonRunning = running;
}

void LaunchRecorder::Answer(LaunchCommandRunner answer) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_answer = std::move(answer);
}

void LaunchRecorder::AnswerAsWorkingSystemd() {
    Answer([](const LaunchCommand& command) {
        const std::string& tool = command.argv.front();
        if (command.detached) return LaunchCommandResult{0, ""};
        if (tool == "systemctl" && command.argv.size() > 2 &&
            command.argv[2] == "show-environment") {
            return LaunchCommandResult{0, "HOME=/home/user\nDISPLAY=:7\nLANG=C.UTF-8\n"};
        }
        if (tool == "systemctl" || tool == "systemd-run") return LaunchCommandResult{0, ""};
        return LaunchCommandResult{127, "not found"};
    });
}

void LaunchRecorder::AnswerAsWorkingAt() {
    SetAtDaemonRunning(true);
    Answer([this](const LaunchCommand& command) {
        const std::string& tool = command.argv.front();
        if (command.detached || tool == "atq" || tool == "atrm") {
            return LaunchCommandResult{0, ""};
        }
        if (tool == "at") {
            std::lock_guard<std::mutex> lock(m_mutex);
            return LaunchCommandResult{
                0, "warning: commands will be executed using /bin/sh\njob " +
                       std::to_string(m_nextJob++) + " at Mon Dec  7 10:05:00 2026\n"};
        }
        return LaunchCommandResult{127, "not found"};
    });
}

std::vector<std::string> LaunchRecorder::Lines() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    std::vector<std::string> lines;
    for (const LaunchCommand& command : m_commands) {
        lines.push_back((command.detached ? "& " : "") + ShellJoin(command.argv));
    }
    return lines;
}

std::vector<LaunchCommand> LaunchRecorder::Commands() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_commands;
}

void LaunchRecorder::Clear() {
    FinishTimedLaunchRequests();
    std::lock_guard<std::mutex> lock(m_mutex);
    m_commands.clear();
}

std::string LaunchRecorder::UnitFolder() const {
    return (m_config.Path() / "systemd/user").string();
}
