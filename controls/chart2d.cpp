#include "arial_font.h"
#include "chart2d_window.h"
#include "control_common.h"
#include "kv_controls.h"

#include <cstring>
#include <new>

namespace {

constexpr LRESULT kChartDialogCode = 0x85;

struct FontSpec {
    int height;
    int weight;
    int escapement;
};

// Indexed by Chart2DFont.
constexpr FontSpec kFontSpecs[kChartFontCount] = {
    {12, 400, 900}, {12, 600, -900}, {14, 600, 0}, {12, 600, 0}, {12, 400, 0}, {22, 600, 0}, {12, 100, 0},
};

bool CreateChartFonts(Chart2D& chart) {
    for (int i = 0; i < kChartFontCount; ++i) {
        const FontSpec& font = kFontSpecs[i];
        chart.fonts[i] = CreateArialFontTurned(font.height, font.weight, font.escapement);
        if (chart.fonts[i] == nullptr) {
            return false;
        }
    }
    return true;
}

void DestroyChart(Chart2D* chart) {
    for (HFONT font : chart->fonts) {
        if (font != nullptr) {
            DeleteObject(font);
        }
    }
    delete chart;
}

// Copies at most limit characters of text into a field, always terminated.
void CopyText(char* field, std::size_t fieldSize, const char* text, std::size_t limit) {
    std::size_t n = 0;
    const std::size_t most = limit < fieldSize - 1 ? limit : fieldSize - 1;
    if (text != nullptr) {
        while (n < most && text[n] != '\0') {
            field[n] = text[n];
            ++n;
        }
    }
    field[n] = '\0';
}

void Invalidate(HWND window) {
    InvalidateRect(window, nullptr, FALSE);
}

void InvalidateIf(HWND window, LPARAM repaint) {
    if (repaint != 0) {
        Invalidate(window);
    }
}

// Mouse positions in logical units, the inverse of the y-upwards mapping the chart paints with.
ChartPoint MouseToLogical(const Chart2D& chart, LPARAM position) {
    const POINTS p = MAKEPOINTS(position);
    return ChartPoint{p.x, chart.model.clientHeight - p.y};
}

void InvertBandOnScreen(const Chart2D& chart, const ChartRect& band) {
    HDC dc = GetDC(chart.window);
    InvertChartBand(dc, chart, band);
    ReleaseDC(chart.window, dc);
}

void OnButtonDown(Chart2D& chart, WPARAM keys, LPARAM position) {
    SetCapture(chart.window);
    chart.model.Press(MouseToLogical(chart, position), (keys & MK_CONTROL) != 0, (keys & MK_SHIFT) != 0);
}

void OnMouseMove(Chart2D& chart, LPARAM position) {
    Chart2DModel& model = chart.model;
    if ((model.interaction & kDragging) != 0 && (model.interaction & kCursorHidden) == 0) {
        ShowCursor(FALSE);
        model.interaction |= kCursorHidden;
    }
    model.Move(MouseToLogical(chart, position));
    if ((model.interaction & kRubberBanding) != 0) {
        InvertBandOnScreen(chart, model.previousBand);
        InvertBandOnScreen(chart, model.band);
    }
}

// Ends what the press began: the drag (announced), the hidden cursor and the rubber band. It
// touches neither the mouse capture nor the cursor's position, which may belong to another window
// by now.
void EndGesture(Chart2D& chart) {
    Chart2DModel& model = chart.model;
    model.interaction &= ~kMouseDown;
    model.EndDrag();
    if ((model.interaction & kCursorHidden) != 0) {
        ShowCursor(TRUE);
        model.interaction &= ~kCursorHidden;
    }
    ChartRect band{};
    if (model.EndRubberBand(&band)) {
        InvertBandOnScreen(chart, band);
    }
}

void OnButtonUp(Chart2D& chart) {
    Chart2DModel& model = chart.model;
    ChartPoint at{};
    if (model.DragPosition(&at)) {
        POINT screen{at.x, model.clientHeight - at.y};
        ClientToScreen(chart.window, &screen);
        SetCursorPos(screen.x, screen.y);
    }
    // The gesture is over before the capture goes, so the WM_CAPTURECHANGED that releasing it
    // sends finds nothing left to end.
    EndGesture(chart);
    ReleaseCapture();
}

LRESULT SetCaption(Chart2D& chart, char* field, const char* text, LPARAM length) {
    CopyText(field, 40, text, length > 0 ? static_cast<std::size_t>(length) : 0);
    Invalidate(chart.window);
    return 0;
}

LRESULT GetCaption(const char* field, char* buffer, LPARAM length) {
    if (buffer != nullptr && length > 0) {
        CopyText(buffer, length < 40 ? static_cast<std::size_t>(length) : 40, field, 39);
    }
    return 0;
}

LRESULT SetTickCount(Chart2D& chart, std::vector<ChartTick>& ticks, LPARAM count) {
    ticks.resize(static_cast<std::size_t>(count) & 0xFFFF, ChartTick{0, std::string()});
    Invalidate(chart.window);
    return 0;
}

LRESULT SetTick(Chart2D& chart, std::vector<ChartTick>& ticks, const KVChart2DTick* tick) {
    if (tick == nullptr || tick->index >= ticks.size()) {
        return 0;
    }
    ChartTick& entry = ticks[tick->index];
    entry.value = tick->value;
    entry.text.clear();
    for (UINT i = 0; tick->text != nullptr && i < tick->length && tick->text[i] != '\0'; ++i) {
        entry.text += tick->text[i];
    }
    Invalidate(chart.window);
    return 0;
}

void GetPair(float first, float second, WPARAM firstOut, LPARAM secondOut) {
    if (firstOut != 0) {
        *reinterpret_cast<float*>(firstOut) = first;
    }
    if (secondOut != 0) {
        *reinterpret_cast<float*>(secondOut) = second;
    }
}

LRESULT AddChartStyle(Chart2D& chart, std::uint32_t bits, LPARAM repaint) {
    Chart2DModel& model = chart.model;
    model.style = bits == 0 ? 0 : model.style | bits;
    if ((bits & (kChartXTicksFromRange | kChartYTicksFromRange)) != 0) {
        model.RegenerateTicks();
    }
    // An axis that has just become automatic follows the points already there.
    if ((bits & (kChartAutoX | kChartAutoY)) != 0) {
        model.UpdateAutoRanges(nullptr, 0);
    }
    InvalidateIf(chart.window, repaint);
    return 0;
}

LRESULT RemoveChartStyle(Chart2D& chart, std::uint32_t bits, LPARAM repaint) {
    Chart2DModel& model = chart.model;
    model.style &= ~bits;
    if ((bits & kChartXTicksFromRange) != 0) {
        model.xTicks.clear();
    }
    if ((bits & kChartYTicksFromRange) != 0) {
        model.yTicks.clear();
    }
    InvalidateIf(chart.window, repaint);
    return 0;
}

LRESULT SetColour(Chart2D& chart, WPARAM index, LPARAM colour) {
    if (index >= kChartColourCount || index == 6 || index == 10 || index == 12 || index == 13) {
        return 0;
    }
    chart.colours[index] = static_cast<COLORREF>(colour);
    Invalidate(chart.window);
    return 1;
}

// The chart's own messages (C2M_...); anything else goes to the default procedure.
LRESULT ChartMessage(Chart2D& chart, UINT message, WPARAM wParam, LPARAM lParam) {
    Chart2DModel& model = chart.model;
    switch (message) {
    case C2M_ADDSTYLE:
        return AddChartStyle(chart, static_cast<std::uint32_t>(wParam), lParam);
    case C2M_GETSTYLE:
        return model.style;
    case C2M_REMOVESTYLE:
        return RemoveChartStyle(chart, static_cast<std::uint32_t>(wParam), lParam);
    case C2M_REDRAW:
        Invalidate(chart.window);
        return 0;
    case C2M_SETLABELCALLBACK:
        chart.labelCallback = reinterpret_cast<KVChart2DLabelCallback>(lParam);
        model.RegenerateTicks();
        Invalidate(chart.window);
        return 0;
    case C2M_ADDSERIES: {
        IKVChart2DSeries* series = model.AddSeries(static_cast<std::uint32_t>(wParam));
        InvalidateIf(chart.window, lParam);
        return reinterpret_cast<LRESULT>(series);
    }
    case C2M_REMOVESERIES: {
        const bool removed = model.RemoveSeries(reinterpret_cast<IKVChart2DSeries*>(wParam));
        InvalidateIf(chart.window, lParam);
        return removed ? 1 : 0;
    }
    case C2M_GETSERIES:
        return reinterpret_cast<LRESULT>(
            static_cast<IKVChart2DSeries*>(model.GetSeries(static_cast<UINT>(wParam))));
    case C2M_GETSERIESCOUNT:
        return model.SeriesCount();
    case C2M_DESELECTALL:
        model.DeselectAll();
        InvalidateIf(chart.window, lParam == 1);
        return 0;
    case C2M_SETCOLOR:
        return SetColour(chart, wParam, lParam);
    case C2M_GETCOLOR:
        return wParam < kChartColourCount ? chart.colours[wParam] : 0;
    case C2M_SETXRANGE:
        model.SetXRange(reinterpret_cast<const float*>(wParam), reinterpret_cast<const float*>(lParam));
        Invalidate(chart.window);
        return 0;
    case C2M_GETXRANGE:
        GetPair(model.xMin, model.xMax, wParam, lParam);
        return 0;
    case C2M_SETYRANGE:
        model.SetYRange(reinterpret_cast<const float*>(wParam), reinterpret_cast<const float*>(lParam));
        Invalidate(chart.window);
        return 0;
    case C2M_GETYRANGE:
        GetPair(model.yMin, model.yMax, wParam, lParam);
        return 0;
    case C2M_SETXLIMITS:
        StoreGivenBounds(model.xLow, model.xHigh, reinterpret_cast<const float*>(wParam),
                         reinterpret_cast<const float*>(lParam));
        return 0;
    case C2M_GETXLIMITS:
        GetPair(model.xLow, model.xHigh, wParam, lParam);
        return 0;
    case C2M_SETYLIMITS:
        StoreGivenBounds(model.yLow, model.yHigh, reinterpret_cast<const float*>(wParam),
                         reinterpret_cast<const float*>(lParam));
        return 0;
    case C2M_GETYLIMITS:
        GetPair(model.yLow, model.yHigh, wParam, lParam);
        return 0;
    case C2M_SETXCAPTION:
        return SetCaption(chart, chart.xCaption, reinterpret_cast<const char*>(wParam), lParam);
    case C2M_SETYCAPTION:
        return SetCaption(chart, chart.yCaption, reinterpret_cast<const char*>(wParam), lParam);
    case C2M_GETXCAPTION:
        return GetCaption(chart.xCaption, reinterpret_cast<char*>(wParam), lParam);
    case C2M_GETYCAPTION:
        return GetCaption(chart.yCaption, reinterpret_cast<char*>(wParam), lParam);
    case C2M_SETXTICKCOUNT:
        return SetTickCount(chart, model.xTicks, lParam);
    case C2M_SETYTICKCOUNT:
        return SetTickCount(chart, model.yTicks, lParam);
    case C2M_GETXTICKCOUNT:
        return static_cast<WORD>(model.xTicks.size());
    case C2M_GETYTICKCOUNT:
        return static_cast<WORD>(model.yTicks.size());
    case C2M_SETXTICK:
        return SetTick(chart, model.xTicks, reinterpret_cast<const KVChart2DTick*>(lParam));
    case C2M_SETYTICK:
        return SetTick(chart, model.yTicks, reinterpret_cast<const KVChart2DTick*>(lParam));
    case C2M_CLEARTICKS:
        model.xTicks.clear();
        model.yTicks.clear();
        Invalidate(chart.window);
        return 0;
    case C2M_CLEARYTICKS:
        model.yTicks.clear();
        Invalidate(chart.window);
        return 0;
    case C2M_SETVERSIONTEXT:
        CopyText(chart.version, sizeof chart.version, reinterpret_cast<const char*>(lParam), 59);
        Invalidate(chart.window);
        return 0;
    case C2M_GETVERSIONTEXT:
        if (lParam != 0) {
            CopyText(reinterpret_cast<char*>(lParam), sizeof chart.version, chart.version, 59);
        }
        return 0;
    default:
        return DefWindowProcA(chart.window, message, wParam, lParam);
    }
}

LRESULT CALLBACK Chart2DProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* chart = new (std::nothrow) Chart2D(window);
        if (chart == nullptr) {
            return FALSE;
        }
        if (!CreateChartFonts(*chart)) {
            DestroyChart(chart);
            return FALSE;
        }
        const auto* create = reinterpret_cast<const CREATESTRUCTA*>(lParam);
        chart->header.hdr.hwndFrom = window;
        chart->header.hdr.idFrom =
            (create->style & WS_CHILD) != 0 ? reinterpret_cast<UINT_PTR>(create->hMenu) : 0;
        SetControlState(window, chart);
        return DefWindowProcA(window, message, wParam, lParam);
    }
    Chart2D* chart = GetControlState<Chart2D>(window);
    if (chart == nullptr) {
        return DefWindowProcA(window, message, wParam, lParam);
    }
    switch (message) {
    case WM_NCDESTROY:
        if ((chart->model.interaction & kCursorHidden) != 0) {
            ShowCursor(TRUE);
        }
        SetControlState(window, nullptr);
        DestroyChart(chart);
        return 0;
    case WM_SIZE: {
        RECT client;
        GetClientRect(window, &client);
        chart->model.Resize(client.right, client.bottom);
        Invalidate(window);
        return 0;
    }
    case WM_SETREDRAW:
        if (wParam != 0) {
            chart->model.interaction &= ~kPaintSuspended;
            Invalidate(window);
        } else {
            chart->model.interaction |= kPaintSuspended;
        }
        return 0;
    case WM_SETTEXT:
    case C2M_SETTITLE:
        CopyText(chart->title, sizeof chart->title, reinterpret_cast<const char*>(lParam), 99);
        Invalidate(window);
        // The title is the window text, so SetWindowText reports success as for any window.
        return message == WM_SETTEXT ? TRUE : 0;
    case WM_GETTEXT: {
        if (wParam == 0 || lParam == 0) {
            return 0;
        }
        char* buffer = reinterpret_cast<char*>(lParam);
        CopyText(buffer, wParam, chart->title, wParam - 1);
        return static_cast<LRESULT>(std::strlen(buffer));
    }
    case WM_GETTEXTLENGTH:
        return static_cast<LRESULT>(std::strlen(chart->title));
    case WM_PAINT:
        PaintChart2D(*chart);
        return 0;
    case WM_ERASEBKGND:
        return 1;
    case WM_MOUSEACTIVATE:
        SetFocus(window);
        return MA_ACTIVATE;
    case WM_GETDLGCODE:
        return kChartDialogCode;
    case WM_KEYDOWN:
    case WM_KEYUP:
        chart->model.SetKey(static_cast<int>(wParam), message == WM_KEYDOWN);
        return 0;
    case WM_MOUSEMOVE:
        OnMouseMove(*chart, lParam);
        return 0;
    case WM_LBUTTONDBLCLK:
        chart->model.DeselectAll();
        Invalidate(window);
        OnButtonDown(*chart, wParam, lParam);
        return 0;
    case WM_LBUTTONDOWN:
        OnButtonDown(*chart, wParam, lParam);
        return 0;
    case WM_LBUTTONUP:
        OnButtonUp(*chart);
        return 0;
    case WM_CAPTURECHANGED:
        // Another window took the mouse in mid-gesture: no button-up will come, so the gesture
        // ends here, leaving the new owner its capture and the cursor where it is.
        if ((chart->model.interaction & kMouseDown) != 0 && reinterpret_cast<HWND>(lParam) != window) {
            EndGesture(*chart);
        }
        return 0;
    default:
        return ChartMessage(*chart, message, wParam, lParam);
    }
}

} // namespace

void Chart2DLink::Notify(std::uint32_t code, IKVChart2DSeries* series, std::uint32_t index) {
    NMCHART2D& header = chart_->header;
    header.hdr.code = code;
    header.series = series;
    header.point = index;
    SendMessageA(GetParent(chart_->window), WM_NOTIFY, header.hdr.idFrom, reinterpret_cast<LPARAM>(&header));
}

void Chart2DLink::Invalidate() {
    InvalidateRect(chart_->window, nullptr, FALSE);
}

bool Chart2DLink::Label(float x, float y, IKVChart2DSeries* series, std::uint32_t index, int kind,
                        char* buffer, int* length) {
    return chart_->labelCallback != nullptr &&
           chart_->labelCallback(chart_->window, x, y, series, index, kind, buffer, length) != 0;
}

ATOM Register2DChartClass(HINSTANCE instance) {
    return RegisterControlClass(instance, "2DCHART", Chart2DProc, CS_DBLCLKS, IDC_ARROW,
                                SystemColourBrush(COLOR_WINDOW));
}
