#include "LaunchBackends.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <fstream>
#include <mutex>

#include "platform/base/Format.h"
#include "platform/base/Text.h"
#include "platform/fs/File.h"
#include "platform/fs/UniqueFd.h"
#include "platform/shell/LaunchCommand.h"

namespace {

[[nodiscard]] bool MakeFolders(const std::string& path) {
    for (size_t slash = path.find('/', 1);; slash = path.find('/', slash + 1)) {
        if (::mkdir(path.substr(0, slash).c_str(), 0755) != 0 && errno != EEXIST) return false;
        if (slash == std::string::npos) return true;
    }
}

// Written beside the file and renamed over it: systemd never reads half a unit.
[[nodiscard]] bool WriteWhole(const std::string& path, const std::string& text) {
    const std::string temporary = Format("%s.tmp-%d", path.c_str(), static_cast<int>(::getpid()));
    UniqueFd fd(::open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644));
    if (!fd.IsValid() || !WriteFully(fd.Get(), text.data(), text.size()) ||
        ::fsync(fd.Get()) != 0) {
        ::unlink(temporary.c_str());
        return false;
    }
    fd.Reset();
    if (::rename(temporary.c_str(), path.c_str()) != 0) {
        ::unlink(temporary.c_str());
        return false;
    }
    return true;
}

constexpr const char* kAtPidFile = "/run/atd.pid";

std::mutex gAtProbeMutex;
std::function<bool()> gAtProbe;

bool AtDaemonRuns() {
    std::function<bool()> probe;
    {
        std::lock_guard<std::mutex> lock(gAtProbeMutex);
        probe = gAtProbe;
    }
    return probe ? probe() : PidFileNamesLiveProcess(kAtPidFile, "atd");
}

std::string FirstLine(const std::string& path) {
    std::ifstream file(path);
    std::string line;
    std::getline(file, line);
    return line;
}

std::string ScheduledAtText(const SYSTEMTIME& when) {
    return Format("%04d%02d%02d%02d%02d", when.wYear, when.wMonth, when.wDay, when.wHour,
                  when.wMinute);
}

std::string RunUnitName(const std::string& hash) {
    static std::atomic<int> counter{0};
    return Format("quillo-run-%s-%ld-%d-%d", hash.c_str(), static_cast<long>(std::time(nullptr)),
                  static_cast<int>(::getpid()), ++counter);
}

// "job 12 at Mon Dec  7 10:05:00 2026", among the warnings `at` prints.
std::optional<std::string> JobNumber(const std::string& output) {
    for (size_t at = output.find("job "); at != std::string::npos;
         at = output.find("job ", at + 1)) {
        size_t end = at + 4;
        while (end < output.size() && output[end] >= '0' && output[end] <= '9') ++end;
        if (end > at + 4) return output.substr(at + 4, end - at - 4);
    }
    return std::nullopt;
}

// A backend's tool, run to its end.
[[nodiscard]] LaunchCommandResult RunTool(std::vector<std::string> argv, std::string input = {}) {
    LaunchCommand command;
    command.argv = std::move(argv);
    command.input = std::move(input);
    return RunLaunchCommand(command);
}

}  // namespace

std::string_view BackendName(LaunchBackend backend) {
    switch (backend) {
        case LaunchBackend::Systemd:
            return "systemd";
        case LaunchBackend::At:
            return "at";
        case LaunchBackend::Self:
            return "self";
        case LaunchBackend::None:
            break;
    }
    return "";
}

LaunchBackend BackendOfName(std::string_view name) {
    for (const LaunchBackend backend :
         {LaunchBackend::Systemd, LaunchBackend::At, LaunchBackend::Self}) {
        if (name == BackendName(backend)) return backend;
    }
    return LaunchBackend::None;
}

std::string DeviceHash(std::string_view deviceDirectory) {
    return Format("%016llx", static_cast<unsigned long long>(Fnv1a(deviceDirectory)));
}

std::string CalendarText(int64_t when) {
    const SYSTEMTIME utc = UnixTimeToUtcTime(when);
    return Format("%04d-%02d-%02d %02d:%02d:%02d UTC", utc.wYear, utc.wMonth, utc.wDay, utc.wHour,
                  utc.wMinute, utc.wSecond);
}

