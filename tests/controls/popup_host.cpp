#include "popup_host.h"

namespace {
constexpr char kHostClass[] = "TevrixPopupHost";
}

PopupHost::PopupHost() {
    WNDCLASSEXA wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = Procedure;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    wc.lpszClassName = kHostClass;
    RegisterClassExA(&wc); // fails harmlessly when an earlier host registered it
    window_ = CreateWindowExA(0, kHostClass, "host", WS_POPUP | WS_VISIBLE, 0, 0, 640, 480, nullptr, nullptr,
                              GetModuleHandleA(nullptr), this);
}

PopupHost::~PopupHost() {
    DestroyWindow(window_);
}

HWND PopupHost::Create(const char* className, int width, int height, int id) {
    return CreateWindowExA(0, className, "template caption", WS_CHILD | WS_VISIBLE, 10, 10, width, height,
                           window_, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                           GetModuleHandleA(nullptr), nullptr);
}

LRESULT CALLBACK PopupHost::Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        const auto* create = reinterpret_cast<const CREATESTRUCTA*>(lParam);
        SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto* host = reinterpret_cast<PopupHost*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (message == WM_COMMAND && host != nullptr) {
        host->lastCommandWParam_ = wParam;
        host->lastCommandLParam_ = lParam;
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

int CountPixels(const Image& image, int left, int top, int right, int bottom, std::uint32_t rgb) {
    int count = 0;
    for (int y = top; y < bottom; ++y) {
        for (int x = left; x < right; ++x) {
            count += image.At(x, y) == rgb ? 1 : 0;
        }
    }
    return count;
}
