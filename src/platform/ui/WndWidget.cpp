#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QTabletEvent>
#include <QWheelEvent>
#include <algorithm>
#include <cmath>

#include "platform/ui/Stylus.h"
#include "platform/ui/SurfacePainting.h"
#include "platform/ui/WindowPeer.h"

namespace {

constexpr WPARAM MK_LBUTTON = 0x0001;
constexpr int kTabletRatio = 4;

}  // namespace

UINT VirtualKeyFromQt(int key) {
    switch (key) {
        case Qt::Key_Escape:
            return VK_ESCAPE;
        case Qt::Key_Return:
        case Qt::Key_Enter:
            return VK_RETURN;
        // A button's key: a window that holds its keys back (a notice just opened) must see it.
        case Qt::Key_Space:
            return VK_SPACE;
        case Qt::Key_Backspace:
            return VK_BACK;
        case Qt::Key_PageUp:
            return VK_PRIOR;
        case Qt::Key_PageDown:
            return VK_NEXT;
        case Qt::Key_Home:
            return VK_HOME;
        case Qt::Key_End:
            return VK_END;
        case Qt::Key_Left:
            return VK_LEFT;
        case Qt::Key_Up:
            return VK_UP;
        case Qt::Key_Right:
            return VK_RIGHT;
        case Qt::Key_Down:
            return VK_DOWN;
        case Qt::Key_Insert:
            return VK_INSERT;
        case Qt::Key_Delete:
            return VK_DELETE;
        case Qt::Key_Menu:
            return VK_APPS;
        case Qt::Key_F6:
            return VK_F6;
        case Qt::Key_F10:
            return VK_F10;
        default:
            if (key >= Qt::Key_A && key <= Qt::Key_Z)
                return static_cast<UINT>('A' + (key - Qt::Key_A));
            if (key >= Qt::Key_0 && key <= Qt::Key_9)
                return static_cast<UINT>('0' + (key - Qt::Key_0));
            return 0;
    }
}

WndWidget::WndWidget(CWnd* owner, QWidget* parent) : QWidget(parent), m_owner(owner) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAttribute(Qt::WA_TabletTracking, false);
    setFocusPolicy(Qt::StrongFocus);
}

void WndWidget::paintEvent(QPaintEvent* event) {
    if (m_owner == nullptr) return;
    m_owner->PaintPending();
    const Surface* surface = m_owner->GetSurface();
    if (surface == nullptr) return;
    QPainter painter(this);
    PaintSurface(painter, *surface, event->rect());
}

void WndWidget::resizeEvent(QResizeEvent*) {
    if (m_owner == nullptr) return;
    m_owner->Peer()->ResizeSurface(width(), height());
    m_owner->SendMessage(WM_SIZE, 0,
                         MAKELPARAM(static_cast<int16_t>(width()), static_cast<int16_t>(height())));
    m_owner->Invalidate(true);
}

void WndWidget::Pen(UINT message, QPointF local, QPointF global, int ratio, StylusPointer pointer,
                    uint16_t pressure) {
    if (m_owner == nullptr) return;
    SetStylusBatch({CPoint{static_cast<int32_t>(std::lround(global.x() * ratio)),
                           static_cast<int32_t>(std::lround(global.y() * ratio))}},
                   pointer, {pressure});
    const auto x = static_cast<int16_t>(std::floor(local.x()));
    const auto y = static_cast<int16_t>(std::floor(local.y()));
    m_owner->SendMessage(message, MK_LBUTTON, MAKELPARAM(x, y));
}

void WndWidget::MousePen(UINT message, QMouseEvent* event) {
    Pen(message, event->position(), event->globalPosition(), 1, StylusPointer::Mouse,
        kMaxStylusPressure);
}

void WndWidget::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) MousePen(WM_LBUTTONDOWN, event);
}

void WndWidget::mouseMoveEvent(QMouseEvent* event) {
    if (event->buttons() & Qt::LeftButton) MousePen(WM_MOUSEMOVE, event);
}

void WndWidget::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) MousePen(WM_LBUTTONUP, event);
}

void WndWidget::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) MousePen(WM_LBUTTONDBLCLK, event);
}

void WndWidget::tabletEvent(QTabletEvent* event) {
    // The tip touching is the pen's left button. A side button pressed or held while the
    // tip is up, and a hover, are no pen-down: accepted here, they never become mouse
    // events either.
    UINT message = 0;
    if (event->type() == QEvent::TabletPress && event->button() == Qt::LeftButton) {
        message = WM_LBUTTONDOWN;
    } else if (event->type() == QEvent::TabletMove && (event->buttons() & Qt::LeftButton)) {
        message = WM_MOUSEMOVE;
    } else if (event->type() == QEvent::TabletRelease && event->button() == Qt::LeftButton) {
        message = WM_LBUTTONUP;
    }
    event->accept();
    if (message == 0) return;
    // A pen that cannot tell its pressure presses fully.
    const QPointingDevice* device = event->pointingDevice();
    const bool hasPressure =
        device != nullptr && device->capabilities().testFlag(QInputDevice::Capability::Pressure);
    const double told = hasPressure && !std::isnan(event->pressure()) ? event->pressure() : 1.0;
    const auto pressure =
        static_cast<uint16_t>(std::lround(std::clamp(told, 0.0, 1.0) * kMaxStylusPressure));
    const StylusPointer pointer = event->pointerType() == QPointingDevice::PointerType::Eraser
                                      ? StylusPointer::Eraser
                                      : StylusPointer::PenTip;
    // A pen reports positions finer than a pixel: they come as raw samples at four times
    // the screen's resolution, as the device's digitiser did.
    Pen(message, event->position(), event->globalPosition(), kTabletRatio, pointer, pressure);
}

void WndWidget::wheelEvent(QWheelEvent* event) {
    if (m_owner == nullptr) return QWidget::wheelEvent(event);
    const int turn = std::clamp(event->angleDelta().y(), INT16_MIN, INT16_MAX);
    const QPoint global = event->globalPosition().toPoint();
    m_owner->SendMessage(
        WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<uint16_t>(static_cast<int16_t>(turn))),
        MAKELPARAM(static_cast<int16_t>(global.x()), static_cast<int16_t>(global.y())));
    event->accept();
}

void WndWidget::keyPressEvent(QKeyEvent* event) {
    const UINT key = VirtualKeyFromQt(event->key());
    if (m_owner == nullptr || key == 0) {
        QWidget::keyPressEvent(event);
        return;
    }
    m_owner->SendMessage(WM_KEYDOWN, key, event->isAutoRepeat() ? 1 | (1 << 30) : 1);
}

void WndWidget::changeEvent(QEvent* event) {
    if (event->type() == QEvent::ActivationChange && m_owner != nullptr && isWindow()) {
        if (isActiveWindow()) {
            SetActiveWindowTracked(m_owner);
        } else if (CWnd::GetActiveWindow() == m_owner) {
            SetActiveWindowTracked(nullptr);
        }
    }
    QWidget::changeEvent(event);
}

void WndWidget::closeEvent(QCloseEvent* event) {
    // The window decides for itself: WM_CLOSE may save first, or refuse.
    event->ignore();
    if (m_owner != nullptr) m_owner->SendMessage(WM_CLOSE);
}
