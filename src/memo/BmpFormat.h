#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/gdi/Surface.h"

// The two headers of a BMP file, little-endian on disk whatever the host.
constexpr size_t kBmpFileHeaderSize = 14;
constexpr size_t kBmpInfoHeaderSize = 40;
constexpr uint16_t kBmpType = 0x4D42;  // "BM"

struct BmpFileHeader {
    uint16_t type = kBmpType;
    uint32_t fileSize = 0;
    uint16_t reserved1 = 0;
    uint16_t reserved2 = 0;
    uint32_t pixelOffset = 0;
};

void EncodeFileHeader(const BmpFileHeader& header, uint8_t (&bytes)[kBmpFileHeaderSize]);
BmpFileHeader DecodeFileHeader(const uint8_t (&bytes)[kBmpFileHeaderSize]);
void EncodeInfoHeader(const BITMAPINFOHEADER& header, uint8_t* bytes);
BITMAPINFOHEADER DecodeInfoHeader(const uint8_t* bytes);
