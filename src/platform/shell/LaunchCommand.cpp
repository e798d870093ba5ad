#include "LaunchCommand.h"

#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <map>
#include <mutex>

#include "platform/fs/UniqueFd.h"

extern char** environ;

namespace {

std::mutex gRunnerMutex;
LaunchCommandRunner gRunner;

// The caller's environment with `overrides` put over it.
std::vector<std::string> MergedEnvironment(const std::vector<std::string>& overrides) {
    std::map<std::string, std::string> merged;
    const auto add = [&merged](std::string_view entry) {
        const size_t equals = entry.find('=');
        if (equals == std::string_view::npos) return;
        merged[std::string(entry.substr(0, equals))] = std::string(entry);
    };
    for (char** entry = environ; *entry != nullptr; ++entry) add(*entry);
    for (const std::string& entry : overrides) add(entry);
    std::vector<std::string> result;
    for (auto& [name, entry] : merged) result.push_back(std::move(entry));
    return result;
}

std::vector<char*> Pointers(std::vector<std::string>& words) {
    std::vector<char*> pointers;
    for (std::string& word : words) pointers.push_back(word.data());
    pointers.push_back(nullptr);
    return pointers;
}

int WaitFor(pid_t pid) {
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0) {
        if (errno != EINTR) return -1;
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

// `at` keeps the folder it was asked from and gives up when it is gone by the alarm's
// minute (a build folder, a removed temporary one): every command runs from "/".
void FromTheRoot(posix_spawn_file_actions_t& actions) {
    posix_spawn_file_actions_addchdir_np(&actions, "/");
}

// A shell in a session of its own starts the program in the background and ends at once:
// the program is nobody's child then, and nothing waits for it or is killed with us.
LaunchCommandResult StartDetached(const LaunchCommand& command) {
    std::vector<std::string> argv = {"/bin/sh", "-c", "\"$@\" </dev/null >/dev/null 2>&1 &",
                                     "sh"};
    argv.insert(argv.end(), command.argv.begin(), command.argv.end());
    std::vector<std::string> environment = MergedEnvironment(command.environment);
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSID);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    FromTheRoot(actions);
    pid_t pid = 0;
    const int error = ::posix_spawn(&pid, argv[0].c_str(), &actions, &attributes,
                                    Pointers(argv).data(), Pointers(environment).data());
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attributes);
    if (error != 0) return {};
    return {WaitFor(pid), {}};
}

LaunchCommandResult RunToEnd(const LaunchCommand& command) {
    int input[2];
    int output[2];
    if (::pipe2(input, O_CLOEXEC) != 0) return {};
    UniqueFd inputRead(input[0]);
    UniqueFd inputWrite(input[1]);
    if (::pipe2(output, O_CLOEXEC) != 0) return {};
    UniqueFd outputRead(output[0]);
    UniqueFd outputWrite(output[1]);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, inputRead.Get(), STDIN_FILENO);
    posix_spawn_file_actions_adddup2(&actions, outputWrite.Get(), STDOUT_FILENO);
    posix_spawn_file_actions_adddup2(&actions, outputWrite.Get(), STDERR_FILENO);
    FromTheRoot(actions);
    std::vector<std::string> argv = command.argv;
    std::vector<std::string> environment = MergedEnvironment(command.environment);
    pid_t pid = 0;
    const int error = ::posix_spawnp(&pid, argv[0].c_str(), &actions, nullptr,
                                     Pointers(argv).data(), Pointers(environment).data());
    posix_spawn_file_actions_destroy(&actions);
    inputRead.Reset();
    outputWrite.Reset();
    if (error != 0) return {};

    LaunchCommandResult result;
    size_t written = 0;
    if (command.input.empty()) inputWrite.Reset();
    // Feed the input and drain the output together, so neither pipe can fill and stall.
    while (outputRead.IsValid()) {
        pollfd fds[2] = {{outputRead.Get(), POLLIN, 0}, {inputWrite.Get(), POLLOUT, 0}};
        const nfds_t count = inputWrite.IsValid() ? 2 : 1;
        if (::poll(fds, count, -1) < 0) {
            if (errno == EINTR) continue;
            break;
        }
        if (count == 2 && (fds[1].revents & (POLLOUT | POLLERR | POLLHUP)) != 0) {
            const ssize_t sent = ::write(inputWrite.Get(), command.input.data() + written,
                                         command.input.size() - written);
            if (sent > 0) written += static_cast<size_t>(sent);
            if (sent < 0 || written == command.input.size()) inputWrite.Reset();
        }
        if ((fds[0].revents & (POLLIN | POLLHUP | POLLERR)) != 0) {
            char buffer[4096];
            const ssize_t got = ::read(outputRead.Get(), buffer, sizeof buffer);
            if (got > 0) {
                result.output.append(buffer, static_cast<size_t>(got));
            } else if (got == 0 || errno != EINTR) {
                outputRead.Reset();
            }
        }
    }
    inputWrite.Reset();
    result.exitCode = WaitFor(pid);
    return result;
}

