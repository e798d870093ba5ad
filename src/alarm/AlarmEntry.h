#pragma once

#include <cstdint>
#include <string>

#include "platform/base/Time.h"

// How an alarm comes round again once its base time has passed.
enum class AlarmRepeat : int32_t { None = 0, Hourly = 1, Daily = 2, Weekly = 3 };
// Their names, in the order of their values.
inline constexpr const char* kRepeatNames[] = {"なし", "時間単位", "日単位", "週単位"};

// One alarm, on one memo file: the file's full device path is its key.
struct AlarmEntry {
    std::string FileName;
    SYSTEMTIME Time{};  // when due; for a repeating alarm the base its repetitions count from
    AlarmRepeat Repeat = AlarmRepeat::None;
    std::string WaveFile;    // a sound of \Windows by name without extension; empty: silent
    int32_t WaveRepeat = 0;  // nonzero: the sound loops while the notice is open

    friend bool operator==(const AlarmEntry&, const AlarmEntry&) = default;
};
