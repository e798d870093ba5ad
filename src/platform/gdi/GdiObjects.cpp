#include "GdiObjects.h"

#include "platform/gdi/Font.h"

bool CPen::CreatePen(int style, int width, COLORREF color) {
    m_nStyle = style == PS_NULL ? PS_NULL : PS_SOLID;
    m_nWidth = width < 1 ? 1 : width;
    m_color = color & 0x00FFFFFF;
    m_bCreated = true;
    return true;
}

bool CBrush::CreateSolidBrush(COLORREF color) {
    m_bNull = false;
    m_color = color & 0x00FFFFFF;
    m_bCreated = true;
    return true;
}

CBrush* MakeNullBrush() {
    static CBrush brush;
    brush.m_bCreated = true;
    brush.m_bNull = true;
    return &brush;
}

bool CBitmap::CreateDIBSection(const BITMAPINFOHEADER& header, std::span<const RGBQUAD> table) {
    m_surface = Surface::CreateDib(header, table);
    return m_surface != nullptr;
}

bool CBitmap::Attach(std::unique_ptr<Surface> surface) {
    m_surface = std::move(surface);
    return m_surface != nullptr;
}

bool CPalette::CreatePalette(std::span<const PALETTEENTRY> entries) {
    m_entries.assign(entries.begin(), entries.end());
    return !m_entries.empty();
}

CPen* GetStockPen(StockObject which) {
    static CPen black(PS_SOLID, 1, RGB(0, 0, 0));
    static CPen white(PS_SOLID, 1, RGB(255, 255, 255));
    static CPen none(PS_NULL, 1, 0);
    return which == WHITE_PEN ? &white : which == NULL_PEN ? &none : &black;
}

CBrush* GetStockBrush(StockObject which) {
    static CBrush white(RGB(255, 255, 255));
    static CBrush black(RGB(0, 0, 0));
    return which == BLACK_BRUSH ? &black : which == NULL_BRUSH ? MakeNullBrush() : &white;
}

CFont* GetSystemFont() {
    static CFont font = [] {
        CFont system;
        (void)system.CreateSystemFont();  // without its file, text draws nothing
        return system;
    }();
    return &font;
}

CPalette* GetDefaultPalette() {
    // The twenty colours every palette-based device reserves.
    static CPalette palette = [] {
        static constexpr PALETTEENTRY kEntries[] = {
            {0, 0, 0, 0},       {128, 0, 0, 0},     {0, 128, 0, 0},     {128, 128, 0, 0},
            {0, 0, 128, 0},     {128, 0, 128, 0},   {0, 128, 128, 0},   {192, 192, 192, 0},
            {192, 220, 192, 0}, {166, 202, 240, 0}, {255, 251, 240, 0}, {160, 160, 164, 0},
            {128, 128, 128, 0}, {255, 0, 0, 0},     {0, 255, 0, 0},     {255, 255, 0, 0},
            {0, 0, 255, 0},     {255, 0, 255, 0},   {0, 255, 255, 0},   {255, 255, 255, 0},
        };
        CPalette result;
        (void)result.CreatePalette(kEntries);  // twenty entries: nothing to refuse
        return result;
    }();
    return &palette;
}

CBitmap* GetStockBitmap() {
    static CBitmap bitmap = [] {
        BITMAPINFOHEADER header{40, 1, 1, 1, 1, BI_RGB, 0, 0, 0, 0, 0};
        const RGBQUAD mono[2] = {{0, 0, 0, 0}, {255, 255, 255, 0}};
        CBitmap result;
        (void)result.CreateDIBSection(header, mono);  // one pixel, made at the first context
        return result;
    }();
    return &bitmap;
}
