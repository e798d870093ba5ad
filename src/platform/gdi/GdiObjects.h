#pragma once

#include <memory>
#include <span>
#include <vector>

#include "platform/gdi/Color.h"
#include "platform/gdi/Surface.h"

constexpr int PS_SOLID = 0;
constexpr int PS_NULL = 5;

// A pen: solid lines of a width in pixels, or no line at all.
class CPen {
  public:
    CPen() = default;
    CPen(int style, int width, COLORREF color) { CreatePen(style, width, color); }
    bool CreatePen(int style, int width, COLORREF color);
    void DeleteObject() { m_bCreated = false; }
    bool IsCreated() const { return m_bCreated; }

    bool IsNull() const { return m_nStyle == PS_NULL; }
    int Width() const { return m_nWidth; }
    COLORREF Color() const { return m_color; }

  private:
    bool m_bCreated = false;
    int m_nStyle = PS_SOLID;
    int m_nWidth = 1;
    COLORREF m_color = 0;
};

// A solid brush, or the null brush that fills nothing.
class CBrush {
  public:
    CBrush() = default;
    explicit CBrush(COLORREF color) { CreateSolidBrush(color); }
    bool CreateSolidBrush(COLORREF color);
    void DeleteObject() { m_bCreated = false; }
    bool IsCreated() const { return m_bCreated; }

    bool IsNull() const { return m_bNull; }
    COLORREF Color() const { return m_color; }

  private:
    friend CBrush* MakeNullBrush();
    bool m_bCreated = false;
    bool m_bNull = false;
    COLORREF m_color = 0;
};

// A bitmap object owning its pixel store.
class CBitmap {
  public:
    CBitmap() = default;
    // A DIB section from an info header and its colour table (or masks); false when the
    // platform cannot make one, leaving the object empty.
    [[nodiscard]] bool CreateDIBSection(const BITMAPINFOHEADER& header,
                                        std::span<const RGBQUAD> table);
    [[nodiscard]] bool Attach(std::unique_ptr<Surface> surface);
    void DeleteObject() { m_surface.reset(); }

    Surface* GetSurface() { return m_surface.get(); }
    const Surface* GetSurface() const { return m_surface.get(); }

  private:
    std::unique_ptr<Surface> m_surface;
};

// A logical palette. Surfaces are never palette-based here, so a palette only carries its
// entries for those who ask.
class CPalette {
  public:
    [[nodiscard]] bool CreatePalette(std::span<const PALETTEENTRY> entries);
    void DeleteObject() { m_entries.clear(); }
    bool IsCreated() const { return !m_entries.empty(); }
    int GetEntryCount() const { return static_cast<int>(m_entries.size()); }
    const std::vector<PALETTEENTRY>& Entries() const { return m_entries; }

  private:
    std::vector<PALETTEENTRY> m_entries;
};

class CFont;

enum StockObject { BLACK_PEN, WHITE_PEN, NULL_PEN, WHITE_BRUSH, BLACK_BRUSH, NULL_BRUSH };

CPen* GetStockPen(StockObject which);
CBrush* GetStockBrush(StockObject which);
CFont* GetSystemFont();
CPalette* GetDefaultPalette();
// The 1 x 1 monochrome bitmap that a new memory context holds.
CBitmap* GetStockBitmap();
