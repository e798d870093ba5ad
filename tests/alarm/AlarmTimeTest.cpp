#include <gtest/gtest.h>

#include <string>

#include "alarm/AlarmSchedule.h"
#include "alarm/AlarmStore.h"
#include "alarm/AlarmTime.h"
#include "support/LocalTime.h"

namespace {

std::string Text(const SYSTEMTIME& t) {
    return FormatAlarmTime(t) + " dow " + std::to_string(t.wDayOfWeek);
}

}  // namespace

TEST(AddSpan, CarriesEachFieldIntoTheNext) {
    const struct {
        SYSTEMTIME start;
        SYSTEMTIME span;
        const char* expected;
    } cases[] = {
        {At(2009, 1, 31, 23, 55), MakeSpan(0, 0, 0, 0, 10, 0), "2009/02/01 00:05 dow 0"},
        {At(2008, 2, 28, 10, 0), MakeSpan(0, 0, 1, 0, 0, 0), "2008/02/29 10:00 dow 5"},
        {At(2009, 12, 31, 12, 0), MakeSpan(0, 0, 1, 0, 0, 0), "2010/01/01 12:00 dow 5"},
        {At(2009, 1, 13, 10, 59), MakeSpan(0, 0, 0, 0, 1, 0), "2009/01/13 11:00 dow 2"},
        // Not a leap year: February has 28 days.
        {At(2009, 2, 28, 10, 0), MakeSpan(0, 0, 1, 0, 0, 0), "2009/03/01 10:00 dow 0"},
        // Ten days in one go cross a month end and a year end.
        {At(2026, 12, 25, 9, 0), MakeSpan(0, 0, 10, 0, 0, 0), "2027/01/04 09:00 dow 1"},
        // 60 seconds are one minute; 1,500 minutes one day and one hour.
        {At(2009, 1, 13, 10, 20), MakeSpan(0, 0, 0, 0, 0, 60), "2009/01/13 10:21 dow 2"},
        {At(2009, 1, 13, 10, 20), MakeSpan(0, 0, 0, 0, 1500, 0), "2009/01/14 11:20 dow 3"},
        // Months beyond December carry whole years.
        {At(2009, 11, 13, 10, 20), MakeSpan(0, 14, 0, 0, 0, 0), "2011/01/13 10:20 dow 4"},
    };
    for (const auto& c : cases) {
        SYSTEMTIME t = c.start;
        EXPECT_EQ(Text(AddSpan(t, c.span)), c.expected) << "from " << Text(c.start);
        EXPECT_EQ(Text(t), c.expected) << "in place";
    }
}

TEST(AddSpan, EndsOnADamagedRecord) {
    SYSTEMTIME damaged{};  // month 0: a month without days
    damaged.wDay = 40;
    AddSpan(damaged, MakeSpan(0, 0, 1, 0, 0, 0));
    EXPECT_FALSE(IsRealInstant(damaged));
}

TEST(IsLeapYear, FollowsTheGregorianRule) {
    const struct {
        int year;
        bool leap;
    } cases[] = {{2000, true},  {2008, true}, {1900, false}, {2009, false},
                 {2100, false}, {2400, true}, {2024, true},  {2026, false}};
    for (const auto& c : cases) EXPECT_EQ(IsLeapYear(c.year), c.leap) << c.year;
}

TEST(AlarmTime, ComparesInstantsAndPutsRecordsOfNoInstantLast) {
    const SYSTEMTIME early = At(2009, 1, 13, 10, 20);
    const SYSTEMTIME late = At(2009, 1, 13, 10, 21);
    SYSTEMTIME sameWithOtherWeekday = early;
    sameWithOtherWeekday.wDayOfWeek = 5;
    SYSTEMTIME damaged = early;
    damaged.wMonth = 13;

    EXPECT_TRUE(IsEarlier(early, late));
    EXPECT_TRUE(IsLater(late, early));
    EXPECT_FALSE(IsEarlier(early, early));
    EXPECT_TRUE(IsSameTime(early, sameWithOtherWeekday));
    EXPECT_FALSE(IsSameTime(early, late));
    EXPECT_TRUE(IsEarlier(late, damaged));
    EXPECT_TRUE(IsLater(damaged, At(30000, 1, 1, 0, 0)));
    EXPECT_FALSE(IsEarlier(damaged, early));
    EXPECT_FALSE(IsRealInstant(SYSTEMTIME{}));
}

TEST(AlarmTime, FormatsYearWithoutPaddingAndTheRestInTwoDigits) {
    EXPECT_EQ(FormatAlarmTime(At(2009, 1, 13, 7, 5)), "2009/01/13 07:05");
    EXPECT_EQ(FormatAlarmTime(At(987, 12, 3, 23, 59)), "987/12/03 23:59");
}

TEST(ParseAlarmTime, ReadsEachFieldUpToItsSeparator) {
    const struct {
        const char* text;
        bool parses;
        // Of a record that held 1111/11/11 11:11, a Saturday, before: a failed parse
        // leaves the day of week as it was.
        const char* expected;
    } cases[] = {
        {"2009/01/13 07:05", true, "2009/01/13 07:05 dow 2"},
        {"2009/1/3 7:5", true, "2009/01/03 07:05 dow 6"},
        {"  2009/+1/3 07:05xyz", true, "2009/01/03 07:05 dow 6"},
        // The day ends at the first space: " 3 07" leaves no day and hour 3.
        {"2009/01/ 3 07:05", true, "2009/01/00 03:05 dow 3"},
        {"2009/01/13 07", false, "2009/01/13 11:11 dow 6"},
        {"2009/01", false, "2009/11/11 11:11 dow 6"},
        {"", false, "1111/11/11 11:11 dow 6"},
        {"abc/def/ghi jk:lm", true, "0/00/00 00:00 dow 2"},
        // Only the low 16 bits of a number are kept.
        {"65537/01/13 07:05", true, "1/01/13 07:05 dow 6"},
        {"-1/01/13 07:05", true, "65535/01/13 07:05 dow 0"},
        {"2009/01/13 07:05:30", true, "2009/01/13 07:05 dow 2"},
    };
    for (const auto& c : cases) {
        SYSTEMTIME t = At(1111, 11, 11, 11, 11);
        t.wSecond = 30;
        EXPECT_EQ(ParseAlarmTime(c.text, t), c.parses) << c.text;
        EXPECT_EQ(Text(t), c.expected) << c.text;
        if (c.parses) {
            EXPECT_EQ(t.wSecond, 0) << c.text;
        }
    }
}
