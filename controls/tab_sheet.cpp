#include "tab_sheet.h"
#include "arial_font.h"
#include "control_common.h"
#include "kv_controls.h"

#include <commctrl.h>
#include <new>

namespace {

constexpr int kTabControlId = 1;
constexpr DWORD kTabControlStyle =
    0x50018042; // child, visible, tab stop, never focused, hot tracking, bottom
constexpr int kTornTextSize = 150;
constexpr int kCaptionTextSize = 261;
constexpr int kMinimumTrackHeight = 60;

struct TabSheet {
    HFONT font = nullptr;
    HWND window = nullptr;
    HWND tabs = nullptr;
    HWND currentPage = nullptr;
    RECT display{};
    int movable = 1;
    DWORD blockedEdges = 0;
    HWND tornPage = nullptr;
    int tornIndex = -1;
    char* tornText = nullptr;
    DWORD tornTextLength = 0;
};

// Whether destroying a page removes its tab; off while the sheet destroys a page itself and
// removes the tab on its own.
bool g_removeTabOfDestroyedPage = true;

TabSheet* Sheet(HWND window) {
    return window != nullptr ? GetControlState<TabSheet>(window) : nullptr;
}

void NotifyParent(const TabSheet& sheet, UINT code) {
    NMHDR header{};
    header.hwndFrom = sheet.window;
    header.idFrom = static_cast<UINT_PTR>(GetDlgCtrlID(sheet.window));
    header.code = code;
    SendMessageA(GetParent(sheet.window), WM_NOTIFY, header.idFrom, reinterpret_cast<LPARAM>(&header));
}

HWND PageAt(const TabSheet& sheet, int index) {
    TCITEMA item{};
    item.mask = TCIF_PARAM;
    if (index < 0 || SendMessageA(sheet.tabs, TCM_GETITEMA, index, reinterpret_cast<LPARAM>(&item)) == 0) {
        return nullptr;
    }
    return reinterpret_cast<HWND>(item.lParam);
}

void TabText(const TabSheet& sheet, int index, char* buffer, int size) {
    buffer[0] = '\0';
    TCITEMA item{};
    item.mask = TCIF_TEXT;
    item.pszText = buffer;
    item.cchTextMax = size;
    SendMessageA(sheet.tabs, TCM_GETITEMA, index, reinterpret_cast<LPARAM>(&item));
    buffer[size - 1] = '\0';
}

int TabCount(const TabSheet& sheet) {
    return static_cast<int>(SendMessageA(sheet.tabs, TCM_GETITEMCOUNT, 0, 0));
}

// Also recomputes the frame, since a page may just have lost its caption and sizing border.
void MoveToDisplay(const TabSheet& sheet, HWND page) {
    const RECT& r = sheet.display;
    SetWindowPos(page, nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top,
                 SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
}

DWORD EdgeBit(LRESULT hit) {
    switch (hit) {
    case HTTOP:
        return kTabSheetEdgeTop;
    case HTBOTTOM:
        return kTabSheetEdgeBottom;
    case HTLEFT:
        return kTabSheetEdgeLeft;
    case HTRIGHT:
        return kTabSheetEdgeRight;
    case HTTOPLEFT:
        return kTabSheetEdgeTopLeft;
    case HTTOPRIGHT:
        return kTabSheetEdgeTopRight;
    case HTBOTTOMLEFT:
        return kTabSheetEdgeBottomLeft;
    case HTBOTTOMRIGHT:
        return kTabSheetEdgeBottomRight;
    default:
        return 0;
    }
}

// Pages are children of the tab control, and not every system passes their destruction notice
// on to the tab control's parent: the tab control hands it to the sheet itself. Where the
// system does pass it on, the second notice finds no tab left and changes nothing.
LRESULT CALLBACK TabControlProc(HWND tabs, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR) {
    if (message == WM_PARENTNOTIFY) {
        SendMessageA(GetParent(tabs), WM_PARENTNOTIFY, wParam, lParam);
    } else if (message == WM_NCDESTROY) {
        RemoveWindowSubclass(tabs, TabControlProc, 0);
    }
    return DefSubclassProc(tabs, message, wParam, lParam);
}

LRESULT OnCreate(TabSheet& sheet) {
    RECT client;
    GetClientRect(sheet.window, &client);
    sheet.tabs = CreateWindowExA(
        WS_EX_CONTROLPARENT, WC_TABCONTROLA, "", kTabControlStyle, 0, 0, client.right, client.bottom,
        sheet.window, reinterpret_cast<HMENU>(kTabControlId),
        reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(sheet.window, GWLP_HINSTANCE)), nullptr);
    if (sheet.tabs == nullptr) {
        return -1;
    }
    SetWindowSubclass(sheet.tabs, TabControlProc, 0, 0);
    SendMessageA(sheet.tabs, WM_SETFONT, reinterpret_cast<WPARAM>(sheet.font), FALSE);
    PostMessageA(sheet.window, WM_APP, 0, 0);
    SendMessageA(sheet.window, WM_NCACTIVATE, TRUE, 0);
    return 0;
}

void MoveAllPages(const TabSheet& sheet) {
    const int count = TabCount(sheet);
    for (int i = 0; i < count; ++i) {
        HWND page = PageAt(sheet, i);
        if (page != nullptr && page != sheet.tornPage) {
            MoveToDisplay(sheet, page);
        }
    }
}

// The display area is the tab control's client area less its row of tabs; that row only takes
// room once there is a tab, so the area is taken again whenever a tab is added.
bool TakeDisplayArea(TabSheet& sheet) {
    RECT area;
    GetClientRect(sheet.tabs, &area);
    SendMessageA(sheet.tabs, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&area));
    const bool changed = !EqualRect(&area, &sheet.display);
    sheet.display = area;
    return changed;
}

