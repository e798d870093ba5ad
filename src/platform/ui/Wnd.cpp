#include "Wnd.h"

#include <QAbstractButton>
#include <QApplication>
#include <QGroupBox>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QScreen>
#include <QTimer>
#include <QWindow>
#include <algorithm>

#include "platform/gdi/Blit.h"
#include "platform/shell/Screen.h"
#include "platform/ui/CmdUI.h"
#include "platform/ui/InputHold.h"
#include "platform/ui/Idle.h"
#include "platform/ui/ModalRun.h"
#include "platform/ui/ScreenArea.h"
#include "platform/ui/WinApp.h"
#include "platform/ui/WindowPeer.h"

namespace {

CWnd* gCapture = nullptr;
CWnd* gActive = nullptr;
MessageSpy gSpy;
const char* const kOwnerProperty = "quillo.cwnd";

QRect ToQRect(const CRect& r) {
    return QRect(r.left, r.top, r.Width(), r.Height());
}

}  // namespace

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

// clang-format off
BEGIN_MESSAGE_MAP(CWnd, CCmdTarget)
END_MESSAGE_MAP()
// clang-format on

CWnd::CWnd() : m_peer(std::make_unique<WindowPeer>()) {}

CWnd::~CWnd() {
    SetParentWindow(nullptr);
    for (CWnd* child : m_peer->children) child->m_pParent = nullptr;
    if (gCapture == this) gCapture = nullptr;
    if (gActive == this) gActive = nullptr;
    m_peer->ReleaseWidget(this);
}

bool CWnd::PreCreateWindow(CREATESTRUCT&) {
    return true;
}

bool CWnd::Create(CWnd* parent, const CRect& rect, UINT id, uint32_t style,
                  std::string_view title) {
    CREATESTRUCT cs{style | (parent != nullptr ? WS_CHILD : 0), std::string(title), rect};
    if (!PreCreateWindow(cs)) {
        return false;
    }
    m_nID = id;
    SetParentWindow(parent);
    m_style = cs.style;
    auto* widget = new WndWidget(this, parent != nullptr ? parent->GetWidget() : nullptr);
    widget->setProperty(kOwnerProperty, QVariant::fromValue<void*>(this));
    m_peer->widget = widget;
    m_peer->selfPainting = true;
    m_peer->ownsWidget = true;
    widget->setWindowTitle(QString::fromStdString(cs.lpszName));
    if (parent == nullptr && cs.rect.left == CW_USEDEFAULT) {
        widget->resize(cs.rect.Width(), cs.rect.Height());
    } else {
        widget->setGeometry(ToQRect(cs.rect));
    }
    m_peer->ResizeSurface(cs.rect.Width(), cs.rect.Height());
    if (SendMessage(WM_CREATE) == -1) {
        DestroyWindow();
        return false;
    }
    Invalidate(true);
    if ((cs.style & WS_VISIBLE) != 0) {
        widget->show();
    }
    return true;
}

void CWnd::Attach(QWidget* widget, CWnd* parent, UINT id) {
    m_peer->widget = widget;
    m_peer->selfPainting = false;
    m_peer->ownsWidget = false;
    SetParentWindow(parent);
    m_nID = id;
    widget->setProperty(kOwnerProperty, QVariant::fromValue<void*>(this));
}

void CWnd::AdoptWidget(QWidget* widget, CWnd* parent, UINT id) {
    Attach(widget, parent, id);
    m_peer->ownsWidget = true;
}

void CWnd::SetParentWindow(CWnd* parent) {
    if (m_pParent != nullptr) std::erase(m_pParent->m_peer->children, this);
    m_pParent = parent;
    if (parent != nullptr) parent->m_peer->children.push_back(this);
}

CWnd* CWnd::FindChild(UINT id) const {
    // The newest window for an id wins: one that took a control over answers for it.
    for (auto it = m_peer->children.rbegin(); it != m_peer->children.rend(); ++it) {
        if ((*it)->m_nID == id) return *it;
    }
    return nullptr;
}

bool CWnd::SubclassDlgItem(UINT id, CWnd* parent) {
    CWnd* placeholder = parent != nullptr ? parent->FindChild(id) : nullptr;
    if (placeholder == nullptr || placeholder->GetWidget() == nullptr) return false;
    const QRect area = placeholder->GetWidget()->geometry();
    const bool visible = !placeholder->GetWidget()->isHidden();
    placeholder->GetWidget()->hide();
    return Create(parent,
                  {area.left(), area.top(), area.left() + area.width(), area.top() + area.height()},
                  id, visible ? WS_VISIBLE : 0);
}

