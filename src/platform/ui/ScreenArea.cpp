#include "ScreenArea.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <algorithm>

#include "platform/shell/Screen.h"
#include "platform/ui/WinApp.h"
#include "platform/ui/Wnd.h"

QRect WindowRectOf(const CWnd* window) {
    const CRect rect = window->GetWindowRect();
    return {rect.left, rect.top, rect.Width(), rect.Height()};
}

QRect ScreenAreaFor(const CWnd* owner) {
    const CWnd* main = AfxGetMainWnd();
    if (HasScreenOverride() && main != nullptr && main->IsWindow()) return WindowRectOf(main);
    const QWidget* widget = owner != nullptr && owner->IsWindow() ? owner->GetWidget() : nullptr;
    const QScreen* screen = widget != nullptr ? widget->screen() : QGuiApplication::primaryScreen();
    return screen->availableGeometry();
}

void PlaceInside(QWidget& window, const QRect& over, const QRect& area) {
    if (window.width() > area.width() || window.height() > area.height()) {
        window.move(area.topLeft());
        return;
    }
    const int x = over.left() + (over.width() - window.width()) / 2;
    const int y = over.top() + (over.height() - window.height()) / 2;
    window.move(std::max(area.left(), std::min(x, area.right() + 1 - window.width())),
                std::max(area.top(), std::min(y, area.bottom() + 1 - window.height())));
}

void ShrinkOntoScreen(QWidget& dialog, const CWnd* owner) {
    const QRect area = ScreenAreaFor(owner);
    dialog.resize(dialog.minimumSizeHint().expandedTo(dialog.minimumSize()));
    const bool owned = owner != nullptr && owner->IsWindow();
    PlaceInside(dialog, owned ? WindowRectOf(owner) : area, area);
}
