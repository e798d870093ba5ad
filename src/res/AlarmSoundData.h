#pragma once

#include <string_view>
#include <vector>

// One of the program's own alarm sounds: its file name in \Windows and its WAV bytes.
struct BundledSound {
    std::string_view fileName;
    std::string_view bytes;
};

// Made while building by the sound generator in tools/.
const std::vector<BundledSound>& BundledAlarmSounds();
