#include "KeyTranslation.h"

#include <QApplication>
#include <QKeyEvent>
#include <QWidget>
#include <QWindow>

#include "platform/ui/InputHold.h"
#include "platform/ui/ModalRun.h"
#include "platform/ui/WinApp.h"
#include "platform/ui/WindowPeer.h"

namespace {

UINT ModifiersFromQt(Qt::KeyboardModifiers modifiers) {
    return (modifiers & Qt::ControlModifier ? MOD_CONTROL : 0) |
           (modifiers & Qt::AltModifier ? MOD_ALT : 0) |
           (modifiers & Qt::ShiftModifier ? MOD_SHIFT : 0);
}

class KeyFilter : public QObject {
  public:
    using QObject::QObject;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        // A key press reaches the top-level window first, then travels from the focus widget
        // up through its parents: translate it once, at the window.
        if (event->type() != QEvent::KeyPress || !watched->isWindowType()) {
            return QObject::eventFilter(watched, event);
        }
        auto* key = static_cast<QKeyEvent*>(event);
        const UINT virtualKey = VirtualKeyFromQt(key->key());
        CWnd* target = CWnd::FromWidget(QApplication::focusWidget());
        if (target == nullptr) target = CWnd::FromWidget(WidgetOfWindow(watched));

        if (virtualKey != 0 &&
            PreTranslateKey(target, virtualKey, ModifiersFromQt(key->modifiers()))) {
            return true;
        }
        return QObject::eventFilter(watched, event);
    }
};

}  // namespace

bool PreTranslateKey(CWnd* target, UINT virtualKey, UINT modifiers) {
    CWinApp* app = AfxGetApp();
    if (app == nullptr) return false;
    if (virtualKey == VK_APPS || virtualKey == VK_F10) {
        // The hot key belongs to the main window: under any modal run it does nothing at all.
        if (IsModalRunActive()) return true;
        MSG hotKey{app->m_pMainWnd, WM_HOTKEY, kMenuHotKey, 0, 0};
        if (hotKey.hwnd != nullptr && app->PreTranslateMessage(&hotKey)) return true;
    }
    MSG key{target, WM_KEYDOWN, virtualKey, 1, modifiers};
    return target != nullptr && app->PreTranslateMessage(&key);
}

void PressKey(CWnd* target, UINT virtualKey, UINT modifiers) {
    if (PreTranslateKey(target, virtualKey, modifiers)) return;
    if (target != nullptr && target->IsWindow()) target->SendMessage(WM_KEYDOWN, virtualKey, 1);
}

void InstallKeyTranslation() {
    static KeyFilter* filter = nullptr;
    if (filter == nullptr && QCoreApplication::instance() != nullptr) {
        filter = new KeyFilter(QCoreApplication::instance());
        QCoreApplication::instance()->installEventFilter(filter);
    }
    // Installed last, so it runs first: a key for a window that waits is never translated.
    InstallInputHold();
}
