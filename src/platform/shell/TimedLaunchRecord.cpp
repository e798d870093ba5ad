#include "TimedLaunchRecord.h"

#include "platform/base/MinuteText.h"
#include "platform/registry/Registry.h"
#include "platform/shell/LaunchBackends.h"
#include "platform/shell/TimedLaunch.h"

namespace launch_record {

std::optional<std::string> ReadText(const Registry& registry, const char* name) {
    return registry.ReadString(Hive::LocalMachine, kRunAppAtTimeKey, name);
}

Record ReadRecord(const Registry& registry) {
    return {ReadText(registry, kTime), ReadText(registry, kCommandLine),
            ReadText(registry, kBackend), ReadText(registry, kHandled), ReadText(registry, kJob)};
}

bool WriteText(Registry& registry, const char* name, const std::string& text) {
    return registry.Write(Hive::LocalMachine, kRunAppAtTimeKey, name, text);
}

bool Forget(Registry& registry, std::initializer_list<const char*> names) {
    bool forgotten = true;
    for (const char* name : names) {
        forgotten = registry.DeleteValue(Hive::LocalMachine, kRunAppAtTimeKey, name) && forgotten;
    }
    return forgotten;
}

bool ParseTimeText(const std::string& text, SYSTEMTIME& when) {
    SYSTEMTIME parsed{};
    FILETIME instant = 0;
    if (!ParseMinuteText(text, parsed) || !SystemTimeToFileTime(parsed, instant)) return false;
    when = parsed;
    return true;
}

bool IsInTheFuture(int64_t when) {
    int64_t now = 0;
    return LocalTimeToUnixTime(GetLocalTime(), now) && when > now;
}

std::string HandledText(int64_t when, const std::string& commandLine) {
    return CalendarText(when) + " " + commandLine;
}

}  // namespace launch_record
