#include "control_test_support.h"

#include "window_capture.h"

#include <gtest/gtest.h>

namespace {

const char* const kHostClass = "TevrixControlTestHost";

void RegisterHostClass() {
    static const bool registered = [] {
        WNDCLASSA wc{};
        wc.lpfnWndProc = DefWindowProcA;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_BTNFACE + 1));
        wc.lpszClassName = kHostClass;
        return RegisterClassA(&wc) != 0;
    }();
    (void)registered;
}

} // namespace

HWND ShowInactivePopup(const char* className, const char* title, int x, int y, int width, int height) {
    HWND popup = CreateWindowExA(WS_EX_TOOLWINDOW, className, title, WS_POPUP, x, y, width, height, nullptr,
                                 nullptr, GetModuleHandleA(nullptr), nullptr);
    ShowWindow(popup, SW_SHOWNOACTIVATE);
    return popup;
}

TestHost::TestHost(int width, int height) {
    RegisterHostClass();
    window_ = ShowInactivePopup(kHostClass, "Controls", 0, 0, width, height);
    SetWindowLongPtrA(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    SetWindowLongPtrA(window_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(HostProc));
    PumpMessages();
}

TestHost::~TestHost() {
    DestroyWindow(window_);
    PumpMessages();
}

HWND TestHost::CreateChild(const char* className, const char* text, int x, int y, int width, int height,
                           int id, DWORD style, DWORD exStyle) const {
    HWND child = CreateWindowExA(exStyle, className, text, WS_CHILD | WS_VISIBLE | style, x, y, width, height,
                                 window_, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                                 GetModuleHandleA(nullptr), nullptr);
    PumpMessages();
    return child;
}

const std::vector<ReceivedCommand>& TestHost::commands() {
    PumpMessages();
    return commands_;
}

ReceivedCommand TestHost::lastCommand() {
    const std::vector<ReceivedCommand>& received = commands();
    return received.empty() ? ReceivedCommand{0, 0} : received.back();
}

LRESULT CALLBACK TestHost::HostProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_COMMAND) {
        auto* host = reinterpret_cast<TestHost*>(GetWindowLongPtrA(window, GWLP_USERDATA));
        host->commands_.push_back({wParam, lParam});
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

int CountPixels(const Image& image, int left, int top, int right, int bottom, std::uint32_t pixel) {
    int count = 0;
    for (int y = top; y < bottom; ++y) {
        for (int x = left; x < right; ++x) {
            count += image.At(x, y) == pixel ? 1 : 0;
        }
    }
    return count;
}

bool SameArea(const Image& a, const Image& b, int left, int top, int right, int bottom) {
    for (int y = top; y < bottom; ++y) {
        for (int x = left; x < right; ++x) {
            if (a.At(x, y) != b.At(x, y)) {
                return false;
            }
        }
    }
    return true;
}

void SaveScreenshot(const Image& image, const std::string& name) {
    EXPECT_TRUE(WritePng(ArtifactPath(name), image)) << name;
}

void SaveScreenshot(HWND control, const std::string& name) {
    SaveScreenshot(CaptureClient(control), name);
}
