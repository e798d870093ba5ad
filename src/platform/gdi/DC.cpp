#include "DC.h"

#include <utility>

#include "platform/base/Text.h"
#include "platform/gdi/Blit.h"
#include "platform/gdi/Font.h"
#include "platform/gdi/LineRaster.h"

CDC::CDC()
    : m_pPen(GetStockPen(BLACK_PEN)),
      m_pBrush(GetStockBrush(WHITE_BRUSH)),
      m_pPalette(GetDefaultPalette()) {}

CDC::~CDC() = default;

bool CDC::CreateCompatibleDC(CDC* /*reference: every surface here is alike*/) {
    DeleteDC();
    m_bValid = true;
    m_pBitmap = GetStockBitmap();
    return true;
}

void CDC::DeleteDC() {
    m_bValid = false;
    m_pAttached = nullptr;
    m_pBitmap = nullptr;
    m_changed = nullptr;
    m_clip.Reset();
}

void CDC::AttachSurface(Surface* surface, std::function<void(const CRect&)> changed) {
    DeleteDC();
    m_bValid = surface != nullptr;
    m_pAttached = surface;
    m_changed = std::move(changed);
}

Surface* CDC::GetSurface() const {
    if (m_pAttached != nullptr) {
        return m_pAttached;
    }
    return m_pBitmap != nullptr ? m_pBitmap->GetSurface() : nullptr;
}

CBitmap* CDC::SelectObject(CBitmap* bitmap) {
    if (!m_bValid || m_pAttached != nullptr || bitmap == nullptr) {
        return nullptr;
    }
    CBitmap* previous = m_pBitmap;
    m_pBitmap = bitmap;
    return previous;
}

CPen* CDC::SelectObject(CPen* pen) {
    CPen* previous = m_pPen;
    if (pen != nullptr) m_pPen = pen;
    return previous;
}

CBrush* CDC::SelectObject(CBrush* brush) {
    CBrush* previous = m_pBrush;
    if (brush != nullptr) m_pBrush = brush;
    return previous;
}

CFont* CDC::SelectObject(CFont* font) {
    CFont* previous = m_pFont != nullptr ? m_pFont : GetSystemFont();
    if (font != nullptr) m_pFont = font;
    return previous;
}

CPalette* CDC::SelectPalette(CPalette* palette, bool /*forceBackground*/) {
    CPalette* previous = m_pPalette;
    if (palette != nullptr) m_pPalette = palette;
    return previous;
}

unsigned CDC::RealizePalette() {
    return 0;  // nothing to map on a surface that is not palette-based
}

COLORREF CDC::SetTextColor(COLORREF color) {
    return std::exchange(m_crText, color & 0x00FFFFFF);
}

COLORREF CDC::SetBkColor(COLORREF color) {
    return std::exchange(m_crBack, color & 0x00FFFFFF);
}

int CDC::SetBkMode(int mode) {
    return std::exchange(m_nBkMode, mode == TRANSPARENT ? TRANSPARENT : OPAQUE);
}

void CDC::Changed(const CRect& rect) {
    if (m_changed && !rect.IsRectEmpty()) {
        m_changed(rect);
    }
}

void CDC::FillSpans(FunctionRef<void(const SpanSink&)> raster, uint32_t value) {
    Surface* surface = GetSurface();
    if (surface == nullptr) {
        return;
    }
    const CRect bounds = surface->Bounds();
    CRect changed;
    raster([&](int32_t y, int32_t x0, int32_t x1) {
        m_clip.ForEachSpan(bounds, y, x0, x1, [&](int32_t a, int32_t b) {
            surface->FillSpan(y, a, b, value);
            changed = CRect::Union(changed, {a, y, b, y + 1});
        });
    });
    Changed(changed);
}

CPoint CDC::MoveTo(int32_t x, int32_t y) {
    return std::exchange(m_ptCurrent, CPoint{x, y});
}

bool CDC::LineTo(int32_t x, int32_t y) {
    const CPoint line[] = {m_ptCurrent, {x, y}};
    m_ptCurrent = line[1];
    return Polyline(line);
}