CWnd* CWnd::FromWidget(const QWidget* widget) {
    for (; widget != nullptr; widget = widget->parentWidget()) {
        const QVariant owner = widget->property(kOwnerProperty);
        if (owner.isValid()) return static_cast<CWnd*>(owner.value<void*>());
    }
    return nullptr;
}

bool CWnd::DestroyWindow() {
    if (!IsWindow()) {
        return false;
    }
    SendMessage(WM_DESTROY);
    if (gCapture == this) gCapture = nullptr;
    if (gActive == this) gActive = nullptr;
    m_peer->ReleaseWidget(this);
    PostNcDestroy();
    return true;
}

bool CWnd::IsWindow() const {
    return !m_peer->widget.isNull();
}

QWidget* CWnd::GetWidget() const {
    return m_peer->widget.data();
}

CWnd* CWnd::GetTopLevelParent() {
    CWnd* window = this;
    while (window->m_pParent != nullptr) window = window->m_pParent;
    return window;
}

void SetMessageSpy(MessageSpy spy) {
    gSpy = std::move(spy);
}

LRESULT CWnd::SendMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    if (gSpy) gSpy(this, message, wParam, lParam);
    const MSG saved = m_current;
    m_current = {this, message, wParam, lParam};
    const LRESULT result = WindowProc(message, wParam, lParam);
    m_current = saved;
    ScheduleIdleUpdate();
    return result;
}

LRESULT CWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_COMMAND) {
        return OnCommand(wParam, lParam) ? 0 : DefWindowProc(message, wParam, lParam);
    }
    if (message == WM_NOTIFY) {
        const auto* header = reinterpret_cast<const NMHDR*>(lParam);
        if (const MessageMapEntry* entry =
                FindMapEntry(MessageMapEntry::Kind::Notify, header->code, header->idFrom)) {
            return entry->handler(this, {header->idFrom, wParam, lParam, nullptr});
        }
        return 0;
    }
    if (const MessageMapEntry* entry = FindMapEntry(MessageMapEntry::Kind::Message, message, 0)) {
        return entry->handler(this, {0, wParam, lParam, nullptr});
    }
    return DefWindowProc(message, wParam, lParam);
}

bool CWnd::OnCommand(WPARAM wParam, LPARAM lParam) {
    const UINT id = LOWORD(wParam);
    const UINT code = HIWORD(wParam);
    if (lParam != 0) {  // from a control: a notification
        if (const MessageMapEntry* entry = FindMapEntry(MessageMapEntry::Kind::Notify, code, id)) {
            entry->handler(this, {id, wParam, lParam, nullptr});
            return true;
        }
        if (code != BN_CLICKED) {
            return false;
        }
    }
    return OnCmdMsg(id, CommandCode::Execute, nullptr);
}

LRESULT CWnd::DefWindowProc(UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
        case WM_ERASEBKGND: {
            auto* dc = reinterpret_cast<CDC*>(wParam);
            dc->FillSolidRect(GetClientRect(), RGB(255, 255, 255));
            return 1;
        }
        case WM_CLOSE:
            DestroyWindow();
            return 0;
        default:
            return 0;
    }
}

LRESULT CWnd::Default() {
    return DefWindowProc(m_current.message, m_current.wParam, m_current.lParam);
}

bool CWnd::PreTranslateMessage(MSG*) {
    return false;
}

int CWnd::OnCreate() {
    return static_cast<int>(Default());
}
void CWnd::OnLButtonDown(UINT, CPoint) {
    Default();
}
void CWnd::OnMouseMove(UINT, CPoint) {
    Default();
}
void CWnd::OnLButtonUp(UINT, CPoint) {
    Default();
}
void CWnd::OnLButtonDblClk(UINT, CPoint) {
    Default();
}
void CWnd::OnKeyDown(UINT, UINT, UINT) {
    Default();
}
void CWnd::OnTimer(UINT) {
    Default();
}
void CWnd::OnActivate(UINT, CWnd*, bool) {
    Default();
}
void CWnd::OnClose() {
    Default();
}
void CWnd::OnDestroy() {
    Default();
}

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
    if (QWindow* handle = window->windowHandle()) handle->setProperty("_q_showWithoutActivating", true);
}