bool PidFileNamesLiveProcess(const std::string& pidFile, std::string_view name) {
    const std::string pid = FirstLine(pidFile);
    if (pid.empty() || pid.find_first_not_of("0123456789") != std::string::npos) return false;
    return FirstLine("/proc/" + pid + "/comm") == name;
}

void SetAtDaemonProbe(std::function<bool()> probe) {
    std::lock_guard<std::mutex> lock(gAtProbeMutex);
    gAtProbe = std::move(probe);
}

LaunchBackends::LaunchBackends(std::string deviceDirectory)
    : m_deviceDirectory(std::move(deviceDirectory)), m_hash(DeviceHash(m_deviceDirectory)) {}

std::string LaunchBackends::TimerName() const {
    return "quillo-alarm-" + m_hash + ".timer";
}

std::string LaunchBackends::ServiceName() const {
    return "quillo-alarm-" + m_hash + ".service";
}

std::string LaunchBackends::UnitFolder() {
    const char* config = std::getenv("XDG_CONFIG_HOME");
    if (config != nullptr && config[0] == '/') return std::string(config) + "/systemd/user";
    const char* home = std::getenv("HOME");
    return std::string(home != nullptr ? home : "") + "/.config/systemd/user";
}

bool LaunchBackends::SystemdAnswers() {
    if (!m_systemd) {
        const LaunchCommandResult result = RunTool({"systemctl", "--user", "show-environment"});
        m_systemd = result.exitCode == 0;
        if (*m_systemd) m_managerEnvironment = ParseManagerEnvironment(result.output);
    }
    return *m_systemd;
}

bool LaunchBackends::AtAnswers() {
    if (!m_at) m_at = AtDaemonRuns() && RunTool({"atq"}).exitCode == 0;
    return *m_at;
}

LaunchBackend LaunchBackends::Choose() {
    if (SystemdAnswers()) return LaunchBackend::Systemd;
    if (AtAnswers()) return LaunchBackend::At;
    return LaunchBackend::Self;
}

bool LaunchBackends::Systemctl(std::vector<std::string> arguments) {
    arguments.insert(arguments.begin(), {"systemctl", "--user"});
    return RunTool(std::move(arguments)).exitCode == 0;
}

std::string LaunchBackends::StampFile() const {
    const char* data = std::getenv("XDG_DATA_HOME");
    const char* home = std::getenv("HOME");
    const std::string folder = data != nullptr && data[0] == '/'
                                   ? std::string(data)
                                   : std::string(home != nullptr ? home : "") + "/.local/share";
    return folder + "/systemd/timers/stamp-" + TimerName();
}

bool LaunchBackends::ArmSystemd(int64_t when, const std::vector<std::string>& launcher,
                                const EnvironmentMap& environment) {
    const std::string folder = UnitFolder();
    std::string service =
        "[Unit]\n"
        "Description=Quillo: start for an alarm\n"
        // A program removed since leaves a timer that starts nothing and fails nothing.
        "ConditionPathIsExecutable=" +
        SystemdEscapePercents(launcher.front()) +
        "\n"
        "\n"
        "[Service]\n"
        "Type=oneshot\n"
        // The launch waits for the desktop to come up, however long that takes.
        "TimeoutStartSec=infinity\n";
    for (const std::string& entry : EnvironmentEntries(environment)) {
        service += "Environment=" + SystemdQuoteSetting(entry) + "\n";
    }
    service += "ExecStart=";
    for (size_t i = 0; i < launcher.size(); ++i) {
        service += (i > 0 ? " " : "") + SystemdQuote(launcher[i]);
    }
    service += "\n";
    const std::string timer =
        "[Unit]\n"
        "Description=Quillo: the next alarm\n"
        "\n"
        "[Timer]\n"
        "OnCalendar=" +
        CalendarText(when) +
        "\n"
        // Fires at the next start of the user manager when the time passed meanwhile.
        "Persistent=true\n"
        "AccuracySec=1s\n"
        "Unit=" +
        ServiceName() +
        "\n"
        "\n"
        "[Install]\n"
        "WantedBy=timers.target\n";
    if (MakeFolders(folder) && WriteWhole(folder + "/" + ServiceName(), service) &&
        WriteWhole(folder + "/" + TimerName(), timer) && Systemctl({"daemon-reload"}) &&
        Systemctl({"enable", TimerName()}) && Systemctl({"restart", TimerName()})) {
        return true;
    }
    WithdrawSystemd();
    return false;
}