void OnSize(TabSheet& sheet, int width, int height) {
    if (sheet.tabs == nullptr) {
        return;
    }
    MoveWindow(sheet.tabs, 0, 0, width, height, TRUE);
    TakeDisplayArea(sheet);
    MoveAllPages(sheet);
    NotifyParent(sheet, kTabSheetResized);
}

void OnClose(HWND window) {
    const int current = GetCurrentTab(window);
    if (current >= 0) {
        g_removeTabOfDestroyedPage = false;
        const int selected = RemoveTabPage(window, current, TRUE);
        g_removeTabOfDestroyedPage = true;
        if (selected < 0) {
            return; // the sheet went with its last page
        }
    }
    if (GetTabCount(window) == 0) {
        DestroyWindow(window);
    }
}

void OnParentNotify(HWND window, WPARAM event, LPARAM child) {
    if (LOWORD(event) != WM_DESTROY || !g_removeTabOfDestroyedPage) {
        return;
    }
    const int tab = FindTabOfPage(window, reinterpret_cast<HWND>(child));
    if (tab >= 0) {
        RemoveTabPage(window, tab, FALSE);
    }
}

LRESULT CALLBACK TabSheetProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* sheet = new (std::nothrow) TabSheet;
        if (sheet == nullptr) {
            return FALSE;
        }
        sheet->font = CreateArialFontTurned(14, FW_NORMAL, 0);
        sheet->window = window;
        SetControlState(window, sheet);
        return DefWindowProcA(window, message, wParam, lParam);
    }
    TabSheet* sheet = Sheet(window);
    if (sheet == nullptr) {
        return DefWindowProcA(window, message, wParam, lParam);
    }
    switch (message) {
    case WM_CREATE:
        return OnCreate(*sheet);
    case WM_SIZE:
        OnSize(*sheet, LOWORD(lParam), HIWORD(lParam));
        return 0;
    case WM_CLOSE:
        OnClose(window);
        return 0;
    case WM_GETMINMAXINFO:
        reinterpret_cast<MINMAXINFO*>(lParam)->ptMinTrackSize.y = kMinimumTrackHeight;
        return 0;
    case WM_NOTIFY: {
        const auto* header = reinterpret_cast<const NMHDR*>(lParam);
        if (header->hwndFrom == sheet->tabs && header->code == static_cast<UINT>(TCN_SELCHANGE)) {
            ShowSelectedPage(window);
        }
        return 0;
    }
    case WM_DESTROY:
        // A torn-off page is still one of the sheet's pages: it goes with the sheet like the
        // others rather than stay behind as a captionless full-screen window.
        if (sheet->tornPage != nullptr && IsWindow(sheet->tornPage)) {
            DestroyWindow(sheet->tornPage);
        }
        sheet->tornPage = nullptr;
        return 0;
    case WM_NCDESTROY:
        NotifyParent(*sheet, kTabSheetDestroyed);
        if (sheet->font != nullptr) {
            DeleteObject(sheet->font);
        }
        delete[] sheet->tornText;
        SetControlState(window, nullptr);
        delete sheet;
        return 0;
    case WM_NCHITTEST: {
        const LRESULT hit = DefWindowProcA(window, message, wParam, lParam);
        return (EdgeBit(hit) & sheet->blockedEdges) != 0 ? HTCLIENT : hit;
    }
    case WM_NCACTIVATE:
        return DefWindowProcA(window, message, TRUE, lParam);
    case WM_NCLBUTTONDBLCLK:
        if (wParam != HTCAPTION) {
            break;
        }
        TearOffPage(window, GetCurrentTab(window));
        return 0;
    case WM_SYSCOMMAND:
        if ((wParam & 0xFFF0) == SC_MOVE && sheet->movable == 0) {
            return 1;
        }
        break;
    case WM_PARENTNOTIFY:
        OnParentNotify(window, wParam, lParam);
        return 0;
    case WM_APP:
        NotifyParent(*sheet, kTabSheetCreated);
        return 0;
    default:
        break;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

} // namespace

