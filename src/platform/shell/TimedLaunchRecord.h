#pragma once

#include <initializer_list>
#include <optional>
#include <string>

#include "platform/base/Time.h"

class Registry;

// The device's timed-launch request as the registry keeps it, under kRunAppAtTimeKey: what
// the program asked for, and what the system was last made to hold for it.
namespace launch_record {

inline constexpr const char* kTime = "Time";
inline constexpr const char* kCommandLine = "CommandLine";
inline constexpr const char* kBackend = "Backend";
// Which request the backend has done its part for (armed, or launched), and the `at` job
// that holds it: what the next change must undo.
inline constexpr const char* kHandled = "Handled";
inline constexpr const char* kJob = "Job";

struct Record {
    std::optional<std::string> time;
    std::optional<std::string> commandLine;
    std::optional<std::string> backend;
    std::optional<std::string> handled;
    std::optional<std::string> job;
};

std::optional<std::string> ReadText(const Registry& registry, const char* name);
Record ReadRecord(const Registry& registry);
[[nodiscard]] bool WriteText(Registry& registry, const char* name, const std::string& text);
// Deletes every one of `names`; false when any stays.
[[nodiscard]] bool Forget(Registry& registry, std::initializer_list<const char*> names);

// The request's time, written as FormatMinuteText writes it; only a real time is read.
[[nodiscard]] bool ParseTimeText(const std::string& text, SYSTEMTIME& when);

// Later than this minute: a timer armed for it still fires.
bool IsInTheFuture(int64_t when);

// What an armed (or launched) request was made for: the instant, so that a change of the
// zone counts as a change, and the command line, so that a moved program is armed anew.
std::string HandledText(int64_t when, const std::string& commandLine);

}  // namespace launch_record
