#include "TimedLaunch.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QTimer>
#include <climits>
#include <condition_variable>
#include <cstdio>
#include <mutex>
#include <optional>
#include <thread>

#include "platform/base/Format.h"
#include "platform/fs/Device.h"
#include "platform/fs/UniqueFd.h"
#include "platform/registry/Registry.h"
#include "platform/shell/LaunchBackends.h"
#include "platform/shell/LaunchCommand.h"
#include "platform/shell/Screen.h"

namespace {

constexpr const char* kTime = "Time";
constexpr const char* kCommandLine = "CommandLine";
constexpr const char* kBackend = "Backend";
// Which request the backend has done its part for (armed, or launched), and the `at` job
// that holds it: what the next change must undo.
constexpr const char* kHandled = "Handled";
constexpr const char* kJob = "Job";
constexpr int kWatchPeriodMs = 5000;
constexpr unsigned kRetrySeconds = 60;

struct Record {
    std::optional<std::string> time;
    std::optional<std::string> commandLine;
    std::optional<std::string> backend;
    std::optional<std::string> handled;
    std::optional<std::string> job;
};

std::optional<std::string> ReadText(const Registry& registry, const char* name) {
    return registry.ReadString(Hive::LocalMachine, kRunAppAtTimeKey, name);
}

Record ReadRecord(const Registry& registry) {
    return {ReadText(registry, kTime), ReadText(registry, kCommandLine),
            ReadText(registry, kBackend), ReadText(registry, kHandled), ReadText(registry, kJob)};
}

void WriteText(Registry& registry, const char* name, const std::string& text) {
    registry.Write(Hive::LocalMachine, kRunAppAtTimeKey, name, text);
}

void Forget(Registry& registry, std::initializer_list<const char*> names) {
    for (const char* name : names) registry.DeleteValue(Hive::LocalMachine, kRunAppAtTimeKey, name);
}

std::string TimeText(const SYSTEMTIME& when) {
    return Format("%d/%02d/%02d %02d:%02d", when.wYear, when.wMonth, when.wDay, when.wHour,
                  when.wMinute);
}

bool ParseTimeText(const std::string& text, SYSTEMTIME& when) {
    int year = 0, month = 0, day = 0, hour = 0, minute = 0;
    char extra = 0;
    if (std::sscanf(text.c_str(), "%d/%d/%d %d:%d%c", &year, &month, &day, &hour, &minute,
                    &extra) != 5) {
        return false;
    }
    const std::optional<SYSTEMTIME> parsed = TimeOfFields(year, month, day, hour, minute, 0);
    if (parsed) when = *parsed;
    return parsed.has_value();
}

// Later than this minute: a timer armed for it still fires.
bool IsInTheFuture(int64_t when) {
    int64_t now = 0;
    return LocalTimeToUnixTime(GetLocalTime(), now) && when > now;
}

// What an armed (or launched) request was made for: the instant, so that a change of the
// zone counts as a change, and the command line, so that a moved program is armed anew.
std::string HandledText(int64_t when, const std::string& commandLine) {
    return CalendarText(when) + " " + commandLine;
}

// One reconciler at a time per device, across processes: each reads the latest record.
class DeviceLock {
  public:
    explicit DeviceLock(const std::string& deviceDirectory)
        : m_fd(::open(deviceDirectory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC)) {
        if (m_fd.IsValid()) ::flock(m_fd.Get(), LOCK_EX);
    }

