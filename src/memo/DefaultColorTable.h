#pragma once

#include <array>

#include "platform/gdi/Color.h"

// The fixed 256-entry colour table of every canvas the program makes: the twenty reserved
// colours at both ends, a 6 x 6 x 6 cube and a ramp of greys between them.
const std::array<RGBQUAD, 256>& DefaultColorTable();
