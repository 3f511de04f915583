#include "window_capture.h"

Image CaptureClient(HWND window) {
    UpdateWindow(window);
    PumpMessages();
    RECT rect;
    GetClientRect(window, &rect);
    Image image;
    image.width = rect.right;
    image.height = rect.bottom;
    image.pixels.resize(static_cast<std::size_t>(image.width) * image.height);
    if (image.pixels.empty()) {
        return image;
    }
    HDC screen = GetDC(window);
    HDC memory = CreateCompatibleDC(screen);
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
    BitBlt(memory, 0, 0, image.width, image.height, screen, 0, 0, SRCCOPY);
    GdiFlush();
    const auto* src = static_cast<const std::uint32_t*>(bits);
    for (std::size_t i = 0; i < image.pixels.size(); ++i) {
        image.pixels[i] = src[i] & 0x00FFFFFF;
    }
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
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
