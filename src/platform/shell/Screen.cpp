#include "Screen.h"

#include <QGuiApplication>
#include <QScreen>
#include <QStyleHints>
#include <cstdio>

namespace {

CSize gOverride;
constexpr CSize kDefaultWindow{800, 600};

}  // namespace

void SetScreenOverride(CSize size) {
    gOverride = size;
}

bool HasScreenOverride() {
    return gOverride.cx > 0 && gOverride.cy > 0;
}

CSize GetDeviceScreenSize() {
    if (HasScreenOverride()) return gOverride;
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (screen == nullptr) return kDefaultWindow;
    // On a desktop the program runs in a window of its own, not over the whole screen.
    const QSize available = screen->availableSize();
    return {std::min(kDefaultWindow.cx, available.width()),
            std::min(kDefaultWindow.cy, available.height())};
}

int GetSystemMetrics(int index) {
    CSize size = gOverride;
    if (!HasScreenOverride()) {
        const QScreen* screen = QGuiApplication::primaryScreen();
        size = screen != nullptr ? CSize{screen->size().width(), screen->size().height()}
                                 : kDefaultWindow;
    }
    return index == SM_CXSCREEN ? size.cx : index == SM_CYSCREEN ? size.cy : 0;
}

bool ParseScreenSize(const char* text, CSize& size) {
    int width = 0;
    int height = 0;
    char extra = 0;
    if (std::sscanf(text, "%dx%d%c", &width, &height, &extra) != 2 || width < 100 || height < 100 ||
        width > 10000 || height > 10000) {
        return false;
    }
    size = {width, height};
    return true;
}

unsigned GetDoubleClickTime() {
    const auto* hints = QGuiApplication::instance() != nullptr ? QGuiApplication::styleHints() : nullptr;
    return hints != nullptr ? static_cast<unsigned>(hints->mouseDoubleClickInterval()) : 500;
}
