// KVPROPTREECONTAINER: a property tree, a "SysTreeView32" child on the left (the right is left for
// the page of the selected item) and "OK" and "Cancel" buttons below. It starts without items. The
// buttons' clicks go on to the container's parent as its own commands.
#include "control_common.h"
#include "kv_controls.h"

#include <commctrl.h>
#include <new>

namespace {

constexpr int kTreeId = 100;
constexpr int kMargin = 6;
constexpr int kButtonWidth = 75;
constexpr int kButtonHeight = 23;

struct PropTreeContainer {
    HWND window;
    HWND tree;
    HWND ok;
    HWND cancel;
};

HWND CreateChild(HWND parent, const char* className, const char* text, DWORD style, int id) {
    HWND child = CreateWindowExA(0, className, text, WS_CHILD | WS_VISIBLE | style, 0, 0, 0, 0, parent,
                                 reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), nullptr, nullptr);
    SendMessageA(child, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), FALSE);
    return child;
}

// The tree takes the left third above the buttons; the buttons sit at the bottom right.
void LayOut(const PropTreeContainer& container, int width, int height) {
    const int buttonTop = height - kMargin - kButtonHeight;
    MoveWindow(container.tree, kMargin, kMargin, width / 3, buttonTop - 2 * kMargin, TRUE);
    MoveWindow(container.cancel, width - kMargin - kButtonWidth, buttonTop, kButtonWidth, kButtonHeight,
               TRUE);
    MoveWindow(container.ok, width - 2 * (kMargin + kButtonWidth), buttonTop, kButtonWidth, kButtonHeight,
               TRUE);
}

LRESULT Create(PropTreeContainer& container) {
    INITCOMMONCONTROLSEX classes{sizeof classes, ICC_TREEVIEW_CLASSES};
    InitCommonControlsEx(&classes);
    container.tree =
        CreateChild(container.window, WC_TREEVIEWA, "",
                    WS_BORDER | WS_TABSTOP | TVS_HASLINES | TVS_HASBUTTONS | TVS_LINESATROOT, kTreeId);
    container.ok = CreateChild(container.window, "BUTTON", "OK", WS_TABSTOP | BS_DEFPUSHBUTTON, IDOK);
    container.cancel =
        CreateChild(container.window, "BUTTON", "Cancel", WS_TABSTOP | BS_PUSHBUTTON, IDCANCEL);
    return container.tree != nullptr && container.ok != nullptr && container.cancel != nullptr ? 0 : -1;
}

LRESULT CALLBACK PropTreeContainerProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        return AdoptControlState(window,
                                 new (std::nothrow) PropTreeContainer{window, nullptr, nullptr, nullptr});
    }
    PropTreeContainer* container = GetControlState<PropTreeContainer>(window);
    if (container == nullptr) {
        return DefWindowProcA(window, message, wParam, lParam);
    }
    switch (message) {
    case WM_CREATE:
        return Create(*container);
    case WM_SIZE:
        LayOut(*container, LOWORD(lParam), HIWORD(lParam));
        return 0;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) {
            SendMessageA(GetParent(window), WM_COMMAND, MAKEWPARAM(LOWORD(wParam), BN_CLICKED),
                         reinterpret_cast<LPARAM>(window));
            return 0;
        }
        return DefWindowProcA(window, message, wParam, lParam);
    case WM_ERASEBKGND:
        return 1;
    case WM_PAINT: {
        BufferedPaint paint(window);
        FillRect(paint.dc(), &paint.client(), GetSysColorBrush(COLOR_BTNFACE));
        return 0;
    }
    case WM_NCDESTROY:
        DeleteControlState(window, container);
        return 0;
    default:
        return DefWindowProcA(window, message, wParam, lParam);
    }
}

} // namespace

ATOM RegisterPropTreeContainerClass(HINSTANCE instance) {
    return RegisterControlClass(instance, "KVPROPTREECONTAINER", PropTreeContainerProc, 0, IDC_ARROW,
                                SystemColourBrush(COLOR_BTNFACE));
}
