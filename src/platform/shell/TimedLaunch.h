#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "platform/base/Time.h"

// The system's timed launch: one request per device to start the program at a local time
// with "AppRunAtTime" on its command line, kept through logout, suspend and reboot.
//
// The request is recorded at once in the device registry, HKLM\Software\Quillo\RunAppAtTime
// ("Time" as FormatMinuteText writes it, "CommandLine", and "Backend" once the system holds
// it); a background worker then hands it to the system, in order, the last request winning.
// A time that is not in the future is launched at once.

// Requests the launch of `application` at `when`, replacing the device's earlier request;
// with a null time, withdraws it. Returns at once: true when the request is recorded (the
// system is given it in the background).
[[nodiscard]] bool RunAppAtTime(std::string_view application, const SYSTEMTIME* when);

// An alarm of the request's time was taken for firing: the next request of that same time
// is a new one (another alarm of the same minute), launched at once when its time has come.
// Without it, a request of an unchanged time and command line arms nothing again. False
// when the record could not be changed.
[[nodiscard]] bool TakeRunAppAtTimeRequest();

// The backend the background work chose for the standing request ("systemd", "at" or
// "self"); empty while it has not chosen. Only reads the record: it probes nothing.
std::string GetRunAppAtTimeBackend();

// The time of the device's standing request; false when none stands.
[[nodiscard]] bool GetRunAppAtTimeRequest(SYSTEMTIME& when);

// Returns once every request this process made has been handed to the system. A process
// does this before it ends (it also happens at exit), so no request it made is lost.
void FinishTimedLaunchRequests();

// Whether requests this process made are still being handed to the system. Never waits.
bool TimedLaunchRequestsPending();

// The full path of the program's own executable.
[[nodiscard]] std::string GetModuleFileName();

// For a running program with a window: watches the request on the wall clock for the
// backend of last resort (the program itself) and launches it when its time has come, also
// when it came while no window ran. Needs the toolkit's event loop.
void StartTimedLaunchWatch();
// One look of that watch, on the wall clock: a suspend or a clock change cannot skip it.
void LookAtTimedLaunchRequest();

// What the system's timer runs (the program with --timed-launch): starts the recorded
// command line once a display is there, looking again a minute later while there is none.
[[nodiscard]] int RunTimedLaunch();

// The same, with the wait between two looks given; for tests.
[[nodiscard]] int RunTimedLaunchWaiting(const std::function<void()>& waitAMinute);

// The record's key in the machine hive.
inline constexpr const char* kRunAppAtTimeKey = "Software\\Quillo\\RunAppAtTime";
