// The view's pen and eraser widths and its colours.
#include "app/QuilloApp.h"
#include "dialogs/ColorSettingsDlg.h"
#include "dialogs/RunColorDialog.h"
#include "dialogs/SettingsDlg.h"
#include "dialogs/WidthDlg.h"
#include "platform/ui/CmdUI.h"
#include "res/ResourceIds.h"
#include "settings/ProfileValues.h"
#include "view/QuilloView.h"

namespace {

constexpr int kPenWidthPopup = 0;
constexpr int kEraserWidthPopup = 1;

int PenWidthOf(UINT id) {
    return static_cast<int>(id - ID_PEN_WIDTH_1) + 1;
}

int EraserWidthOf(UINT id) {
    return 5 * (static_cast<int>(id - ID_ERASER_WIDTH_5) + 1);
}

}  // namespace

void CQuilloView::SetPenWidth(int width) {
    m_nPenWidth = width;
    m_penDraw.DeleteObject();
    m_penDraw.CreatePen(PS_SOLID, m_nPenWidth, m_crPen);
}

void CQuilloView::SetEraserWidth(int width) {
    m_nEraserWidth = width;
    m_penErase.DeleteObject();
    m_penErase.CreatePen(PS_SOLID, m_nEraserWidth, m_crBack);
}

void CQuilloView::SetPenColor(COLORREF color) {
    m_crPen = color;
    SetPenWidth(m_nPenWidth);
}

void CQuilloView::OnPenWidth(UINT id) {
    SetPenWidth(PenWidthOf(id));
    CQuilloApp::TellIfSettingNotWritten(
        QuilloApp()->WriteProfileInt(profile::kPenWidth, m_nPenWidth));
}

void CQuilloView::OnEraserWidth(UINT id) {
    SetEraserWidth(EraserWidthOf(id));
    CQuilloApp::TellIfSettingNotWritten(
        QuilloApp()->WriteProfileInt(profile::kEraserWidth, m_nEraserWidth));
}

void CQuilloView::OnUpdatePenWidth(CCmdUI* ui) {
    ui->SetCheck(PenWidthOf(ui->m_nID) == m_nPenWidth ? 1 : 0);
}

void CQuilloView::OnUpdateEraserWidth(CCmdUI* ui) {
    ui->SetCheck(EraserWidthOf(ui->m_nID) == m_nEraserWidth ? 1 : 0);
}

// A width from the dialog lasts until the program ends: it is not stored.
void CQuilloView::OnPenWidthCustom() {
    CWidthDlg dialog;
    dialog.m_nMode = CWidthDlg::kPen;
    dialog.m_nWidth = m_nPenWidth;
    if (dialog.DoModal() == IDOK) SetPenWidth(dialog.m_nWidth);
}

void CQuilloView::OnEraserWidthCustom() {
    CWidthDlg dialog;
    dialog.m_nMode = CWidthDlg::kEraser;
    dialog.m_nWidth = m_nEraserWidth;
    if (dialog.DoModal() == IDOK) SetEraserWidth(dialog.m_nWidth);
}

void CQuilloView::OnWidthMenu() {
    PopUpUnderButton(ID_PEN_WIDTH_MENU, m_nTool == ToolPen ? kPenWidthPopup : kEraserWidthPopup);
}

void CQuilloView::OnColorSettings() {
    CQuilloApp* app = QuilloApp();
    CColorSettingsDlg dialog;
    dialog.m_crPen = m_crPen;
    dialog.m_crBack = static_cast<COLORREF>(app->GetProfileInt(profile::kBackColor));
    if (dialog.DoModal() != IDOK) return;
    // The background waits for the next new or cleared memo; the pen changes at once.
    SetPenColor(dialog.m_crPen);
    CQuilloApp::TellIfSettingNotWritten(
        app->WriteProfileInt(profile::kPenColor, static_cast<int>(m_crPen)) &&
        app->WriteProfileInt(profile::kBackColor, static_cast<int>(dialog.m_crBack)));
}

void CQuilloView::OnPenColor() {
    COLORREF color = m_crPen;
    if (RunColorDialog(color) != kColorChosen) return;
    SetPenColor(color);
    CQuilloApp::TellIfSettingNotWritten(
        QuilloApp()->WriteProfileInt(profile::kPenColor, static_cast<int>(m_crPen)));
}

void CQuilloView::OnSettings() {
    CQuilloApp* app = QuilloApp();
    CSettingsDlg dialog;
    dialog.m_strSaveFolder = app->m_strSaveFolder;
    dialog.m_nNotifyDialog = app->GetProfileInt(profile::kNotifyDialog);
    dialog.m_nPenPressure = m_bPenPressure ? 1 : 0;
    if (dialog.DoModal() != IDOK) return;
    app->m_strSaveFolder = dialog.m_strSaveFolder;
    m_bPenPressure = dialog.m_nPenPressure != 0;
    CQuilloApp::TellIfSettingNotWritten(
        dialog.m_bSoundDefaultsWritten &&
        app->WriteProfileString(profile::kSaveFolder, dialog.m_strSaveFolder) &&
        app->WriteProfileInt(profile::kNotifyDialog, dialog.m_nNotifyDialog != 0 ? 1 : 0) &&
        app->WriteProfileInt(profile::kPenPressure, m_bPenPressure ? 1 : 0));
}
