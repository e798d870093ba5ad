#pragma once

#include <cstdint>
#include <string>
#include <vector>

// A BMP file written field by field, so that each test can spoil exactly one field.
struct BmpBytes {
    uint16_t type = 0x4D42;
    int64_t fileSize = -1;     // -1: computed from the parts
    uint32_t pixelOffset = 0;  // 0: right after the colour table
    uint32_t headerSize = 40;
    int32_t width = 2;
    int32_t height = 2;
    uint16_t planes = 1;
    uint16_t bits = 8;
    uint32_t compression = 0;
    uint32_t imageSize = 0;
    int32_t xResolution = 0;
    int32_t yResolution = 0;
    uint32_t colorsUsed = 0;
    uint32_t colorsImportant = 0;
    std::string table;  // the bytes after the info header
    std::string gap;    // bytes between the table and the pixels
    std::string pixels;

    std::string Build() const {
        std::string out;
        const auto put = [&out](uint64_t value, int bytes) {
            for (int i = 0; i < bytes; ++i) out += static_cast<char>(value >> (8 * i) & 0xFF);
        };
        const uint32_t offset = pixelOffset != 0
                                    ? pixelOffset
                                    : static_cast<uint32_t>(14 + 40 + table.size() + gap.size());
        const uint64_t size =
            fileSize >= 0 ? static_cast<uint64_t>(fileSize) : offset + pixels.size();
        put(type, 2), put(size, 4), put(0, 2), put(0, 2), put(offset, 4);
        put(headerSize, 4), put(static_cast<uint32_t>(width), 4),
            put(static_cast<uint32_t>(height), 4);
        put(planes, 2), put(bits, 2), put(compression, 4), put(imageSize, 4);
        put(static_cast<uint32_t>(xResolution), 4), put(static_cast<uint32_t>(yResolution), 4);
        put(colorsUsed, 4), put(colorsImportant, 4);
        return out + table + gap + pixels;
    }
};

inline std::string Le32(uint32_t value) {
    std::string out;
    for (int i = 0; i < 4; ++i) out += static_cast<char>(value >> (8 * i) & 0xFF);
    return out;
}

inline uint32_t ReadLe32(const std::string& bytes, size_t at) {
    uint32_t value = 0;
    for (int i = 3; i >= 0; --i)
        value = value << 8 | static_cast<uint8_t>(bytes[at + static_cast<size_t>(i)]);
    return value;
}
