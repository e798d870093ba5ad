#include "TimedLaunchReconcile.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include "platform/fs/UniqueFd.h"
#include "platform/registry/Registry.h"
#include "platform/shell/DisplayEnvironment.h"
#include "platform/shell/LaunchBackends.h"
#include "platform/shell/LaunchCommand.h"
#include "platform/shell/ProgramOptions.h"
#include "platform/shell/TimedLaunchRecord.h"

using namespace launch_record;

namespace {

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

}  // namespace

void ReconcileTimedLaunch(const std::string& deviceDirectory) {
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
        // What stays unforgotten is withdrawn again at the next reconcile.
        (void)Forget(*registry, {kBackend, kHandled, kJob});
        return;
    }
    const std::string handled = HandledText(when, *record.commandLine);
    const bool done = record.handled == handled;
    LaunchBackend chosen = backends.Choose();
    // Unremembered, the next reconcile does its part again; a second launch finds nothing due.
    const auto remember = [&](LaunchBackend backend, const std::optional<std::string>& job) {
        RegistryTransaction transaction(registry.get());
        (void)(WriteText(*registry, kBackend, std::string(BackendName(backend))) &&
               WriteText(*registry, kHandled, handled) &&
               (job ? WriteText(*registry, kJob, *job) : Forget(*registry, {kJob})));
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

    const std::vector<std::string> launcher = {program.front(), std::string(kDeviceOption),
                                               deviceDirectory,
                                               std::string(kTimedLaunchOption)};
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
    // Unwritten, the windows do not watch yet: the next reconcile writes it again.
    (void)(WriteText(*registry, kBackend, "self") && Forget(*registry, {kHandled, kJob}));
}
