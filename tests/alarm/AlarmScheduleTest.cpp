// When alarms ring: the schedule's arithmetic over plain entries, with no store or profile.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "alarm/AlarmSchedule.h"
#include "alarm/AlarmTime.h"
#include "support/LocalTime.h"

namespace {

std::string Text(const SYSTEMTIME& t) {
    return FormatAlarmTime(t) + " dow " + std::to_string(t.wDayOfWeek);
}

AlarmEntry Entry(const std::string& file, const SYSTEMTIME& time,
                 AlarmRepeat repeat = AlarmRepeat::None) {
    return AlarmEntry{file, time, repeat, "", 0};
}

}  // namespace

TEST(NextOccurrence, CountsRepetitionsFromTheBaseTime) {
    const SYSTEMTIME now = At(2009, 1, 13, 10, 20);  // a Tuesday
    ASSERT_EQ(now.wDayOfWeek, 2);
    const struct {
        AlarmRepeat repeat;
        SYSTEMTIME base;
        const char* expected;
    } cases[] = {
        {AlarmRepeat::Hourly, At(2009, 1, 12, 8, 45), "2009/01/13 10:45 dow 2"},
        {AlarmRepeat::Hourly, At(2009, 1, 12, 8, 5), "2009/01/13 11:05 dow 2"},
        {AlarmRepeat::Hourly, At(2009, 1, 20, 8, 5), "2009/01/20 08:05 dow 2"},
        {AlarmRepeat::Daily, At(2009, 1, 10, 7, 0), "2009/01/14 07:00 dow 3"},
        {AlarmRepeat::Daily, At(2009, 1, 10, 22, 30), "2009/01/13 22:30 dow 2"},
        {AlarmRepeat::Weekly, At(2009, 1, 2, 9, 0), "2009/01/16 09:00 dow 5"},
        {AlarmRepeat::Weekly, At(2009, 1, 6, 9, 0), "2009/01/20 09:00 dow 2"},
        {AlarmRepeat::Weekly, At(2009, 1, 6, 11, 0), "2009/01/13 11:00 dow 2"},
        // The current minute (and hour) is due now, not one period later.
        {AlarmRepeat::Hourly, At(2009, 1, 1, 3, 20), "2009/01/13 10:20 dow 2"},
        {AlarmRepeat::Daily, At(2009, 1, 1, 10, 20), "2009/01/13 10:20 dow 2"},
        {AlarmRepeat::Weekly, At(2009, 1, 6, 10, 20), "2009/01/13 10:20 dow 2"},
        // A one-shot alarm keeps its time, past or not.
        {AlarmRepeat::None, At(2009, 1, 1, 3, 20), "2009/01/01 03:20 dow 4"},
    };
    for (const auto& c : cases) {
        AlarmEntry entry;
        entry.Time = c.base;
        entry.Repeat = c.repeat;
        EXPECT_EQ(Text(NextOccurrence(entry, now)), c.expected)
            << "repeat " << static_cast<int>(c.repeat) << " base " << Text(c.base);
    }
}

TEST(NextOccurrence, NamesNoInstantForAnUnknownRepeatOrADamagedTime) {
    const SYSTEMTIME now = At(2009, 1, 13, 10, 20);
    AlarmEntry unknown;
    unknown.Time = At(2009, 1, 13, 11, 0);
    unknown.Repeat = static_cast<AlarmRepeat>(4);
    EXPECT_FALSE(IsRealInstant(NextOccurrence(unknown, now)));

    for (const AlarmRepeat repeat :
         {AlarmRepeat::None, AlarmRepeat::Hourly, AlarmRepeat::Daily, AlarmRepeat::Weekly}) {
        AlarmEntry damaged;
        damaged.Time = At(2009, 1, 13, 11, 0);
        damaged.Time.wYear = 0;  // what a time text without digits leaves
        damaged.Repeat = repeat;
        EXPECT_FALSE(IsRealInstant(NextOccurrence(damaged, now))) << static_cast<int>(repeat);
    }
}

TEST(FindDue, TakesTheRulesInOrder) {
    const SYSTEMTIME now = At(2009, 1, 13, 10, 20);
    const SYSTEMTIME requestedLate = At(2009, 1, 13, 10, 5);
    const SYSTEMTIME requestedAhead = At(2009, 1, 13, 11, 0);  // the clock went back
    const struct {
        const char* what;
        std::vector<AlarmEntry> entries;
        const SYSTEMTIME* requested;
        int due;
    } cases[] = {
        {"the alarm of this minute, over overdue ones",
         {Entry("a", At(2009, 1, 13, 9, 0)), Entry("b", now), Entry("c", now)},
         nullptr,
         1},
        {"a late launch fires the repeating alarm it was for",
         {Entry("a", At(2009, 1, 13, 9, 0)), Entry("b", At(2009, 1, 10, 10, 5), AlarmRepeat::Daily),
          Entry("c", At(2009, 1, 1, 0, 20), AlarmRepeat::Hourly)},
         &requestedLate,
         1},
        {"a late launch's alarm first in the list, over a repeating one due now",
         {Entry("b", At(2009, 1, 10, 10, 5), AlarmRepeat::Daily),
          Entry("c", At(2009, 1, 1, 0, 20), AlarmRepeat::Hourly)},
         &requestedLate,
         0},
        {"a request not yet due is not what this launch is for",
         {Entry("a", At(2009, 1, 13, 9, 0)),
          Entry("b", At(2009, 1, 10, 11, 0), AlarmRepeat::Daily)},
         &requestedAhead,
         0},
        {"a repeating alarm due now",
         {Entry("a", At(2009, 1, 13, 9, 0)), Entry("b", At(2009, 1, 13, 8, 0)),
          Entry("c", At(2009, 1, 10, 10, 20), AlarmRepeat::Daily)},
         nullptr,
         2},
        {"the oldest missed one-shot alarm",
         {Entry("a", At(2009, 1, 13, 9, 30)), Entry("b", At(2009, 1, 13, 9, 0)),
          Entry("c", At(2009, 1, 13, 9, 0)), Entry("d", At(2009, 1, 13, 11, 0))},
         nullptr,
         1},
        {"nothing before its time",
         {Entry("a", At(2009, 1, 13, 10, 21)),
          Entry("b", At(2009, 1, 10, 10, 25), AlarmRepeat::Daily)},
         &requestedLate,
         -1},
        {"no alarms", {}, nullptr, -1},
    };
    for (const auto& c : cases) EXPECT_EQ(FindDue(c.entries, now, c.requested), c.due) << c.what;
}
