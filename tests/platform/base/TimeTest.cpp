#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <string>

#include "platform/base/Time.h"
#include "support/LocalTime.h"
#include "support/TimeZone.h"

namespace {

FILETIME ToFileTime(const SYSTEMTIME& t) {
    FILETIME result = 0;
    EXPECT_TRUE(SystemTimeToFileTime(t, result));
    return result;
}

}  // namespace

TEST(Time, RecordHasEightSixteenBitFieldsInDeviceOrder) {
    static_assert(sizeof(SYSTEMTIME) == 16);
    SYSTEMTIME t{2009, 1, 2, 13, 15, 30, 45, 500};
    EXPECT_EQ(t.wYear, 2009);
    EXPECT_EQ(t.wDayOfWeek, 2);
    EXPECT_EQ(t.wDay, 13);
    EXPECT_EQ(t.wMilliseconds, 500);
}

TEST(Time, DayOfWeekOfKnownDates) {
    struct Row {
        int year, month, day;
        uint16_t weekday;
    };
    const Row rows[] = {
        {2009, 1, 13, 2},    // Tuesday
        {2000, 2, 29, 2},    // leap day, Tuesday
        {1601, 1, 1, 1},     // the file-time epoch, Monday
        {1970, 1, 1, 4},     // Thursday
        {2026, 12, 7, 1},    // Monday
        {2100, 3, 1, 1},     // after a non-leap century
        {30827, 12, 31, 5},  // the last day a record can hold, Friday
    };
    for (const auto& row : rows) {
        EXPECT_EQ(DayOfWeek(row.year, row.month, row.day), row.weekday)
            << row.year << "-" << row.month << "-" << row.day;
    }
}

TEST(Time, FileTimeEpochAndUnits) {
    EXPECT_EQ(ToFileTime(At(1601, 1, 1)), 0u);
    EXPECT_EQ(ToFileTime(At(1601, 1, 1, 0, 0, 1)), 10000000u);
    EXPECT_EQ(ToFileTime(At(1601, 1, 1, 0, 0, 0, 1)), 10000u);
    EXPECT_EQ(ToFileTime(At(1970, 1, 1)), kUnixEpochAsFileTime);
}

TEST(Time, FileTimesOrderChronologicallyAcrossMonthYearAndLeapDay) {
    const SYSTEMTIME ordered[] = {
        At(2008, 2, 28, 23, 59, 59), At(2008, 2, 29, 0, 0, 0),     At(2008, 2, 29, 23, 59, 59),
        At(2008, 3, 1, 0, 0, 0),     At(2008, 12, 31, 23, 59, 59), At(2009, 1, 1, 0, 0, 0),
        At(2009, 1, 31, 12, 0, 0),   At(2009, 2, 1, 0, 0, 0),      At(2009, 2, 1, 0, 0, 0, 1),
    };
    for (size_t i = 1; i < std::size(ordered); ++i) {
        EXPECT_LT(ToFileTime(ordered[i - 1]), ToFileTime(ordered[i])) << "at " << i;
    }
    // One day between 2008-02-28 and 2008-02-29, one between the leap day and 1 March.
    const FILETIME day = 86400ULL * kFileTimeUnitsPerSecond;
    EXPECT_EQ(ToFileTime(At(2008, 2, 29)) - ToFileTime(At(2008, 2, 28)), day);
    EXPECT_EQ(ToFileTime(At(2008, 3, 1)) - ToFileTime(At(2008, 2, 29)), day);
    EXPECT_EQ(ToFileTime(At(2009, 3, 1)) - ToFileTime(At(2009, 2, 28)), day);
}

TEST(Time, RecordsThatNameNoRealTimeFailConversion) {
    const SYSTEMTIME invalid[] = {
        At(2009, 13, 1),          At(2009, 0, 1),
        At(2009, 1, 0),           At(2009, 2, 29),
        At(1900, 2, 29),          At(2009, 4, 31),
        At(2009, 1, 1, 24),       At(2009, 1, 1, 0, 60),
        At(2009, 1, 1, 0, 0, 60), At(2009, 1, 1, 0, 0, 0, 1000),
        At(1600, 12, 31),         SYSTEMTIME{},
    };
    for (const auto& t : invalid) {
        FILETIME result = 12345;
        EXPECT_FALSE(SystemTimeToFileTime(t, result))
            << t.wYear << "-" << t.wMonth << "-" << t.wDay << " " << t.wHour << ":" << t.wMinute;
        EXPECT_EQ(result, 12345u) << "a failed conversion must leave the result alone";
    }
    FILETIME leapDay = 0;
    EXPECT_TRUE(SystemTimeToFileTime(At(2000, 2, 29), leapDay));
}

