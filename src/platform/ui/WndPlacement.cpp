#include <QAbstractButton>
#include <QGroupBox>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QScreen>

#include "Wnd.h"
#include "platform/shell/Screen.h"
#include "platform/ui/ScreenArea.h"
#include "platform/ui/WindowPeer.h"

// Where a window is, its size, its text and whether it shows.

void CWnd::SetWindowText(std::string_view text) {
    QWidget* widget = GetWidget();
    if (widget == nullptr) return;
    const QString value = QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
    if (auto* edit = qobject_cast<QLineEdit*>(widget)) {
        edit->setText(value);
    } else if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
        button->setText(value);
    } else if (auto* label = qobject_cast<QLabel*>(widget)) {
        label->setText(value);
    } else if (auto* group = qobject_cast<QGroupBox*>(widget)) {
        group->setTitle(value);
    } else {
        widget->setWindowTitle(value);
    }
}

std::string CWnd::GetWindowText() const {
    const QWidget* widget = GetWidget();
    if (widget == nullptr) return {};
    if (const auto* edit = qobject_cast<const QLineEdit*>(widget))
        return edit->text().toStdString();
    if (const auto* button = qobject_cast<const QAbstractButton*>(widget))
        return button->text().toStdString();
    if (const auto* label = qobject_cast<const QLabel*>(widget)) return label->text().toStdString();
    if (const auto* group = qobject_cast<const QGroupBox*>(widget))
        return group->title().toStdString();
    return widget->windowTitle().toStdString();
}

CRect CWnd::GetClientRect() const {
    const QWidget* widget = GetWidget();
    return widget ? CRect{0, 0, widget->width(), widget->height() - BottomFrameHeight()} : CRect{};
}

CRect CWnd::GetWindowRect() const {
    const QWidget* widget = GetWidget();
    if (widget == nullptr) return {};
    const QPoint origin = widget->mapToGlobal(QPoint(0, 0));
    return {origin.x(), origin.y(), origin.x() + widget->width(), origin.y() + widget->height()};
}

CPoint CWnd::ClientToScreen(CPoint point) const {
    const QWidget* widget = GetWidget();
    if (widget == nullptr) return point;
    const QPoint global = widget->mapToGlobal(QPoint(point.x, point.y));
    return {global.x(), global.y()};
}

CRect CWnd::ClientToScreen(const CRect& rect) const {
    const CPoint topLeft = ClientToScreen(rect.TopLeft());
    return {topLeft.x, topLeft.y, topLeft.x + rect.Width(), topLeft.y + rect.Height()};
}

CPoint CWnd::ScreenToClient(CPoint point) const {
    const QWidget* widget = GetWidget();
    if (widget == nullptr) return point;
    const QPoint local = widget->mapFromGlobal(QPoint(point.x, point.y));
    return {local.x(), local.y()};
}

void CWnd::MoveWindow(const CRect& rect) {
    if (QWidget* widget = GetWidget()) widget->setGeometry(ToQRect(rect));
}

void CWnd::MoveKeepingSize(CPoint topLeft) {
    if (QWidget* widget = GetWidget()) widget->move(topLeft.x, topLeft.y);
}

void CWnd::CenterWindow(CWnd* over) {
    QWidget* widget = GetWidget();
    if (widget == nullptr) return;
    if (over == nullptr) over = CenteringOwner();
    if (over == nullptr || !over->IsWindow()) {
        const QRect screen = QGuiApplication::primaryScreen()->geometry();
        widget->move(screen.center() - widget->rect().center());
        return;
    }
    // On a device of its own size the main window is its screen: stay on it.
    if (widget->isWindow() && HasScreenOverride()) {
        PlaceInside(*widget, WindowRectOf(over), ScreenAreaFor(over));
        return;
    }
    const CRect area = over->GetWindowRect();
    const int x = area.left + (area.Width() - widget->width()) / 2;
    const int y = area.top + (area.Height() - widget->height()) / 2;
    if (widget->isWindow()) {
        widget->move(x, y);
    } else {
        const QPoint local = widget->parentWidget()->mapFromGlobal(QPoint(x, y));
        widget->move(local);
    }
}

void CWnd::ShowWindow(int command) {
    if (QWidget* widget = GetWidget()) widget->setVisible(command != SW_HIDE);
}