int AddTabPage(HWND window, HWND page, const char* text, int index) {
    TabSheet* sheet = Sheet(window);
    if (sheet == nullptr || page == nullptr) {
        return -1;
    }
    LONG_PTR style = GetWindowLongPtrA(page, GWL_STYLE);
    style &= ~static_cast<LONG_PTR>(WS_POPUP | WS_CHILD | WS_CAPTION | WS_THICKFRAME);
    SetWindowLongPtrA(page, GWL_STYLE, style | WS_CHILD);
    SetParent(page, sheet->tabs);

    TCITEMA item{};
    item.mask = TCIF_TEXT | TCIF_PARAM;
    item.pszText = const_cast<char*>(text != nullptr ? text : "");
    item.lParam = reinterpret_cast<LPARAM>(page);
    const int at = index < 0 ? TabCount(*sheet) : index;
    const int added =
        static_cast<int>(SendMessageA(sheet->tabs, TCM_INSERTITEMA, at, reinterpret_cast<LPARAM>(&item)));
    if (added < 0) {
        return -1;
    }
    if (TakeDisplayArea(*sheet)) {
        MoveAllPages(*sheet);
    } else if (page != sheet->tornPage) {
        MoveToDisplay(*sheet, page);
    }
    if (TabCount(*sheet) == 1) {
        SendMessageA(sheet->tabs, TCM_SETCURSEL, 0, 0);
        sheet->currentPage = page;
        ShowWindow(page, SW_SHOW);
    } else {
        ShowWindow(page, SW_HIDE);
    }
    return added;
}

int RemoveTabPage(HWND window, int index, BOOL destroy) {
    TabSheet* sheet = Sheet(window);
    if (sheet == nullptr) {
        return -1;
    }
    if (index == -1) {
        index = GetCurrentTab(window);
    }
    if (index < 0 || index >= TabCount(*sheet)) {
        return -1;
    }
    HWND page = PageAt(*sheet, index);
    if (destroy && page != nullptr) {
        // The sheet removes the tab itself below; the page's destruction must not remove another.
        if (page == sheet->currentPage) {
            sheet->currentPage = nullptr;
        }
        const bool removing = g_removeTabOfDestroyedPage;
        g_removeTabOfDestroyedPage = false;
        DestroyWindow(page);
        g_removeTabOfDestroyedPage = removing;
    }
    SendMessageA(sheet->tabs, TCM_DELETEITEM, index, 0);
    if (TabCount(*sheet) == 0) {
        DestroyWindow(sheet->tabs);
        DestroyWindow(window);
        return -1;
    }
    SendMessageA(sheet->tabs, TCM_SETCURSEL, index > 0 ? index - 1 : 0, 0);
    ShowSelectedPage(window);
    return GetCurrentTab(window);
}

void ShowSelectedPage(HWND window) {
    TabSheet* sheet = Sheet(window);
    if (sheet == nullptr) {
        return;
    }
    DockTornPage(window);
    const int selected = GetCurrentTab(window);
    HWND page = PageAt(*sheet, selected);
    if (page == nullptr) {
        return;
    }
    if (sheet->currentPage != nullptr && sheet->currentPage != page && IsWindow(sheet->currentPage)) {
        ShowWindow(sheet->currentPage, SW_HIDE);
    }
    ShowWindow(page, SW_SHOW);
    UpdateWindow(page);
    SetFocus(page);
    sheet->currentPage = page;
    char caption[kCaptionTextSize];
    TabText(*sheet, selected, caption, sizeof caption);
    SetWindowTextA(window, caption);
    if (page != sheet->tornPage) {
        MoveToDisplay(*sheet, page);
    }
}

