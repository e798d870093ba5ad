#include "MemoList.h"

void SortMemoList(std::vector<MemoEntry>& list) {
    HeapSortNewestFirst(list,
                        [](const MemoEntry& a, const MemoEntry& b) { return a.time < b.time; });
}

int64_t LocalSeconds(const SYSTEMTIME& time) {
    FILETIME instant = 0;
    if (!SystemTimeToFileTime(time, instant)) {
        return 0;
    }
    return static_cast<int64_t>(instant / kFileTimeUnitsPerSecond) -
           static_cast<int64_t>(kUnixEpochAsFileTime / kFileTimeUnitsPerSecond);
}

SYSTEMTIME LocalTimeOfSeconds(int64_t seconds) {
    SYSTEMTIME time{};
    const int64_t sinceFileTimeEpoch =
        seconds + static_cast<int64_t>(kUnixEpochAsFileTime / kFileTimeUnitsPerSecond);
    if (sinceFileTimeEpoch < 0 ||
        !FileTimeToSystemTime(static_cast<FILETIME>(sinceFileTimeEpoch) * kFileTimeUnitsPerSecond,
                              time)) {
        return SYSTEMTIME{};
    }
    return time;
}

std::string MemoTitleOfPath(std::string_view path) {
    const size_t dot = path.rfind('.');
    const std::string_view stem = dot == std::string_view::npos ? path : path.substr(0, dot);
    const size_t separator = stem.rfind('\\');
    return std::string(separator == std::string_view::npos ? stem : stem.substr(separator + 1));
}
