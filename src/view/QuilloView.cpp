#include "view/QuilloView.h"

#include "app/QuilloApp.h"
#include "memo/QuilloDoc.h"
#include "platform/ui/ModalRun.h"
#include "res/ResourceIds.h"
#include "settings/ProfileValues.h"

namespace {

// Levels of the blank picture's working colour table: a 5 x 5 x 5 cube.
constexpr uint8_t kCubeLevels[] = {255, 192, 128, 64, 0};

}  // namespace

// clang-format off
BEGIN_MESSAGE_MAP(CQuilloView, CView)
    on::Create(&CQuilloView::OnCreate),
    on::EraseBkgnd(&CQuilloView::OnEraseBkgnd),
    on::LButtonDown(&CQuilloView::OnLButtonDown),
    on::LButtonDblClk(&CQuilloView::OnLButtonDblClk),
    on::MouseMove(&CQuilloView::OnMouseMove),
    on::LButtonUp(&CQuilloView::OnLButtonUp),
    on::KeyDown(&CQuilloView::OnKeyDown),
    on::Command(ID_TOOL_PEN, &CQuilloView::OnToolPen),
    on::UpdateCommandUI(ID_TOOL_PEN, &CQuilloView::OnUpdateToolPen),
    on::Command(ID_TOOL_ERASER, &CQuilloView::OnToolEraser),
    on::UpdateCommandUI(ID_TOOL_ERASER, &CQuilloView::OnUpdateToolEraser),
    on::Command(ID_EDIT_CLEAR, &CQuilloView::OnClear),
    on::Command(ID_EDIT_UNDO, &CQuilloView::OnEditUndo),
    on::UpdateCommandUI(ID_EDIT_UNDO, &CQuilloView::OnUpdateEditUndo),
    on::Command(ID_EDIT_REDO, &CQuilloView::OnEditRedo),
    on::UpdateCommandUI(ID_EDIT_REDO, &CQuilloView::OnUpdateEditRedo),
    on::Command(ID_EDIT_COPY, &CQuilloView::OnEditCopy),
    on::UpdateCommandUI(ID_EDIT_COPY, &CQuilloView::OnUpdateEditCopy),
    on::Command(ID_DELETE_MEMO, &CQuilloView::OnDeleteMemo),
    on::UpdateCommandUI(ID_DELETE_MEMO, &CQuilloView::OnUpdateNeedsPath),
    on::Command(ID_NEXT_MEMO, &CQuilloView::OnNextMemo),
    on::Command(ID_PREV_MEMO, &CQuilloView::OnPrevMemo),
    on::Command(ID_RENAME_MEMO, &CQuilloView::OnRenameMemo),
    on::UpdateCommandUI(ID_RENAME_MEMO, &CQuilloView::OnUpdateNeedsPath),
    on::Command(ID_MEMO_INFO, &CQuilloView::OnMemoInfo),
    on::UpdateCommandUI(ID_MEMO_INFO, &CQuilloView::OnUpdateNeedsPath),
    on::Command(ID_INSERT_DATE, &CQuilloView::OnInsertDate),
    on::Command(ID_RULED_LINES, &CQuilloView::OnRuledLines),
    on::UpdateCommandUI(ID_RULED_LINES, &CQuilloView::OnUpdateRuledLines),
    on::Timer(&CQuilloView::OnTimer),
    on::CommandRange(ID_PEN_WIDTH_1, ID_PEN_WIDTH_10, &CQuilloView::OnPenWidth),
    on::UpdateCommandUIRange(ID_PEN_WIDTH_1, ID_PEN_WIDTH_10, &CQuilloView::OnUpdatePenWidth),
    on::CommandRange(ID_ERASER_WIDTH_5, ID_ERASER_WIDTH_40, &CQuilloView::OnEraserWidth),
    on::UpdateCommandUIRange(ID_ERASER_WIDTH_5, ID_ERASER_WIDTH_40,
                             &CQuilloView::OnUpdateEraserWidth),
    on::Command(ID_PEN_WIDTH_CUSTOM, &CQuilloView::OnPenWidthCustom),
    on::Command(ID_ERASER_WIDTH_CUSTOM, &CQuilloView::OnEraserWidthCustom),
    on::Command(ID_PEN_WIDTH_MENU, &CQuilloView::OnWidthMenu),
    on::Command(ID_COLOR_SETTINGS, &CQuilloView::OnColorSettings),
    on::Command(ID_PEN_COLOR, &CQuilloView::OnPenColor),
    on::Command(ID_SETTINGS, &CQuilloView::OnSettings),
    on::Command(ID_ALARM_CUSTOM, &CQuilloView::OnAlarmCustom),
    on::Command(ID_ALARM_MENU, &CQuilloView::OnAlarmMenu),
    on::UpdateCommandUI(ID_ALARM_MENU, &CQuilloView::OnUpdateAlarmMenu),
    on::Command(ID_ALARM_LIST, &CQuilloView::OnAlarmList),
    on::CommandRange(ID_ALARM_FIRST, ID_ALARM_LAST, &CQuilloView::OnQuickAlarm),
    on::UpdateCommandUIRange(ID_ALARM_FIRST, ID_ALARM_LAST, &CQuilloView::OnUpdateQuickAlarm),
    on::Command(ID_ALARM_NONE, &CQuilloView::OnAlarmNone),
    on::UpdateCommandUI(ID_ALARM_NONE, &CQuilloView::OnUpdateAlarmNone),
