#include "gauge_test_window.h"
#include "kv_controls.h"

#include <gtest/gtest.h>

WPARAM TestParent::lastCommandW = 0;
LPARAM TestParent::lastCommandL = 0;
int TestParent::commandCount = 0;

namespace {

LRESULT CALLBACK ParentProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_COMMAND) {
        TestParent::lastCommandW = wParam;
        TestParent::lastCommandL = lParam;
        ++TestParent::commandCount;
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

// One top-level window serves every test of the process: destroying a top-level window costs
// Wine seconds on a screen without a window manager.
HWND SharedParent() {
    static const HWND parent = [] {
        RegisterGaugesOnce();
        WNDCLASSA wc{};
        wc.lpfnWndProc = ParentProc;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
        wc.lpszClassName = "GaugeTestParent";
        RegisterClassA(&wc);
        HWND window = CreateWindowExA(0, "GaugeTestParent", "gauges", WS_POPUP | WS_VISIBLE, 0, 0, 600, 500,
                                      nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
        PumpMessages();
        return window;
    }();
    return parent;
}

} // namespace

GaugeAtoms RegisterGaugesOnce() {
    static const GaugeAtoms atoms{RegisterStatusGaugeClass(GetModuleHandleA(nullptr)),
                                  RegisterAnalogGaugeClass(GetModuleHandleA(nullptr))};
    return atoms;
}

TestParent::TestParent() : window_(SharedParent()) {
    lastCommandW = 0;
    lastCommandL = 0;
    commandCount = 0;
}

TestParent::~TestParent() {
    for (HWND child : children_) {
        DestroyWindow(child);
    }
    PumpMessages();
}

HWND TestParent::Child(const char* className, int width, int height) {
    HWND child = CreateWindowExA(0, className, "", WS_CHILD | WS_VISIBLE, 0, 0, width, height, window_,
                                 reinterpret_cast<HMENU>(static_cast<INT_PTR>(kChildId)),
                                 GetModuleHandleA(nullptr), nullptr);
    children_.push_back(child);
    PumpMessages();
    return child;
}

std::uint32_t PixelOf(COLORREF colour) {
    return (GetRValue(colour) << 16) | (GetGValue(colour) << 8) | GetBValue(colour);
}

int CountPixels(const Image& image, std::uint32_t pixel, int left, int top, int right, int bottom) {
    int count = 0;
    for (int y = top; y < bottom && y < image.height; ++y) {
        for (int x = left; x < right && x < image.width; ++x) {
            count += image.At(x, y) == pixel ? 1 : 0;
        }
    }
    return count;
}

int CountDarkPixels(const Image& image, int left, int top, int right, int bottom) {
    int count = 0;
    for (int y = top; y < bottom && y < image.height; ++y) {
        for (int x = left; x < right && x < image.width; ++x) {
            const std::uint32_t p = image.At(x, y);
            count += ((p >> 16) & 0xFF) < 0x80 && ((p >> 8) & 0xFF) < 0x80 && (p & 0xFF) < 0x80 ? 1 : 0;
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

Image Repainted(HWND control) {
    InvalidateRect(control, nullptr, TRUE);
    return CaptureClient(control);
}

void SaveScreenshot(HWND control, const char* fileName) {
    EXPECT_TRUE(WritePng(ArtifactPath(fileName), CaptureClient(control))) << fileName;
}
