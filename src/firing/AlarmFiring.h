#pragma once

#include <optional>
#include <string>

#include "alarm/AlarmEntry.h"
#include "platform/base/Time.h"

// What became of an alarm that rang.
enum class AlarmOutcome {
    NothingDue,  // no alarm was left to ring
    Closed,      // the notice was closed (re-notified, deleted or dismissed)
    Open,        // the user asked for the memo ("開く")
    Sounded,     // no notice is shown: the sound rang, and the memo is to be shown
};

struct FiredAlarm {
    AlarmOutcome outcome = AlarmOutcome::NothingDue;
    AlarmEntry entry;
};

// The launch the system made for an alarm: takes the alarm due at `launchMinute` out of
// the store and rings it. Nothing due still saves and schedules the store again, so the
// next alarm stays requested.
FiredAlarm FireLaunchAlarm(const SYSTEMTIME& launchMinute, int notifyDialog);

// One look of a running window at the store, on its timer: rings at most one alarm, the
// one of this minute, else the oldest missed one-shot alarm.
FiredAlarm FireRunningAlarm(const SYSTEMTIME& now);

// Says, when `stored` is false, that an alarm change did not reach the profile.
void TellIfAlarmNotStored(bool stored);
