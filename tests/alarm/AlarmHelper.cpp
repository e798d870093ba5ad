// A second process on one device for the alarm store tests.
//   alarm_helper set DEVICE PREFIX COUNT GO   sets COUNT alarms on the memos PREFIX-<i>.bmp
//   alarm_helper take DEVICE GO               takes the alarm due at 2009-01-13 10:20
// Each reads the store, prints "ready" and waits until the file GO exists, so that two
// helpers start from the same store together; `take` then prints "took <file>" or "none".
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "alarm/AlarmStore.h"
#include "alarm/AlarmTime.h"
#include "platform/base/Format.h"
#include "platform/fs/Device.h"
#include "platform/shell/LaunchCommand.h"
#include "platform/ui/WinApp.h"

namespace {

// Says it has read the store, then waits for the word to go.
void WaitForGo(const char* go) {
    std::puts("ready");
    std::fflush(stdout);
    while (::access(go, F_OK) != 0) ::usleep(1000);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 4 || !Device::Mount(argv[2])) return 2;
    // Nothing of the system's timed launch answers here.
    SetLaunchCommandRunner([](const LaunchCommand&) { return LaunchCommandResult{127, ""}; });
    CWinApp app("quillo");
    app.SetRegistryKey("Vornak");
    CAlarmStore store;
    store.Load();
    if (std::strcmp(argv[1], "set") == 0 && argc == 6) {
        const std::string prefix = argv[3];
        const int count = std::atoi(argv[4]);
        WaitForGo(argv[5]);
        for (int i = 0; i < count; ++i) {
            const std::string file = Format("\\%s-%d.bmp", prefix.c_str(), i);
            (void)store.Update([&](CAlarmStore& latest) {
                latest.SetAlarm(file, MakeSpan(2030, 1, 1 + i % 28, 8, i % 60, 0),
                                AlarmRepeat::None, "", 0);
            });
        }
        return 0;
    }
    if (std::strcmp(argv[1], "take") == 0) {
        const SYSTEMTIME now = MakeSpan(2009, 1, 13, 10, 20, 0);
        SetFixedLocalTime(&now);
        WaitForGo(argv[3]);
        const auto taken =
            store.TakeDue([&](const CAlarmStore& latest) { return latest.FindDue(now); });
        std::printf("%s\n", taken ? ("took " + taken->FileName).c_str() : "none");
        return 0;
    }
    return 2;
}