END_MESSAGE_MAP()
// clang-format on

CQuilloView::CQuilloView() {
    CQuilloApp* app = QuilloApp();
    m_nPenWidth = app->GetProfileInt(profile::kPenWidth);
    // Read under this spelling; the colour settings write "PenColor": names ignore case.
    m_crPen = static_cast<COLORREF>(app->GetProfileInt(profile::kPenColorAtStart));
    m_crBack = static_cast<COLORREF>(app->GetProfileInt(profile::kBackColor));
    m_nTool = ToolPen;
    m_nEraserWidth = app->GetProfileInt(profile::kEraserWidth);
    m_bBackLine = app->GetProfileInt(profile::kBackLine) == 1;
    m_bPenPressure = app->GetProfileInt(profile::kPenPressure) != 0;
}

CQuilloView::~CQuilloView() {
    m_penDraw.DeleteObject();
    m_penErase.DeleteObject();
}

CQuilloDoc* CQuilloView::GetDocument() const {
    return static_cast<CQuilloDoc*>(CView::GetDocument());
}

int CQuilloView::OnCreate() {
    if (CView::OnCreate() == -1) return -1;
    m_penDraw.CreatePen(PS_SOLID, m_nPenWidth, m_crPen);
    m_penErase.CreatePen(PS_SOLID, m_nEraserWidth, m_crBack);
    return 0;
}

void CQuilloView::OnInitialUpdate() {
    CView::OnInitialUpdate();
    QuilloApp()->m_strMemoExt = ".bmp";
    if (GetDocument()->GetPathName().empty()) {
        NewCanvas();
        m_bCanvasMade = true;
    }
}

void CQuilloView::NewCanvas() {
    m_crBack = static_cast<COLORREF>(QuilloApp()->GetProfileInt(profile::kBackColor));
    SetEraserWidth(m_nEraserWidth);

    const CRect client = GetClientRect();
    BITMAPINFOHEADER header{40, client.Width(), client.Height(), 1, 8, BI_RGB, 0, 0, 0, 0, 0};
    RGBQUAD cube[256] = {};
    for (int i = 0; i < 5; ++i) {
        for (int j = 0; j < 5; ++j) {
            for (int k = 0; k < 5; ++k) {
                cube[25 * i + 5 * j + k] = {kCubeLevels[k], kCubeLevels[j], kCubeLevels[i], 0};
            }
        }
    }
    CBitmap working;
    bool made = false;
    if (working.CreateDIBSection(header, cube)) {
        CDC dc;
        dc.CreateCompatibleDC(nullptr);
        CBitmap* previous = dc.SelectObject(&working);
        CBrush background(m_crBack);
        dc.FillRect(client, &background);
        dc.SelectObject(previous);
        CMemoBitmap& picture = GetDocument()->m_bitmap;
        picture.Reset();
        made = picture.CreateFromBitmap(&working);
    }
    if (!made) {
        AfxMessageBox("新規作成失敗", MB_OK);
    }
    working.DeleteObject();
    GetDocument()->SetModifiedFlag(false);
}

void CQuilloView::OnDraw(CDC* dc) {
    if (!GetDocument()->GetPathName().empty() || m_bCanvasMade) {
        (void)GetDocument()->m_bitmap.Draw(dc, 0, 0);  // an empty canvas leaves the background
    }
    if (m_bBackLine) DrawRuledLines(dc);
}

bool CQuilloView::OnEraseBkgnd(CDC* dc) {
    CBrush grey(kOutsideColor);
    dc->FillRect(GetClientRect(), &grey);
    return true;
}

void CQuilloView::ClipToCanvas(CDC* dc) {
    const CMemoBitmap& picture = GetDocument()->m_bitmap;
    const CRect client = GetClientRect();
    const int32_t width = picture.Width();
    // A top-down picture has a negative height; it covers its rows all the same.
    const int32_t height = picture.Height() < 0 ? -picture.Height() : picture.Height();
    dc->ExcludeClipRect({width, 0, client.right, client.bottom});
    dc->ExcludeClipRect({0, height, client.right, client.bottom});
}

void CQuilloView::DrawRuledLines(CDC* dc) {
    CPen ruled(PS_SOLID, 1, kRuledLineColor);
    CPen* previous = dc->SelectObject(&ruled);
    const CMemoBitmap& picture = GetDocument()->m_bitmap;
    const int32_t height = picture.Height();
    if (height > 0) {
        // Pictures under ten rows high get the line at the top only.
        const int32_t step = height / 10;
        for (int32_t y = 0; y < height; y += step) {
            dc->MoveTo(0, y);
            dc->LineTo(picture.Width(), y);
            if (step == 0) break;
        }
    }
    dc->SelectObject(previous);
}

void CQuilloView::StampText(int32_t x, int32_t y, std::string_view text) {
    CClientDC client(this);
    ClipToCanvas(&client);
    client.TextOut(x, y, text);
    CDC memory;
    memory.CreateCompatibleDC(&client);
    CBitmap* previous = memory.SelectObject(GetDocument()->m_bitmap.GetBitmap());
    // Glyphs may reach a little beyond the text's extent: a line's height around it holds them.
    const CSize extent = memory.GetTextExtent(text);
    GetDocument()->RecordChange(
        {x - extent.cy, y - extent.cy, x + extent.cx + extent.cy, y + 2 * extent.cy});
    memory.TextOut(x, y, text);
    memory.SelectObject(previous);
    memory.DeleteDC();
}
