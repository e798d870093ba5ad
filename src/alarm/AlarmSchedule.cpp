#include "alarm/AlarmSchedule.h"

#include "alarm/AlarmTime.h"

namespace {

// `time` with the hour (and minute) of `base`, or with only its minute.
SYSTEMTIME WithMinuteOf(SYSTEMTIME time, const SYSTEMTIME& base) {
    time.wMinute = base.wMinute;
    return time;
}

SYSTEMTIME WithHourAndMinuteOf(SYSTEMTIME time, const SYSTEMTIME& base) {
    time.wHour = base.wHour;
    time.wMinute = base.wMinute;
    return time;
}

// Moves `candidate` on by `period` when it lies before `now`, and never before `base`.
SYSTEMTIME NotBefore(SYSTEMTIME candidate, const SYSTEMTIME& now, const SYSTEMTIME& period,
                     const SYSTEMTIME& base) {
    if (IsEarlier(candidate, now)) AddSpan(candidate, period);
    return IsEarlier(candidate, base) ? base : candidate;
}

int FindThisMinute(std::span<const AlarmEntry> entries, const SYSTEMTIME& now) {
    // Of a repeat unit that ever comes due.
    for (size_t i = 0; i < entries.size(); ++i) {
        const AlarmEntry& e = entries[i];
        if (IsSameTime(e.Time, now) && IsRealInstant(NextOccurrence(e, now))) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

int FindOldestMissedOneShot(std::span<const AlarmEntry> entries, const SYSTEMTIME& now) {
    int found = -1;
    for (size_t i = 0; i < entries.size(); ++i) {
        const AlarmEntry& e = entries[i];
        if (e.Repeat == AlarmRepeat::None && IsRealInstant(e.Time) && IsEarlier(e.Time, now) &&
            (found < 0 || IsEarlier(e.Time, entries[static_cast<size_t>(found)].Time))) {
            found = static_cast<int>(i);
        }
    }
    return found;
}

}  // namespace

SYSTEMTIME NextOccurrence(const AlarmEntry& entry, const SYSTEMTIME& now) {
    const SYSTEMTIME& base = entry.Time;
    switch (entry.Repeat) {
        case AlarmRepeat::None:
            return base;
        case AlarmRepeat::Hourly:
            return NotBefore(WithMinuteOf(now, base), now, MakeSpan(0, 0, 0, 1, 0, 0), base);
        case AlarmRepeat::Daily:
            return NotBefore(WithHourAndMinuteOf(now, base), now, MakeSpan(0, 0, 1, 0, 0, 0), base);
        case AlarmRepeat::Weekly: {
            const int days = (base.wDayOfWeek % 7 - now.wDayOfWeek % 7 + 7) % 7;
            SYSTEMTIME candidate = now;
            AddSpan(candidate, MakeSpan(0, 0, days, 0, 0, 0));
            return NotBefore(WithHourAndMinuteOf(candidate, base), now, MakeSpan(0, 0, 7, 0, 0, 0),
                             base);
        }
    }
    return SYSTEMTIME{};
}

int FindEarliest(std::span<const AlarmEntry> entries, const SYSTEMTIME& now) {
    int best = -1;
    SYSTEMTIME bestTime{};
    for (size_t i = 0; i < entries.size(); ++i) {
        const SYSTEMTIME next = NextOccurrence(entries[i], now);
        if (!IsRealInstant(next)) continue;  // never due: never the one to wait for
        if (best < 0 || IsEarlier(next, bestTime)) {
            best = static_cast<int>(i);
            bestTime = next;
        }
    }
    return best;
}

int FindDue(std::span<const AlarmEntry> entries, const SYSTEMTIME& now,
            const SYSTEMTIME* requested) {
    const auto firstWhere = [entries](const auto& due) {
        for (size_t i = 0; i < entries.size(); ++i) {
            if (due(entries[i])) return static_cast<int>(i);
        }
        return -1;
    };
    int found = FindThisMinute(entries, now);
    // A late launch (a sleeping laptop, a machine that was off): the alarm it was for.
    if (found < 0 && requested != nullptr && IsRealInstant(*requested) &&
        !IsLater(*requested, now)) {
        found = firstWhere([&](const AlarmEntry& e) {
            return IsSameTime(NextOccurrence(e, *requested), *requested);
        });
    }
    if (found < 0) {
        found = firstWhere(
            [&](const AlarmEntry& e) { return IsSameTime(NextOccurrence(e, now), now); });
    }
    // A one-shot alarm missed altogether: the oldest is shown first, the others in turn.
    return found >= 0 ? found : FindOldestMissedOneShot(entries, now);
}

int FindRunningDue(std::span<const AlarmEntry> entries, const SYSTEMTIME& now) {
    const int found = FindThisMinute(entries, now);
    return found >= 0 ? found : FindOldestMissedOneShot(entries, now);
}
