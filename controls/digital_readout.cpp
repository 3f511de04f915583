// KVDIGITALGAUGEREADOUT: a framed box with a title line, the value in large digits and a units
// line. It answers no configuration message: the caption it was created with gives the title and,
// after a line break, the units ("Boost\nkPa"); the value is 0.
#include "control_common.h"
#include "kv_controls.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <new>

namespace {

constexpr WORD kContextMenuCode = 0x590;

struct DigitalReadout {
    HWND window;
    double value;
    char title[64];
    char units[32];
    HFONT labelFont;
    HFONT valueFont;
};

// Copies a caption up to its first line break, cut to the field.
void CopyCaptionLine(char* field, std::size_t size, const char* caption) {
    const std::size_t length = std::min(std::strcspn(caption, "\r\n"), size - 1);
    std::memcpy(field, caption, length);
    field[length] = '\0';
}

void Paint(const DigitalReadout& readout) {
    BufferedPaint paint(readout.window);
    HDC dc = paint.dc();
    RECT box = paint.client();
    FillRect(dc, &box, GetSysColorBrush(COLOR_WINDOW));
    DrawEdge(dc, &box, EDGE_SUNKEN, BF_RECT | BF_ADJUST);

    const int lineHeight = (box.bottom - box.top) / 4;
    RECT titleLine{box.left, box.top, box.right, box.top + lineHeight};
    RECT unitsLine{box.left, box.bottom - lineHeight, box.right, box.bottom};
    RECT valueLine{box.left, titleLine.bottom, box.right, unitsLine.top};
    char value[32];
    std::snprintf(value, sizeof value, "%.2f", readout.value);

    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
    HGDIOBJ oldFont = SelectObject(dc, readout.labelFont);
    DrawTextA(dc, readout.title, -1, &titleLine, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    DrawTextA(dc, readout.units, -1, &unitsLine, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    SelectObject(dc, readout.valueFont);
    DrawTextA(dc, value, -1, &valueLine, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    SelectObject(dc, oldFont);
}

LRESULT Create(HWND window, const CREATESTRUCTA& create) {
    auto* readout = new (std::nothrow) DigitalReadout{};
    if (readout == nullptr) {
        return FALSE;
    }
    readout->window = window;
    // A dialog template may give the caption as a resource ordinal rather than a text.
    if (create.lpszName != nullptr && !IS_INTRESOURCE(create.lpszName)) {
        CopyCaptionLine(readout->title, sizeof readout->title, create.lpszName);
        const char* lineBreak = std::strchr(create.lpszName, '\n');
        if (lineBreak != nullptr) {
            CopyCaptionLine(readout->units, sizeof readout->units, lineBreak + 1);
        }
    }
    readout->labelFont = CreateArialFont(14, FW_NORMAL);
    readout->valueFont = CreateArialFont(28, FW_BOLD);
    SetControlState(window, readout);
    return TRUE;
}

LRESULT CALLBACK DigitalReadoutProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        return Create(window, *reinterpret_cast<const CREATESTRUCTA*>(lParam));
    }
    DigitalReadout* readout = GetControlState<DigitalReadout>(window);
    if (readout == nullptr) {
        return DefWindowProcA(window, message, wParam, lParam);
    }
    switch (message) {
    case WM_ERASEBKGND:
        return 1;
    case WM_PAINT:
        Paint(*readout);
        return 0;
    case WM_CONTEXTMENU:
        return NotifyContextMenu(window, kContextMenuCode, lParam);
    case WM_NCDESTROY:
        DeleteObject(readout->labelFont);
        DeleteObject(readout->valueFont);
        DeleteControlState(window, readout);
        return 0;
    default:
        return DefWindowProcA(window, message, wParam, lParam);
    }
}

} // namespace

ATOM RegisterDigitalReadoutClass(HINSTANCE instance) {
    return RegisterControlClass(instance, "KVDIGITALGAUGEREADOUT", DigitalReadoutProc, 0, IDC_ARROW,
                                SystemColourBrush(COLOR_WINDOW));
}