bool IsPlainShellCharacter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
           std::strchr("_@%+=:,./-", c) != nullptr;
}

}  // namespace

LaunchCommandResult RunLaunchCommand(const LaunchCommand& command) {
    LaunchCommandRunner runner;
    {
        std::lock_guard<std::mutex> lock(gRunnerMutex);
        runner = gRunner;
    }
    if (runner) return runner(command);
    if (command.argv.empty()) return {};
    return command.detached ? StartDetached(command) : RunToEnd(command);
}

void SetLaunchCommandRunner(LaunchCommandRunner runner) {
    std::lock_guard<std::mutex> lock(gRunnerMutex);
    gRunner = std::move(runner);
}

std::string ShellQuote(std::string_view word) {
    bool plain = !word.empty();
    for (const char c : word) plain = plain && IsPlainShellCharacter(c);
    if (plain) return std::string(word);
    std::string quoted = "'";
    for (const char c : word) {
        if (c == '\'') {
            quoted += "'\\''";
        } else {
            quoted += c;
        }
    }
    return quoted + "'";
}

std::string ShellJoin(const std::vector<std::string>& words) {
    std::string line;
    for (const std::string& word : words) {
        if (!line.empty()) line += ' ';
        line += ShellQuote(word);
    }
    return line;
}

std::vector<std::string> ShellSplit(std::string_view line) {
    std::vector<std::string> words;
    std::string word;
    bool inWord = false;
    for (size_t i = 0; i < line.size(); ++i) {
        const char c = line[i];
        if (c == ' ' || c == '\t' || c == '\n') {
            if (inWord) words.push_back(std::exchange(word, {}));
            inWord = false;
            continue;
        }
        inWord = true;
        if (c == '\'') {
            const size_t end = line.find('\'', i + 1);
            word += line.substr(i + 1, (end == std::string_view::npos ? line.size() : end) - i - 1);
            i = end == std::string_view::npos ? line.size() : end;
        } else if (c == '"') {
            for (++i; i < line.size() && line[i] != '"'; ++i) {
                if (line[i] == '\\' && i + 1 < line.size()) ++i;
                word += line[i];
            }
        } else if (c == '\\' && i + 1 < line.size()) {
            word += line[++i];
        } else {
            word += c;
        }
    }
    if (inWord) words.push_back(word);
    return words;
}

namespace {

std::string SystemdQuoted(std::string_view word, bool doubleDollars) {
    std::string quoted = "\"";
    for (const char c : word) {
        if (c == '"' || c == '\\') {
            quoted += '\\';
            quoted += c;
        } else if (c == '$' && doubleDollars) {
            quoted += "$$";
        } else if (c == '%') {
            quoted += "%%";
        } else {
            quoted += c;
        }
    }
    return quoted + "\"";
}

}  // namespace

std::string SystemdQuote(std::string_view word) {
    return SystemdQuoted(word, true);
}

std::string SystemdQuoteSetting(std::string_view value) {
    return SystemdQuoted(value, false);
}

namespace {

std::string WithEvery(std::string_view word, char doubled) {
    std::string escaped;
    for (const char c : word) {
        escaped += c;
        if (c == doubled) escaped += doubled;
    }
    return escaped;
}

}  // namespace

std::string SystemdEscapePercents(std::string_view path) {
    return WithEvery(path, '%');
}

std::string SystemdEscapeDollars(std::string_view word) {
    return WithEvery(word, '$');
}
