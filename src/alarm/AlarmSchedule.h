#pragma once

#include <span>

#include "alarm/AlarmEntry.h"
#include "platform/base/Time.h"

// When alarms ring: arithmetic over the entries alone, with no store, profile or application.
// Positions are indexes into `entries`, -1 for none.

// When `entry` is next due at or after `now`, never before its Time; a record naming no real
// instant for a repeat unit outside the four.
SYSTEMTIME NextOccurrence(const AlarmEntry& entry, const SYSTEMTIME& now);

// The entry due first (ties: the lower index), or -1 when none is ever due.
[[nodiscard]] int FindEarliest(std::span<const AlarmEntry> entries, const SYSTEMTIME& now);

// The entry to fire for a launch at `now`, made for the request at `requested` (null: none is
// recorded), or -1. It never fires an alarm before its time and never passes over the one a
// late launch was for.
[[nodiscard]] int FindDue(std::span<const AlarmEntry> entries, const SYSTEMTIME& now,
                          const SYSTEMTIME* requested);

// The entry a running window rings at `now`: the one due this very minute, else the oldest
// missed one-shot alarm (a suspend or a busy minute must not lose it); or -1.
[[nodiscard]] int FindRunningDue(std::span<const AlarmEntry> entries, const SYSTEMTIME& now);
