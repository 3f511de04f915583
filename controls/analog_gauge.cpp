// KVANALOGGAUGE: a dial with a graduated scale, coloured zones on the rim, a needle, title, units,
// the value and the lowest and highest values seen, drawn in a 180 by 180 logical space stretched
// over the client area.
#include "analog_gauge_geometry.h"
#include "analog_gauge_state.h"
#include "control_common.h"
#include "gauge_drawing.h"
#include "gauge_family.h"
#include "kv_controls.h"

#include <new>
#include <string>

namespace {

enum FontIndex { kTitleFont, kUnitsFont, kValueFont, kLabelFont, kMinMaxFont, kFontCount };
constexpr int kFontHeights[kFontCount] = {12, 10, 10, 9, 7};
using AnalogFonts = GaugeFonts<kFontCount>;

struct AnalogGaugeWindow {
    HWND window;
    AnalogGaugeState gauge;
};

void DrawLine(HDC dc, DialPoint from, DialPoint to) {
    MoveToEx(dc, from.x, from.y, nullptr);
    LineTo(dc, to.x, to.y);
}

void TextAt(HDC dc, HFONT font, std::uint32_t colour, UINT alignment, int x, int y, const std::string& text) {
    SelectObject(dc, font);
    SetTextColor(dc, colour);
    SetTextAlign(dc, alignment);
    TextOutA(dc, x, y, text.c_str(), static_cast<int>(text.size()));
}

// Major ticks with their labels and the minor ticks between them.
void DrawScale(HDC dc, const AnalogGaugeState& gauge, const AnalogFonts& fonts) {
    const int size = gauge.logicalSize;
    const DialRadii radii = RadiiFor(size);
    HPEN majorPen = CreatePen(PS_SOLID, 1, gauge.colours[kMajorTickColour]);
    HPEN minorPen = CreatePen(PS_SOLID, 1, gauge.colours[kMinorTickColour]);
    HGDIOBJ oldPen = SelectObject(dc, majorPen);
    float previous = gauge.minimum;
    for (std::uint32_t i = 0; i < gauge.majorTicks; ++i) {
        const float tick = MajorTickValue(gauge, i);
        const double angle = DialAngle(gauge, tick);
        SelectObject(dc, majorPen);
        DrawLine(dc, TickEndOnDial(size, angle, radii.majorTickOuter),
                 TickEndOnDial(size, angle, radii.majorTickInner));
        const DialPoint anchor = PointOnDial(size, angle, radii.label);
        TextAt(dc, fonts[kLabelFont], gauge.colours[kLabelColour], LabelAlignment(angle), anchor.x, anchor.y,
               GaugeValueText(tick, gauge.decimals));
        if (i > 0 && gauge.minorDivisions > 1) {
            SelectObject(dc, minorPen);
            for (std::uint32_t j = 1; j < gauge.minorDivisions; ++j) {
                const double minorAngle = DialAngle(gauge, MinorTickValue(gauge, previous, tick, j));
                DrawLine(dc, TickEndOnDial(size, minorAngle, radii.majorTickOuter),
                         TickEndOnDial(size, minorAngle, radii.minorTickInner));
            }
        }
        previous = tick;
    }
    SelectObject(dc, oldPen);
    DeleteObject(majorPen);
    DeleteObject(minorPen);
}

// An arc along the rim, counterclockwise from one value's direction to another's.
void DrawRimArc(HDC dc, const AnalogGaugeState& gauge, std::uint32_t colour, float fromValue, float toValue) {
    const int size = gauge.logicalSize;
    const DialPoint start = PointOnDial(size, DialAngle(gauge, fromValue), RadiiFor(size).arcEnds);
    const DialPoint end = PointOnDial(size, DialAngle(gauge, toValue), RadiiFor(size).arcEnds);
    SelectedObject pen(dc, CreatePen(PS_SOLID, 2, colour));
    SetArcDirection(dc, AD_COUNTERCLOCKWISE);
    Arc(dc, 2, 2, size - 2, size - 2, start.x, start.y, end.x, end.y);
}

void DrawNeedle(HDC dc, const AnalogGaugeState& gauge) {
    const int size = gauge.logicalSize;
    const int h = size / 2;
    const DialRadii radii = RadiiFor(size);
    const double angle = DialAngle(gauge, gauge.value);
    {
        SelectedObject pen(dc, CreatePen(PS_SOLID, 1, gauge.colours[kNeedleColour]));
        HGDIOBJ oldBrush = SelectObject(dc, GetStockObject(WHITE_BRUSH));
        const DialPoint tip = PointOnDial(size, angle, radii.needleTip);
        const DialPoint left = PointOnDial(size, angle - 90.0, radii.needleBase);
        const DialPoint right = PointOnDial(size, angle + 90.0, radii.needleBase);
        const POINT corners[3] = {{tip.x, tip.y}, {left.x, left.y}, {right.x, right.y}};
        Polygon(dc, corners, 3);
        SelectObject(dc, oldBrush);
    }
    HGDIOBJ oldPen = SelectObject(dc, GetStockObject(BLACK_PEN));
    HGDIOBJ oldBrush = SelectObject(dc, GetStockObject(BLACK_BRUSH));
    Ellipse(dc, h - 2, h - 2, h + 2, h + 2);
    SelectObject(dc, oldBrush);
    SelectObject(dc, oldPen);

    SelectedObject rimPen(dc, CreatePen(PS_SOLID, 2, RGB(255, 0, 0)));
    DrawLine(dc, TickEndOnDial(size, angle, radii.rimMarkOuter),
             TickEndOnDial(size, angle, radii.rimMarkInner));
}

void DrawTexts(HDC dc, const AnalogGaugeState& gauge, const AnalogFonts& fonts) {
    const int s = gauge.logicalSize;
    const int h = s / 2;
    if (CaptionLengthToDraw(gauge.title) > 0) {
        TextAt(dc, fonts[kTitleFont], gauge.colours[kTitleColour], TA_CENTER | TA_BOTTOM, h, 2 * s / 5,
               gauge.title.Get());
    }
    if ((gauge.style & kAnalogShowValue) != 0) {
        TextAt(dc, fonts[kValueFont], gauge.colours[kValueColour], TA_CENTER | TA_TOP, h, 3 * s / 4,
               GaugeValueText(gauge.value, gauge.decimals));
    }
    if (CaptionLengthToDraw(gauge.units) > 0) {
        TextAt(dc, fonts[kUnitsFont], gauge.colours[kUnitsColour], TA_CENTER | TA_TOP, h, 4 * s / 5,
               gauge.units.Get());
    }
    if ((gauge.style & kAnalogShowMin) != 0) {
        TextAt(dc, fonts[kMinMaxFont], gauge.minTextColour, TA_CENTER | TA_TOP, 9 * s / 24, 2 * s / 3,
               MinLineText(gauge));
    }
    if ((gauge.style & kAnalogShowMax) != 0) {
        TextAt(dc, fonts[kMinMaxFont], gauge.maxTextColour, TA_CENTER | TA_TOP, 15 * s / 24, 2 * s / 3,
               MaxLineText(gauge));
    }
}

void Paint(const AnalogGaugeWindow& control) {
    const AnalogGaugeState& gauge = control.gauge;
    const int size = gauge.logicalSize;
    BufferedPaint paint(control.window);
    HDC dc = paint.dc();

    HBRUSH background = CreateSolidBrush(gauge.colours[kBackgroundColour]);
    FillRect(dc, &paint.client(), background);
    DeleteObject(background);
    ApplyGaugeMapping(dc, gauge.style, size, paint.client());
    {
        SelectedObject pen(dc, CreatePen(PS_SOLID, 1, gauge.colours[kOutlineColour]));
        SelectedObject brush(dc, CreateSolidBrush(gauge.colours[kFaceColour]));
        Ellipse(dc, 2, 2, size - 2, size - 2);
    }

    const AnalogFonts fonts(kFontHeights);
    SetBkMode(dc, TRANSPARENT);
    HGDIOBJ oldFont = SelectObject(dc, fonts[kTitleFont]);
    DrawTexts(dc, gauge, fonts);
    DrawScale(dc, gauge, fonts);
    SelectObject(dc, oldFont);

    DrawRimArc(dc, gauge, gauge.colours[kOutlineColour], gauge.maximum, gauge.minimum);
    if ((gauge.style & kAnalogShowZones) != 0) {
        // In list order, so a later zone covers an earlier one where they overlap.
        for (const AnalogGaugeZone& zone : gauge.zones) {
            DrawRimArc(dc, gauge, zone.colour, zone.to, zone.from);
        }
    }
    DrawNeedle(dc, gauge);

    RestorePixelMapping(dc);
}

// The float behind a pointer parameter; callers that pass a null pointer change nothing.
const float* FloatAt(WPARAM pointer) {
    return reinterpret_cast<const float*>(pointer);
}

LRESULT CALLBACK AnalogGaugeProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        return AdoptControlState(window, new (std::nothrow) AnalogGaugeWindow{window, {}});
    }
    auto* control = GetControlState<AnalogGaugeWindow>(window);
    if (control == nullptr) {
        return DefWindowProcA(window, message, wParam, lParam);
    }
    AnalogGaugeState& gauge = control->gauge;
    LRESULT result = 0;
    if (HandleCommonGaugeMessage(window, gauge.style, message, wParam, lParam, result)) {
        return result;
    }
    switch (message) {
    case WM_NCDESTROY:
        DeleteControlState(window, control);
        return 0;
    case WM_PAINT:
        Paint(*control);
        return 0;
    case WM_LBUTTONDBLCLK:
        ResetLowestSeen(gauge);
        ResetHighestSeen(gauge);
        return 0;
    case AGM_SETCOLOR:
        SetAnalogColour(gauge, static_cast<std::uint32_t>(wParam), static_cast<std::uint32_t>(lParam));
        return 0;
    case AGM_GETCOLOR:
        return GetAnalogColour(gauge, static_cast<std::uint32_t>(wParam));
    case AGM_SETRANGE:
        if (FloatAt(wParam) != nullptr && FloatAt(lParam) != nullptr) {
            gauge.minimum = *FloatAt(wParam);
            gauge.maximum = *FloatAt(lParam);
        }
        return 0;
    case AGM_SETVALUE:
        if (FloatAt(wParam) != nullptr) {
            SetAnalogValue(gauge, *FloatAt(wParam));
            RepaintIfAsked(window, lParam);
        }
        return 0;
    case AGM_GETVALUE:
        return AnalogValueAsInteger(gauge);
    case AGM_SETANGLES:
        if (FloatAt(wParam) != nullptr && FloatAt(lParam) != nullptr) {
            gauge.startAngle = *FloatAt(wParam);
            gauge.endAngle = *FloatAt(lParam);
        }
        return 0;
    case AGM_RESETMIN:
        ResetLowestSeen(gauge);
        return 0;
    case AGM_RESETMAX:
        ResetHighestSeen(gauge);
        return 0;
    case AGM_SETTITLE:
    case AGM_SETUNITS:
        (message == AGM_SETTITLE ? gauge.title : gauge.units)
            .Store(reinterpret_cast<const char*>(wParam), static_cast<std::size_t>(lParam));
        return 0;
    case AGM_GETTITLE:
    case AGM_GETUNITS:
        (message == AGM_GETTITLE ? gauge.title : gauge.units)
            .CopyOut(reinterpret_cast<char*>(wParam), static_cast<std::size_t>(lParam));
        return 0;
    case AGM_SETDECIMALS:
        gauge.decimals = static_cast<std::int32_t>(lParam);
        return 0;
    case AGM_SETZONE:
        return static_cast<LRESULT>(SetAnalogZone(gauge, static_cast<std::uint32_t>(wParam),
                                                  reinterpret_cast<const AnalogGaugeZone*>(lParam)));
    case AGM_GETZONE:
        return GetAnalogZone(gauge, static_cast<std::uint32_t>(wParam),
                             reinterpret_cast<AnalogGaugeZone*>(lParam))
                   ? 1
                   : 0;
    case AGM_CLEARZONES:
        gauge.zones.clear();
        return 0;
    default:
        return DefWindowProcA(window, message, wParam, lParam);
    }
}

} // namespace

ATOM RegisterAnalogGaugeClass(HINSTANCE instance) {
    return RegisterControlClass(instance, "KVANALOGGAUGE", AnalogGaugeProc, CS_DBLCLKS, IDC_ARROW,
                                reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1));
}
