#include "InputHold.h"

#include <QApplication>
#include <QEvent>
#include <QPointer>
#include <QTimer>
#include <QWidget>
#include <QWindow>
#include <vector>

#include "platform/base/Time.h"
#include "platform/ui/Wnd.h"

namespace {

std::vector<QPointer<QWidget>> gWaiting;

constexpr FILETIME kQuietSpan = 1 * kFileTimeUnitsPerSecond;

// A window whose keys wait for a quiet second: the last key (or the keyboard's arrival) seen.
struct KeyHold {
    QPointer<QWidget> window;
    FILETIME lastKey;
};
std::vector<KeyHold> gKeyHolds;

FILETIME Now() {
    FILETIME now = 0;
    return SystemTimeToFileTime(GetLocalTime(), now) ? now : 0;
}

KeyHold* KeyHoldOf(const QWidget* window) {
    std::erase_if(gKeyHolds, [](const KeyHold& hold) { return hold.window.isNull(); });
    for (KeyHold& hold : gKeyHolds) {
        if (hold.window == window) return &hold;
    }
    return nullptr;
}

void ReleaseKeys(const QWidget* window) {
    std::erase_if(gKeyHolds, [window](const KeyHold& hold) { return hold.window == window; });
}

bool IsKey(QEvent::Type type) {
    return type == QEvent::KeyPress || type == QEvent::KeyRelease ||
           type == QEvent::ShortcutOverride || type == QEvent::Shortcut;
}

// Whether a key for `window` is still held back; each one held back restarts the quiet span.
bool KeyHeldBack(const QWidget* window) {
    KeyHold* hold = KeyHoldOf(window);
    if (hold == nullptr) return false;
    const FILETIME now = Now();
    if (now >= hold->lastKey + kQuietSpan) {
        ReleaseKeys(window);
        return false;
    }
    hold->lastKey = now;
    return true;
}

bool IsInput(QEvent::Type type) {
    switch (type) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick:
        case QEvent::MouseMove:
        case QEvent::Wheel:
        case QEvent::KeyPress:
        case QEvent::KeyRelease:
        case QEvent::ShortcutOverride:
        case QEvent::Shortcut:
        case QEvent::TabletPress:
        case QEvent::TabletMove:
        case QEvent::TabletRelease:
        case QEvent::TouchBegin:
        case QEvent::TouchUpdate:
        case QEvent::TouchEnd:
        case QEvent::ContextMenu:
            return true;
        default:
            return false;
    }
}

bool IsPress(QEvent::Type type) {
    return type == QEvent::MouseButtonPress || type == QEvent::TabletPress ||
           type == QEvent::TouchBegin;
}

class InputHoldFilter : public QObject {
  public:
    using QObject::QObject;

  protected:
    bool eventFilter(QObject* target, QEvent* event) override {
        if (!IsInput(event->type())) return false;
        if (TopWaitingWindow() == nullptr && gKeyHolds.empty()) return false;
        const QWidget* window = nullptr;
        if (target->isWidgetType()) {
            window = static_cast<QWidget*>(target)->window();
        } else if (target->isWindowType()) {
            window = WidgetOfWindow(target);
        }
        if (window == nullptr) return false;
        if (TakesInput(window)) {
            if (IsPress(event->type())) ReleaseKeys(window);  // the user chose this window
            return IsKey(event->type()) && KeyHeldBack(window);
        }
        // A click on a window that waits is the user looking for the program: the keyboard
        // goes to the window that can answer.
        if (IsPress(event->type())) ActivateTopWaitingWindow();
        return true;
    }
};

// The window manager may give the keyboard to a window that waits (a click on it, switching
// to it); the toolkit then holds its keys back and no window of the program would answer.
void HandOnKeyboard(QWindow* focus) {
    const QWidget* window = WidgetOfWindow(focus);
    if (window == nullptr) return;
    if (KeyHold* hold = KeyHoldOf(window)) hold->lastKey = Now();
    if (TakesInput(window)) return;
    // Not within the activation itself: the toolkit is still settling its own state.
    QTimer::singleShot(0, qApp, [] {
        const QWidget* now = WidgetOfWindow(QGuiApplication::focusWindow());
        if (now != nullptr && !TakesInput(now)) ActivateTopWaitingWindow();
    });
}

}  // namespace

WaitingWindowScope::WaitingWindowScope(QWidget* window) : m_window(window) {
    if (m_window != nullptr) gWaiting.emplace_back(m_window);
}

WaitingWindowScope::~WaitingWindowScope() {
    if (m_window == nullptr) return;
    for (auto it = gWaiting.rbegin(); it != gWaiting.rend(); ++it) {
        if (*it == m_window) {
            gWaiting.erase(std::next(it).base());
            break;
        }
    }
}

QWidget* TopWaitingWindow() {
    // A window already hidden (answered, its loop not yet left) holds nothing back.
    for (auto it = gWaiting.rbegin(); it != gWaiting.rend(); ++it) {
        if (!it->isNull() && (*it)->isVisible()) return it->data();
    }
    return nullptr;
}

bool TakesInput(const QWidget* window) {
    const QWidget* top = TopWaitingWindow();
    if (top == nullptr) return true;
    // A menu closes itself at a click elsewhere; holding its input back would keep it open.
    if (window->windowType() == Qt::Popup) return true;
    for (const QWidget* from = window; from != nullptr; from = from->parentWidget()) {
        if (from == top) return true;
    }
    return false;
}

QWidget* ParentForNewWindow(QWidget* owner) {
    QWidget* top = TopWaitingWindow();
    return top != nullptr ? top : owner;
}

void HoldKeysUntilQuiet(QWidget* window) {
    if (window == nullptr || KeyHoldOf(window) != nullptr) return;
    gKeyHolds.push_back({window, Now()});
}

void ActivateTopWaitingWindow() {
    QWidget* top = TopWaitingWindow();
    if (top == nullptr) return;
    top->raise();
    top->activateWindow();
    // A dialog of ours is the active window; the toolkit's own dialogs are no window of ours.
    CWnd* dialog = CWnd::FromWidget(top);
    if (dialog != nullptr && dialog->GetWidget() == top) SetActiveWindowTracked(dialog);
}

QWidget* WidgetOfWindow(const QObject* window) {
    if (window == nullptr) return nullptr;
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (widget->windowHandle() == window) return widget;
    }
    return nullptr;
}

void InstallInputHold() {
    static InputHoldFilter* filter = nullptr;
    if (filter != nullptr || QCoreApplication::instance() == nullptr) return;
    filter = new InputHoldFilter(QCoreApplication::instance());
    QCoreApplication::instance()->installEventFilter(filter);
    QObject::connect(qApp, &QGuiApplication::focusWindowChanged, filter, &HandOnKeyboard);
}
