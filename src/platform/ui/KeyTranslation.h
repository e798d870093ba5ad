#pragma once

#include "platform/ui/Messages.h"

class CWnd;

// Offers a key to pre-translation before its window sees it: the menu key and F10 first
// as hot key 0x70 to the main window, then the key itself to the windows from `target` up
// (accelerators). True when something took it.
bool PreTranslateKey(CWnd* target, UINT virtualKey, UINT modifiers);

// Pre-translates, then delivers WM_KEYDOWN to `target` when nothing took the key. This is
// what a key press on the screen does; tests call it directly.
void PressKey(CWnd* target, UINT virtualKey, UINT modifiers = 0);

// Makes the toolkit's key presses go through pre-translation.
void InstallKeyTranslation();
