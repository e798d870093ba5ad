#pragma once

#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "platform/gdi/DC.h"
#include "platform/gdi/Geometry.h"
#include "platform/ui/CmdTarget.h"

class WindowPeer;
class QWidget;

// Window styles the program sets or clears.
constexpr uint32_t WS_CHILD = 0x40000000;
constexpr uint32_t WS_VISIBLE = 0x10000000;
// The left of a top-level window's rectangle: the window manager picks where it goes.
constexpr int32_t CW_USEDEFAULT = INT32_MIN;
constexpr uint32_t FWS_ADDTOTITLE = 0x00008000;

struct CREATESTRUCT {
    uint32_t style = 0;
    std::string lpszName;
    CRect rect;
};

constexpr int SW_HIDE = 0;
constexpr int SW_SHOWNORMAL = 1;
constexpr int SW_SHOW = 5;

// A window: messages are dispatched through the class's message map, and a window that
// paints itself keeps a backing surface that its client contexts draw into.
class CWnd : public CCmdTarget {
    DECLARE_MESSAGE_MAP()

  public:
    CWnd();
    ~CWnd() override;
    CWnd(const CWnd&) = delete;
    CWnd& operator=(const CWnd&) = delete;

    // Makes a self-painting window: a child of `parent` at `rect`, or a top-level window
    // when `parent` is null. Sends WM_CREATE; a handler that answers -1 fails creation.
    [[nodiscard]] virtual bool Create(CWnd* parent, const CRect& rect, UINT id,
                                      uint32_t style = WS_VISIBLE, std::string_view title = {});
    virtual bool PreCreateWindow(CREATESTRUCT& cs);
    bool DestroyWindow();
    bool IsWindow() const;

    LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0);
    // Called for every key message before it reaches its window; true keeps it from there.
    virtual bool PreTranslateMessage(MSG* msg);

    // Dialogs (and message boxes) answer true; the hot key leaves them alone.
    virtual bool IsDialog() const { return false; }
    // Pixels at the bottom of the window that belong to its frame, not its client area
    // (the strip that holds a dialog's caption OK button).
    virtual int BottomFrameHeight() const { return 0; }

    UINT GetDlgCtrlID() const { return m_nID; }
    CWnd* GetParent() const { return m_pParent; }
    CWnd* GetTopLevelParent();
    uint32_t GetStyle() const { return m_style; }

    void SetWindowText(std::string_view text);
    std::string GetWindowText() const;

    CRect GetClientRect() const;
    CRect GetWindowRect() const;  // in screen coordinates
    CPoint ClientToScreen(CPoint point) const;
    CRect ClientToScreen(const CRect& rect) const;
    CPoint ScreenToClient(CPoint point) const;
    void MoveWindow(const CRect& rect);    // in the parent's client coordinates
    void MoveKeepingSize(CPoint topLeft);  // the same, keeping size and z-order
    // Over `over` (the owner when null), kept inside the device's screen when it has one.
    void CenterWindow(CWnd* over = nullptr);
    // What CenterWindow centres over by default.
    virtual CWnd* CenteringOwner() const { return m_pParent; }

    void ShowWindow(int command);
    void SetFocus();
    // Raises and activates the window's top-level window; where the desktop refuses it the
    // focus, the window asks for the user's attention (the window manager's urgency hint).
    bool SetForegroundWindow();
    // Keeps the top-level window above all others, or no longer.
    void SetTopMost(bool topMost);
    // Raises the top-level window above the others without taking the keyboard.
    void BringWindowToTop();
    // Asks for the user's attention (the window manager's urgency hint) without taking the
    // keyboard; the request ends by itself once the user activates the window.
    void FlashWindow();
    // The window, when it is next shown, leaves the keyboard where it is.
    void ShowWithoutActivating();
    // Keys typed for another program never answer the window: once it has the keyboard, its
    // keys count only after a second without any key, or after a click into it.
    void HoldKeysUntilQuiet();
    // True while a window of this program has the keyboard.
    static bool IsProgramActive();

    // Marks the whole client area (or `rect`) for repainting; `erase` runs the background
    // erase first. The paint runs into the backing surface when the window is next shown,
    // or at once through UpdateWindow.
    void Invalidate(bool erase = true);
    void InvalidateRect(const CRect& rect, bool erase = true);
    void UpdateWindow();

    UINT SetTimer(UINT id, UINT milliseconds);
    bool KillTimer(UINT id);

    CWnd* SetCapture();
    static bool ReleaseCapture();
    static CWnd* GetCapture();
    static CWnd* GetActiveWindow();

    int MessageBox(std::string_view text, std::string_view caption, UINT type);

    // The backing surface of a self-painting window; null for native controls.
    Surface* GetSurface() const;
    // Shows the given part of the surface on the screen.
    void ShowSurfaceRect(const CRect& rect);

    // Platform use only: the toolkit widget behind the window.
    QWidget* GetWidget() const;
    WindowPeer* Peer() const { return m_peer.get(); }
    // Takes over an existing toolkit widget that someone else owns.
    void Attach(QWidget* widget, CWnd* parent, UINT id);
    // Takes over a toolkit widget made for this window; it goes when the window goes.
    void AdoptWidget(QWidget* widget, CWnd* parent, UINT id);
    // The child window with the id, made or taken over with this window as parent.
    CWnd* FindChild(UINT id) const;
    // Puts this self-painting window in the place of `parent`'s control `id` (a static
    // frame of a template), with the same id.
    bool SubclassDlgItem(UINT id, CWnd* parent);
    static CWnd* FromWidget(const QWidget* widget);

    // Message dispatch: the window's own handlers, then DefWindowProc.
    virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    virtual LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    // WM_COMMAND: a control notification goes to the map's notify entries, anything else
    // is routed as a command.
    virtual bool OnCommand(WPARAM wParam, LPARAM lParam);
    // Runs the default handling of the message being dispatched.
    LRESULT Default();

    // Runs the pending erase and paint into the backing surface; platform use.
    void PaintPending();

    // Default handlers that derived handlers call for "the framework's handling".
    int OnCreate();
    void OnLButtonDown(UINT flags, CPoint point);
    void OnMouseMove(UINT flags, CPoint point);
    void OnLButtonUp(UINT flags, CPoint point);
    void OnLButtonDblClk(UINT flags, CPoint point);
    void OnKeyDown(UINT key, UINT repeat, UINT flags);
    void OnTimer(UINT id);
    void OnActivate(UINT state, CWnd* other, bool minimized);
    void OnClose();
    void OnDestroy();

  protected:
    // Called after the window is gone; frames delete themselves here.
    virtual void PostNcDestroy() {}

    UINT m_nID = 0;
    CWnd* m_pParent = nullptr;
    uint32_t m_style = 0;

  private:
    friend class WindowPeer;
    void SetParentWindow(CWnd* parent);

    std::unique_ptr<WindowPeer> m_peer;
    MSG m_current;
};

// A context that draws on a window's client area and shows what it drew at once.
class CClientDC : public CDC {
  public:
    explicit CClientDC(CWnd* window);
};

// The context of a paint: drawing is limited to the part being repainted.
class CPaintDC : public CDC {
  public:
    explicit CPaintDC(CWnd* window);
};

// Test and debugging seam: sees every message sent to any window, before its handler.
using MessageSpy = std::function<void(CWnd* window, UINT message, WPARAM wParam, LPARAM lParam)>;
void SetMessageSpy(MessageSpy spy);

// Activation as the framework sees it: the window that is active in this program, or none.
// Changing it sends WM_ACTIVATE to the window that loses and the one that gains it.
void SetActiveWindowTracked(CWnd* window);
