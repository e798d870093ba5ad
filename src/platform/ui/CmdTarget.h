#pragma once

#include <functional>
#include <vector>

#include "platform/base/Object.h"
#include "platform/ui/Messages.h"

class CCmdTarget;
class CCmdUI;
class CDC;
class CWnd;
class CScrollBar;

// What a command target is asked to do with a command id.
enum class CommandCode {
    Execute,  // run the handler
    Update,   // run the update rule with a CCmdUI
    Probe,    // only tell whether a handler exists
};

// Control notifications carried by WM_COMMAND (high word of wParam).
constexpr UINT BN_CLICKED = 0;
constexpr UINT EN_CHANGE = 0x0300;
constexpr UINT CBN_SELCHANGE = 1;

// One line of a message map: a handler bound to a command id (or range), an update rule,
// a window message or a control notification.
struct MessageMapEntry {
    enum class Kind { Command, Update, Message, Notify };
    struct Call {
        UINT id;
        WPARAM wParam;
        LPARAM lParam;
        CCmdUI* ui;
    };
    using Handler = std::function<LRESULT(CCmdTarget*, const Call&)>;

    Kind kind;
    UINT message = 0;  // Message: the window message; Notify: the notification code
    UINT firstId = 0;
    UINT lastId = 0;
    Handler handler;
};

// The table of one class, chained to its base class's table.
struct MessageMap {
    const MessageMap* base;
    std::vector<MessageMapEntry> entries;
};

// Declares the static table of a class and the virtual that returns it.
#define DECLARE_MESSAGE_MAP()                         \
  public:                                             \
    static const MessageMap& GetThisMessageMap();     \
    const MessageMap& GetMessageMap() const override; \
                                                      \
  private:

// Defines the table of `Class`, chained to `Base`'s, with the entries that follow.
#define BEGIN_MESSAGE_MAP(Class, Base)               \
    const MessageMap& Class::GetMessageMap() const { \
        return GetThisMessageMap();                  \
    }                                                \
    const MessageMap& Class::GetThisMessageMap() {   \
        static const MessageMap map {                \
            &Base::GetThisMessageMap(), {
#define END_MESSAGE_MAP() \
    }                     \
    }                     \
    ;                     \
    return map;           \
    }

// Anything that can receive commands: the application, documents, windows.
class CCmdTarget : public CObject {
  public:
    static const MessageMap& GetThisMessageMap();
    virtual const MessageMap& GetMessageMap() const;

    // Offers a command to this target's own table. Routing classes extend this to pass
    // it on (view, document, frame, application).
    virtual bool OnCmdMsg(UINT id, CommandCode code, CCmdUI* ui);

  protected:
    // The first entry of this class's table chain of `kind` that matches.
    const MessageMapEntry* FindMapEntry(MessageMapEntry::Kind kind, UINT message, UINT id) const;
};

