#include "BmpFormat.h"

namespace {

template <typename T>
void Put(uint8_t*& out, T value) {
    const auto bits = static_cast<uint32_t>(value);
    for (size_t i = 0; i < sizeof(T); ++i) {
        *out++ = static_cast<uint8_t>(bits >> (8 * i));
    }
}

template <typename T>
T Get(const uint8_t*& in) {
    uint32_t bits = 0;
    for (size_t i = 0; i < sizeof(T); ++i) {
        bits |= static_cast<uint32_t>(*in++) << (8 * i);
    }
    return static_cast<T>(bits);
}

}  // namespace

void EncodeFileHeader(const BmpFileHeader& header, uint8_t (&bytes)[kBmpFileHeaderSize]) {
    uint8_t* out = bytes;
    Put(out, header.type);
    Put(out, header.fileSize);
    Put(out, header.reserved1);
    Put(out, header.reserved2);
    Put(out, header.pixelOffset);
}

BmpFileHeader DecodeFileHeader(const uint8_t (&bytes)[kBmpFileHeaderSize]) {
    const uint8_t* in = bytes;
    BmpFileHeader header;
    header.type = Get<uint16_t>(in);
    header.fileSize = Get<uint32_t>(in);
    header.reserved1 = Get<uint16_t>(in);
    header.reserved2 = Get<uint16_t>(in);
    header.pixelOffset = Get<uint32_t>(in);
    return header;
}

void EncodeInfoHeader(const BITMAPINFOHEADER& h, uint8_t* out) {
    Put(out, h.biSize);
    Put(out, h.biWidth);
    Put(out, h.biHeight);
    Put(out, h.biPlanes);
    Put(out, h.biBitCount);
    Put(out, h.biCompression);
    Put(out, h.biSizeImage);
    Put(out, h.biXPelsPerMeter);
    Put(out, h.biYPelsPerMeter);
    Put(out, h.biClrUsed);
    Put(out, h.biClrImportant);
}

BITMAPINFOHEADER DecodeInfoHeader(const uint8_t* in) {
    BITMAPINFOHEADER h{};
    h.biSize = Get<uint32_t>(in);
    h.biWidth = Get<int32_t>(in);
    h.biHeight = Get<int32_t>(in);
    h.biPlanes = Get<uint16_t>(in);
    h.biBitCount = Get<uint16_t>(in);
    h.biCompression = Get<uint32_t>(in);
    h.biSizeImage = Get<uint32_t>(in);
    h.biXPelsPerMeter = Get<int32_t>(in);
    h.biYPelsPerMeter = Get<int32_t>(in);
    h.biClrUsed = Get<uint32_t>(in);
    h.biClrImportant = Get<uint32_t>(in);
    return h;
}
