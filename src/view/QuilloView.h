#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "alarm/AlarmEntry.h"
#include "platform/gdi/GdiObjects.h"
#include "platform/ui/View.h"

class CQuilloDoc;
class CCmdUI;

// A point of a stroke as the view keeps it: 16 bits per coordinate.
struct StrokePoint {
    int16_t x;
    int16_t y;
};

// The canvas view: shows the memo picture at the top-left of its window and lets the user
// write and erase on it. A stroke shows on the screen as it is drawn and lands in the
// picture, in one pass, when the pen is lifted.
class CQuilloView : public CView {
    DECLARE_MESSAGE_MAP()

  public:
    static constexpr int ToolPen = 1;
    static constexpr int ToolEraser = 2;
    static constexpr COLORREF kOutsideColor = 0x00808080;
    static constexpr COLORREF kRuledLineColor = 0x00E0E0E0;

    CQuilloView();
    ~CQuilloView() override;

    void OnInitialUpdate() override;
    void OnDraw(CDC* dc) override;

    CQuilloDoc* GetDocument() const;
    // A blank picture of the client size in the background colour.
    void NewCanvas();
    void CommitStroke(CDC* reference);
    // Shuts the part of the window beyond the picture out of `dc`.
    void ClipToCanvas(CDC* dc);
    void DrawRuledLines(CDC* dc);
    // Writes `text` at (x, y) on the screen and into the picture.
    void StampText(int32_t x, int32_t y, std::string_view text);

    bool m_bCanvasMade = false;
    CPoint m_ptLast;
    std::vector<StrokePoint> m_stroke;
    CPen m_penDraw;
    CPen m_penErase;
    COLORREF m_crPen;
    COLORREF m_crBack;
    int m_nPenWidth;
    int m_nEraserWidth;
    int m_nTool;
    int m_nRatioX = 1;
    int m_nRatioY = 1;
    bool m_bBackLine;
    // "Edit"/"PenPressure": the pen tip's pressure sets the pen's width.
    bool m_bPenPressure;
    // How hard the pen pressed at each point of `m_stroke` (0 to kMaxStylusPressure).
    std::vector<uint16_t> m_strokePressure;
    // The stroke is written with a pen's eraser end, which erases whatever the tool.
    bool m_bEraserEnd = false;
    // The stroke is written with a pen's tip while `m_bPenPressure` is on.
    bool m_bPressureStroke = false;

    // Commands of the menus, tool bar and keys.
    void OnToolPen();
    void OnToolEraser();
    void OnClear();
    void OnDeleteMemo();
    void OnNextMemo();
    void OnPrevMemo();
    void OnRenameMemo();
    void OnMemoInfo();
    void OnInsertDate();
    void OnRuledLines();
    void OnEditUndo();
    void OnEditRedo();
    void OnEditCopy();
    void OnAlarmCustom();
    void OnAlarmMenu();
    void OnAlarmList();
    void OnQuickAlarm(UINT id);
    void OnAlarmNone();
    void OnPenWidth(UINT id);
    void OnEraserWidth(UINT id);
    void OnPenWidthCustom();
    void OnEraserWidthCustom();
    void OnWidthMenu();
    void OnColorSettings();
    void OnPenColor();
    void OnSettings();
    // The pens follow: the drawing pen and the eraser are made anew.
    void SetPenWidth(int width);
    void SetEraserWidth(int width);
    void SetPenColor(COLORREF color);
    // The frame's alarm check: rings the alarm of this minute.
    void OnTimer(UINT id);

  private:
    void OnUpdateToolPen(CCmdUI* ui);
    void OnUpdateToolEraser(CCmdUI* ui);
    void OnUpdateNeedsPath(CCmdUI* ui);
    void OnUpdateRuledLines(CCmdUI* ui);
    void OnUpdateEditUndo(CCmdUI* ui);
    void OnUpdateEditRedo(CCmdUI* ui);
    void OnUpdateEditCopy(CCmdUI* ui);
    void OnUpdateQuickAlarm(CCmdUI* ui);
    void OnUpdateAlarmNone(CCmdUI* ui);
    void OnUpdateAlarmMenu(CCmdUI* ui);
    void OnUpdatePenWidth(CCmdUI* ui);
    void OnUpdateEraserWidth(CCmdUI* ui);
    // Puts the memo on disk for an alarm or a rename; its path, or empty (and the user told)
    // when it could not be saved.
    [[nodiscard]] std::string SaveToDisk();
    // Pop-up `popup` of the view's pop-up menus, just below tool bar button `button`.
    void PopUpUnderButton(UINT button, int popup);
    // The memo's alarm in the store, or -1.
    [[nodiscard]] int FindAlarmOfMemo() const;
    // Stores the memo's alarm; where nothing but the program itself can ring it, the user
    // is told once per device, when the background work has chosen.
    void StoreAlarm(const AlarmEntry& alarm);
    void TellOfSelfLaunchOnce();
    bool m_bSelfLaunchToTell = false;
    void OnKeyDown(UINT key, UINT repeat, UINT flags);
    std::string CurrentMemoName() const;

    int OnCreate();
    bool OnEraseBkgnd(CDC* dc);
    void OnLButtonDown(UINT flags, CPoint point);
    void OnLButtonDblClk(UINT flags, CPoint point);
    void OnMouseMove(UINT flags, CPoint point);
    void OnLButtonUp(UINT flags, CPoint point);

    void BeginStroke(CPoint point);
    // Draws the segments to this event's samples on the screen and keeps their points; at
    // the pen-up the whole stroke then goes into the picture.
    void ContinueStroke(bool penUp);
    CPoint SampleToClient(CPoint raw) const;
    // Adds a sample's point to the stroke.
    void KeepPoint(CPoint point, uint16_t pressure);
    int StrokeTool() const { return m_bEraserEnd ? ToolEraser : m_nTool; }
    CPen& CurrentPen() { return StrokeTool() == ToolPen ? m_penDraw : m_penErase; }
    bool WidthFollowsPressure() const { return m_bPressureStroke && StrokeTool() == ToolPen; }
    double PressureWidth(uint16_t pressure) const;
};
