#pragma once

#include <vector>

#include "platform/gdi/Geometry.h"

// The raw stylus positions that came with the pen event being handled: at most 64, oldest
// first, in screen coordinates multiplied by the device's ratio (4 for a tablet pen, 1 for
// a mouse).
constexpr int kMaxStylusSamples = 64;

// Returns how many samples were written to `out` (at most `max`).
int GetStylusSamples(CPoint* out, int max);

// Platform and test use: the samples that the next pen event brings. Only the newest 64
// are kept.
void SetStylusBatch(const std::vector<CPoint>& samples);
