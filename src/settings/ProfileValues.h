#pragma once

#include <string_view>

#include "platform/registry/Profile.h"

// Every value the program keeps in its per-user profile, in one place: the section and name
// it lives under, its kind, and what it reads as when it is absent.
namespace profile {

// The profile is HKCU\Software\<company>\<application>.
inline constexpr std::string_view kCompany = "Vornak";
inline constexpr std::string_view kApplication = "quillo";

inline constexpr ProfileText kSaveFolder{"System", "SaveFolder"};
inline constexpr ProfileInt kNotifyDialog{"System", "NotifyDialog", 1};
// The memo that an alarm launch hands to the running window.
inline constexpr ProfileText kNotifyFile{"System", "NotifyFile"};
// Where a memo was rescued to when the program was told to end, for the next start to say.
inline constexpr ProfileText kRescuedMemo{"System", "RescuedMemo"};
// Set once the user was told that alarms ring only while the program runs.
inline constexpr ProfileInt kSelfLaunchTold{"System", "SelfLaunchTold", 0};

inline constexpr ProfileInt kPenWidth{"Edit", "PenWidth", 5};
inline constexpr ProfileInt kEraserWidth{"Edit", "EraserWidth", 10};
inline constexpr ProfileInt kPenColor{"Edit", "PenColor", 0};
// The same value as kPenColor, under the spelling the view reads it by at its start; names
// are looked up without regard to case.
inline constexpr ProfileInt kPenColorAtStart{"Edit", "pENColor", 0};
inline constexpr ProfileInt kBackColor{"Edit", "BackColor", 0x00FFFFFF};
inline constexpr ProfileInt kPenPressure{"Edit", "PenPressure", 0};
inline constexpr ProfileInt kBackLine{"View", "BackLine", 0};

inline constexpr ProfileText kDefaultWaveFile{"Alerm", "DefaultWaveFile"};
inline constexpr ProfileInt kDefaultWaveRepeat{"Alerm", "DefaultWaveRepeat", 0};

// The alarms: how many, then five values an alarm, numbered from 00.
inline constexpr std::string_view kAlarmSection = "MemoNotify";
inline constexpr ProfileInt kAlarmCount{kAlarmSection, "Count", 0};
inline constexpr std::string_view kAlarmFileName = "FileName";
inline constexpr std::string_view kAlarmTime = "Time";
inline constexpr std::string_view kAlarmRepeat = "Repeat";
inline constexpr std::string_view kAlarmWaveFile = "WaveFile";
inline constexpr std::string_view kAlarmWaveRepeat = "WaveRepeat";

// The colour dialog's sixteen custom colours, "Custom0" to "Custom15".
inline constexpr std::string_view kCustomColorSection = "ColorDlg";
inline constexpr std::string_view kCustomColor = "Custom";

// The program's profile on the mounted device, for what keeps values of its own in it
// without an application object (the alarm store).
Profile ProgramProfile();

}  // namespace profile
