#include "control_common.h"

ATOM RegisterControlClass(HINSTANCE instance, const char* className, WNDPROC procedure, UINT style,
                          LPCSTR cursor, HBRUSH background) {
    WNDCLASSEXA wc{};
    wc.cbSize = sizeof wc;
    wc.style = style;
    wc.lpfnWndProc = procedure;
    wc.cbClsExtra = 0;
    wc.cbWndExtra = sizeof(LONG_PTR);
    wc.hInstance = instance;
    wc.hCursor = cursor != nullptr ? LoadCursorA(nullptr, cursor) : nullptr;
    wc.hbrBackground = background;
    wc.lpszClassName = className;
    return RegisterClassExA(&wc);
}

BufferedPaint::BufferedPaint(HWND window) : window_(window) {
    GetClientRect(window, &client_);
    target_ = BeginPaint(window, &paint_);
    memory_ = CreateCompatibleDC(target_);
    bitmap_ = CreateCompatibleBitmap(target_, client_.right > 0 ? client_.right : 1,
                                     client_.bottom > 0 ? client_.bottom : 1);
    oldBitmap_ = SelectObject(memory_, bitmap_);
}

BufferedPaint::~BufferedPaint() {
    BitBlt(target_, 0, 0, client_.right, client_.bottom, memory_, 0, 0, SRCCOPY);
    SelectObject(memory_, oldBitmap_);
    DeleteObject(bitmap_);
    DeleteDC(memory_);
    EndPaint(window_, &paint_);
}

HFONT CreateGuiFont(LONG weight) {
    LOGFONTA font{};
    GetObjectA(GetStockObject(DEFAULT_GUI_FONT), sizeof font, &font);
    font.lfWeight = weight;
    return CreateFontIndirectA(&font);
}

HFONT CreateArialFont(LONG height, LONG weight) {
    LOGFONTA font{};
    font.lfHeight = -height;
    font.lfWeight = weight;
    font.lfCharSet = DEFAULT_CHARSET;
    lstrcpynA(font.lfFaceName, "Arial", LF_FACESIZE);
    return CreateFontIndirectA(&font);
}
