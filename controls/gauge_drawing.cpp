#include "gauge_drawing.h"
#include "arial_font.h"
#include "control_common.h"
#include "gauge_family.h"

void RepaintIfAsked(HWND window, LPARAM flag) {
    if (flag != 0) {
        InvalidateRect(window, nullptr, TRUE);
        UpdateWindow(window);
    }
}

HFONT CreateGaugeFont(int height) {
    return CreateProofArialFont(height, FW_SEMIBOLD, FF_MODERN | VARIABLE_PITCH);
}

bool HandleCommonGaugeMessage(HWND window, std::uint32_t& style, UINT message, WPARAM wParam, LPARAM lParam,
                              LRESULT& result) {
    result = 0;
    switch (message) {
    case WM_CREATE:
    case WM_SIZE:
    case WM_DESTROY:
        return true;
    case WM_ERASEBKGND:
        result = 1;
        return true;
    case WM_CONTEXTMENU:
        result = NotifyContextMenu(window, kGaugeContextMenuCode, lParam);
        return true;
    case GM_ADDSTYLE:
        style = AddGaugeStyle(style, static_cast<std::uint32_t>(wParam));
        RepaintIfAsked(window, lParam);
        return true;
    case GM_REMOVESTYLE:
        style = RemoveGaugeStyle(style, static_cast<std::uint32_t>(wParam));
        RepaintIfAsked(window, lParam);
        return true;
    default:
        return false;
    }
}

void ApplyGaugeMapping(HDC dc, std::uint32_t style, int logicalSize, const RECT& client) {
    const GaugeMapping mapping = MakeGaugeMapping(style, logicalSize, client.right, client.bottom);
    SetMapMode(dc, mapping.mode);
    SetWindowExtEx(dc, mapping.windowExtent, mapping.windowExtent, nullptr);
    SetViewportExtEx(dc, mapping.viewportWidth, mapping.viewportHeight, nullptr);
}

void RestorePixelMapping(HDC dc) {
    SetMapMode(dc, MM_TEXT);
}