  private:
    UniqueFd m_fd;
};

// Makes the system hold what the record asks for, and remembers in the record what it holds.
void Reconcile(const std::string& deviceDirectory) {
    // Opened before the lock: opening may repair a damaged file under a lock of its own.
    const auto registry = Registry::Open(deviceDirectory + "/registry.sqlite3");
    if (!registry) return;
    DeviceLock lock(deviceDirectory);
    const Record record = ReadRecord(*registry);
    LaunchBackends backends(deviceDirectory);
    LaunchBackend held = BackendOfName(record.backend.value_or(""));
    const auto withdrawHeld = [&] {
        if (held == LaunchBackend::Systemd) backends.WithdrawSystemd();
        if (held == LaunchBackend::At && record.job) backends.WithdrawAt(*record.job);
        held = LaunchBackend::None;
    };

    SYSTEMTIME local{};
    int64_t when = 0;
    const std::vector<std::string> program = ShellSplit(record.commandLine.value_or(""));
    if (!record.time || !ParseTimeText(*record.time, local) || !LocalTimeToUnixTime(local, when) ||
        program.empty()) {
        withdrawHeld();
        RegistryTransaction transaction(registry.get());
        Forget(*registry, {kBackend, kHandled, kJob});
        return;
    }
    const std::string handled = HandledText(when, *record.commandLine);
    const bool done = record.handled == handled;
    LaunchBackend chosen = backends.Choose();
    const auto remember = [&](LaunchBackend backend, const std::optional<std::string>& job) {
        RegistryTransaction transaction(registry.get());
        WriteText(*registry, kBackend, std::string(BackendName(backend)));
        WriteText(*registry, kHandled, handled);
        if (job) {
            WriteText(*registry, kJob, *job);
        } else {
            Forget(*registry, {kJob});
        }
    };

    if (!IsInTheFuture(when)) {
        // A timer set for a time already past may never fire: start the program now.
        if (done) return;
        withdrawHeld();
        backends.LaunchNow(program);
        remember(chosen, std::nullopt);
        return;
    }
    if (done && held == chosen) return;

    const std::vector<std::string> launcher = {program.front(), "--device", deviceDirectory,
                                               "--timed-launch"};
    const EnvironmentMap environment = OwnDisplayEnvironment();
    if (chosen == LaunchBackend::Systemd) {
        if (held != LaunchBackend::Systemd) withdrawHeld();
        if (backends.ArmSystemd(when, launcher, environment)) {
            // The minute may have come while the timer was armed: a timer started after its
            // time never fires, so the launch is made here (a second one finds nothing due).
            if (!IsInTheFuture(when) && !backends.SystemdFiredSince(when)) {
                backends.LaunchNow(program);
            }
            remember(LaunchBackend::Systemd, std::nullopt);
            return;
        }
        held = LaunchBackend::None;  // a failed arm leaves no unit behind
        chosen = backends.AtAnswers() ? LaunchBackend::At : LaunchBackend::Self;
    }
    if (chosen == LaunchBackend::At) {
        const std::optional<std::string> previous =
            held == LaunchBackend::At ? record.job : std::nullopt;
        if (held != LaunchBackend::At) withdrawHeld();
        held = LaunchBackend::None;
        // `at` reads local times: the instant's own, which a skipped minute moves past its gap.
        if (const auto job =
                backends.ArmAt(UnixTimeToLocalTime(when), launcher, environment, previous)) {
            remember(LaunchBackend::At, job);
            return;
        }
    }
    // The running windows watch the record themselves; the time has not come yet.
    withdrawHeld();
    RegistryTransaction transaction(registry.get());
    WriteText(*registry, kBackend, "self");
    Forget(*registry, {kHandled, kJob});
}

// Carries out requests on a thread of its own, one reconcile at a time; any number of
// requests made meanwhile cost one more reconcile, of the latest record.
class RequestWorker {
  public:
    static RequestWorker& Instance() {
        static RequestWorker worker;
        return worker;
    }
    ~RequestWorker() { Finish(); }

    void Poke(const std::string& deviceDirectory) {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_pending = true;
        m_device = deviceDirectory;
        if (m_running) return;
        if (m_thread.joinable()) m_thread.join();
        m_running = true;
        m_thread = std::thread([this] { Loop(); });
    }

    bool Busy() {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_running || m_pending;
    }

    void Finish() {
        std::unique_lock<std::mutex> lock(m_mutex);
        m_idle.wait(lock, [this] { return !m_running; });
        if (m_thread.joinable()) m_thread.join();
    }

  private:
    void Loop() {
        for (;;) {
            std::string device;
            {
                std::lock_guard<std::mutex> lock(m_mutex);
                if (!m_pending) {
                    m_running = false;
                    m_idle.notify_all();
                    return;
                }
                m_pending = false;
                device = m_device;
            }
            Reconcile(device);
        }
    }

