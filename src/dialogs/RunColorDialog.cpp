#include "dialogs/RunColorDialog.h"

#include <cstdlib>
#include <string>

#include "platform/base/Format.h"
#include "platform/ui/ColorDialog.h"
#include "platform/ui/WinApp.h"
#include "settings/ProfileValues.h"

namespace {

constexpr int kCustomColors = 16;

}  // namespace

int RunColorDialog(COLORREF& color) {
    COLORREF custom[kCustomColors];
    const std::string white = Format("%ld", 0x00FFFFFFL);
    for (int i = 0; i < kCustomColors; ++i) {
        const std::string text = AfxGetApp()->GetProfileString(
            profile::kCustomColorSection,
            Format("%s%d", std::string(profile::kCustomColor).c_str(), i), white);
        // The standard reading: "12abc" is 12, "abc" is 0.
        custom[i] = static_cast<COLORREF>(std::strtol(text.c_str(), nullptr, 10));
    }
    CColorDialog dialog(color, CC_RGBINIT);
    dialog.m_cc.lpCustColors = custom;
    if (dialog.DoModal() != IDOK) return kColorCancelled;
    color = dialog.GetColor();
    return kColorChosen;
}
