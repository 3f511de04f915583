#pragma once
#include <windows.h>

// Moves the window so that its centre is the desktop's, keeping its size, Z order and activation.
void CenterWindow(HWND window);

// Moves the window so that its centre is that of `over` (a box over its owner), in the same way.
void CenterWindowOver(HWND window, HWND over);

// The window's rectangle in the parent's client coordinates (desktop coordinates for no parent).
void GetWindowRectInParent(HWND window, HWND parent, RECT* rect);
