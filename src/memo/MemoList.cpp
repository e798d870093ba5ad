#include "MemoList.h"

namespace {

// Positions 1 to n stand for entries 0 to n - 1.
void SiftDown(std::vector<MemoEntry>& list, MemoEntry value, size_t hole, size_t last) {
    const auto at = [&list](size_t position) -> MemoEntry& { return list[position - 1]; };
    size_t child = 2 * hole;
    while (child <= last) {
        if (child < last && at(child + 1).time < at(child).time) {
            ++child;
        }
        if (!(at(child).time < value.time)) {
            break;
        }
        at(hole) = std::move(at(child));
        hole = child;
        child = 2 * child;
    }
    at(hole) = std::move(value);
}

}  // namespace

void SortMemoList(std::vector<MemoEntry>& list) {
    size_t count = list.size();
    for (size_t k = count / 2; k >= 1; --k) {
        SiftDown(list, list[k - 1], k, count);
    }
    while (count > 1) {
        MemoEntry value = std::move(list[count - 1]);
        list[count - 1] = std::move(list[0]);
        --count;
        SiftDown(list, std::move(value), 1, count);
    }
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
