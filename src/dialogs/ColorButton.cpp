#include "dialogs/ColorButton.h"

#include "dialogs/RunColorDialog.h"
#include "platform/gdi/DC.h"

namespace {

void Line(CDC& dc, std::initializer_list<CPoint> points) {
    auto point = points.begin();
    dc.MoveTo(point->x, point->y);
    for (++point; point != points.end(); ++point) dc.LineTo(point->x, point->y);
}

}  // namespace

CColorButton::CColorButton() {
    m_penGrey.CreatePen(PS_SOLID, 1, 0x00808080);
    m_brushFace.CreateSolidBrush(GetSysColorButtonFace());
}

void CColorButton::DrawItem(DRAWITEMSTRUCT* item) {
    CDC& dc = *item->pDC;
    int32_t l = item->rcItem.left, t = item->rcItem.top, r = item->rcItem.right,
            b = item->rcItem.bottom;
    CPen* black = GetStockPen(BLACK_PEN);
    CPen* white = GetStockPen(WHITE_PEN);
    CPen* previousPen = dc.SelectObject(GetStockPen(NULL_PEN));
    CBrush* previousBrush = dc.SelectObject(&m_brushFace);
    dc.FillRect(item->rcItem, &m_brushFace);
    if ((item->itemState & ODS_SELECTED) == 0) {
        dc.SelectObject(black);
        Line(dc, {{l, b - 1}, {r - 1, b - 1}, {r - 1, t}});
        dc.SelectObject(&m_penGrey);
        Line(dc, {{l + 1, b - 2}, {r - 2, b - 2}, {r - 2, t + 1}});
        dc.SelectObject(white);
        Line(dc, {{r - 2, t + 1}, {l + 1, t + 1}, {l + 1, b - 2}});
    } else {
        dc.SelectObject(&m_penGrey);
        Line(dc, {{l, b - 1}, {l, t}, {r - 1, t}});
        dc.SelectObject(white);
        Line(dc, {{r - 1, t - 1}, {r - 1, b - 1}, {l + 1, b - 1}});
        dc.SelectObject(black);
        Line(dc, {{l + 1, b - 2}, {l + 1, t + 1}, {r - 2, t + 1}});
        ++l, ++t, ++r, ++b;  // pressed: the contents move by a pixel
    }
    dc.SelectObject(white);
    Line(dc, {{r - 10, t + 4}, {r - 10, b - 4}});
    dc.SelectObject(&m_penGrey);
    Line(dc, {{r - 11, t + 4}, {r - 11, b - 4}});
    const int32_t middle = b / 2;
    dc.SelectObject(black);
    Line(dc, {{r - 4, middle - 1}, {r - 9, middle - 1}});
    Line(dc, {{r - 5, middle}, {r - 8, middle}});
    dc.SetPixel(r - 6, middle + 1, RGB(0, 0, 0));
    CBrush swatch(m_crColor);
    dc.SelectObject(&swatch);
    dc.Rectangle(l + 5, t + 4, r - 15, b - 4);
    if ((item->itemState & ODS_FOCUS) != 0) {
        for (int32_t x = l + 3; x < r - 4; x += 2) {
            dc.SetPixel(x, t + 3, RGB(0, 0, 0));
            dc.SetPixel(x, b - 4, RGB(0, 0, 0));
        }
        for (int32_t y = t + 3; y < b - 4; y += 2) {
            dc.SetPixel(l + 3, y, RGB(0, 0, 0));
            dc.SetPixel(r - 4, y, RGB(0, 0, 0));
        }
    }
    dc.SelectObject(previousPen);
    dc.SelectObject(previousBrush);
}

void CColorButton::OnClicked() {
    COLORREF color = m_crColor;
    if (RunColorDialog(color) != kColorChosen) return;
    m_crColor = color;
    Invalidate();
}
