// Showing the memo canvas: its display palette, its drawing context and the copies.
#include <algorithm>
#include <vector>

#include "memo/DefaultColorTable.h"
#include "memo/MemoBitmap.h"

namespace {

PALETTEENTRY ToPaletteEntry(const RGBQUAD& entry) {
    return {entry.rgbRed, entry.rgbGreen, entry.rgbBlue, 0};
}

}  // namespace

bool CMemoBitmap::MakeDefaultPalette(int count) {
    const auto& table = DefaultColorTable();
    std::vector<PALETTEENTRY> entries;
    if (count == 1 || count == 2) {
        entries = {ToPaletteEntry(table[0]), ToPaletteEntry(table[255])};
    } else if (count >= 3 && count <= 16) {
        for (size_t i = 0; i < 8; ++i) entries.push_back(ToPaletteEntry(table[i]));
        for (size_t i = 248; i < 256; ++i) entries.push_back(ToPaletteEntry(table[i]));
    } else {
        for (const RGBQUAD& entry : table) entries.push_back(ToPaletteEntry(entry));
    }
    return m_palette.CreatePalette(entries);
}

unsigned CMemoBitmap::ReadColorTable(CDC* context, unsigned count, RGBQUAD* colors) {
    // Sections report their colour table directly here; no probing of pixels is needed.
    const Surface* picture = context != nullptr ? context->GetSurface() : nullptr;
    if (picture == nullptr || picture->BitsPerPixel() > 8) {
        return 0;
    }
    const uint32_t used = picture->Header().biClrUsed;
    const unsigned available = used != 0 ? used : 1u << picture->BitsPerPixel();
    return context->GetDIBColorTable(0, std::min(available, count), colors);
}

bool CMemoBitmap::BuildPalette() {
    m_palette.DeleteObject();
    if (m_bitmap.GetSurface() == nullptr) {
        return false;
    }
    if (m_nColors == 0) {
        return MakeDefaultPalette(256);
    }
    std::vector<RGBQUAD> read(m_nColors);
    CDC context;
    if (!context.CreateCompatibleDC(nullptr)) {
        return MakeDefaultPalette(static_cast<int>(m_nColors));
    }
    CBitmap* previous = context.SelectObject(&m_bitmap);
    const unsigned count = ReadColorTable(&context, m_nColors, read.data());
    context.SelectObject(previous);
    if (count == 0) {
        return MakeDefaultPalette(static_cast<int>(m_nColors));
    }
    std::vector<PALETTEENTRY> entries(m_nColors, PALETTEENTRY{});
    std::transform(read.begin(), read.begin() + count, entries.begin(), ToPaletteEntry);
    return m_palette.CreatePalette(entries);
}

CDC* CMemoBitmap::GetDrawingDC(CDC* target) {
    ReleaseDrawingDC();
    if (m_bitmap.GetSurface() == nullptr || !m_dc.CreateCompatibleDC(target)) {
        return nullptr;
    }
    m_pOldBitmap = m_dc.SelectObject(&m_bitmap);
    m_pOldPalette = m_dc.SelectPalette(&m_palette, false);
    return &m_dc;
}

void CMemoBitmap::ReleaseDrawingDC() {
    if (!m_dc.IsValid()) {
        return;
    }
    m_dc.SelectPalette(m_pOldPalette, false);
    m_dc.SelectObject(m_pOldBitmap);
    m_dc.DeleteDC();
    m_pOldPalette = nullptr;
    m_pOldBitmap = nullptr;
}

// A top-down picture has a negative height in its header; it is copied all the same, with
// its rows the right way up.
bool CMemoBitmap::Draw(CDC* target, int32_t x, int32_t y) {
    const Surface* picture = m_bitmap.GetSurface();
    return picture != nullptr && StretchDraw(target, x, y, picture->Width(), picture->Height());
}

bool CMemoBitmap::StretchDraw(CDC* target, int32_t x, int32_t y, int32_t width, int32_t height) {
    const Surface* picture = m_bitmap.GetSurface();
    if (picture == nullptr || target == nullptr) {
        return false;
    }
    CDC* source = GetDrawingDC(target);
    if (source == nullptr) {
        return false;
    }
    CPalette* previous = nullptr;
    const bool usePalette = m_palette.IsCreated() && target->IsPaletteDevice();
    if (usePalette) {
        previous = target->SelectPalette(&m_palette, false);
        target->RealizePalette();
    }
    const bool unscaled = width == picture->Width() && height == picture->Height();
    const bool copied = unscaled ? target->BitBlt(x, y, width, height, source, 0, 0, SRCCOPY)
                                 : target->StretchBlt(x, y, width, height, source, 0, 0,
                                                      picture->Width(), picture->Height(), SRCCOPY);
    if (usePalette) {
        target->SelectPalette(previous, false);
    }
    ReleaseDrawingDC();
    return copied;
}