TEST(Time, FileTimeConvertsBackWithItsDayOfWeek) {
    const SYSTEMTIME samples[] = {At(2009, 1, 13, 15, 30, 0), At(2008, 2, 29, 23, 59, 59, 999),
                                  At(1601, 1, 1), At(30827, 12, 31, 23, 59, 59, 999)};
    for (const auto& t : samples) {
        SYSTEMTIME back{};
        ASSERT_TRUE(FileTimeToSystemTime(ToFileTime(t), back));
        SYSTEMTIME expected = t;
        expected.wDayOfWeek = DayOfWeek(t.wYear, t.wMonth, t.wDay);
        EXPECT_EQ(back, expected);
    }
    SYSTEMTIME out{};
    EXPECT_FALSE(FileTimeToSystemTime(~0ULL, out));
}

TEST(Time, FixedClockIsWhatGetLocalTimeReads) {
    const SYSTEMTIME fixed{2009, 1, 2, 13, 15, 30, 12, 345};
    SetFixedLocalTime(&fixed);
    EXPECT_EQ(GetLocalTime(), fixed);
    SetFixedLocalTime(nullptr);
    EXPECT_GE(GetLocalTime().wYear, 2024);
}

TEST(Time, FileTimeToLocalTimeTruncatesToSecondsInTheHostZone) {
    const char* oldZone = std::getenv("TZ");
    const std::string saved = oldZone != nullptr ? oldZone : "";
    ::setenv("TZ", "JST-9", 1);
    ::tzset();
    // 2009-01-13 06:30:45.999 UTC is 15:30:45 in Japan.
    const FILETIME utc = ToFileTime(At(2009, 1, 13, 6, 30, 45, 999)) + 9999;
    const SYSTEMTIME local = FileTimeToLocalTime(utc);
    EXPECT_EQ(local, (SYSTEMTIME{2009, 1, 2, 13, 15, 30, 45, 0}));
    if (oldZone != nullptr) {
        ::setenv("TZ", saved.c_str(), 1);
    } else {
        ::unsetenv("TZ");
    }
    ::tzset();
}

TEST(Time, LocalTimesBecomeInstantsAcrossDaylightSavingChanges) {
    struct Row {
        const char* zone;
        SYSTEMTIME local;
        const char* utc;  // "YYYY-MM-DD hh:mm"
    };
    const Row rows[] = {
        {"JST-9", {2026, 12, 2, 8, 18, 17, 0, 0}, "2026-12-08 09:17"},
        {"UTC0", {2026, 12, 2, 8, 18, 17, 0, 0}, "2026-12-08 18:17"},
        // Central Europe: 02:30 is skipped in spring (the first minute after is 03:00 CEST)
        // and passes twice in autumn (first in CEST).
        {"CET-1CEST,M3.5.0,M10.5.0/3", {2026, 3, 0, 29, 2, 30, 0, 0}, "2026-03-29 01:00"},
        {"CET-1CEST,M3.5.0,M10.5.0/3", {2026, 10, 0, 25, 2, 30, 0, 0}, "2026-10-25 00:30"},
        {"CET-1CEST,M3.5.0,M10.5.0/3", {2026, 7, 0, 1, 12, 0, 0, 0}, "2026-07-01 10:00"},
    };
    const TimeZone restored(rows[0].zone);
    for (const Row& row : rows) {
        TimeZone::Set(row.zone);
        int64_t seconds = 0;
        ASSERT_TRUE(LocalTimeToUnixTime(row.local, seconds)) << row.zone;
        const SYSTEMTIME utc = UnixTimeToUtcTime(seconds);
        char text[32];
        std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d", utc.wYear, utc.wMonth,
                      utc.wDay, utc.wHour, utc.wMinute);
        EXPECT_EQ(std::string(text), row.utc) << row.zone;
    }
    int64_t seconds = 0;
    EXPECT_FALSE(LocalTimeToUnixTime({2026, 2, 0, 30, 10, 0, 0, 0}, seconds));
}
