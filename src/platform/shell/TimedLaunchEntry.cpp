#include <unistd.h>

#include "platform/fs/Device.h"
#include "platform/registry/Registry.h"
#include "platform/shell/DisplayEnvironment.h"
#include "platform/shell/LaunchBackends.h"
#include "platform/shell/LaunchCommand.h"
#include "platform/shell/TimedLaunch.h"
#include "platform/shell/TimedLaunchRecord.h"

// What the system's timer runs: the program started with --timed-launch, which starts the
// recorded command line once the desktop is up.

namespace {

constexpr unsigned kRetrySeconds = 60;

}  // namespace

int RunTimedLaunchWaiting(const std::function<void()>& waitAMinute) {
    for (;;) {
        const auto registry = Registry::Open(Device::RegistryFile());
        const auto commandLine =
            registry ? launch_record::ReadText(*registry, launch_record::kCommandLine)
                     : std::nullopt;
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
