#include "alarm/AlarmStore.h"

#include <algorithm>

#include "alarm/AlarmSchedule.h"
#include "alarm/AlarmTime.h"
#include "platform/base/Format.h"
#include "platform/fs/Device.h"
#include "platform/fs/File.h"
#include "platform/registry/Registry.h"
#include "platform/shell/TimedLaunch.h"
#include "settings/ProfileValues.h"

namespace {

// The value `stem` of the alarm at `index`: "FileName00", "Time00", ...
std::string ValueName(std::string_view stem, size_t index) {
    return Format("%.*s%02zu", static_cast<int>(stem.size()), stem.data(), index);
}

bool CanBeRead(const std::string& path) {
    CFile file;
    return file.Open(path, CFile::modeRead);
}

}  // namespace

int CAlarmStore::Load() {
    m_droppedAtStart.clear();
    std::vector<AlarmEntry> stored;
    // A profile that cannot be read now is read when it can (ReadAgainIfChanged).
    if (!ReadProfile(stored)) m_nStoredVersion = -1;
    Adopt(std::move(stored), true);
    return GetCount();
}

bool CAlarmStore::ReadProfile(std::vector<AlarmEntry>& stored) {
    Registry* registry = Registry::OfDevice();
    // Read as one piece, so a store another process is writing is never seen half written.
    RegistryTransaction transaction(registry);
    stored.clear();
    if (!transaction.IsOpen()) return false;
    using namespace profile;
    const Profile values = ProgramProfile();
    const int count = values.Get(kAlarmCount);
    for (int i = 0; i < count; ++i) {
        const auto index = static_cast<size_t>(i);
        const auto text = [&](std::string_view stem) {
            return values.GetString(kAlarmSection, ValueName(stem, index), "");
        };
        const auto number = [&](std::string_view stem) {
            return values.GetInt(kAlarmSection, ValueName(stem, index), 0);
        };
        AlarmEntry entry;
        entry.FileName = text(kAlarmFileName);
        // A damaged time text keeps what it could read; such an entry is never due.
        (void)ParseAlarmTime(text(kAlarmTime), entry.Time);
        entry.Repeat = static_cast<AlarmRepeat>(number(kAlarmRepeat));
        entry.WaveFile = text(kAlarmWaveFile);
        entry.WaveRepeat = number(kAlarmWaveRepeat);
        stored.push_back(std::move(entry));
    }
    m_nStoredVersion = registry->DataVersion();
    return true;
}

void CAlarmStore::Adopt(std::vector<AlarmEntry> stored, bool atStart) {
    m_stored = stored;
    m_entries.clear();
    for (AlarmEntry& entry : stored) {
        // Rung already; the profile has not heard of it yet.
        if (std::find(m_rungUnstored.begin(), m_rungUnstored.end(), entry) !=
            m_rungUnstored.end()) {
            continue;
        }
        const bool dropped = std::find(m_droppedAtStart.begin(), m_droppedAtStart.end(),
                                       entry.FileName) != m_droppedAtStart.end();
        // The memo went; at a start its alarm goes too, and does not come back with a later
        // reading of a profile that still names it.
        if ((atStart || dropped) && !CanBeRead(entry.FileName)) {
            if (atStart) m_droppedAtStart.push_back(entry.FileName);
            continue;
        }
        // One spelling per file, as the open memo has it, so that the alarm is found.
        if (atStart) entry.FileName = Device::FileSystem().CanonicalPath(entry.FileName);
        m_entries.push_back(std::move(entry));
    }
}

bool CAlarmStore::Save() {
    Registry* registry = Registry::OfDevice();
    // One commit for all values: one disk sync instead of five per alarm.
    RegistryTransaction transaction(registry);
    using namespace profile;
    Profile values = ProgramProfile();
    bool written = values.Write(kAlarmCount, GetCount());
    for (size_t i = 0; written && i < m_entries.size(); ++i) {
        const AlarmEntry& entry = m_entries[i];
        const auto text = [&](std::string_view stem, std::string_view value) {
            return values.WriteString(kAlarmSection, ValueName(stem, i), value);
        };
        const auto number = [&](std::string_view stem, int32_t value) {
            return values.WriteInt(kAlarmSection, ValueName(stem, i), value);
        };
        written =
            text(kAlarmFileName, entry.FileName) && text(kAlarmTime, FormatAlarmTime(entry.Time)) &&
            number(kAlarmRepeat, static_cast<int32_t>(entry.Repeat)) &&
            text(kAlarmWaveFile, entry.WaveFile) && number(kAlarmWaveRepeat, entry.WaveRepeat);
    }
    if (!written || !transaction.Commit()) return false;
    m_stored = m_entries;
    m_rungUnstored.clear();  // what was rung is out of the profile now
    m_nStoredVersion = registry->DataVersion();
    return true;
}

