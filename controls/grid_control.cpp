// KVGRIDCONTROL: a grid of cells under a title band. The title is the window text (set with
// WM_SETTEXT, or the caption it was created with); the control sets its own cursor, since its class
// has none.
#include "control_common.h"
#include "grid_state.h"
#include "kv_controls.h"

#include <algorithm>
#include <cstring>
#include <new>

namespace {

constexpr int kRows = 16;
constexpr int kColumns = 8;
constexpr int kTitleHeight = 20;
constexpr int kCellWidth = 64;
constexpr int kCellHeight = 20;

struct GridControl {
    HWND window;
    GridState grid;
    HFONT font;
};

void Paint(const GridControl& control) {
    BufferedPaint paint(control.window);
    HDC dc = paint.dc();
    const RECT& client = paint.client();
    const GridState& grid = control.grid;
    FillRect(dc, &client, GetSysColorBrush(COLOR_WINDOW));
    RECT title{0, 0, client.right, kTitleHeight};
    FillRect(dc, &title, GetSysColorBrush(COLOR_BTNFACE));

    HPEN pen = CreatePen(PS_SOLID, 1, GetSysColor(COLOR_BTNSHADOW));
    HGDIOBJ oldPen = SelectObject(dc, pen);
    const GridCellRect last =
        grid.CellRect(grid.rows() - 1, grid.columns() - 1, kTitleHeight, kCellWidth, kCellHeight);
    for (int column = 0; column <= grid.columns(); ++column) {
        const int x = std::min(column * kCellWidth, last.right - 1);
        MoveToEx(dc, x, kTitleHeight, nullptr);
        LineTo(dc, x, last.bottom);
    }
    for (int row = 0; row <= grid.rows(); ++row) {
        const int y = std::min(kTitleHeight + row * kCellHeight, last.bottom - 1);
        MoveToEx(dc, 0, y, nullptr);
        LineTo(dc, last.right, y);
    }
    SelectObject(dc, oldPen);
    DeleteObject(pen);

    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, GetSysColor(COLOR_BTNTEXT));
    HGDIOBJ oldFont = SelectObject(dc, control.font);
    DrawTextA(dc, grid.title().c_str(), -1, &title, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    SelectObject(dc, oldFont);
}

LRESULT Create(HWND window, const CREATESTRUCTA& create) {
    auto* control = new (std::nothrow) GridControl{window, GridState(kRows, kColumns), nullptr};
    if (control == nullptr) {
        return FALSE;
    }
    if (!IS_INTRESOURCE(create.lpszName)) {
        control->grid.SetTitle(create.lpszName);
    }
    control->font = CreateGuiFont(FW_BOLD);
    SetControlState(window, control);
    return TRUE;
}

LRESULT CALLBACK GridControlProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        return Create(window, *reinterpret_cast<const CREATESTRUCTA*>(lParam));
    }
    GridControl* control = GetControlState<GridControl>(window);
    if (control == nullptr) {
        return DefWindowProcA(window, message, wParam, lParam);
    }
    switch (message) {
    case WM_SETTEXT:
        control->grid.SetTitle(reinterpret_cast<const char*>(lParam));
        RedrawNow(window);
        return TRUE;
    case WM_GETTEXT: {
        if (wParam == 0 || lParam == 0) {
            return 0;
        }
        const std::string& title = control->grid.title();
        const std::size_t length = std::min(title.size(), static_cast<std::size_t>(wParam) - 1);
        std::memcpy(reinterpret_cast<char*>(lParam), title.data(), length);
        reinterpret_cast<char*>(lParam)[length] = '\0';
        return static_cast<LRESULT>(length);
    }
    case WM_GETTEXTLENGTH:
        return static_cast<LRESULT>(control->grid.title().size());
    case WM_SETCURSOR:
        if (LOWORD(lParam) == HTCLIENT) {
            SetCursor(LoadCursorA(nullptr, IDC_ARROW));
            return TRUE;
        }
        return DefWindowProcA(window, message, wParam, lParam);
    case WM_ERASEBKGND:
        return 1;
    case WM_PAINT:
        Paint(*control);
        return 0;
    case WM_NCDESTROY:
        DeleteObject(control->font);
        DeleteControlState(window, control);
        return 0;
    default:
        return DefWindowProcA(window, message, wParam, lParam);
    }
}

} // namespace

ATOM RegisterGridControlClass(HINSTANCE instance) {
    // The one class of the library registered with the plain call.
    WNDCLASSA wc{};
    wc.style = CS_DBLCLKS;
    wc.lpfnWndProc = GridControlProc;
    wc.cbWndExtra = sizeof(LONG_PTR);
    wc.hInstance = instance;
    wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(NULL_BRUSH));
    wc.lpszClassName = "KVGRIDCONTROL";
    return RegisterClassA(&wc);
}
