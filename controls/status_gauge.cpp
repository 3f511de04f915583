// KVSTATUSGAUGE: a title line and a large state text on a coloured band, drawn in a 100 by 100
// logical space stretched over the client area.
#include "control_common.h"
#include "gauge_drawing.h"
#include "gauge_family.h"
#include "kv_controls.h"
#include "status_gauge_state.h"

#include <new>
#include <string>

namespace {

enum FontIndex { kTitleFont, kStateFont, kFontCount };
constexpr int kFontHeights[kFontCount] = {10, 24};

struct StatusGaugeWindow {
    HWND window;
    StatusGaugeState gauge;
};

void Paint(const StatusGaugeWindow& control) {
    const StatusGaugeState& gauge = control.gauge;
    BufferedPaint paint(control.window);
    HDC dc = paint.dc();
    const GaugeFonts<kFontCount> fonts(kFontHeights);

    // With proportional scaling an oblong control is wider or taller than the drawing; the rest
    // shows the class background rather than whatever the memory bitmap held.
    FillRect(dc, &paint.client(), GetSysColorBrush(COLOR_WINDOW));
    ApplyGaugeMapping(dc, gauge.style, kStatusGaugeSize, paint.client());

    SetBkMode(dc, TRANSPARENT);
    {
        // A pen of width 0 stays one pixel wide whatever the scale.
        SelectedObject pen(dc, CreatePen(PS_SOLID, 0, RGB(0, 0, 0)));
        SelectedObject brush(dc, CreateSolidBrush(gauge.backgroundColour));
        Rectangle(dc, 0, 0, kStatusGaugeSize, kStatusGaugeSize);
    }

    SetTextAlign(dc, TA_CENTER | TA_TOP);
    HGDIOBJ oldFont = SelectObject(dc, fonts[kTitleFont]);
    if (gauge.title.Held()) {
        SetTextColor(dc, gauge.titleColour);
        TextOutA(dc, 50, 6, gauge.title.Get(), static_cast<int>(CaptionLengthToDraw(gauge.title)));
    }

    // The opaque text cell is the coloured band behind the state text.
    SetBkMode(dc, OPAQUE);
    const StateColours colours = ColoursForState(gauge);
    SetTextColor(dc, colours.text);
    SetBkColor(dc, colours.background);
    SelectObject(dc, fonts[kStateFont]);
    const std::string text = StateTextToDraw(gauge);
    TextOutA(dc, 50, 50, text.c_str(), static_cast<int>(text.size()));

    SelectObject(dc, oldFont);
    RestorePixelMapping(dc);
}

GaugeText* TextField(StatusGaugeState& gauge, UINT message) {
    switch (message) {
    case SGM_SETTITLE:
    case SGM_GETTITLE:
        return &gauge.title;
    case SGM_SETONTEXT:
    case SGM_GETONTEXT:
        return &gauge.onText;
    default:
        return &gauge.offText;
    }
}

LRESULT CALLBACK StatusGaugeProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        return AdoptControlState(window, new (std::nothrow) StatusGaugeWindow{window, {}});
    }
    auto* control = GetControlState<StatusGaugeWindow>(window);
    if (control == nullptr) {
        return DefWindowProcA(window, message, wParam, lParam);
    }
    StatusGaugeState& gauge = control->gauge;
    LRESULT result = 0;
    if (HandleCommonGaugeMessage(window, gauge.style, message, wParam, lParam, result)) {
        return result;
    }
    switch (message) {
    case WM_LBUTTONDBLCLK:
        return 0;
    case WM_NCDESTROY:
        DeleteControlState(window, control);
        return 0;
    case WM_PAINT:
        Paint(*control);
        return 0;
    case SGM_SETSTATE:
        gauge.state = static_cast<std::uint32_t>(wParam);
        RepaintIfAsked(window, lParam);
        return 0;
    case SGM_SETTITLE:
    case SGM_SETONTEXT:
    case SGM_SETOFFTEXT:
        TextField(gauge, message)
            ->Store(reinterpret_cast<const char*>(wParam), static_cast<std::size_t>(lParam));
        return 0;
    case SGM_GETTITLE:
    case SGM_GETONTEXT:
    case SGM_GETOFFTEXT:
        TextField(gauge, message)->CopyOut(reinterpret_cast<char*>(wParam), static_cast<std::size_t>(lParam));
        return 0;
    default:
        return DefWindowProcA(window, message, wParam, lParam);
    }
}

} // namespace

ATOM RegisterStatusGaugeClass(HINSTANCE instance) {
    return RegisterControlClass(instance, "KVSTATUSGAUGE", StatusGaugeProc, CS_DBLCLKS, IDC_ARROW,
                                reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1));
}