void CAlarmStore::SetAlarm(std::string_view fileName, const SYSTEMTIME& time, AlarmRepeat repeat,
                           std::string_view waveFile, int32_t waveRepeat) {
    AlarmEntry entry{std::string(fileName), time, repeat, std::string(waveFile), waveRepeat};
    const int found = FindByFile(fileName);
    if (found >= 0) {
        m_entries[static_cast<size_t>(found)] = std::move(entry);
    } else {
        m_entries.push_back(std::move(entry));
    }
    // Inside Update the change is scheduled once, when it is stored.
    if (!m_bInUpdate) Schedule(CurrentMinute());
}

void CAlarmStore::RemoveAt(int index) {
    if (index < 0 || index >= GetCount()) return;
    m_entries.erase(m_entries.begin() + index);
}

int CAlarmStore::FindByFile(std::string_view fileName) const {
    for (size_t i = 0; i < m_entries.size(); ++i) {
        if (m_entries[i].FileName == fileName) return static_cast<int>(i);
    }
    return -1;
}

int CAlarmStore::FindByTime(const SYSTEMTIME& time) const {
    for (size_t i = 0; i < m_entries.size(); ++i) {
        if (IsSameTime(m_entries[i].Time, time)) return static_cast<int>(i);
    }
    return -1;
}

int CAlarmStore::FindDue(const SYSTEMTIME& now) const {
    SYSTEMTIME requested{};
    return ::FindDue(m_entries, now, GetRunAppAtTimeRequest(requested) ? &requested : nullptr);
}

void CAlarmStore::Schedule(const SYSTEMTIME& now) const {
    const int earliest = FindEarliest(m_entries, now);
    // Unrecorded, the request is made again at the store's next change or the next start.
    if (earliest < 0) {
        (void)RunAppAtTime(GetModuleFileName(), nullptr);
        return;
    }
    const SYSTEMTIME next = NextOccurrence(m_entries[static_cast<size_t>(earliest)], now);
    (void)RunAppAtTime(GetModuleFileName(), &next);
}

void CAlarmStore::ReadAgainIfChanged() {
    const Registry* registry = Registry::OfDevice();
    // Without a registry (or with one that cannot say now) there is nothing newer to read,
    // and reading would empty the store. What is stored, as it is: alarms of vanished memos
    // go only at the next start.
    const int64_t version = registry != nullptr ? registry->DataVersion() : -1;
    if (version < 0 || version == m_nStoredVersion) return;
    std::vector<AlarmEntry> stored;
    if (ReadProfile(stored) && stored != m_stored) Adopt(std::move(stored), false);
}

bool CAlarmStore::Update(const std::function<void(CAlarmStore&)>& change) {
    bool stored = false;
    {
        RegistryTransaction transaction(Registry::OfDevice());
        ReadAgainIfChanged();
        const std::vector<AlarmEntry> before = m_stored;
        const std::vector<AlarmEntry> rung = m_rungUnstored;
        m_bInUpdate = true;
        change(*this);
        m_bInUpdate = false;
        stored = transaction.IsOpen() && Save() && transaction.Commit();
        if (!stored) KeepStored(before, rung);
    }
    Schedule(CurrentMinute());
    return stored;
}

void CAlarmStore::KeepStored(const std::vector<AlarmEntry>& stored,
                             const std::vector<AlarmEntry>& rungUnstored) {
    m_rungUnstored = rungUnstored;
    Adopt(stored, false);
    m_nStoredVersion = -1;  // read again as soon as the profile can say what it holds
}

std::optional<AlarmEntry> CAlarmStore::TakeDue(const std::function<int(const CAlarmStore&)>& select,
                                               bool* stored) {
    std::optional<AlarmEntry> taken;
    bool committed = false;
    {
        RegistryTransaction transaction(Registry::OfDevice());
        ReadAgainIfChanged();
        const int index = select(*this);
        if (index < 0 || index >= GetCount()) return std::nullopt;
        const std::vector<AlarmEntry> before = m_stored;
        std::vector<AlarmEntry> rung = m_rungUnstored;
        taken = GetAt(index);
        RemoveAt(index);
        // Another alarm of the same minute is then requested anew, and rings too.
        committed =
            transaction.IsOpen() && Save() && TakeRunAppAtTimeRequest() && transaction.Commit();
        if (!committed) {
            // It rings all the same, once: kept out until the profile can be told.
            rung.push_back(*taken);
            KeepStored(before, rung);
        }
    }
    if (stored != nullptr) *stored = committed;
    Schedule(CurrentMinute());
    return taken;
}
