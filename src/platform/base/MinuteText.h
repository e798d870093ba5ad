#pragma once

#include <string>
#include <string_view>

#include "platform/base/Time.h"

// A time to the minute as the device writes it, in the profile's alarms, the timed-launch
// request and what the user is shown: "2009/01/13 07:05", the year unpadded and the rest in
// two digits.
std::string FormatMinuteText(const SYSTEMTIME& time);

// Reads what FormatMinuteText writes, leniently: each field is the standard text-to-integer
// reading of what stands before its separator (white space, a sign, digits up to the first
// non-digit, none read as 0), of which only the low 16 bits are kept, and the minute takes
// the rest: "2009/1/3 7:5" is 2009-01-03 07:05. Second and milliseconds become 0 and the day
// of week follows the date. When a separator is missing it fails there, the fields read so
// far keeping their new values. The fields need not name a real time.
[[nodiscard]] bool ParseMinuteText(std::string_view text, SYSTEMTIME& time);
