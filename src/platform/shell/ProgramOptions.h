#pragma once

#include <string_view>

// The platform's own options on the program's command line: what AfxWinMain takes off it,
// and what the timed launch puts on the command lines it hands to the system.
inline constexpr std::string_view kDeviceOption = "--device";
inline constexpr std::string_view kScreenOption = "--screen";
inline constexpr std::string_view kTimedLaunchOption = "--timed-launch";

// What the program finds on its command line when the system started it for an alarm.
inline constexpr std::string_view kAlarmLaunchArgument = "AppRunAtTime";
