#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/base/Time.h"

// One memo of the save folder: its file name as the file system reports it, and its
// last-write time in whole seconds of local time.
struct MemoEntry {
    std::string name;
    int64_t time;
};

// Sorts `list` so that no element is followed by a newer one, where `older(a, b)` tells
// whether a is strictly older than b, by the heap sort whose exact steps decide the order
// of equals: three equal ones found first, second, third come out second, third, first.
template <typename T, typename Older>
void HeapSortNewestFirst(std::vector<T>& list, Older older) {
    // Positions 1 to n stand for elements 0 to n - 1.
    const auto siftDown = [&](T value, size_t hole, size_t last) {
        const auto at = [&list](size_t position) -> T& { return list[position - 1]; };
        size_t child = 2 * hole;
        while (child <= last) {
            if (child < last && older(at(child + 1), at(child))) ++child;
            if (!older(at(child), value)) break;
            at(hole) = std::move(at(child));
            hole = child;
            child = 2 * child;
        }
        at(hole) = std::move(value);
    };
    size_t count = list.size();
    for (size_t k = count / 2; k >= 1; --k) siftDown(list[k - 1], k, count);
    while (count > 1) {
        T value = std::move(list[count - 1]);
        list[count - 1] = std::move(list[0]);
        --count;
        siftDown(std::move(value), 1, count);
    }
}

// Newest first, equal times in the heap sort's order.
void SortMemoList(std::vector<MemoEntry>& list);

// A local time record as seconds since 1970-01-01 of the same local calendar; the order is
// what matters.
int64_t LocalSeconds(const SYSTEMTIME& time);
// The other way: the local time record of such a count (all zero when it names none).
SYSTEMTIME LocalTimeOfSeconds(int64_t seconds);

// What follows the last "\" in the part of `path` before its last "."; a path with no "."
// gives its last name whole.
std::string MemoTitleOfPath(std::string_view path);
