#include "window_geometry.h"

void CenterWindowOver(HWND window, HWND over) {
    RECT rect;
    RECT outer;
    GetWindowRect(window, &rect);
    GetWindowRect(over, &outer);
    const int x = outer.left + ((outer.right - outer.left) - (rect.right - rect.left)) / 2;
    const int y = outer.top + ((outer.bottom - outer.top) - (rect.bottom - rect.top)) / 2;
    SetWindowPos(window, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void CenterWindow(HWND window) {
    CenterWindowOver(window, GetDesktopWindow());
}

void GetWindowRectInParent(HWND window, HWND parent, RECT* rect) {
    GetWindowRect(window, rect);
    MapWindowPoints(HWND_DESKTOP, parent, reinterpret_cast<POINT*>(rect), 2);
}
