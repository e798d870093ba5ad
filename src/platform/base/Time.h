#pragma once

#include <cstdint>
#include <optional>

// The device's calendar-time record: eight 16-bit fields in this order. Times the program
// works with are local times.
struct SYSTEMTIME {
    uint16_t wYear;
    uint16_t wMonth;      // 1 to 12
    uint16_t wDayOfWeek;  // 0 = Sunday to 6 = Saturday
    uint16_t wDay;        // 1 to 31
    uint16_t wHour;
    uint16_t wMinute;
    uint16_t wSecond;
    uint16_t wMilliseconds;

    friend bool operator==(const SYSTEMTIME&, const SYSTEMTIME&) = default;
};

// 100-nanosecond units since 1601-01-01 00:00, compared as unsigned numbers.
using FILETIME = uint64_t;

// Converts a time record to the instant it names, reading the fields as they stand (no time
// zone is applied either way). Fails for a record that names no real time: month outside 1
// to 12, a day the month does not have, hour, minute, second or milliseconds out of range,
// or a year before 1601 or after 30827. The day of week takes no part.
[[nodiscard]] bool SystemTimeToFileTime(const SYSTEMTIME& time, FILETIME& result);
[[nodiscard]] bool FileTimeToSystemTime(FILETIME time, SYSTEMTIME& result);
// The record of a date and time read as numbers (from a text, a tool's answer), its weekday
// filled in; none when the numbers name no real time.
[[nodiscard]] std::optional<SYSTEMTIME> TimeOfFields(int year, int month, int day, int hour,
                                                     int minute, int second);

bool IsGregorianLeapYear(int year);
int DaysInMonth(int year, int month);  // 0 for a month outside 1 to 12

// 0 = Sunday to 6 = Saturday, for any proleptic Gregorian date.
uint16_t DayOfWeek(int year, int month, int day);

// The current local time, from the one clock of the device.
SYSTEMTIME GetLocalTime();

// Tests set the device clock to a fixed local time; nullptr returns it to the host clock.
void SetFixedLocalTime(const SYSTEMTIME* time);

// A host time (seconds since 1970-01-01 UTC) as a local time record, milliseconds 0.
SYSTEMTIME UnixTimeToLocalTime(int64_t seconds);

// The instant (seconds since 1970-01-01 UTC) that a local time record names in the host's
// time zone, to the second. A time that a daylight-saving change skips names the first
// instant after the gap; one that it repeats names its first occurrence. False for a
// record that names no real time.
[[nodiscard]] bool LocalTimeToUnixTime(const SYSTEMTIME& local, int64_t& seconds);

// An instant as a UTC time record, milliseconds 0.
SYSTEMTIME UnixTimeToUtcTime(int64_t seconds);
// The instant a UTC time record names, to the second; false for a record that names no
// real time.
[[nodiscard]] bool UtcTimeToUnixTime(const SYSTEMTIME& utc, int64_t& seconds);

// A file time that the file system reports (UTC) as a local time record, truncated to
// whole seconds.
SYSTEMTIME FileTimeToLocalTime(FILETIME time);

constexpr FILETIME kUnixEpochAsFileTime = 116444736000000000ULL;
constexpr FILETIME kFileTimeUnitsPerSecond = 10000000ULL;
