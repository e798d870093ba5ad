#include "MemoBitmap.h"

#include <algorithm>
#include <cstring>
#include <functional>
#include <vector>

#include "memo/DefaultColorTable.h"

CMemoBitmap::CMemoBitmap() {
    Reset();
}

CMemoBitmap::~CMemoBitmap() {
    Reset();
}

uint32_t CMemoBitmap::ColorTableSize(uint32_t bitsPerPixel, uint32_t compression) {
    switch (bitsPerPixel) {
        case 1:
            return 2;
        case 2:
            return 4;
        case 4:
            return 16;
        case 8:
            return 256;
        case 16:
        case 24:
        case 32:
            return compression == BI_BITFIELDS ? 3 : 0;
        default:
            return 0;
    }
}

uint64_t CMemoBitmap::RowStride(int64_t width, int64_t bitsPerPixel) {
    return DibRowStride(width, bitsPerPixel);
}

void CMemoBitmap::Reset() {
    ReleaseDrawingDC();
    m_bitmap.DeleteObject();
    m_palette.DeleteObject();
    m_pBits = nullptr;
    m_header = {};
    std::memset(m_colorTable, 0, sizeof m_colorTable);
    m_nColors = 0;
}

bool CMemoBitmap::CreateFromDib(const BITMAPINFO* info, std::span<const uint8_t> pixels) {
    if (pixels.data() == nullptr) {
        Reset();
        return false;
    }
    // The store holds exactly its rows; an image size of 0 (any row order) means all of
    // them. Fewer given bytes than that are refused rather than read past; more are ignored.
    return CreateWith(info, [&](std::span<uint8_t> store) {
        const size_t wanted = m_header.biSizeImage == 0
                                  ? store.size()
                                  : std::min<size_t>(m_header.biSizeImage, store.size());
        if (pixels.size() < wanted) {
            return false;
        }
        std::memcpy(store.data(), pixels.data(), wanted);
        return true;
    });
}

bool CMemoBitmap::CreateWith(const BITMAPINFO* info,
                             const std::function<bool(std::span<uint8_t>)>& fill) {
    Reset();
    if (info == nullptr) {
        return false;
    }
    m_header = info->bmiHeader;
    m_nColors = ColorTableSize(m_header.biBitCount, m_header.biCompression);
    std::copy_n(info->bmiColors, m_nColors, m_colorTable);
    // Never left half made: whatever fails, the canvas is empty again.
    if (!m_bitmap.CreateDIBSection(m_header, ColorTable())) {
        Reset();
        return false;
    }
    Surface& store = *m_bitmap.GetSurface();
    m_pBits = store.Data();
    if (!fill({m_pBits, store.SizeBytes()})) {
        Reset();
        return false;
    }
    // The header names the store's own size, so a save writes what a load reads back.
    m_header.biSizeImage = static_cast<uint32_t>(store.SizeBytes());
    if (!BuildPalette()) {
        Reset();
        return false;
    }
    return true;
}

bool CMemoBitmap::CreateFromBitmap(CBitmap* source) {
    Reset();
    const Surface* picture = source != nullptr ? source->GetSurface() : nullptr;
    if (picture == nullptr) {
        return false;
    }
    const int32_t width = picture->Width();
    const int32_t height = picture->Height();  // already the absolute height
    const int bits = picture->BitsPerPixel();
    m_header.biSize = 40;
    m_header.biWidth = width;
    m_header.biHeight = height;
    m_header.biPlanes = 1;
    m_header.biBitCount = static_cast<uint16_t>(bits);
    m_header.biCompression = BI_RGB;
    m_header.biSizeImage =
        static_cast<uint32_t>(RowStride(width, bits) * static_cast<uint64_t>(height));
    m_nColors = ColorTableSize(static_cast<uint32_t>(bits), BI_RGB);
    std::copy_n(DefaultColorTable().begin(), std::min<uint32_t>(m_nColors, 256), m_colorTable);
    if (!m_bitmap.CreateDIBSection(m_header, ColorTable())) {
        Reset();
        return false;
    }
    m_pBits = m_bitmap.GetSurface()->Data();
    // Without a palette the picture still draws, by its colour table.
    (void)BuildPalette();
    if (!CopyPicture(source, width, height)) {
        Reset();
        return false;
    }
    return true;
}

// Every source pixel becomes the colour-table entry nearest to its colour.
bool CMemoBitmap::CopyPicture(CBitmap* source, int32_t width, int32_t height) {
    CDC sourceDC;
    CDC targetDC;
    if (!sourceDC.CreateCompatibleDC(nullptr) || !targetDC.CreateCompatibleDC(nullptr)) {
        return false;
    }
    CBitmap* oldSource = sourceDC.SelectObject(source);
    CBitmap* oldTarget = targetDC.SelectObject(&m_bitmap);
    CPalette* oldSourcePalette = sourceDC.SelectPalette(&m_palette, false);
    CPalette* oldTargetPalette = targetDC.SelectPalette(&m_palette, false);
    sourceDC.RealizePalette();
    targetDC.RealizePalette();
    const bool copied = targetDC.BitBlt(0, 0, width, height, &sourceDC, 0, 0, SRCCOPY);
    sourceDC.SelectPalette(oldSourcePalette, false);
    targetDC.SelectPalette(oldTargetPalette, false);
    sourceDC.SelectObject(oldSource);
    targetDC.SelectObject(oldTarget);
    return copied;
}
