#pragma once

#include "platform/gdi/Color.h"

constexpr int kColorChosen = 1;
constexpr int kColorCancelled = 2;

// The platform's colour dialog on `color`, with the sixteen custom colours of the profile
// ("ColorDlg"/"Custom0".."Custom15"): kColorChosen with `color` set, or kColorCancelled with
// it untouched. Custom colours edited in the dialog serve that one run only.
[[nodiscard]] int RunColorDialog(COLORREF& color);