// Entry builders, one per kind of binding, so a table reads like the class's design.
namespace on {

template <typename T>
MessageMapEntry Command(UINT id, void (T::*handler)()) {
    return {MessageMapEntry::Kind::Command, 0, id, id,
            [handler](CCmdTarget* t, const MessageMapEntry::Call&) {
                (static_cast<T*>(t)->*handler)();
                return LRESULT{1};
            }};
}

template <typename T>
MessageMapEntry CommandRange(UINT first, UINT last, void (T::*handler)(UINT)) {
    return {MessageMapEntry::Kind::Command, 0, first, last,
            [handler](CCmdTarget* t, const MessageMapEntry::Call& call) {
                (static_cast<T*>(t)->*handler)(call.id);
                return LRESULT{1};
            }};
}

template <typename T>
MessageMapEntry UpdateCommandUI(UINT id, void (T::*handler)(CCmdUI*)) {
    return {MessageMapEntry::Kind::Update, 0, id, id,
            [handler](CCmdTarget* t, const MessageMapEntry::Call& call) {
                (static_cast<T*>(t)->*handler)(call.ui);
                return LRESULT{1};
            }};
}

template <typename T>
MessageMapEntry UpdateCommandUIRange(UINT first, UINT last, void (T::*handler)(CCmdUI*)) {
    return {MessageMapEntry::Kind::Update, 0, first, last,
            [handler](CCmdTarget* t, const MessageMapEntry::Call& call) {
                (static_cast<T*>(t)->*handler)(call.ui);
                return LRESULT{1};
            }};
}

// A control's notification, such as BN_CLICKED from button `id`.
template <typename T>
MessageMapEntry Notify(UINT code, UINT id, void (T::*handler)()) {
    return {MessageMapEntry::Kind::Notify, code, id, id,
            [handler](CCmdTarget* t, const MessageMapEntry::Call&) {
                (static_cast<T*>(t)->*handler)();
                return LRESULT{1};
            }};
}

// A notification that carries data (WM_NOTIFY style): the handler gets lParam and sets the
// result.
template <typename T>
MessageMapEntry NotifyWithData(UINT code, UINT id, void (T::*handler)(LPARAM, LRESULT*)) {
    return {MessageMapEntry::Kind::Notify, code, id, id,
            [handler](CCmdTarget* t, const MessageMapEntry::Call& call) {
                LRESULT result = 0;
                (static_cast<T*>(t)->*handler)(call.lParam, &result);
                return result;
            }};
}

template <typename T, typename F>
MessageMapEntry WindowMessage(UINT message, F adapt, T* = nullptr) {
    return {MessageMapEntry::Kind::Message, message, 0, 0,
            [adapt](CCmdTarget* t, const MessageMapEntry::Call& call) {
                return adapt(static_cast<T*>(t), call.wParam, call.lParam);
            }};
}

template <typename T>
MessageMapEntry Create(int (T::*handler)()) {
    return WindowMessage<T>(WM_CREATE,
                            [handler](T* t, WPARAM, LPARAM) { return LRESULT{(t->*handler)()}; });
}

template <typename T>
MessageMapEntry Destroy(void (T::*handler)()) {
    return WindowMessage<T>(WM_DESTROY, [handler](T* t, WPARAM, LPARAM) {
        (t->*handler)();
        return LRESULT{0};
    });
}

template <typename T>
MessageMapEntry Activate(void (T::*handler)(UINT state, CWnd* other, bool minimized)) {
    return WindowMessage<T>(WM_ACTIVATE, [handler](T* t, WPARAM w, LPARAM l) {
        (t->*handler)(LOWORD(w), reinterpret_cast<CWnd*>(l), HIWORD(w) != 0);
        return LRESULT{0};
    });
}

template <typename T>
MessageMapEntry Timer(void (T::*handler)(UINT id)) {
    return WindowMessage<T>(WM_TIMER, [handler](T* t, WPARAM w, LPARAM) {
        (t->*handler)(static_cast<UINT>(w));
        return LRESULT{0};
    });
}

template <typename T>
MessageMapEntry PointerMessage(UINT message, void (T::*handler)(UINT flags, CPoint point)) {
    return WindowMessage<T>(message, [handler](T* t, WPARAM w, LPARAM l) {
        (t->*handler)(static_cast<UINT>(w), PointFromLParam(l));
        return LRESULT{0};
    });
}

template <typename T>
MessageMapEntry LButtonDown(void (T::*handler)(UINT, CPoint)) {
    return PointerMessage<T>(WM_LBUTTONDOWN, handler);
}
template <typename T>
MessageMapEntry MouseMove(void (T::*handler)(UINT, CPoint)) {
    return PointerMessage<T>(WM_MOUSEMOVE, handler);
}
template <typename T>
MessageMapEntry LButtonUp(void (T::*handler)(UINT, CPoint)) {
    return PointerMessage<T>(WM_LBUTTONUP, handler);
}
template <typename T>
MessageMapEntry LButtonDblClk(void (T::*handler)(UINT, CPoint)) {
    return PointerMessage<T>(WM_LBUTTONDBLCLK, handler);
}

template <typename T>
MessageMapEntry KeyDown(void (T::*handler)(UINT key, UINT repeat, UINT flags)) {
    return WindowMessage<T>(WM_KEYDOWN, [handler](T* t, WPARAM w, LPARAM l) {
        (t->*handler)(static_cast<UINT>(w), static_cast<UINT>(l & 0xFFFF),
                      static_cast<UINT>(l >> 16));
        return LRESULT{0};
    });
}

template <typename T>
MessageMapEntry EraseBkgnd(bool (T::*handler)(CDC*)) {
    return WindowMessage<T>(WM_ERASEBKGND, [handler](T* t, WPARAM w, LPARAM) {
        return LRESULT{(t->*handler)(reinterpret_cast<CDC*>(w))};
    });
}

template <typename T>
MessageMapEntry Paint(void (T::*handler)()) {
    return WindowMessage<T>(WM_PAINT, [handler](T* t, WPARAM, LPARAM) {
        (t->*handler)();
        return LRESULT{0};
    });
}

template <typename T>
MessageMapEntry VScroll(void (T::*handler)(UINT code, UINT position, CScrollBar* bar)) {
    return WindowMessage<T>(WM_VSCROLL, [handler](T* t, WPARAM w, LPARAM l) {
        (t->*handler)(LOWORD(w), HIWORD(w), reinterpret_cast<CScrollBar*>(l));
        return LRESULT{0};
    });
}

// The wheel: the turn in the high word of wParam, in WHEEL_DELTA units per notch.
template <typename T>
MessageMapEntry MouseWheel(void (T::*handler)(UINT flags, int16_t delta, CPoint point)) {
    return WindowMessage<T>(WM_MOUSEWHEEL, [handler](T* t, WPARAM w, LPARAM l) {
        (t->*handler)(LOWORD(w), static_cast<int16_t>(HIWORD(w)), PointFromLParam(l));
        return LRESULT{0};
    });
}

template <typename T>
MessageMapEntry Close(void (T::*handler)()) {
    return WindowMessage<T>(WM_CLOSE, [handler](T* t, WPARAM, LPARAM) {
        (t->*handler)();
        return LRESULT{0};
    });
}

template <typename T>
MessageMapEntry Size(void (T::*handler)(UINT type, int cx, int cy)) {
    return WindowMessage<T>(WM_SIZE, [handler](T* t, WPARAM w, LPARAM l) {
        (t->*handler)(static_cast<UINT>(w), LOWORD(static_cast<uintptr_t>(l)),
                      HIWORD(static_cast<uintptr_t>(l)));
        return LRESULT{0};
    });
}

}  // namespace on
