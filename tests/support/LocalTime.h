#pragma once

#include <cstdint>

#include "platform/base/Time.h"

// A local time record from its fields, its weekday worked out, as the tests name times.
inline SYSTEMTIME At(int year, int month, int day, int hour = 0, int minute = 0, int second = 0,
                     int millisecond = 0) {
    return {static_cast<uint16_t>(year),   static_cast<uint16_t>(month),
            DayOfWeek(year, month, day),   static_cast<uint16_t>(day),
            static_cast<uint16_t>(hour),   static_cast<uint16_t>(minute),
            static_cast<uint16_t>(second), static_cast<uint16_t>(millisecond)};
}
