#include "TimedLaunchRecord.h"

#include <cstdio>

#include "platform/base/Format.h"
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

bool IsInTheFuture(int64_t when) {
    int64_t now = 0;
    return LocalTimeToUnixTime(GetLocalTime(), now) && when > now;
}

std::string HandledText(int64_t when, const std::string& commandLine) {
    return CalendarText(when) + " " + commandLine;
}

}  // namespace launch_record
