#include "window_capture.h"

namespace {

// Copies width x height pixels from the device context's origin.
Image CaptureDc(HDC source, int width, int height) {
    Image image;
    image.width = width;
    image.height = height;
    image.pixels.resize(static_cast<std::size_t>(width > 0 ? width : 0) * (height > 0 ? height : 0));
    if (image.pixels.empty()) {
        return image;
    }
    HDC memory = CreateCompatibleDC(source);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = image.width;
    info.bmiHeader.biHeight = -image.height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(memory, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, image.width, image.height, source, 0, 0, SRCCOPY);
    GdiFlush();
    const auto* src = static_cast<const std::uint32_t*>(bits);
    for (std::size_t i = 0; i < image.pixels.size(); ++i) {
        image.pixels[i] = src[i] & 0x00FFFFFF;
    }
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
    return image;
}

} // namespace

Image CaptureClient(HWND window) {
    UpdateWindow(window);
    PumpMessages();
    RECT rect;
    GetClientRect(window, &rect);
    HDC screen = GetDC(window);
    Image image = CaptureDc(screen, rect.right, rect.bottom);
    ReleaseDC(window, screen);
    return image;
}

Image CaptureWindow(HWND window) {
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
    PumpMessages();
    RECT rect;
    GetWindowRect(window, &rect);
    HDC screen = GetWindowDC(window);
    Image image = CaptureDc(screen, rect.right - rect.left, rect.bottom - rect.top);
    ReleaseDC(window, screen);
    return image;
}

void PumpMessages() {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}
