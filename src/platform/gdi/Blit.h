#pragma once

#include "platform/gdi/ClipRegion.h"
#include "platform/gdi/Surface.h"

// Copies the `width` x `height` pixels at (sx, sy) of `source` to (x, y) of `target`, each
// pixel taking the target's nearest colour. Only pixels inside both surfaces and the clip
// region are touched; returns the rectangle of `target` that changed.
CRect CopyPixels(Surface& target, const ClipRegion& clip, int32_t x, int32_t y, int32_t width,
                 int32_t height, const Surface& source, int32_t sx, int32_t sy);

// Copies the source rectangle (sx, sy, sw, sh) scaled into the target rectangle
// (x, y, w, h). Shrinking onto a true-colour target averages every source pixel under a
// target pixel, so a 1-pixel stroke stays visible in a thumbnail; otherwise each target
// pixel takes the source pixel under its centre.
CRect StretchPixels(Surface& target, const ClipRegion& clip, const CRect& to, const Surface& source,
                    const CRect& from);
