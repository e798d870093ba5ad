#pragma once

#include <QRect>

class CWnd;
class QWidget;

// The part of the host screen a window must stay on: the device's screen (its main window)
// when a device of its own size is emulated, else the host screen the owner is on.
QRect ScreenAreaFor(const CWnd* owner);
QRect WindowRectOf(const CWnd* window);
// Moves a top-level window so that it is centred over `over` inside `area`; one larger than
// the area starts at its top-left.
void PlaceInside(QWidget& window, const QRect& over, const QRect& area);
// A toolkit dialog made as small as its layout allows and placed over `owner` on the screen.
void ShrinkOntoScreen(QWidget& dialog, const CWnd* owner);
