// The inset button subclasses its field: it widens the field's right non-client edge by the button,
// answers hit-tests there with HTBORDER so that presses never reach the field's text handling, and
// tracks the click with the mouse captured.
#include "inset_button.h"

#include "inset_button_logic.h"

#include <cstring>
#include <new>
#include <windowsx.h>

namespace {

struct InsetButton {
    UINT command;
    char caption[100];
    InsetClick click;
    HFONT font;
    WNDPROC previous;
    int width;
    InsetBorders borders;
};

InsetButton* GetButton(HWND field) {
    return reinterpret_cast<InsetButton*>(GetWindowLongPtrA(field, GWLP_USERDATA));
}

InsetRect ButtonRect(HWND field, const InsetButton& button) {
    RECT window;
    GetWindowRect(field, &window);
    return InsetButtonRect(window.right - window.left, window.bottom - window.top, button.borders,
                           button.width);
}

// Whether a point in screen coordinates lies on the button.
bool OnButton(HWND field, const InsetButton& button, POINT screen) {
    RECT window;
    GetWindowRect(field, &window);
    return InsetContains(ButtonRect(field, button), screen.x - window.left, screen.y - window.top);
}

POINT ScreenPoint(LPARAM lParam) {
    return {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
}

POINT ClientToScreenPoint(HWND field, LPARAM lParam) {
    POINT point = ScreenPoint(lParam);
    ClientToScreen(field, &point);
    return point;
}

void DrawButton(HWND field, const InsetButton& button) {
    const InsetRect inset = ButtonRect(field, button);
    RECT rect{inset.left, inset.top, inset.right, inset.bottom};
    HDC dc = GetWindowDC(field);
    HGDIOBJ oldFont = SelectObject(dc, button.font);
    const bool pressed = button.click.pressed();
    DrawEdge(dc, &rect, EDGE_RAISED, BF_RECT | BF_ADJUST | (pressed ? BF_FLAT : 0));
    FillRect(dc, &rect, GetSysColorBrush(COLOR_BTNFACE));
    if (pressed) {
        OffsetRect(&rect, 1, 1);
    }
    SetBkMode(dc, TRANSPARENT);
    DrawTextA(dc, button.caption, -1, &rect, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    SelectObject(dc, oldFont);
    ReleaseDC(field, dc);
}

LRESULT CalcSize(HWND field, InsetButton& button, WPARAM wParam, LPARAM lParam) {
    // Both forms of the message start with the proposed window rectangle.
    auto* rect = reinterpret_cast<RECT*>(lParam);
    const InsetRect proposed{rect->left, rect->top, rect->right, rect->bottom};
    CallWindowProcA(button.previous, field, WM_NCCALCSIZE, wParam, lParam);
    const InsetRect client{rect->left, rect->top, rect->right, rect->bottom};
    button.borders = MeasureBorders(proposed, client);
    rect->right = NarrowClient(client, button.width).right;
    return 0;
}

LRESULT CALLBACK InsetButtonProc(HWND field, UINT message, WPARAM wParam, LPARAM lParam) {
    InsetButton* button = GetButton(field);
    WNDPROC previous = button->previous;
    switch (message) {
    case WM_NCCALCSIZE:
        return CalcSize(field, *button, wParam, lParam);
    case WM_NCHITTEST:
        if (OnButton(field, *button, ScreenPoint(lParam))) {
            return HTBORDER;
        }
        break;
    case WM_NCPAINT: {
        const LRESULT result = CallWindowProcA(previous, field, message, wParam, lParam);
        DrawButton(field, *button);
        return result;
    }
    case WM_NCLBUTTONDOWN:
    case WM_NCLBUTTONDBLCLK:
        if (button->click.Press(OnButton(field, *button, ScreenPoint(lParam)))) {
            SetCapture(field);
            DrawButton(field, *button);
        }
        break;
    case WM_MOUSEMOVE:
        if (button->click.tracking() &&
            button->click.Move(OnButton(field, *button, ClientToScreenPoint(field, lParam)))) {
            DrawButton(field, *button);
        }
        break;
    case WM_LBUTTONUP:
        if (button->click.tracking()) {
            // The state is cleared before the capture goes, so the WM_CAPTURECHANGED that
            // releasing it sends finds no click in progress.
            if (button->click.Release(OnButton(field, *button, ClientToScreenPoint(field, lParam)))) {
                PostMessageA(GetParent(field), WM_COMMAND, MAKEWPARAM(button->command, 0), 0);
            }
            ReleaseCapture();
            DrawButton(field, *button);
        }
        break;
    case WM_CAPTURECHANGED:
        // Another window took the mouse in mid-click: the click is off, and the button must not
        // stay drawn pressed.
        if (button->click.Cancel()) {
            DrawButton(field, *button);
        }
        break;
    case WM_NCDESTROY:
        SetWindowLongPtrA(field, GWLP_USERDATA, 0);
        HeapFree(GetProcessHeap(), 0, button);
        break;
    default:
        break;
    }
    return CallWindowProcA(previous, field, message, wParam, lParam);
}

} // namespace

int AttachInsetButton(HWND field, UINT command, const char* caption, int width) {
    if (GetWindowLongPtrA(field, GWLP_USERDATA) != 0) {
        return 0;
    }
    auto* button =
        static_cast<InsetButton*>(HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, sizeof(InsetButton)));
    if (button == nullptr) {
        return 0;
    }
    new (&button->click) InsetClick();
    button->command = command;
    if (caption != nullptr) {
        strncpy(button->caption, caption, sizeof button->caption - 1);
    }
    button->font = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
    button->width = width;
    SetWindowLongPtrA(field, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(button));
    button->previous = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(field, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(InsetButtonProc)));
    if (button->previous == nullptr) {
        SetWindowLongPtrA(field, GWLP_USERDATA, 0);
        HeapFree(GetProcessHeap(), 0, button);
        return 0;
    }
    SetWindowPos(field, nullptr, 0, 0, 0, 0,
                 SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
    return 1;
}
