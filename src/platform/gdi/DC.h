#pragma once

#include <functional>
#include <span>
#include <string_view>

#include "platform/gdi/ClipRegion.h"
#include "platform/gdi/Color.h"
#include "platform/gdi/GdiObjects.h"
#include "platform/gdi/Geometry.h"
#include "platform/gdi/LineRaster.h"

class CFont;

constexpr int TRANSPARENT = 1;
constexpr int OPAQUE = 2;
constexpr uint32_t SRCCOPY = 0x00CC0020;
constexpr COLORREF CLR_INVALID = 0xFFFFFFFF;

// A device context: drawing state (pen, brush, font, colours, clip, current position) over
// one pixel surface. A memory context draws into the bitmap selected into it; a window's
// context draws into the window's backing surface and reports what changed, so the window
// can show it at once.
class CDC {
  public:
    CDC();
    virtual ~CDC();
    CDC(const CDC&) = delete;
    CDC& operator=(const CDC&) = delete;

    // A memory context compatible with `reference` (or the screen for null). It holds the
    // stock 1 x 1 bitmap until a bitmap is selected.
    bool CreateCompatibleDC(CDC* reference);
    void DeleteDC();
    // Draws straight onto `surface`; `changed` hears every rectangle drawing touched.
    void AttachSurface(Surface* surface, std::function<void(const CRect&)> changed = {});
    bool IsValid() const { return m_bValid; }

    CBitmap* SelectObject(CBitmap* bitmap);
    CPen* SelectObject(CPen* pen);
    CBrush* SelectObject(CBrush* brush);
    CFont* SelectObject(CFont* font);
    CPalette* SelectPalette(CPalette* palette, bool forceBackground);
    unsigned RealizePalette();
    // Surfaces here are never palette-based: every one shows any colour.
    bool IsPaletteDevice() const { return false; }

    CBitmap* GetCurrentBitmap() const { return m_pBitmap; }
    Surface* GetSurface() const;

    COLORREF SetTextColor(COLORREF color);
    COLORREF SetBkColor(COLORREF color);
    int SetBkMode(int mode);

    CPoint MoveTo(int32_t x, int32_t y);
    bool LineTo(int32_t x, int32_t y);
    // Lines through `points` in turn with the pen, as LineTo would draw them, each pixel set
    // once; the current position is neither used nor moved.
    bool Polyline(std::span<const CPoint> points);
    // The same in the pen's colour, with a width of its own at each point (see
    // RasterTaperedPolyline); a single point is a round dot.
    bool TaperedPolyline(std::span<const CPoint> points, std::span<const double> widths);
    COLORREF SetPixel(int32_t x, int32_t y, COLORREF color);
    COLORREF GetPixel(int32_t x, int32_t y) const;
    void FillRect(const CRect& rect, const CBrush* brush);
    void FillSolidRect(const CRect& rect, COLORREF color);
    void FrameRect(const CRect& rect, const CBrush* brush);
    void InvertRect(const CRect& rect);
    // Outline with the pen, inside with the brush; with the null pen the filled area is
    // one pixel narrower and shorter, as the device does it.
    bool Rectangle(int32_t left, int32_t top, int32_t right, int32_t bottom);
    // Text with its top-left corner at (x, y) in the selected font, text colour and, when
    // opaque, the background colour behind the characters.
    bool TextOut(int32_t x, int32_t y, std::string_view text);
    CSize GetTextExtent(std::string_view text) const;

    [[nodiscard]] bool BitBlt(int32_t x, int32_t y, int32_t width, int32_t height,
                              const CDC* source, int32_t sx, int32_t sy, uint32_t rop);
    [[nodiscard]] bool StretchBlt(int32_t x, int32_t y, int32_t width, int32_t height,
                                  const CDC* source, int32_t sx, int32_t sy, int32_t sourceWidth,
                                  int32_t sourceHeight, uint32_t rop);

    void ExcludeClipRect(const CRect& rect) { m_clip.Exclude(rect); }

    // The colour table of the DIB section selected into this context: up to `count` entries
    // from `start`; the number read, 0 for a surface without a table.
    unsigned GetDIBColorTable(unsigned start, unsigned count, RGBQUAD* colors) const;

  private:
    void FillSpans(FunctionRef<void(const SpanSink&)> raster, uint32_t value);
    void Changed(const CRect& rect);
    const CFont& CurrentFont() const;

    bool m_bValid = false;
    Surface* m_pAttached = nullptr;
    CBitmap* m_pBitmap = nullptr;
    CPen* m_pPen;
    CBrush* m_pBrush;
    // Null stands for the system font, loaded only when text is first drawn or measured,
    // so neither start-up nor a stroke waits for the font files.
    CFont* m_pFont = nullptr;
    CPalette* m_pPalette;
    COLORREF m_crText = RGB(0, 0, 0);
    COLORREF m_crBack = RGB(255, 255, 255);
    int m_nBkMode = OPAQUE;
    CPoint m_ptCurrent;
    ClipRegion m_clip;
    std::function<void(const CRect&)> m_changed;
};
