#include "progress_line_window.h"

#include <windows.h>

#include <commctrl.h>

namespace {

constexpr const char* kClassName = "TevrixProgressLine";

LRESULT CALLBACK LineProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* create = reinterpret_cast<CREATESTRUCTA*>(lParam);
        SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    switch (message) {
    case PBM_SETRANGE:
    case PBM_SETSTEP:
    case PBM_SETPOS:
    case PBM_STEPIT:
        if (auto* line = reinterpret_cast<ProgressLine*>(GetWindowLongPtrA(window, GWLP_USERDATA))) {
            line->Receive(message, wParam, lParam);
        }
        return 0;
    default:
        return DefWindowProcA(window, message, wParam, lParam);
    }
}

bool RegisterLineClass() {
    static const bool registered = [] {
        WNDCLASSA windowClass{};
        windowClass.lpfnWndProc = LineProc;
        windowClass.hInstance = GetModuleHandleA(nullptr);
        windowClass.lpszClassName = kClassName;
        return RegisterClassA(&windowClass) != 0;
    }();
    return registered;
}

} // namespace

ProgressLineWindow::ProgressLineWindow(ProgressLine* line) {
    if (RegisterLineClass()) {
        window_ = CreateWindowExA(0, kClassName, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                  GetModuleHandleA(nullptr), line);
    }
}

ProgressLineWindow::~ProgressLineWindow() {
    if (window_ != nullptr) {
        DestroyWindow(window_);
    }
}

ProgressWindow ProgressLineWindow::Handle() const {
    return window_;
}
