#pragma once

#include "platform/ui/Resources.h"

class QIcon;
class QPainter;
class QRect;
class Surface;

// Hands `area` of a window's surface (in the widget's pixels) to the toolkit: opaque whatever
// the surface keeps in its pixels' top byte (a compositor would show a zero there as
// see-through), and at the window's device pixel ratio without smoothing, so that a memo
// pixel stays a sharp square on a scaled screen.
void PaintSurface(QPainter& painter, const Surface& surface, const QRect& area);

// Image `index` of a strip of `width`-pixel images, enlarged on scaled screens by whole
// pixels rather than blurred.
QIcon ResourceImage(const BitmapResource& bitmap, int index, int width = kToolBarImageSize);
