#include "InputHold.h"

#include <QApplication>
#include <QEvent>
#include <QPointer>
#include <QTimer>
#include <QWidget>
#include <QWindow>
#include <vector>

#include "platform/ui/Wnd.h"

namespace {

std::vector<QPointer<QWidget>> gWaiting;

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
        if (!IsInput(event->type()) || TopWaitingWindow() == nullptr) return false;
        const QWidget* window = nullptr;
        if (target->isWidgetType()) {
            window = static_cast<QWidget*>(target)->window();
        } else if (target->isWindowType()) {
            window = WidgetOfWindow(target);
        }
        if (window == nullptr || TakesInput(window)) return false;
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
    if (window == nullptr || TakesInput(window)) return;
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