bool LaunchBackends::SystemdFiredSince(int64_t when) {
    LaunchCommand show;
    show.argv = {"systemctl", "--user",   "show", "--property=LastTriggerUSec",
                 "--value",   TimerName()};
    // "Tue 2026-12-08 10:05:00 UTC", or "n/a" for a timer that never fired.
    show.environment = {"TZ=UTC"};
    const LaunchCommandResult result = RunLaunchCommand(show);
    int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
    if (result.exitCode != 0 || std::sscanf(result.output.c_str(), "%*s %d-%d-%d %d:%d:%d", &year,
                                            &month, &day, &hour, &minute, &second) != 6) {
        return false;
    }
    const std::optional<SYSTEMTIME> fired = TimeOfFields(year, month, day, hour, minute, second);
    int64_t firedSeconds = 0;
    return fired && UtcTimeToUnixTime(*fired, firedSeconds) && firedSeconds >= when;
}

void LaunchBackends::WithdrawSystemd() {
    const std::string folder = UnitFolder();
    const std::string timer = folder + "/" + TimerName();
    const std::string service = folder + "/" + ServiceName();
    // A stamp left behind would fire a later timer of the same name at once.
    ::unlink(StampFile().c_str());
    if (::access(timer.c_str(), F_OK) != 0 && ::access(service.c_str(), F_OK) != 0) return;
    // Only the timer stops: a program it started runs as a unit of its own. A manager that
    // does not answer has no timer running: its files going is all that is left to do.
    (void)Systemctl({"disable", "--now", TimerName()});
    ::unlink(timer.c_str());
    ::unlink(service.c_str());
    // A manager that does not reload now reads the folder at its next start.
    (void)Systemctl({"daemon-reload"});
}

std::optional<std::string> LaunchBackends::ArmAt(const SYSTEMTIME& when,
                                                 const std::vector<std::string>& launcher,
                                                 const EnvironmentMap& environment,
                                                 const std::optional<std::string>& previousJob) {
    if (previousJob) WithdrawAt(*previousJob);
    // `at` keeps most of the environment by itself, but not DISPLAY.
    std::string script;
    for (const auto& [name, value] : environment) {
        script += name + "=" + ShellQuote(value) + "; export " + name + "\n";
    }
    // A program removed since ends the job quietly.
    script += "[ -x " + ShellQuote(launcher.front()) + " ] || exit 0\n";
    script += "exec " + ShellJoin(launcher) + "\n";
    const LaunchCommandResult result = RunTool({"at", "-t", ScheduledAtText(when)}, script);
    if (result.exitCode != 0) return std::nullopt;
    return JobNumber(result.output);
}

void LaunchBackends::WithdrawAt(const std::string& job) {
    (void)RunTool({"atrm", job});  // a job that ran or went meanwhile is gone as wanted
}

EnvironmentMap LaunchBackends::FreshEnvironment() {
    EnvironmentMap environment = OwnDisplayEnvironment();
    if (SystemdAnswers()) {
        for (const auto& [name, value] : m_managerEnvironment) environment[name] = value;
    }
    return environment;
}

void LaunchBackends::LaunchNow(const std::vector<std::string>& program) {
    const EnvironmentMap environment = FreshEnvironment();
    if (SystemdAnswers()) {
        std::vector<std::string> argv = {"systemd-run", "--user", "--collect", "--quiet",
                                         "--unit=" + RunUnitName(m_hash)};
        for (const std::string& entry : EnvironmentEntries(environment)) {
            argv.push_back("--setenv=" + entry);
        }
        argv.push_back("--");
        for (const std::string& word : program) argv.push_back(SystemdEscapeDollars(word));
        if (RunTool(std::move(argv)).exitCode == 0) return;
    }
    LaunchCommand detached;
    detached.argv = program;
    detached.environment = EnvironmentEntries(environment);
    detached.detached = true;
    // Started or not, no one is there to be told: the alarm rings at the next start.
    (void)RunLaunchCommand(detached);
}
