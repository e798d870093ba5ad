#include "Wnd.h"

#include <QTimer>
#include <algorithm>

#include "platform/ui/WindowPeer.h"

// A window's life: made (or taken over), its children, its timers, and its end.

namespace {

const char* const kOwnerProperty = "quillo.cwnd";

}  // namespace

CWnd::CWnd() : m_peer(std::make_unique<WindowPeer>()) {}

CWnd::~CWnd() {
    SetParentWindow(nullptr);
    for (CWnd* child : m_peer->children) child->m_pParent = nullptr;
    ForgetTrackedWindow(this);
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
    ForgetTrackedWindow(this);
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