bool CDC::Polyline(std::span<const CPoint> points) {
    Surface* surface = GetSurface();
    if (surface == nullptr || m_pPen->IsNull()) {
        return surface != nullptr;
    }
    const int width = m_pPen->Width();
    FillSpans(
        [&](const SpanSink& sink) {
            if (width > 1) {
                RasterWidePolyline(points, width, surface->Bounds(), sink);
                return;
            }
            for (size_t i = 1; i < points.size(); ++i)
                RasterThinLine(points[i - 1], points[i], sink);
        },
        surface->ToPixel(m_pPen->Color()));
    return true;
}

bool CDC::TaperedPolyline(std::span<const CPoint> points, std::span<const double> widths) {
    Surface* surface = GetSurface();
    if (surface == nullptr || m_pPen->IsNull()) {
        return surface != nullptr;
    }
    FillSpans(
        [&](const SpanSink& sink) {
            RasterTaperedPolyline(points, widths, surface->Bounds(), sink);
        },
        surface->ToPixel(m_pPen->Color()));
    return true;
}

COLORREF CDC::SetPixel(int32_t x, int32_t y, COLORREF color) {
    Surface* surface = GetSurface();
    if (surface == nullptr || !m_clip.Contains(surface->Bounds(), x, y)) {
        return CLR_INVALID;
    }
    const uint32_t value = surface->ToPixel(color);
    surface->SetPixelValue(x, y, value);
    Changed({x, y, x + 1, y + 1});
    return surface->ToColor(value);
}

COLORREF CDC::GetPixel(int32_t x, int32_t y) const {
    const Surface* surface = GetSurface();
    if (surface == nullptr || !m_clip.Contains(surface->Bounds(), x, y)) {
        return CLR_INVALID;
    }
    return surface->ToColor(surface->GetPixelValue(x, y));
}

void CDC::FillSolidRect(const CRect& rect, COLORREF color) {
    Surface* surface = GetSurface();
    if (surface == nullptr) {
        return;
    }
    FillSpans(
        [&](const SpanSink& sink) {
            const CRect area = CRect::Intersect(rect, surface->Bounds());
            for (int32_t y = area.top; y < area.bottom; ++y) sink(y, area.left, area.right);
        },
        surface->ToPixel(color));
}

void CDC::FillRect(const CRect& rect, const CBrush* brush) {
    if (brush != nullptr && !brush->IsNull()) {
        FillSolidRect(rect, brush->Color());
    }
}

void CDC::FrameRect(const CRect& rect, const CBrush* brush) {
    if (rect.IsRectEmpty()) {
        return;
    }
    FillRect({rect.left, rect.top, rect.right, rect.top + 1}, brush);
    FillRect({rect.left, rect.bottom - 1, rect.right, rect.bottom}, brush);
    FillRect({rect.left, rect.top + 1, rect.left + 1, rect.bottom - 1}, brush);
    FillRect({rect.right - 1, rect.top + 1, rect.right, rect.bottom - 1}, brush);
}

void CDC::InvertRect(const CRect& rect) {
    Surface* surface = GetSurface();
    if (surface == nullptr) {
        return;
    }
    const CRect area = CRect::Intersect(rect, surface->Bounds());
    CRect changed;
    for (int32_t y = area.top; y < area.bottom; ++y) {
        m_clip.ForEachSpan(area, y, area.left, area.right, [&](int32_t a, int32_t b) {
            surface->InvertSpan(y, a, b);
            changed = CRect::Union(changed, {a, y, b, y + 1});
        });
    }
    Changed(changed);
}

bool CDC::Rectangle(int32_t left, int32_t top, int32_t right, int32_t bottom) {
    if (GetSurface() == nullptr) {
        return false;
    }
    if (m_pPen->IsNull()) {
        FillRect({left, top, right - 1, bottom - 1}, m_pBrush);
        return true;
    }
    const int inset = m_pPen->Width() / 2 + 1;
    FillRect({left + inset, top + inset, right - inset, bottom - inset}, m_pBrush);
    if (m_pPen->Width() <= 1) {
        CBrush outline(m_pPen->Color());
        FrameRect({left, top, right, bottom}, &outline);
    } else {
        const CPoint saved = MoveTo(left, top);
        LineTo(right - 1, top);
        LineTo(right - 1, bottom - 1);
        LineTo(left, bottom - 1);
        LineTo(left, top);
        m_ptCurrent = saved;
    }
    return true;
}

