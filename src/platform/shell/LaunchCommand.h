#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

// One command that the timed launch gives the system: a backend's tool (systemctl, at, ...)
// run to its end with its output read, or the program itself started detached, in a session
// of its own, so that it outlives whoever started it.
struct LaunchCommand {
    std::vector<std::string> argv;         // argv[0] is looked up on PATH
    std::string input;                     // written to its standard input
    std::vector<std::string> environment;  // "NAME=value", over the caller's own
    bool detached = false;
};

struct LaunchCommandResult {
    int exitCode = -1;   // -1: it could not be started
    std::string output;  // standard output and error together
};

using LaunchCommandRunner = std::function<LaunchCommandResult(const LaunchCommand&)>;

// Runs a command through the installed runner, or for real when none is installed.
[[nodiscard]] LaunchCommandResult RunLaunchCommand(const LaunchCommand& command);

// Test seam: every command goes to `runner` instead of the system; null restores the system.
// Set it while no request is being carried out.
void SetLaunchCommandRunner(LaunchCommandRunner runner);

// A word as the POSIX shell reads it back: bare when it is plain, else in single quotes.
std::string ShellQuote(std::string_view word);
std::string ShellJoin(const std::vector<std::string>& words);
// Splits what ShellJoin made (single and double quotes, backslashes) back into words.
std::vector<std::string> ShellSplit(std::string_view line);
// A word of a systemd unit's command line: quoted, with "$" and "%" kept literal.
std::string SystemdQuote(std::string_view word);
// A quoted value of a unit's setting such as Environment=, "%" kept literal.
std::string SystemdQuoteSetting(std::string_view value);
// A path as a unit's condition reads it: unquoted, "%" kept literal.
std::string SystemdEscapePercents(std::string_view path);
// "$" kept literal in a command that systemd expands variables in.
std::string SystemdEscapeDollars(std::string_view word);
