#pragma once

#include <cstdint>

#include "platform/gdi/Geometry.h"

// The window messages, keys and standard identifiers the program is written against.

using UINT = unsigned int;
using WPARAM = uintptr_t;
using LPARAM = intptr_t;
using LRESULT = intptr_t;

constexpr UINT WM_CREATE = 0x0001;
constexpr UINT WM_DESTROY = 0x0002;
constexpr UINT WM_SIZE = 0x0005;
constexpr UINT WM_ACTIVATE = 0x0006;
constexpr UINT WM_SETFOCUS = 0x0007;
constexpr UINT WM_PAINT = 0x000F;
constexpr UINT WM_CLOSE = 0x0010;
constexpr UINT WM_ERASEBKGND = 0x0014;
constexpr UINT WM_NOTIFY = 0x004E;
constexpr UINT WM_KEYDOWN = 0x0100;
constexpr UINT WM_COMMAND = 0x0111;
constexpr UINT WM_TIMER = 0x0113;
constexpr UINT WM_VSCROLL = 0x0115;
constexpr UINT WM_MOUSEMOVE = 0x0200;
constexpr UINT WM_LBUTTONDOWN = 0x0201;
constexpr UINT WM_LBUTTONUP = 0x0202;
constexpr UINT WM_LBUTTONDBLCLK = 0x0203;
constexpr UINT WM_MOUSEWHEEL = 0x020A;
constexpr int WHEEL_DELTA = 120;  // one notch of the wheel
constexpr UINT WM_HOTKEY = 0x0312;

// WM_ACTIVATE states.
constexpr UINT WA_INACTIVE = 0;
constexpr UINT WA_ACTIVE = 1;

// Virtual keys.
constexpr UINT VK_BACK = 0x08;
constexpr UINT VK_RETURN = 0x0D;
constexpr UINT VK_SPACE = 0x20;
constexpr UINT VK_ESCAPE = 0x1B;
constexpr UINT VK_PRIOR = 0x21;
constexpr UINT VK_NEXT = 0x22;
constexpr UINT VK_END = 0x23;
constexpr UINT VK_HOME = 0x24;
constexpr UINT VK_LEFT = 0x25;
constexpr UINT VK_UP = 0x26;
constexpr UINT VK_RIGHT = 0x27;
constexpr UINT VK_DOWN = 0x28;
constexpr UINT VK_INSERT = 0x2D;
constexpr UINT VK_DELETE = 0x2E;
constexpr UINT VK_APPS = 0x5D;
constexpr UINT VK_F6 = 0x75;
constexpr UINT VK_F10 = 0x79;

// The hot key that the hardware menu key produces.
constexpr WPARAM kMenuHotKey = 0x70;

// Scroll bar notifications (low word of WM_VSCROLL's wParam).
constexpr UINT SB_LINEUP = 0;
constexpr UINT SB_LINEDOWN = 1;
constexpr UINT SB_PAGEUP = 2;
constexpr UINT SB_PAGEDOWN = 3;
constexpr UINT SB_THUMBPOSITION = 4;
constexpr UINT SB_THUMBTRACK = 5;
constexpr UINT SB_TOP = 6;
constexpr UINT SB_BOTTOM = 7;
constexpr UINT SB_ENDSCROLL = 8;

// Framework command identifiers.
constexpr UINT ID_FILE_NEW = 57600;
constexpr UINT ID_FILE_OPEN = 57601;
constexpr UINT ID_FILE_SAVE = 57603;
constexpr UINT ID_FILE_SAVE_AS = 57604;
constexpr UINT ID_EDIT_CLEAR = 57632;
constexpr UINT ID_APP_ABOUT = 57664;
constexpr UINT ID_APP_EXIT = 57665;

// Dialog and message box results and styles.
constexpr int IDOK = 1;
constexpr int IDCANCEL = 2;
constexpr int IDYES = 6;
constexpr int IDNO = 7;
constexpr UINT MB_OK = 0x0000;
constexpr UINT MB_YESNO = 0x0004;
constexpr UINT MB_ICONQUESTION = 0x0020;
constexpr UINT MB_ICONEXCLAMATION = 0x0030;

constexpr WPARAM MAKEWPARAM(uint16_t low, uint16_t high) {
    return static_cast<WPARAM>(low) | static_cast<WPARAM>(high) << 16;
}
constexpr uint16_t LOWORD(uintptr_t value) {
    return static_cast<uint16_t>(value);
}
constexpr uint16_t HIWORD(uintptr_t value) {
    return static_cast<uint16_t>(value >> 16);
}
constexpr LPARAM MAKELPARAM(int16_t x, int16_t y) {
    return static_cast<LPARAM>(static_cast<uint16_t>(x) |
                               static_cast<uint32_t>(static_cast<uint16_t>(y)) << 16);
}
inline CPoint PointFromLParam(LPARAM value) {
    return {static_cast<int16_t>(LOWORD(static_cast<uintptr_t>(value))),
            static_cast<int16_t>(HIWORD(static_cast<uintptr_t>(value)))};
}

class CWnd;

// The head of every WM_NOTIFY notification: which control sends which code.
struct NMHDR {
    CWnd* hwndFrom;
    UINT idFrom;
    UINT code;
};

// A message on its way to a window, as pre-translation sees it.
struct MSG {
    CWnd* hwnd = nullptr;
    UINT message = 0;
    WPARAM wParam = 0;
    LPARAM lParam = 0;
    UINT keyModifiers = 0;  // MOD_ flags held with a key
};

constexpr UINT MOD_CONTROL = 1;
constexpr UINT MOD_ALT = 2;
constexpr UINT MOD_SHIFT = 4;
