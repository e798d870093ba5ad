#include <QApplication>
#include <QTimer>
#include <QWindow>

#include "Wnd.h"
#include "platform/ui/InputHold.h"
#include "platform/ui/WindowPeer.h"

// Which window has the keyboard and the pointer: as the framework tracks it, and as the
// desktop grants it.

namespace {

CWnd* gCapture = nullptr;
CWnd* gActive = nullptr;

}  // namespace

void ForgetTrackedWindow(CWnd* window) {
    if (gCapture == window) gCapture = nullptr;
    if (gActive == window) gActive = nullptr;
}

void SetActiveWindowTracked(CWnd* window) {
    if (window == gActive) {
        return;
    }
    CWnd* old = gActive;
    gActive = window;
    if (old != nullptr && old->IsWindow()) {
        old->SendMessage(WM_ACTIVATE, MAKEWPARAM(WA_INACTIVE, 0), reinterpret_cast<LPARAM>(window));
    }
    if (window != nullptr && window == gActive) {
        window->SendMessage(WM_ACTIVATE, MAKEWPARAM(WA_ACTIVE, 0), reinterpret_cast<LPARAM>(old));
    }
}

void CWnd::SetFocus() {
    if (QWidget* widget = GetWidget()) widget->setFocus(Qt::OtherFocusReason);
}

bool CWnd::SetForegroundWindow() {
    QWidget* widget = GetWidget();
    if (widget == nullptr) return false;
    QWidget* window = widget->window();
    // Only the minimised state goes: a maximised window comes back maximised.
    if (window->isMinimized()) window->setWindowState(window->windowState() & ~Qt::WindowMinimized);
    window->raise();
    // While a window waits over us, the keyboard belongs to it, and it comes up over us.
    if (!TakesInput(window)) {
        ActivateTopWaitingWindow();
        return true;
    }
    window->activateWindow();
    // Activation is the window manager's to grant; until it does, the window asks for
    // attention, and the request ends by itself once the window is active.
    if (window->isVisible() && !window->isActiveWindow()) QApplication::alert(window);
    SetActiveWindowTracked(GetTopLevelParent());
    return true;
}

void CWnd::SetTopMost(bool topMost) {
    QWidget* widget = GetWidget();
    if (widget == nullptr) return;
    QWidget* window = widget->window();
    if (window->windowFlags().testFlag(Qt::WindowStaysOnTopHint) == topMost) return;
    const bool visible = window->isVisible();
    window->setWindowFlag(Qt::WindowStaysOnTopHint, topMost);
    // Changing the flags takes the window off the screen; it comes back where it was.
    if (visible) window->show();
}

void CWnd::BringWindowToTop() {
    if (QWidget* widget = GetWidget()) widget->window()->raise();
}

void CWnd::FlashWindow() {
    QWidget* widget = GetWidget();
    if (widget == nullptr) return;
    // The toolkit can only flag a window the system has: one about to be shown is flagged
    // once the loop turns.
    QTimer::singleShot(0, widget, [window = widget->window()] { QApplication::alert(window); });
}

void CWnd::ShowWithoutActivating() {
    QWidget* widget = GetWidget();
    if (widget == nullptr) return;
    QWidget* window = widget->window();
    window->setAttribute(Qt::WA_ShowWithoutActivating);
    // The attribute reaches only a system window made after it; one made already reads this.
    if (QWindow* handle = window->windowHandle())
        handle->setProperty("_q_showWithoutActivating", true);
}

void CWnd::HoldKeysUntilQuiet() {
    if (QWidget* widget = GetWidget()) ::HoldKeysUntilQuiet(widget->window());
}

bool CWnd::IsProgramActive() {
    return QApplication::activeWindow() != nullptr;
}

CWnd* CWnd::SetCapture() {
    return std::exchange(gCapture, this);
}

bool CWnd::ReleaseCapture() {
    gCapture = nullptr;
    return true;
}

CWnd* CWnd::GetCapture() {
    return gCapture;
}

CWnd* CWnd::GetActiveWindow() {
    return gActive;
}
