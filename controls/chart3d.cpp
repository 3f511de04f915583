// "3DCHART": a 3D chart that draws through its plot object. The plot shows the turned cube's
// frame with its three axes and the caption "3D Chart".
#include "chart3d_projection.h"
#include "control_common.h"
#include "kv_controls.h"

#include <new>

namespace {

constexpr WORD kContextMenuCode = 0x4CE;

class IKVChart3DPlot {
  public:
    virtual ~IKVChart3DPlot() = default;
    virtual void Draw(HDC dc, const RECT& area) = 0;
};

class KVChart3DPlot : public IKVChart3DPlot {
  public:
    void Draw(HDC dc, const RECT& area) override {
        FillRect(dc, &area, GetSysColorBrush(COLOR_WINDOW));
        const Chart3DView view{30.0, 20.0, area.right - area.left, area.bottom - area.top};
        HPEN framePen = CreatePen(PS_SOLID, 1, GetSysColor(COLOR_BTNSHADOW));
        HPEN axisPen = CreatePen(PS_SOLID, 2, GetSysColor(COLOR_WINDOWTEXT));
        HGDIOBJ oldPen = SelectObject(dc, framePen);
        // The twelve edges of the cube, each from a corner to the corner differing in one axis.
        for (int corner = 0; corner < 8; ++corner) {
            for (int axis = 0; axis < 3; ++axis) {
                const int other = corner | (1 << axis);
                if (other != corner) {
                    Line(dc, view, area, Corner(corner), Corner(other));
                }
            }
        }
        SelectObject(dc, axisPen);
        const Point3 origin{-1, -1, -1};
        Line(dc, view, area, origin, {1, -1, -1});
        Line(dc, view, area, origin, {-1, 1, -1});
        Line(dc, view, area, origin, {-1, -1, 1});
        SelectObject(dc, oldPen);
        DeleteObject(axisPen);
        DeleteObject(framePen);

        RECT caption = area;
        SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
        DrawTextA(dc, "3D Chart", -1, &caption, DT_CENTER | DT_TOP | DT_SINGLELINE);
    }

  private:
    struct Point3 {
        double x, y, z;
    };

    static Point3 Corner(int bits) {
        return {bits & 1 ? 1.0 : -1.0, bits & 2 ? 1.0 : -1.0, bits & 4 ? 1.0 : -1.0};
    }

    static void Line(HDC dc, const Chart3DView& view, const RECT& area, const Point3& from,
                     const Point3& to) {
        const ViewPoint a = ProjectPoint(view, from.x, from.y, from.z);
        const ViewPoint b = ProjectPoint(view, to.x, to.y, to.z);
        MoveToEx(dc, area.left + a.x, area.top + a.y, nullptr);
        LineTo(dc, area.left + b.x, area.top + b.y);
    }
};

struct Chart3D {
    HWND window;
    KVChart3DPlot plot;
};

LRESULT CALLBACK Chart3DProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        return AdoptControlState(window, new (std::nothrow) Chart3D{window, {}});
    }
    Chart3D* chart = GetControlState<Chart3D>(window);
    if (chart == nullptr) {
        return DefWindowProcA(window, message, wParam, lParam);
    }
    switch (message) {
    case WM_ERASEBKGND:
        return 1;
    case WM_PAINT: {
        BufferedPaint paint(window);
        chart->plot.Draw(paint.dc(), paint.client());
        return 0;
    }
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

ATOM Register3DChartClass(HINSTANCE instance) {
    return RegisterControlClass(instance, "3DCHART", Chart3DProc, CS_DBLCLKS, IDC_ARROW,
                                SystemColourBrush(COLOR_WINDOW));
}
