#include "alarm/AlarmTime.h"

#include <cstdint>


namespace {

// Instants compared as unsigned numbers; a record naming none sorts after all of them.
FILETIME Instant(const SYSTEMTIME& time) {
    FILETIME instant = 0;
    return SystemTimeToFileTime(time, instant) ? instant : UINT64_MAX;
}

// Carries the part of `field` at or above `base` into `next`.
void Carry(uint16_t& field, uint16_t& next, unsigned base) {
    if (field >= base) {
        next = static_cast<uint16_t>(next + field / base);
        field = static_cast<uint16_t>(field % base);
    }
}

}  // namespace

SYSTEMTIME MakeSpan(int years, int months, int days, int hours, int minutes, int seconds) {
    SYSTEMTIME span{};
    span.wYear = static_cast<uint16_t>(years);
    span.wMonth = static_cast<uint16_t>(months);
    span.wDay = static_cast<uint16_t>(days);
    span.wHour = static_cast<uint16_t>(hours);
    span.wMinute = static_cast<uint16_t>(minutes);
    span.wSecond = static_cast<uint16_t>(seconds);
    UpdateDayOfWeek(span);
    return span;
}

SYSTEMTIME& AddSpan(SYSTEMTIME& t, const SYSTEMTIME& s) {
    t.wMilliseconds = static_cast<uint16_t>(t.wMilliseconds + s.wMilliseconds);
    Carry(t.wMilliseconds, t.wSecond, 1000);
    t.wSecond = static_cast<uint16_t>(t.wSecond + s.wSecond);
    Carry(t.wSecond, t.wMinute, 60);
    t.wMinute = static_cast<uint16_t>(t.wMinute + s.wMinute);
    Carry(t.wMinute, t.wHour, 60);
    t.wHour = static_cast<uint16_t>(t.wHour + s.wHour);
    Carry(t.wHour, t.wDay, 24);
    t.wDay = static_cast<uint16_t>(t.wDay + s.wDay);
    // A month outside 1 to 12 (a damaged record) has no days: it only moves on, so the
    // loop ends whatever the fields held.
    for (int days = DaysInMonth(t.wYear, t.wMonth); t.wDay > days;
         days = DaysInMonth(t.wYear, t.wMonth)) {
        t.wDay = static_cast<uint16_t>(t.wDay - days);
        t.wMonth = static_cast<uint16_t>(t.wMonth + 1);
        if (t.wMonth > 12) {
            t.wMonth = 1;
            t.wYear = static_cast<uint16_t>(t.wYear + 1);
        }
    }
    t.wMonth = static_cast<uint16_t>(t.wMonth + s.wMonth);
    if (t.wMonth > 12) {
        t.wYear = static_cast<uint16_t>(t.wYear + (t.wMonth - 1) / 12);
        t.wMonth = static_cast<uint16_t>((t.wMonth - 1) % 12 + 1);
    }
    t.wYear = static_cast<uint16_t>(t.wYear + s.wYear);
    UpdateDayOfWeek(t);
    return t;
}

bool IsLeapYear(int year) {
    return IsGregorianLeapYear(year);
}

void UpdateDayOfWeek(SYSTEMTIME& time) {
    time.wDayOfWeek = DayOfWeek(time.wYear, time.wMonth, time.wDay);
}

bool IsRealInstant(const SYSTEMTIME& time) {
    FILETIME instant = 0;
    return SystemTimeToFileTime(time, instant);
}

bool IsSameTime(const SYSTEMTIME& a, const SYSTEMTIME& b) {
    return a.wYear == b.wYear && a.wMonth == b.wMonth && a.wDay == b.wDay && a.wHour == b.wHour &&
           a.wMinute == b.wMinute && a.wSecond == b.wSecond && a.wMilliseconds == b.wMilliseconds;
}

bool IsEarlier(const SYSTEMTIME& a, const SYSTEMTIME& b) {
    return Instant(a) < Instant(b);
}

bool IsLater(const SYSTEMTIME& a, const SYSTEMTIME& b) {
    return Instant(a) > Instant(b);
}

SYSTEMTIME CurrentMinute() {
    SYSTEMTIME now = GetLocalTime();
    now.wSecond = 0;
    now.wMilliseconds = 0;
    return now;
}
