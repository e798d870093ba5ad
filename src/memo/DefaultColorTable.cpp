#include "DefaultColorTable.h"

#include <cstddef>

namespace {

// Entries as the bytes (b0, b1, b2) that stand in the file; b0 is blue.
constexpr RGBQUAD Entry(uint8_t b0, uint8_t b1, uint8_t b2) {
    return {b0, b1, b2, 0};
}

std::array<RGBQUAD, 256> Build() {
    std::array<RGBQUAD, 256> table{};
    size_t next = 0;
    for (const RGBQUAD& entry :
         {Entry(0, 0, 0), Entry(128, 0, 0), Entry(0, 128, 0), Entry(128, 128, 0), Entry(0, 0, 128),
          Entry(128, 0, 128), Entry(0, 128, 128), Entry(192, 192, 192), Entry(192, 220, 192),
          Entry(166, 202, 240)}) {
        table[next++] = entry;
    }
    // The cube leaves out the four colours that the reserved entries already hold.
    static constexpr uint8_t kLevels[] = {0, 44, 86, 135, 192, 255};
    for (uint8_t b2 : kLevels) {
        for (uint8_t b1 : kLevels) {
            for (uint8_t b0 : kLevels) {
                const RGBQUAD entry = Entry(b0, b1, b2);
                if (entry == Entry(0, 0, 0) || entry == Entry(192, 192, 192) ||
                    entry == Entry(0, 255, 255) || entry == Entry(255, 255, 255)) {
                    continue;
                }
                table[next++] = entry;
            }
        }
    }
    table[next++] = Entry(255, 255, 255);
    static constexpr uint8_t kGreys[] = {17,  24,  30,  37,  44,  52,  60,  68,  77,  86,  95,
                                         105, 114, 125, 146, 157, 168, 180, 204, 216, 229, 242};
    for (uint8_t grey : kGreys) {
        table[next++] = Entry(grey, grey, grey);
    }
    table[next++] = Entry(255, 255, 255);
    for (const RGBQUAD& entry :
         {Entry(255, 251, 240), Entry(160, 160, 164), Entry(128, 128, 128), Entry(255, 0, 0),
          Entry(0, 255, 0), Entry(255, 255, 0), Entry(0, 0, 255), Entry(255, 0, 255),
          Entry(0, 255, 255), Entry(255, 255, 255)}) {
        table[next++] = entry;
    }
    return table;
}

}  // namespace

const std::array<RGBQUAD, 256>& DefaultColorTable() {
    static const std::array<RGBQUAD, 256> table = Build();
    return table;
}
