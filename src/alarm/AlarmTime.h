#pragma once

#include <string>
#include <string_view>

#include "platform/base/MinuteText.h"
#include "platform/base/Time.h"

// Calendar arithmetic on alarm time records. All alarm times are local times with a
// resolution of one minute; a span is a record whose fields hold amounts, not a date.

// A span (or, for a picked date, a time at 00:00); milliseconds 0, day of week set.
SYSTEMTIME MakeSpan(int years, int months, int days, int hours, int minutes, int seconds);
// Moves `time` forward by `span`, carrying each field into the next; returns `time`.
SYSTEMTIME& AddSpan(SYSTEMTIME& time, const SYSTEMTIME& span);
bool IsLeapYear(int year);
void UpdateDayOfWeek(SYSTEMTIME& time);

// Whether the record names a real point in time. One that does not (a damaged time text,
// the zero record of an unknown repeat unit) is later than every one that does.
bool IsRealInstant(const SYSTEMTIME& time);
// The same date and time to the millisecond; the day of week takes no part.
bool IsSameTime(const SYSTEMTIME& a, const SYSTEMTIME& b);
bool IsEarlier(const SYSTEMTIME& a, const SYSTEMTIME& b);
bool IsLater(const SYSTEMTIME& a, const SYSTEMTIME& b);

// The device's clock now, to the minute: second and milliseconds 0.
SYSTEMTIME CurrentMinute();

// An alarm's time in the profile is the device's minute text: "2009/01/13 07:05", read back
// leniently ("2009/1/3 7:5" is 2009-01-03 07:05; a missing separator fails there, the fields
// read so far keeping their new values).
inline std::string FormatAlarmTime(const SYSTEMTIME& time) {
    return FormatMinuteText(time);
}
[[nodiscard]] inline bool ParseAlarmTime(std::string_view text, SYSTEMTIME& time) {
    return ParseMinuteText(text, time);
}
