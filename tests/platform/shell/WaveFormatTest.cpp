#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "platform/shell/WaveFormat.h"
#include "support/TempDevice.h"

namespace {

std::string Le32(uint32_t v) {
    return {static_cast<char>(v), static_cast<char>(v >> 8), static_cast<char>(v >> 16),
            static_cast<char>(v >> 24)};
}

std::string Format(uint16_t format, uint16_t channels, uint32_t rate, uint16_t bits) {
    std::string body = {static_cast<char>(format), static_cast<char>(format >> 8),
                        static_cast<char>(channels), 0};
    body += Le32(rate) + Le32(rate * channels * bits / 8);
    body += {static_cast<char>(channels * bits / 8), 0, static_cast<char>(bits), 0};
    return "fmt " + Le32(16) + body;
}

std::string Riff(const std::string& chunks) {
    return "RIFF" + Le32(static_cast<uint32_t>(4 + chunks.size())) + "WAVE" + chunks;
}

}  // namespace

TEST(WaveFormat, ReadsTheHeaderOfWholePcmFilesOnly) {
    const std::string samples(44100, '\0');  // half a second of 22,050 Hz 16-bit mono
    const std::string data = "data" + Le32(44100) + samples;
    const struct {
        const char* what;
        std::string bytes;
        bool playable;
    } cases[] = {
        {"plain", Riff(Format(1, 1, 22050, 16) + data), true},
        {"an odd chunk before the format", Riff("LIST" + Le32(3) + "abc" + std::string(1, '\0') +
                                                Format(1, 1, 22050, 16) + data),
         true},
        {"cut short", Riff(Format(1, 1, 22050, 16) + data).substr(0, 1000), false},
        {"no samples", Riff(Format(1, 1, 22050, 16) + "data" + Le32(0)), false},
        {"data before format", Riff(data + Format(1, 1, 22050, 16)), false},
        {"compressed", Riff(Format(2, 1, 22050, 16) + data), false},
        {"no channels", Riff(Format(1, 0, 22050, 16) + data), false},
        {"not RIFF", "RIFX" + Riff(Format(1, 1, 22050, 16) + data).substr(4), false},
        {"empty", "", false},
        {"a chunk size beyond the file", Riff("JUNK" + Le32(0xFFFFFFF0u) + data), false},
    };
    for (const auto& c : cases) {
        const auto info = ReadWaveInfo(c.bytes);
        EXPECT_EQ(info.has_value(), c.playable) << c.what;
        if (info) {
            EXPECT_EQ(info->DurationMs(), 1000u) << c.what;
        }
    }
}

TEST(WaveFormat, NeedsOnlyTheHeadOfALongFile) {
    const std::string head = Riff(Format(1, 2, 44100, 16) + "data" + Le32(44100 * 4 * 60));
    const auto info = ReadWaveInfo(head, head.size() + 44100 * 4 * 60);
    ASSERT_TRUE(info);
    EXPECT_EQ(info->DurationMs(), 60000u);
    EXPECT_FALSE(ReadWaveInfo(head, head.size() + 100)) << "a file shorter than it says";
}

// Every input kept from fuzzing the reader (and any that ever crashed it): refused, or taken
// with its samples inside the file.
TEST(WaveFormat, KeptInputsReadSafely) {
    int files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(QUILLO_WAVE_INPUTS)) {
        ++files;
        const std::string bytes = ReadHostFile(entry.path());
        const auto info = ReadWaveInfo(bytes);
        if (!info) continue;
        EXPECT_LE(uint64_t{info->dataOffset} + info->dataBytes, bytes.size())
            << entry.path().filename();
    }
    EXPECT_GT(files, 0);
}
