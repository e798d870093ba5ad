#include "Wnd.h"
#include "platform/ui/Idle.h"
#include "platform/ui/WindowPeer.h"

// How a message reaches its window: the spy, the class's map, then the default handling.

namespace {

MessageSpy gSpy;

}  // namespace

// clang-format off
BEGIN_MESSAGE_MAP(CWnd, CCmdTarget)
END_MESSAGE_MAP()
// clang-format on

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
