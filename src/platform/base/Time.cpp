#include "Time.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <ctime>
#include <mutex>
#include <optional>
#include <utility>

namespace {

constexpr int64_t kSecondsPerDay = 86400;

// Days from 1970-01-01 to the given proleptic Gregorian date (Howard Hinnant's algorithm),
// valid far beyond the range of years a time record can hold.
int64_t DaysFromCivil(int64_t year, int month, int day) {
    year -= month <= 2 ? 1 : 0;
    const int64_t era = (year >= 0 ? year : year - 399) / 400;
    const int64_t yearOfEra = year - era * 400;
    const int64_t dayOfYear = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
    const int64_t dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * 146097 + dayOfEra - 719468;
}

void CivilFromDays(int64_t days, int64_t& year, int& month, int& day) {
    days += 719468;
    const int64_t era = (days >= 0 ? days : days - 146096) / 146097;
    const int64_t dayOfEra = days - era * 146097;
    const int64_t yearOfEra =
        (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    const int64_t dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    const int64_t monthIndex = (5 * dayOfYear + 2) / 153;
    day = static_cast<int>(dayOfYear - (153 * monthIndex + 2) / 5 + 1);
    month = static_cast<int>(monthIndex < 10 ? monthIndex + 3 : monthIndex - 9);
    year = yearOfEra + era * 400 + (month <= 2 ? 1 : 0);
}

const int64_t kDaysFrom1601To1970 = -DaysFromCivil(1601, 1, 1);

std::mutex gClockMutex;
std::optional<SYSTEMTIME> gFixedTime;

SYSTEMTIME FromTm(const std::tm& tm, uint16_t milliseconds) {
    SYSTEMTIME t{};
    t.wYear = static_cast<uint16_t>(tm.tm_year + 1900);
    t.wMonth = static_cast<uint16_t>(tm.tm_mon + 1);
    t.wDayOfWeek = static_cast<uint16_t>(tm.tm_wday);
    t.wDay = static_cast<uint16_t>(tm.tm_mday);
    t.wHour = static_cast<uint16_t>(tm.tm_hour);
    t.wMinute = static_cast<uint16_t>(tm.tm_min);
    // A leap second shows as :60 on some hosts; the device has no such second.
    t.wSecond = static_cast<uint16_t>(tm.tm_sec > 59 ? 59 : tm.tm_sec);
    t.wMilliseconds = milliseconds;
    return t;
}

}  // namespace

bool IsGregorianLeapYear(int year) {
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

int DaysInMonth(int year, int month) {
    static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (month < 1 || month > 12) {
        return 0;
    }
    return month == 2 && IsGregorianLeapYear(year) ? 29 : kDays[month - 1];
}

uint16_t DayOfWeek(int year, int month, int day) {
    // 1970-01-01 was a Thursday (4).
    const int64_t days = DaysFromCivil(year, month, day);
    const int64_t weekday = (days % 7 + 7 + 4) % 7;
    return static_cast<uint16_t>(weekday);
}

bool SystemTimeToFileTime(const SYSTEMTIME& t, FILETIME& result) {
    if (t.wYear < 1601 || t.wYear > 30827 || t.wMonth < 1 || t.wMonth > 12 || t.wDay < 1 ||
        t.wDay > DaysInMonth(t.wYear, t.wMonth) || t.wHour > 23 || t.wMinute > 59 ||
        t.wSecond > 59 || t.wMilliseconds > 999) {
        return false;
    }
    const int64_t days = DaysFromCivil(t.wYear, t.wMonth, t.wDay) + kDaysFrom1601To1970;
    const int64_t seconds = days * kSecondsPerDay + t.wHour * 3600 + t.wMinute * 60 + t.wSecond;
    result = static_cast<FILETIME>(seconds) * kFileTimeUnitsPerSecond +
             static_cast<FILETIME>(t.wMilliseconds) * 10000;
    return true;
}

bool FileTimeToSystemTime(FILETIME time, SYSTEMTIME& result) {
    const auto totalSeconds = static_cast<int64_t>(time / kFileTimeUnitsPerSecond);
    const auto milliseconds = static_cast<uint16_t>((time % kFileTimeUnitsPerSecond) / 10000);
    const int64_t days = totalSeconds / kSecondsPerDay;
    const int64_t secondOfDay = totalSeconds % kSecondsPerDay;
    int64_t year = 0;
    int month = 0;
    int day = 0;
    CivilFromDays(days - kDaysFrom1601To1970, year, month, day);
    if (year > 30827) {
        return false;
    }
    result.wYear = static_cast<uint16_t>(year);
    result.wMonth = static_cast<uint16_t>(month);
    result.wDay = static_cast<uint16_t>(day);
    result.wDayOfWeek = DayOfWeek(static_cast<int>(year), month, day);
    result.wHour = static_cast<uint16_t>(secondOfDay / 3600);
    result.wMinute = static_cast<uint16_t>(secondOfDay / 60 % 60);
    result.wSecond = static_cast<uint16_t>(secondOfDay % 60);
    result.wMilliseconds = milliseconds;
    return true;
}

void SetFixedLocalTime(const SYSTEMTIME* time) {
    std::lock_guard lock(gClockMutex);
    if (time != nullptr) {
        gFixedTime = *time;
    } else {
        gFixedTime.reset();
    }
}

SYSTEMTIME GetLocalTime() {
    {
        std::lock_guard lock(gClockMutex);
        if (gFixedTime) {
            return *gFixedTime;
        }
    }
    const auto now = std::chrono::system_clock::now().time_since_epoch();
    const auto milliseconds = std::chrono::duration_cast<std::chrono::milliseconds>(now).count();
    const std::time_t seconds = static_cast<std::time_t>(milliseconds / 1000);
    std::tm tm{};
    localtime_r(&seconds, &tm);
    return FromTm(tm, static_cast<uint16_t>(milliseconds % 1000));
}

SYSTEMTIME UnixTimeToLocalTime(int64_t seconds) {
    const auto hostSeconds = static_cast<std::time_t>(seconds);
    std::tm tm{};
    if (localtime_r(&hostSeconds, &tm) == nullptr) {
        return SYSTEMTIME{};
    }
    return FromTm(tm, 0);
}

SYSTEMTIME FileTimeToLocalTime(FILETIME time) {
    const int64_t seconds = static_cast<int64_t>(time / kFileTimeUnitsPerSecond) -
                            static_cast<int64_t>(kUnixEpochAsFileTime / kFileTimeUnitsPerSecond);
    return UnixTimeToLocalTime(seconds);
}

std::optional<SYSTEMTIME> TimeOfFields(int year, int month, int day, int hour, int minute,
                                       int second) {
    SYSTEMTIME time{};
    for (const auto& [field, value] :
         {std::pair{&time.wYear, year}, std::pair{&time.wMonth, month}, std::pair{&time.wDay, day},
          std::pair{&time.wHour, hour}, std::pair{&time.wMinute, minute},
          std::pair{&time.wSecond, second}}) {
        if (value < 0 || value > 0xFFFF) return std::nullopt;
        *field = static_cast<uint16_t>(value);
    }
    FILETIME check = 0;
    if (!SystemTimeToFileTime(time, check)) return std::nullopt;
    time.wDayOfWeek = DayOfWeek(year, month, day);
    return time;
}

bool UtcTimeToUnixTime(const SYSTEMTIME& utc, int64_t& seconds) {
    FILETIME fileTime = 0;
    if (!SystemTimeToFileTime(utc, fileTime)) return false;
    seconds = static_cast<int64_t>(fileTime / kFileTimeUnitsPerSecond) -
              static_cast<int64_t>(kUnixEpochAsFileTime / kFileTimeUnitsPerSecond);
    return true;
}

namespace {

// How far the host's local time is ahead of UTC at `seconds`.
int64_t UtcOffsetAt(int64_t seconds) {
    const auto hostSeconds = static_cast<std::time_t>(seconds);
    std::tm tm{};
    if (localtime_r(&hostSeconds, &tm) == nullptr) return 0;
    return tm.tm_gmtoff;
}

}  // namespace

bool LocalTimeToUnixTime(const SYSTEMTIME& local, int64_t& seconds) {
    SYSTEMTIME wall = local;
    wall.wMilliseconds = 0;
    // The fields as if they were UTC; the zone's offset is what is left to find.
    int64_t fields = 0;
    if (!UtcTimeToUnixTime(wall, fields)) return false;
    // No zone is ever more than a day from UTC, nor changes its offset twice within a day:
    // the offsets a day either side are the only ones the local time can be read with.
    constexpr int64_t kDay = 86400;
    int64_t first = 0;
    bool found = false;
    for (const int64_t offset : {UtcOffsetAt(fields - kDay), UtcOffsetAt(fields + kDay)}) {
        const int64_t candidate = fields - offset;
        if (UtcOffsetAt(candidate) == offset && (!found || candidate < first)) {
            first = candidate;
            found = true;
        }
    }
    if (!found) {
        // Skipped by a change of offset: the change itself is the first instant after.
        int64_t before = fields - std::max(UtcOffsetAt(fields - kDay), UtcOffsetAt(fields + kDay));
        int64_t after = fields - std::min(UtcOffsetAt(fields - kDay), UtcOffsetAt(fields + kDay));
        const int64_t offsetBefore = UtcOffsetAt(before);
        while (after - before > 1) {
            const int64_t middle = before + (after - before) / 2;
            (UtcOffsetAt(middle) == offsetBefore ? before : after) = middle;
        }
        first = after;
    }
    seconds = first;
    return true;
}

SYSTEMTIME UnixTimeToUtcTime(int64_t seconds) {
    SYSTEMTIME result{};
    // Beyond the years a record holds, it stays all zero.
    (void)FileTimeToSystemTime(
        static_cast<FILETIME>(
            seconds + static_cast<int64_t>(kUnixEpochAsFileTime / kFileTimeUnitsPerSecond)) *
            kFileTimeUnitsPerSecond,
        result);
    return result;
}
