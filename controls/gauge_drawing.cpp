#include "gauge_drawing.h"
#include "gauge_family.h"

#include <cstring>

void RepaintIfAsked(HWND window, LPARAM flag) {
    if (flag != 0) {
        InvalidateRect(window, nullptr, TRUE);
        UpdateWindow(window);
    }
}

HFONT CreateGaugeFont(int height) {
    LOGFONTA font{};
    font.lfHeight = height;
    font.lfWeight = FW_SEMIBOLD;
    font.lfCharSet = ANSI_CHARSET;
    font.lfOutPrecision = OUT_DEFAULT_PRECIS;
    font.lfClipPrecision = CLIP_DEFAULT_PRECIS;
    font.lfQuality = PROOF_QUALITY;
    font.lfPitchAndFamily = FF_MODERN | VARIABLE_PITCH;
    std::strcpy(font.lfFaceName, "Arial");
    return CreateFontIndirectA(&font);
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
