#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "alarm/AlarmEntry.h"

// The alarms of all memos, in the order they were loaded or added, kept in the profile
// section "MemoNotify". One store lives in the application object.
//
// Several processes of one device keep a store each (a running window and an alarm launch).
// Every change goes through Update or TakeDue: one registry transaction that first reads
// the store again when another process has written it since, so no process undoes what
// another one stored, and a due alarm is taken by one process only. A change that could not
// be stored is not made: the store holds what the profile holds.
class CAlarmStore {
  public:
    CAlarmStore() = default;
    virtual ~CAlarmStore() = default;
    CAlarmStore(const CAlarmStore&) = default;
    CAlarmStore& operator=(const CAlarmStore&) = default;

    // Replaces the content with the profile's, leaving out alarms whose memo file can no
    // longer be read; the number of entries.
    virtual int Load();
    // Writes the whole content; values of a longer earlier list stay, beyond "Count". False
    // when it was not stored (the profile keeps what it held).
    [[nodiscard]] virtual bool Save();

    // Adds or replaces the alarm of `fileName`, then schedules again.
    void SetAlarm(std::string_view fileName, const SYSTEMTIME& time, AlarmRepeat repeat,
                  std::string_view waveFile, int32_t waveRepeat);
    void RemoveAt(int index);
    // The first entry of exactly that file name (case counts), or -1.
    [[nodiscard]] int FindByFile(std::string_view fileName) const;
    // The first entry due at exactly that time, or -1.
    [[nodiscard]] int FindByTime(const SYSTEMTIME& time) const;
    int GetCount() const { return static_cast<int>(m_entries.size()); }
    AlarmEntry GetAt(int index) const { return m_entries.at(static_cast<size_t>(index)); }
    // For the schedule's arithmetic (AlarmSchedule.h): indexes there are indexes here.
    const std::vector<AlarmEntry>& Entries() const { return m_entries; }

    // The entry to fire for a launch at `now`, made for the request the system holds, or -1.
    [[nodiscard]] int FindDue(const SYSTEMTIME& now) const;
    // Asks the system to start the program at the earliest alarm, or withdraws the request.
    void Schedule(const SYSTEMTIME& now) const;

    // Applies `change` to the latest stored content and saves it, all in one commit, then
    // schedules again. `change` finds its entries by file name: indexes move on a reload.
    // False when it could not be stored: the store is left as the profile holds it.
    [[nodiscard]] bool Update(const std::function<void(CAlarmStore&)>& change);
    // Takes the entry that `select` picks from the latest stored content out of the store,
    // in one commit, then schedules again. Nothing when `select` gives -1: another process
    // took it first, or it was never there. When its leaving could not be stored, `stored`
    // is false: the alarm is still taken, to ring once, and kept out of this store until a
    // later update stores it gone.
    [[nodiscard]] std::optional<AlarmEntry> TakeDue(
        const std::function<int(const CAlarmStore&)>& select, bool* stored = nullptr);

    // Reads the store again when another process has committed since it was last read.
    void ReadAgainIfChanged();

  private:
    // The entries as the profile holds them, read as one piece; false when they could not
    // be read now.
    [[nodiscard]] bool ReadProfile(std::vector<AlarmEntry>& stored);
    // Takes `stored` as what the profile holds; at a start, alarms of vanished memos go,
    // and stay gone at every later reading while their memo stays away.
    void Adopt(std::vector<AlarmEntry> stored, bool atStart);
    // After a change that was not stored: back to what the profile holds.
    void KeepStored(const std::vector<AlarmEntry>& stored,
                    const std::vector<AlarmEntry>& rungUnstored);

    std::vector<AlarmEntry> m_entries;
    // What the profile held when this process last read or wrote it: a commit that left it
    // so (the timed launch's own, another section's) changes nothing here.
    std::vector<AlarmEntry> m_stored;
    std::vector<std::string> m_droppedAtStart;
    // Alarms rung whose leaving the store could not be written yet.
    std::vector<AlarmEntry> m_rungUnstored;
    int64_t m_nStoredVersion = -1;
    bool m_bInUpdate = false;
};
