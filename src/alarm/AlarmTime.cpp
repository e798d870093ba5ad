#include "alarm/AlarmTime.h"

#include <cctype>
#include <cstdint>

#include "platform/base/Format.h"

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

// The standard text-to-integer reading: white space, a sign, digits up to the first
// non-digit; no digits read as 0. Only the low 16 bits are kept by the caller, and those
// come out right however long the digits run, as the sum wraps at a multiple of 2^16.
uint16_t ReadNumber(std::string_view text) {
    size_t at = 0;
    while (at < text.size() && std::isspace(static_cast<unsigned char>(text[at])) != 0) ++at;
    bool negative = false;
    if (at < text.size() && (text[at] == '+' || text[at] == '-')) negative = text[at++] == '-';
    uint32_t value = 0;
    for (; at < text.size() && text[at] >= '0' && text[at] <= '9'; ++at) {
        value = value * 10 + static_cast<uint32_t>(text[at] - '0');
    }
    return static_cast<uint16_t>(negative ? 0U - value : value);
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

std::string FormatAlarmTime(const SYSTEMTIME& time) {
    return Format("%d/%02d/%02d %02d:%02d", time.wYear, time.wMonth, time.wDay, time.wHour,
                  time.wMinute);
}

bool ParseAlarmTime(std::string_view text, SYSTEMTIME& time) {
    // Each field ends at its separator; the minute takes the rest.
    const struct {
        char separator;
        uint16_t SYSTEMTIME::*field;
    } steps[] = {{'/', &SYSTEMTIME::wYear},
                 {'/', &SYSTEMTIME::wMonth},
                 {' ', &SYSTEMTIME::wDay},
                 {':', &SYSTEMTIME::wHour}};
    for (const auto& step : steps) {
        const size_t end = text.find(step.separator);
        if (end == std::string_view::npos) return false;
        time.*step.field = ReadNumber(text.substr(0, end));
        text.remove_prefix(end + 1);
    }
    time.wMinute = ReadNumber(text);
    time.wSecond = 0;
    time.wMilliseconds = 0;
    UpdateDayOfWeek(time);
    return true;
}
