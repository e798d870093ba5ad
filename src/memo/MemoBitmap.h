#pragma once

#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <string_view>

#include "platform/base/Object.h"
#include "platform/fs/ReplacingFile.h"
#include "platform/gdi/DC.h"
#include "platform/gdi/GdiObjects.h"
#include "platform/gdi/Surface.h"

// An info header followed by room for its colour table, as a BMP file lays them out.
struct BITMAPINFO {
    BITMAPINFOHEADER bmiHeader;
    RGBQUAD bmiColors[256];
};

class MemoSource;

// The memo canvas: one picture as a device-independent bitmap, read from and written to a
// BMP file, and copied onto device contexts unscaled or scaled.
class CMemoBitmap : public CObject {
  public:
    CMemoBitmap();
    ~CMemoBitmap() override;
    CMemoBitmap(const CMemoBitmap&) = delete;
    CMemoBitmap& operator=(const CMemoBitmap&) = delete;

    // Entries of the colour table between the info header and the pixels.
    static uint32_t ColorTableSize(uint32_t bitsPerPixel, uint32_t compression);
    // Bytes in one pixel row, rounded up to whole 32-bit words.
    static uint64_t RowStride(int64_t width, int64_t bitsPerPixel);

    void Reset();
    [[nodiscard]] bool CreateFromBitmap(CBitmap* source);
    // `pixels` must hold the image-size bytes the header names (the whole store when 0).
    [[nodiscard]] bool CreateFromDib(const BITMAPINFO* info, std::span<const uint8_t> pixels);
    // `identity`, when given, gets the identity of the file that was opened, also when its
    // content was refused, and stays unknown when nothing could be opened.
    [[nodiscard]] bool LoadFile(std::string_view path, FileIdentity* identity = nullptr);
    // `identity`, when given, gets the identity of the file as written.
    [[nodiscard]] bool SaveFile(std::string_view path, FileIdentity* identity = nullptr);
    // The same, but only while the file under `path` is still `expected`, or nothing (an
    // unknown `expected`: only while nothing is there). Never throws.
    [[nodiscard]] CReplacingFile::Outcome SaveFileIfUnchanged(std::string_view path, const FileIdentity& expected,
                                                FileIdentity* identity);
    // A memo file's bytes already in memory, checked as LoadFile checks a file.
    [[nodiscard]] bool LoadBytes(std::string_view bytes);
    // The bytes SaveFile writes; empty for an empty canvas.
    std::string EncodeFile() const;
    // What a memo file holds before its pixels, for a picture of this header and colours.
    static std::string EncodeHeaders(const BITMAPINFOHEADER& header,
                                     std::span<const RGBQUAD> colors);

    [[nodiscard]] bool Draw(CDC* target, int32_t x, int32_t y);
    [[nodiscard]] bool StretchDraw(CDC* target, int32_t x, int32_t y, int32_t width, int32_t height);

    [[nodiscard]] bool BuildPalette();
    [[nodiscard]] bool MakeDefaultPalette(int count);
    static unsigned ReadColorTable(CDC* context, unsigned count, RGBQUAD* colors);

    CDC* GetDrawingDC(CDC* target);
    void ReleaseDrawingDC();

    int32_t Width() const { return m_header.biWidth; }
    // Negative for a picture stored top row first.
    int32_t Height() const { return m_header.biHeight; }
    CBitmap* GetBitmap() { return m_bitmap.GetSurface() != nullptr ? &m_bitmap : nullptr; }

    const BITMAPINFOHEADER& Header() const { return m_header; }
    uint32_t ColorCount() const { return m_nColors; }
    std::span<const RGBQUAD> ColorTable() const { return {m_colorTable, m_nColors}; }
    const CPalette& Palette() const { return m_palette; }
    const uint8_t* Bits() const { return m_pBits; }

  private:
    [[nodiscard]] bool WriteInto(CReplacingFile& file) const;
    [[nodiscard]] bool LoadFrom(MemoSource& source);
    // Makes the store from the header and lets `fill` write its pixels; false from `fill`
    // leaves the canvas empty.
    [[nodiscard]] bool CreateWith(const BITMAPINFO* info, const std::function<bool(std::span<uint8_t>)>& fill);
    [[nodiscard]] bool CopyPicture(CBitmap* source, int32_t width, int32_t height);

    CBitmap m_bitmap;
    BITMAPINFOHEADER m_header{};
    RGBQUAD m_colorTable[256]{};
    uint8_t* m_pBits = nullptr;
    uint32_t m_nColors = 0;
    CDC m_dc;
    CPalette m_palette;
    CPalette* m_pOldPalette = nullptr;
    CBitmap* m_pOldBitmap = nullptr;
};