const CFont& CDC::CurrentFont() const {
    return m_pFont != nullptr && m_pFont->IsCreated() ? *m_pFont : *GetSystemFont();
}

CSize CDC::GetTextExtent(std::string_view text) const {
    return CurrentFont().GetTextExtent(text);
}

bool CDC::TextOut(int32_t x, int32_t y, std::string_view text) {
    Surface* surface = GetSurface();
    if (surface == nullptr) {
        return false;
    }
    const CFont& font = CurrentFont();
    const CSize extent = font.GetTextExtent(text);
    // Report one rectangle for the whole text, not one per glyph pixel.
    auto changed = std::exchange(m_changed, nullptr);
    if (m_nBkMode == OPAQUE) {
        FillSolidRect({x, y, x + extent.cx, y + extent.cy}, m_crBack);
    }
    const uint32_t ink = surface->ToPixel(m_crText);
    const CRect bounds = surface->Bounds();
    int32_t penX = x;
    const int32_t baseline = y + font.Ascent();
    CRect inked;
    for (size_t pos = 0; pos < text.size();) {
        const Glyph* glyph = font.GetGlyph(DecodeUtf8(text, pos));
        if (glyph == nullptr) {
            break;
        }
        const int32_t left = penX + glyph->left;
        const int32_t top = baseline - glyph->top;
        for (int32_t row = 0; row < glyph->rows; ++row) {
            for (int32_t col = 0; col < glyph->width; ++col) {
                if (glyph->coverage[static_cast<size_t>(row) * static_cast<size_t>(glyph->width) +
                                    static_cast<size_t>(col)] != 0 &&
                    m_clip.Contains(bounds, left + col, top + row)) {
                    surface->SetPixelValue(left + col, top + row, ink);
                }
            }
        }
        inked = CRect::Union(inked, {left, top, left + glyph->width, top + glyph->rows});
        penX += glyph->advance;
    }
    m_changed = std::move(changed);
    Changed(CRect::Intersect(CRect::Union(inked, {x, y, x + extent.cx, y + extent.cy}), bounds));
    return true;
}

bool CDC::BitBlt(int32_t x, int32_t y, int32_t width, int32_t height, const CDC* source, int32_t sx,
                 int32_t sy, uint32_t rop) {
    Surface* target = GetSurface();
    const Surface* from = source != nullptr ? source->GetSurface() : nullptr;
    if (target == nullptr || from == nullptr || rop != SRCCOPY) {
        return false;
    }
    Changed(CopyPixels(*target, m_clip, x, y, width, height, *from, sx, sy));
    return true;
}

bool CDC::StretchBlt(int32_t x, int32_t y, int32_t width, int32_t height, const CDC* source,
                     int32_t sx, int32_t sy, int32_t sourceWidth, int32_t sourceHeight,
                     uint32_t rop) {
    Surface* target = GetSurface();
    const Surface* from = source != nullptr ? source->GetSurface() : nullptr;
    if (target == nullptr || from == nullptr || rop != SRCCOPY || width <= 0 || height <= 0 ||
        sourceWidth <= 0 || sourceHeight <= 0) {
        return false;
    }
    Changed(StretchPixels(*target, m_clip, {x, y, x + width, y + height}, *from,
                          {sx, sy, sx + sourceWidth, sy + sourceHeight}));
    return true;
}

unsigned CDC::GetDIBColorTable(unsigned start, unsigned count, RGBQUAD* colors) const {
    const Surface* surface = GetSurface();
    if (surface == nullptr || !surface->IsIndexed() || colors == nullptr) {
        return 0;
    }
    const auto& table = surface->ColorTable();
    if (start >= table.size()) {
        return 0;
    }
    const unsigned read = std::min<unsigned>(count, static_cast<unsigned>(table.size()) - start);
    std::copy_n(table.begin() + start, read, colors);
    return read;
}
