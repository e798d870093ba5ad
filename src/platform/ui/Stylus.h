#pragma once

#include <cstdint>
#include <vector>

#include "platform/gdi/Geometry.h"

// The raw stylus positions that came with the pen event being handled: at most 64, oldest
// first, in screen coordinates multiplied by the device's ratio (4 for a tablet pen, 1 for
// a mouse).
constexpr int kMaxStylusSamples = 64;

// How hard each sample pressed, from 0 to this; a mouse, and a pen that cannot tell,
// press fully.
constexpr int kMaxStylusPressure = 1024;

// What made the pen event being handled: a mouse's left button, or the tip or the eraser end
// of a pen touching the surface.
enum class StylusPointer { Mouse, PenTip, Eraser };

// Returns how many samples were written to `out` (at most `max`).
int GetStylusSamples(CPoint* out, int max);
// The pressure of each sample, in the same order; returns how many were written.
int GetStylusPressures(uint16_t* out, int max);
StylusPointer GetStylusPointer();

// Platform and test use: the samples that the next pen event brings, and their pressures
// (full where none is given). Only the newest 64 are kept.
void SetStylusBatch(const std::vector<CPoint>& samples,
                    StylusPointer pointer = StylusPointer::Mouse,
                    const std::vector<uint16_t>& pressures = {});
