#pragma once

// Dialog windows from templates; only platform/ui includes this.

#include <QFont>

#include "platform/gdi/Geometry.h"

class CDialog;
struct DialogTemplate;

// The toolkit font for a template's face and size ("ＭＳ Ｐゴシック" is IPA P Gothic).
QFont DialogFont(const DialogTemplate& dialog);
// A rectangle in dialog units as pixels: x by a quarter of the font's average character
// width, y by an eighth of its height, as the device converts them.
CRect DialogUnitsToPixels(const QFont& font, int x, int y, int width, int height);

// The height of the strip below a template's controls that holds its caption OK button.
constexpr int kCaptionOkStrip = 30;

// Sizes the dialog's window and gives it its caption and controls.
void BuildDialog(CDialog& dialog, const DialogTemplate& dialogTemplate);
