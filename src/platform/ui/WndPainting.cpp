#include <utility>

#include "Wnd.h"
#include "platform/gdi/Blit.h"
#include "platform/ui/WindowPeer.h"

// Painting into a window's backing surface, and the contexts that draw on a window.

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
