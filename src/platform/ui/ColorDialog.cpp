#include "ColorDialog.h"

#include <QColorDialog>

#include "platform/ui/InputHold.h"
#include "platform/ui/ModalRun.h"
#include "platform/ui/ScreenArea.h"
#include "platform/ui/Wnd.h"

namespace {

constexpr int kCustomColors = 16;

QColor ToQColor(COLORREF color) {
    return QColor(GetRValue(color), GetGValue(color), GetBValue(color));
}

COLORREF FromQColor(const QColor& color) {
    return RGB(static_cast<uint8_t>(color.red()), static_cast<uint8_t>(color.green()),
               static_cast<uint8_t>(color.blue()));
}

}  // namespace

CColorDialog::CColorDialog(COLORREF initial, UINT flags, CWnd* parent)
    : m_cc{initial, nullptr, flags}, m_pParent(parent) {}

int CColorDialog::DoModal() {
    const COLORREF initial = (m_cc.Flags & CC_RGBINIT) != 0 ? m_cc.rgbResult : RGB(0, 0, 0);
    if (HasModalHandler()) {
        const ModalRunScope modal(nullptr);
        ModalRun run;
        run.kind = ModalRun::Kind::ColorDialog;
        run.color = initial;
        if (m_cc.lpCustColors != nullptr) {
            run.customColors.assign(m_cc.lpCustColors, m_cc.lpCustColors + kCustomColors);
        }
        HandleModalRun(run);
        if (run.Result() != IDOK) return IDCANCEL;
        m_cc.rgbResult = run.AnsweredColor() & 0x00FFFFFF;
        return IDOK;
    }
    if (m_cc.lpCustColors != nullptr) {
        for (int i = 0; i < kCustomColors; ++i)
            QColorDialog::setCustomColor(i, ToQColor(m_cc.lpCustColors[i]));
    }
    QColorDialog dialog(
        ToQColor(initial),
        ParentForNewWindow(m_pParent != nullptr ? m_pParent->GetWidget() : nullptr));
    dialog.setOption(QColorDialog::DontUseNativeDialog);
    ShrinkOntoScreen(dialog, m_pParent);
    bool chosen = false;
    {
        const ModalRunScope modal(&dialog);
        chosen = dialog.exec() == QDialog::Accepted;
    }
    if (m_cc.lpCustColors != nullptr) {
        for (int i = 0; i < kCustomColors; ++i)
            m_cc.lpCustColors[i] = FromQColor(QColorDialog::customColor(i));
    }
    if (!chosen) return IDCANCEL;
    m_cc.rgbResult = FromQColor(dialog.selectedColor());
    return IDOK;
}