void CWnd::HoldKeysUntilQuiet() {
    if (QWidget* widget = GetWidget()) ::HoldKeysUntilQuiet(widget->window());
}

bool CWnd::IsProgramActive() {
    return QApplication::activeWindow() != nullptr;
}

void CWnd::Invalidate(bool erase) {
    InvalidateRect(GetClientRect(), erase);
}

void CWnd::InvalidateRect(const CRect& rect, bool erase) {
    if (!m_peer->selfPainting || !IsWindow()) return;
    const CRect area = CRect::Intersect(rect, GetClientRect());
    m_peer->invalid = CRect::Union(m_peer->invalid, area);
    m_peer->erase = m_peer->erase || erase;
    GetWidget()->update(ToQRect(area));
}

void CWnd::UpdateWindow() {
    PaintPending();
}

void CWnd::PaintPending() {
    if (!m_peer->selfPainting || m_peer->invalid.IsRectEmpty() || !m_peer->surface) return;
    const CRect area = std::exchange(m_peer->invalid, CRect{});
    const bool erase = std::exchange(m_peer->erase, false);
    m_peer->painting = area;
    if (erase) {
        CPaintDC dc(this);
        SendMessage(WM_ERASEBKGND, reinterpret_cast<WPARAM>(&dc));
    }
    SendMessage(WM_PAINT);
    m_peer->painting = {};
    ShowSurfaceRect(area);
}

Surface* CWnd::GetSurface() const {
    return m_peer->surface.get();
}

void CWnd::ShowSurfaceRect(const CRect& rect) {
    if (QWidget* widget = GetWidget()) widget->update(ToQRect(rect));
}

UINT CWnd::SetTimer(UINT id, UINT milliseconds) {
    QWidget* widget = GetWidget();
    if (widget == nullptr) return 0;
    auto timer = std::make_unique<QTimer>();
    timer->setInterval(static_cast<int>(milliseconds));
    QObject::connect(timer.get(), &QTimer::timeout, widget,
                     [this, id] { SendMessage(WM_TIMER, id); });
    timer->start();
    m_peer->timers[id] = std::move(timer);
    return id;
}

bool CWnd::KillTimer(UINT id) {
    return m_peer->timers.erase(id) > 0;
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

int CWnd::MessageBox(std::string_view text, std::string_view caption, UINT type) {
    return RunMessageBox(this, text, caption, type);
}

void WindowPeer::ReleaseWidget(CWnd* owner) {
    timers.clear();
    QWidget* released = widget.data();
    widget.clear();
    if (released == nullptr) return;
    if (auto* owned = dynamic_cast<OwnedWidget*>(released)) owned->Detach();
    // Another window may have taken the widget over since; it keeps it.
    if (released->property(kOwnerProperty).value<void*>() == owner) {
        released->setProperty(kOwnerProperty, QVariant());
    }
    if (ownsWidget) {
        released->hide();
        released->deleteLater();  // the toolkit may be inside one of its events
    }
}

void WindowPeer::ResizeSurface(int width, int height) {
    if (!selfPainting || width <= 0 || height <= 0) {
        surface.reset();
        return;
    }
    if (surface && surface->Width() == width && surface->Height() == height) return;
    auto resized = Surface::CreateTrueColor(width, height);
    if (resized && surface) {
        // Keep what was shown until the repaint that a resize asks for.
        ClipRegion all;
        CopyPixels(*resized, all, 0, 0, width, height, *surface, 0, 0);
    }
    surface = std::move(resized);
}

CClientDC::CClientDC(CWnd* window) {
    Surface* surface = window != nullptr ? window->GetSurface() : nullptr;
    AttachSurface(surface, [window](const CRect& changed) { window->ShowSurfaceRect(changed); });
}

CPaintDC::CPaintDC(CWnd* window) {
    Surface* surface = window != nullptr ? window->GetSurface() : nullptr;
    AttachSurface(surface);
    if (surface == nullptr) return;
    const CRect area = window->Peer()->painting;
    if (area.IsRectEmpty()) return;
    const CRect all = surface->Bounds();
    ExcludeClipRect({all.left, all.top, all.right, area.top});
    ExcludeClipRect({all.left, area.bottom, all.right, all.bottom});
    ExcludeClipRect({all.left, area.top, area.left, area.bottom});
    ExcludeClipRect({area.right, area.top, all.right, area.bottom});
}
