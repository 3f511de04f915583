#pragma once
// Conventions every control of the library follows: the state record's address in window extra
// slot 0 (pointer-sized, so it holds a 64-bit address), double-buffered painting, and the
// registration attributes they share.
#include <windows.h>

// Registers an application-local class with the library's common attributes: its own window
// procedure, no class extra bytes, one pointer-sized window extra slot, no icon and no menu.
// A null cursor leaves the cursor to the control.
ATOM RegisterControlClass(HINSTANCE instance, const char* className, WNDPROC procedure, UINT style,
                          LPCSTR cursor, HBRUSH background);

template <class State> State* GetControlState(HWND window) {
    return reinterpret_cast<State*>(GetWindowLongPtrA(window, 0));
}

inline void SetControlState(HWND window, void* state) {
    SetWindowLongPtrA(window, 0, reinterpret_cast<LONG_PTR>(state));
}

// WM_NCCREATE: keeps a state record made with new (std::nothrow) in slot 0. A null record (out of
// memory) fails the creation.
inline LRESULT AdoptControlState(HWND window, void* state) {
    if (state == nullptr) {
        return FALSE;
    }
    SetControlState(window, state);
    return TRUE;
}

// WM_NCDESTROY: empties slot 0 and deletes the state record it held.
template <class State> void DeleteControlState(HWND window, State* state) {
    SetControlState(window, nullptr);
    delete state;
}

// Paints through a memory bitmap of the client size: draw into dc(), and the destructor copies
// the client rectangle to the window in one BitBlt and frees everything it made.
class BufferedPaint {
  public:
    explicit BufferedPaint(HWND window);
    ~BufferedPaint();
    BufferedPaint(const BufferedPaint&) = delete;
    BufferedPaint& operator=(const BufferedPaint&) = delete;

    HDC dc() const { return memory_; }
    const RECT& client() const { return client_; }

  private:
    HWND window_;
    PAINTSTRUCT paint_{};
    HDC target_;
    HDC memory_;
    HBITMAP bitmap_;
    HGDIOBJ oldBitmap_;
    RECT client_{};
};

// Redraws at once, as setters that change what is shown do (RDW_INVALIDATE | RDW_ERASE |
// RDW_UPDATENOW).
inline void RedrawNow(HWND window) {
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
}

// Sends the parent WM_COMMAND with the control's id and a context-menu code, passing on the
// cursor position of WM_CONTEXTMENU.
inline LRESULT NotifyContextMenu(HWND window, WORD code, LPARAM cursor) {
    SendMessageA(GetParent(window), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(window), code), cursor);
    return 0;
}

// A font made from the stock DEFAULT_GUI_FONT with the given weight; the caller owns it.
HFONT CreateGuiFont(LONG weight);

// A font with the face name "Arial" of the given height in pixels and weight; the caller owns it.
HFONT CreateArialFont(LONG height, LONG weight);

// The class background brush for a system colour (the colour index plus one, as classes take it).
inline HBRUSH SystemColourBrush(int colour) {
    return reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(colour + 1));
}
