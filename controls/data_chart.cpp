// KVDATACHART: a chart whose axes are laid out on the four sides of its plot area. It starts with
// a value axis on the left and a time axis at the bottom, and draws no traces yet.
#include "control_common.h"
#include "data_chart_layout.h"
#include "kv_controls.h"

#include <new>
#include <vector>

namespace {

constexpr WORD kContextMenuCode = 0x0001;
constexpr int kAxisThickness = 24;
constexpr int kTickSpacing = 20;

struct DataChart {
    HWND window;
    std::vector<ChartAxis> axes;
};

// A new chart's axes: values on the left, time at the bottom.
std::vector<ChartAxis> StartingAxes() {
    return {{AxisSide::Left, kAxisThickness}, {AxisSide::Bottom, kAxisThickness}};
}

RECT ToRect(const ChartRect& r) {
    return {r.left, r.top, r.right, r.bottom};
}

// An axis band: its line along the plot area and ticks across the band.
void DrawAxis(HDC dc, AxisSide side, const RECT& band) {
    const bool horizontal = side == AxisSide::Top || side == AxisSide::Bottom;
    const int lineAt = side == AxisSide::Left    ? band.right - 1
                       : side == AxisSide::Right ? band.left
                       : side == AxisSide::Top   ? band.bottom - 1
                                                 : band.top;
    if (horizontal) {
        MoveToEx(dc, band.left, lineAt, nullptr);
        LineTo(dc, band.right, lineAt);
        for (int x = band.left; x < band.right; x += kTickSpacing) {
            MoveToEx(dc, x, lineAt, nullptr);
            LineTo(dc, x, side == AxisSide::Bottom ? lineAt + 4 : lineAt - 4);
        }
    } else {
        MoveToEx(dc, lineAt, band.top, nullptr);
        LineTo(dc, lineAt, band.bottom);
        for (int y = band.bottom - 1; y >= band.top; y -= kTickSpacing) {
            MoveToEx(dc, lineAt, y, nullptr);
            LineTo(dc, side == AxisSide::Left ? lineAt - 4 : lineAt + 4, y);
        }
    }
}

void Paint(const DataChart& chart) {
    BufferedPaint paint(chart.window);
    HDC dc = paint.dc();
    const RECT& client = paint.client();
    FillRect(dc, &client, GetSysColorBrush(COLOR_WINDOW));
    const DataChartLayout layout = LayOutDataChart(client.right, client.bottom, chart.axes);
    HPEN axisPen = CreatePen(PS_SOLID, 1, GetSysColor(COLOR_WINDOWTEXT));
    HGDIOBJ oldPen = SelectObject(dc, axisPen);
    for (std::size_t i = 0; i < chart.axes.size(); ++i) {
        DrawAxis(dc, chart.axes[i].side, ToRect(layout.axes[i]));
    }
    SelectObject(dc, oldPen);
    DeleteObject(axisPen);
}

LRESULT CALLBACK DataChartProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        return AdoptControlState(window, new (std::nothrow) DataChart{window, StartingAxes()});
    }
    DataChart* chart = GetControlState<DataChart>(window);
    if (chart == nullptr) {
        return DefWindowProcA(window, message, wParam, lParam);
    }
    switch (message) {
    case WM_ERASEBKGND:
        return 1;
    case WM_PAINT:
        Paint(*chart);
        return 0;
    case WM_CONTEXTMENU:
        return NotifyContextMenu(window, kContextMenuCode, lParam);
    case WM_NCDESTROY:
        DeleteControlState(window, chart);
        return 0;
    default:
        return DefWindowProcA(window, message, wParam, lParam);
    }
}

} // namespace

ATOM RegisterDataChartClass(HINSTANCE instance) {
    // Registered once per instance: a second call leaves the class as it is.
    WNDCLASSEXA existing{};
    existing.cbSize = sizeof existing;
    if (GetClassInfoExA(instance, "KVDATACHART", &existing)) {
        return 0;
    }
    return RegisterControlClass(instance, "KVDATACHART", DataChartProc, CS_DBLCLKS, IDC_ARROW,
                                SystemColourBrush(COLOR_WINDOW));
}