    std::mutex m_mutex;
    std::condition_variable m_idle;
    std::thread m_thread;
    bool m_pending = false;
    bool m_running = false;
    std::string m_device;
};

void PokeAfterCommit(Registry& registry) {
    const std::string device = Device::HostDirectory();
    registry.AfterCommit([device] { RequestWorker::Instance().Poke(device); });
}

std::vector<std::string> AlarmLaunchCommand(std::string_view application) {
    std::vector<std::string> words = {std::string(application), "--device",
                                      Device::HostDirectory()};
    if (HasScreenOverride()) {
        const CSize screen = GetDeviceScreenSize();
        words.push_back("--screen");
        words.push_back(Format("%dx%d", screen.cx, screen.cy));
    }
    words.push_back("AppRunAtTime");
    return words;
}

}  // namespace

void LookAtTimedLaunchRequest() {
    Registry* registry = Registry::OfDevice();
    if (registry == nullptr) return;
    const Record record = ReadRecord(*registry);
    SYSTEMTIME local{};
    int64_t when = 0;
    if (record.backend == std::string("self") && record.time && record.commandLine &&
        ParseTimeText(*record.time, local) && LocalTimeToUnixTime(local, when) &&
        record.handled != HandledText(when, *record.commandLine) && !IsInTheFuture(when)) {
        RequestWorker::Instance().Poke(Device::HostDirectory());
    }
}

void RunAppAtTime(std::string_view application, const SYSTEMTIME* when) {
    Registry* registry = Registry::OfDevice();
    if (registry == nullptr) return;
    {
        RegistryTransaction transaction(registry);
        if (when != nullptr) {
            WriteText(*registry, kTime, TimeText(*when));
            WriteText(*registry, kCommandLine, ShellJoin(AlarmLaunchCommand(application)));
        } else {
            Forget(*registry, {kTime, kCommandLine});
        }
        PokeAfterCommit(*registry);
    }
}

void TakeRunAppAtTimeRequest() {
    if (Registry* registry = Registry::OfDevice()) Forget(*registry, {kHandled});
}

std::string GetRunAppAtTimeBackend() {
    Registry* registry = Registry::OfDevice();
    return registry != nullptr ? ReadText(*registry, kBackend).value_or("") : std::string();
}

bool GetRunAppAtTimeRequest(SYSTEMTIME& when) {
    Registry* registry = Registry::OfDevice();
    if (registry == nullptr) return false;
    const auto text = ReadText(*registry, kTime);
    return text && ParseTimeText(*text, when);
}

void FinishTimedLaunchRequests() {
    RequestWorker::Instance().Finish();
}

bool TimedLaunchRequestsPending() {
    return RequestWorker::Instance().Busy();
}

std::string GetModuleFileName() {
    char path[PATH_MAX];
    const ssize_t length = ::readlink("/proc/self/exe", path, sizeof path - 1);
    return length > 0 ? std::string(path, static_cast<size_t>(length)) : std::string();
}

void StartTimedLaunchWatch() {
    // A request whose time came while no window ran. (A request left half done is carried
    // out by the program's own request at its start.)
    LookAtTimedLaunchRequest();
    auto* timer = new QTimer(QCoreApplication::instance());
    QObject::connect(timer, &QTimer::timeout, [] { LookAtTimedLaunchRequest(); });
    timer->start(kWatchPeriodMs);
}

int RunTimedLaunchWaiting(const std::function<void()>& waitAMinute) {
    for (;;) {
        const auto registry = Registry::Open(Device::RegistryFile());
        const auto commandLine = registry ? ReadText(*registry, kCommandLine) : std::nullopt;
        const std::vector<std::string> program = ShellSplit(commandLine.value_or(""));
        if (program.empty()) return 0;  // withdrawn meanwhile
        LaunchBackends backends(Device::HostDirectory());
        if (HasDisplay(backends.FreshEnvironment())) {
            backends.LaunchNow(program);
            return 0;
        }
        // Often the user manager starts before the desktop does.
        waitAMinute();
    }
}

int RunTimedLaunch() {
    return RunTimedLaunchWaiting([] { ::sleep(kRetrySeconds); });
}
