#pragma once

#include "platform/gdi/Geometry.h"

constexpr int SM_CXSCREEN = 0;
constexpr int SM_CYSCREEN = 1;

// The device's screen: the size given with --screen, else the host's primary screen.
int GetSystemMetrics(int index);
CSize GetDeviceScreenSize();
// Whether a screen size was given; the main window then fills it exactly.
bool HasScreenOverride();
// Platform and test use; a size of 0 x 0 returns to the host's screen.
void SetScreenOverride(CSize size);
// The longest time between two presses that still make a double press, in milliseconds.
unsigned GetDoubleClickTime();
// "240x320" as a size; false for anything else.
[[nodiscard]] bool ParseScreenSize(const char* text, CSize& size);
