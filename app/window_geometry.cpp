#include "window_geometry.h"

void CenterWindow(HWND window) {
    RECT rect;
    RECT desktop;
    GetWindowRect(window, &rect);
    GetWindowRect(GetDesktopWindow(), &desktop);
    const int x = desktop.left + ((desktop.right - desktop.left) - (rect.right - rect.left)) / 2;
    const int y = desktop.top + ((desktop.bottom - desktop.top) - (rect.bottom - rect.top)) / 2;
    SetWindowPos(window, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void GetWindowRectInParent(HWND window, HWND parent, RECT* rect) {
    GetWindowRect(window, rect);
    MapWindowPoints(HWND_DESKTOP, parent, reinterpret_cast<POINT*>(rect), 2);
}
