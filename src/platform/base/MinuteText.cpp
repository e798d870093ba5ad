#include "MinuteText.h"

#include <cctype>
#include <cstdint>

#include "platform/base/Format.h"

namespace {

// The low 16 bits come out right however long the digits run, as the sum wraps at a
// multiple of 2^16.
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

std::string FormatMinuteText(const SYSTEMTIME& time) {
    return Format("%d/%02d/%02d %02d:%02d", time.wYear, time.wMonth, time.wDay, time.wHour,
                  time.wMinute);
}

bool ParseMinuteText(std::string_view text, SYSTEMTIME& time) {
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
    time.wDayOfWeek = DayOfWeek(time.wYear, time.wMonth, time.wDay);
    return true;
}
