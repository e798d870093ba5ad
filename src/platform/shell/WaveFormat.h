#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

// What a RIFF/WAVE file of PCM samples holds, read from its header.
struct WaveInfo {
    uint16_t channels = 0;
    uint32_t sampleRate = 0;
    uint16_t bitsPerSample = 0;
    uint32_t dataOffset = 0;
    uint32_t dataBytes = 0;
    // How long it plays, rounded up.
    uint32_t DurationMs() const;
};

// Null for anything that is not a whole, playable PCM WAVE file: no RIFF/WAVE header, no
// format or data chunk, no samples, or samples the file is too short to hold. `head` is
// the start of a file of `fileSize` bytes (the whole file, or enough to hold its chunk
// headers up to the samples).
[[nodiscard]] std::optional<WaveInfo> ReadWaveInfo(std::string_view head, uint64_t fileSize);
[[nodiscard]] inline std::optional<WaveInfo> ReadWaveInfo(std::string_view bytes) {
    return ReadWaveInfo(bytes, bytes.size());
}

// How much of a file ReadWaveInfo needs at most.
inline constexpr size_t kWaveHeadBytes = 65536;
