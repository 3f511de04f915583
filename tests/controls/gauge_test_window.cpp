#include "gauge_test_window.h"
#include "kv_controls.h"

GaugeAtoms RegisterGaugesOnce() {
    static const GaugeAtoms atoms{RegisterStatusGaugeClass(GetModuleHandleA(nullptr)),
                                  RegisterAnalogGaugeClass(GetModuleHandleA(nullptr))};
    return atoms;
}

TestHost& SharedHost() {
    // Never destroyed: the process takes it down.
    static TestHost* host = new TestHost(640, 480);
    return *host;
}

GaugeChildren::GaugeChildren() {
    RegisterGaugesOnce();
}

GaugeChildren::~GaugeChildren() {
    for (HWND child : children_) {
        DestroyWindow(child);
    }
    PumpMessages();
}

HWND GaugeChildren::Child(const char* className, int width, int height) {
    HWND child = SharedHost().CreateChild(className, "template caption", 10, 10, width, height, kChildId);
    children_.push_back(child);
    return child;
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

Image Repainted(HWND control) {
    InvalidateRect(control, nullptr, TRUE);
    return CaptureClient(control);
}
