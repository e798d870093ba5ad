// Reads each input as the head of a sound file the user put into \Windows, whole and as the
// first bytes of a longer file: what is accepted must lie within the file and play.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "platform/shell/WaveFormat.h"

namespace {

void Check(const std::optional<WaveInfo>& info, uint64_t fileSize) {
    if (!info) return;
    if (info->channels == 0 || info->sampleRate == 0 || info->bitsPerSample == 0 ||
        info->dataBytes == 0 || uint64_t{info->dataOffset} + info->dataBytes > fileSize) {
        std::abort();
    }
    (void)info->DurationMs();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    Check(ReadWaveInfo(bytes), size);
    // The same bytes as the head of a file twice as long.
    Check(ReadWaveInfo(bytes, uint64_t{size} * 2), uint64_t{size} * 2);
    return 0;
}
