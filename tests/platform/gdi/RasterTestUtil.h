#pragma once

#include <set>
#include <string>
#include <utility>

#include "platform/gdi/DC.h"
#include "platform/gdi/Surface.h"

// A small 8-bit picture with a two-colour table (0 white, 1 black) in a memory context.
struct TwoColorCanvas {
    explicit TwoColorCanvas(int32_t width, int32_t height, bool topDown = false) {
        BITMAPINFOHEADER header{40, width, topDown ? -height : height, 1, 8, BI_RGB, 0, 0, 0, 0, 0};
        const RGBQUAD table[2] = {{255, 255, 255, 0}, {0, 0, 0, 0}};
        bitmap.CreateDIBSection(header, table);
        dc.CreateCompatibleDC(nullptr);
        dc.SelectObject(&bitmap);
    }
    Surface& surface() { return *bitmap.GetSurface(); }
    // The set of (x, y) holding index 1.
    std::set<std::pair<int, int>> Inked() {
        std::set<std::pair<int, int>> inked;
        for (int y = 0; y < surface().Height(); ++y)
            for (int x = 0; x < surface().Width(); ++x)
                if (surface().GetPixelValue(x, y) == 1) inked.insert({x, y});
        return inked;
    }

    CBitmap bitmap;
    CDC dc;
};

using Pixels = std::set<std::pair<int, int>>;