int TearOffPage(HWND window, int index) {
    TabSheet* sheet = Sheet(window);
    if (sheet == nullptr) {
        return 0;
    }
    DockTornPage(window);
    HWND page = PageAt(*sheet, index);
    if (page == nullptr) {
        return 0;
    }
    if (sheet->tornText == nullptr) {
        sheet->tornText = new (std::nothrow) char[kTornTextSize];
        if (sheet->tornText == nullptr) {
            return 0;
        }
        sheet->tornTextLength = kTornTextSize;
    }
    TabText(*sheet, index, sheet->tornText, kTornTextSize);
    sheet->tornPage = page;
    sheet->tornIndex = index;
    SetParent(page, nullptr);
    LONG_PTR style = GetWindowLongPtrA(page, GWL_STYLE);
    style &= ~static_cast<LONG_PTR>(WS_CHILD | WS_POPUP);
    SetWindowLongPtrA(page, GWL_STYLE, style | WS_POPUP);
    ShowWindow(page, SW_SHOWMAXIMIZED);
    SetWindowTextA(page, sheet->tornText);
    SendMessageA(sheet->tabs, TCM_DELETEITEM, index, 0);
    return 1;
}

int DockTornPage(HWND window) {
    TabSheet* sheet = Sheet(window);
    if (sheet == nullptr || sheet->tornPage == nullptr) {
        return 0;
    }
    HWND page = sheet->tornPage;
    const int index = sheet->tornIndex;
    sheet->tornPage = nullptr;
    sheet->tornIndex = -1;
    // A torn-off page that was closed meanwhile has nothing to come back.
    if (!IsWindow(page)) {
        return 0;
    }
    // Back to its normal size first, so that it can take the display area's.
    ShowWindow(page, SW_HIDE);
    SetWindowLongPtrA(page, GWL_STYLE,
                      GetWindowLongPtrA(page, GWL_STYLE) & ~static_cast<LONG_PTR>(WS_MAXIMIZE));
    AddTabPage(window, page, sheet->tornText, index <= TabCount(*sheet) ? index : -1);
    return 1;
}

int GetCurrentTab(HWND window) {
    const TabSheet* sheet = Sheet(window);
    return sheet != nullptr ? static_cast<int>(SendMessageA(sheet->tabs, TCM_GETCURSEL, 0, 0)) : -1;
}

int GetTabCount(HWND window) {
    const TabSheet* sheet = Sheet(window);
    return sheet != nullptr ? TabCount(*sheet) : 0;
}

HWND GetTabPage(HWND window, int index) {
    const TabSheet* sheet = Sheet(window);
    return sheet != nullptr ? PageAt(*sheet, index) : nullptr;
}

int FindTabOfPage(HWND window, HWND page) {
    const TabSheet* sheet = Sheet(window);
    if (sheet == nullptr) {
        return -1;
    }
    const int count = TabCount(*sheet);
    for (int i = 0; i < count; ++i) {
        if (PageAt(*sheet, i) == page) {
            return i;
        }
    }
    return -1;
}

BOOL SetTabSheetMovable(HWND window, BOOL movable) {
    TabSheet* sheet = Sheet(window);
    if (sheet == nullptr) {
        return FALSE;
    }
    const BOOL previous = sheet->movable;
    sheet->movable = movable != 0 ? 1 : 0;
    return previous;
}

DWORD SetTabSheetBlockedEdges(HWND window, DWORD edges) {
    TabSheet* sheet = Sheet(window);
    if (sheet == nullptr) {
        return 0;
    }
    const DWORD previous = sheet->blockedEdges;
    sheet->blockedEdges = edges;
    return previous;
}

ATOM RegisterTabSheetClass(HINSTANCE instance) {
    INITCOMMONCONTROLSEX common{sizeof common, ICC_TAB_CLASSES};
    InitCommonControlsEx(&common);
    return RegisterControlClass(instance, "KVTABSHEET", TabSheetProc, CS_HREDRAW | CS_VREDRAW, IDC_ARROW,
                                SystemColourBrush(COLOR_BTNFACE));
}
