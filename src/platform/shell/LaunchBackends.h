#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/base/Time.h"
#include "platform/shell/DisplayEnvironment.h"

// Where the system keeps a timed launch, in the order they are tried: systemd's user
// manager (a persistent timer, so a time that passes while the machine is off fires at the
// next login), `at`, or the program's own running windows.
enum class LaunchBackend { None, Systemd, At, Self };

std::string_view BackendName(LaunchBackend backend);
LaunchBackend BackendOfName(std::string_view name);

// The system's side of one device's request. Every command goes through RunLaunchCommand;
// the answers of the probes are kept for the life of the object.
class LaunchBackends {
  public:
    explicit LaunchBackends(std::string deviceDirectory);

    bool SystemdAnswers();
    // `atq` answers even with no daemon to run the jobs: `at` counts only while `atd` runs.
    bool AtAnswers();
    // The best backend that answers.
    LaunchBackend Choose();

    // The timer and its service under the user's unit folder, enabled and (re)started, for
    // the instant `when` (seconds since 1970, UTC); on any failure nothing of them is left.
    [[nodiscard]] bool ArmSystemd(int64_t when, const std::vector<std::string>& launcher,
                                  const EnvironmentMap& environment);
    // True when the timer has fired at or after `when`.
    bool SystemdFiredSince(int64_t when);
    // The timer, its service, its link under timers.target and its stamp all go.
    void WithdrawSystemd();
    // The number of the job that runs `launcher` at the local time `when`; `previousJob` is
    // removed first.
    [[nodiscard]] std::optional<std::string> ArmAt(const SYSTEMTIME& when,
                                                   const std::vector<std::string>& launcher,
                                                   const EnvironmentMap& environment,
                                                   const std::optional<std::string>& previousJob);
    void WithdrawAt(const std::string& job);

    // The display environment of this moment: the user manager's where it has one, over
    // this process's own.
    EnvironmentMap FreshEnvironment();
    // Starts `program` now, outside this process: as a transient unit of its own under the
    // user manager (so no timer's service owns it and no later request can stop it), else
    // detached in a session of its own.
    void LaunchNow(const std::vector<std::string>& program);

    std::string TimerName() const;
    std::string ServiceName() const;
    // ${XDG_CONFIG_HOME:-$HOME/.config}/systemd/user
    static std::string UnitFolder();
    // Where the user manager keeps the time a persistent timer last fired.
    std::string StampFile() const;

  private:
    [[nodiscard]] bool Systemctl(std::vector<std::string> arguments);

    std::string m_deviceDirectory;
    std::string m_hash;
    std::optional<bool> m_systemd;
    std::optional<bool> m_at;
    EnvironmentMap m_managerEnvironment;
};

// 16 hexadecimal digits naming the device in unit and job names.
std::string DeviceHash(std::string_view deviceDirectory);
// "2026-12-07 10:05:00 UTC": an instant as the user manager reads it in any zone of its own.
std::string CalendarText(int64_t when);

// True when the pid file names a live process called `name`.
bool PidFileNamesLiveProcess(const std::string& pidFile, std::string_view name);
// Test seam: whether `atd` runs is answered by `probe` instead of the system; null restores
// the system's answer.
void SetAtDaemonProbe(std::function<bool()> probe);
