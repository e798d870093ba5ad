#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/base/Time.h"

// One memo of the save folder: its file name as the file system reports it, and its
// last-write time in whole seconds of local time.
struct MemoEntry {
    std::string name;
    int64_t time;
};

// Newest first, by the heap sort whose exact steps decide the order of memos written in
// the same second: three of equal time enumerated first, second, third come out second,
// third, first.
void SortMemoList(std::vector<MemoEntry>& list);

// A local time record as seconds since 1970-01-01 of the same local calendar; the order is
// what matters.
int64_t LocalSeconds(const SYSTEMTIME& time);
// The other way: the local time record of such a count (all zero when it names none).
SYSTEMTIME LocalTimeOfSeconds(int64_t seconds);

// What follows the last "\" in the part of `path` before its last "."; a path with no "."
// gives its last name whole.
std::string MemoTitleOfPath(std::string_view path);
