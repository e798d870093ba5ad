#include "WaveFormat.h"

namespace {

uint32_t Little32(std::string_view bytes, size_t at) {
    return static_cast<uint32_t>(static_cast<uint8_t>(bytes[at])) |
           static_cast<uint32_t>(static_cast<uint8_t>(bytes[at + 1])) << 8 |
           static_cast<uint32_t>(static_cast<uint8_t>(bytes[at + 2])) << 16 |
           static_cast<uint32_t>(static_cast<uint8_t>(bytes[at + 3])) << 24;
}

uint16_t Little16(std::string_view bytes, size_t at) {
    return static_cast<uint16_t>(static_cast<uint8_t>(bytes[at]) |
                                 static_cast<uint8_t>(bytes[at + 1]) << 8);
}

constexpr uint16_t kFormatPcm = 1;
constexpr uint16_t kFormatExtensible = 0xFFFE;

}  // namespace

uint32_t WaveInfo::DurationMs() const {
    const uint64_t bytesPerSecond = uint64_t{sampleRate} * channels * (bitsPerSample / 8);
    if (bytesPerSecond == 0) return 0;
    return static_cast<uint32_t>((uint64_t{dataBytes} * 1000 + bytesPerSecond - 1) /
                                 bytesPerSecond);
}

std::optional<WaveInfo> ReadWaveInfo(std::string_view bytes, uint64_t fileSize) {
    if (fileSize < bytes.size()) return std::nullopt;
    if (bytes.size() < 12 || bytes.substr(0, 4) != "RIFF" || bytes.substr(8, 4) != "WAVE") {
        return std::nullopt;
    }
    WaveInfo info;
    bool haveFormat = false;
    // Chunks follow one another, each padded to an even length.
    for (size_t at = 12; at + 8 <= bytes.size();) {
        const std::string_view id = bytes.substr(at, 4);
        const uint32_t size = Little32(bytes, at + 4);
        const size_t body = at + 8;
        if (id == "fmt " && size >= 16 && body + 16 <= bytes.size()) {
            const uint16_t format = Little16(bytes, body);
            info.channels = Little16(bytes, body + 2);
            info.sampleRate = Little32(bytes, body + 4);
            info.bitsPerSample = Little16(bytes, body + 14);
            haveFormat = (format == kFormatPcm || format == kFormatExtensible) &&
                         info.channels > 0 && info.sampleRate > 0 &&
                         (info.bitsPerSample == 8 || info.bitsPerSample == 16 ||
                          info.bitsPerSample == 24 || info.bitsPerSample == 32);
        } else if (id == "data") {
            // A file cut short holds fewer samples than it says: it is not played at all.
            if (!haveFormat || size == 0 || size > fileSize - body) return std::nullopt;
            info.dataOffset = static_cast<uint32_t>(body);
            info.dataBytes = size;
            return info;
        }
        if (size > fileSize - body) break;
        at = body + size + (size & 1);
    }
    return std::nullopt;
}
