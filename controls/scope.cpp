// KVSCOPE: an oscilloscope-style trace. The frame, grid, labels and captions live on a background
// layer that is only rebuilt when they change; the trace has a layer of its own that scrolls by one
// step per live sample, and painting ORs the trace over the background.
#include "fixed_text.h"
#include "kv_controls.h"
#include "scope_messages.h"
#include "scope_state.h"

#include "control_common.h"

#include <new>

namespace {

constexpr WORD kContextMenuCode = 0x432;
constexpr COLORREF kMessageColour = 0x000000FF;

// A memory context with a bitmap of the client size selected into it.
struct Layer {
    HDC dc = nullptr;
    HBITMAP bitmap = nullptr;
    HGDIOBJ oldBitmap = nullptr;

    void Make(HDC screen, int width, int height) {
        dc = CreateCompatibleDC(screen);
        bitmap = CreateCompatibleBitmap(screen, width > 0 ? width : 1, height > 0 ? height : 1);
        oldBitmap = SelectObject(dc, bitmap);
    }

    void Free() {
        if (dc != nullptr) {
            SelectObject(dc, oldBitmap);
            DeleteObject(bitmap);
            DeleteDC(dc);
        }
        *this = Layer{};
    }
};

struct Scope {
    explicit Scope(HWND w) : window(w) {}

    HWND window;
    ScopeModel model;
    HPEN tracePen = nullptr;
    HBRUSH backgroundBrush = nullptr;
    Layer background;
    Layer trace;
};

RECT ToRect(const ScopeRect& r) {
    return {r.left, r.top, r.right, r.bottom};
}

HFONT MakeArial(int weight, int escapement) {
    return CreateFontA(14, 0, escapement, 0, weight, FALSE, FALSE, FALSE, 0, OUT_DEFAULT_PRECIS,
                       CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, 32, "Arial");
}

void FillArea(HDC dc, int left, int top, int right, int bottom, HBRUSH brush) {
    const RECT area{left, top, right, bottom};
    FillRect(dc, &area, brush);
}

void TextAt(HDC dc, int x, int y, UINT align, const std::string& text) {
    SetTextAlign(dc, align);
    TextOutA(dc, x, y, text.c_str(), static_cast<int>(text.size()));
}

void DrawFrameAndGrid(Scope& s, HDC dc) {
    const ScopeModel& m = s.model;
    const ScopeRect& p = m.plot;
    HPEN pen = CreatePen(PS_SOLID, 0, m.axisColour);
    HGDIOBJ oldPen = SelectObject(dc, pen);
    MoveToEx(dc, p.left, p.top, nullptr);
    LineTo(dc, p.right + 1, p.top);
    LineTo(dc, p.right + 1, p.bottom + 1);
    LineTo(dc, p.left, p.bottom + 1);
    LineTo(dc, p.left, p.top);
    SelectObject(dc, oldPen);
    DeleteObject(pen);
    if (m.grid) {
        const int mid = (p.bottom + p.top) / 2;
        const int quarter = m.plotHeight / 4;
        for (int x = p.left; x < p.right; x += 4) {
            for (int y : {mid - quarter, mid, mid + quarter}) {
                SetPixel(dc, x, y, m.axisColour);
            }
        }
    }
}

void DrawLabels(Scope& s, HDC dc) {
    const ScopeModel& m = s.model;
    const ScopeRect& p = m.plot;
    HFONT font = MakeArial(300, 0);
    HFONT turned = MakeArial(300, 900);
    HGDIOBJ oldFont = SelectObject(dc, font);
    SetTextColor(dc, m.axisColour);
    SetBkMode(dc, TRANSPARENT);
    TextAt(dc, p.left - 4, p.top, TA_RIGHT, m.YMaximumLabel());
    TextAt(dc, p.left - 4, p.bottom, TA_RIGHT | TA_BASELINE, m.YMinimumLabel());
    TextAt(dc, p.left, p.bottom + 4, TA_LEFT | TA_TOP, m.FirstXLabel());
    TextAt(dc, p.right, p.bottom + 4, TA_RIGHT, m.LastXLabel());
    TextAt(dc, (p.right + p.left) / 2, p.bottom + 4, TA_CENTER, m.xCaption);
    SelectObject(dc, turned);
    TextAt(dc, (p.left + m.client.left) / 2, (p.bottom + p.top) / 2, TA_CENTER | TA_BASELINE, m.yCaption);
    SelectObject(dc, oldFont);
    DeleteObject(font);
    DeleteObject(turned);
}

// Redraws frame, grid, labels and captions and fits the ring to the plot; the trace is cleared
// unless asked to stay (a static plot waits for its next redraw).
void Rebuild(Scope& s, bool keepTrace = false) {
    ScopeModel& m = s.model;
    HDC screen = GetDC(s.window);
    if (s.background.dc == nullptr) {
        s.background.Make(screen, m.layerWidth, m.layerHeight);
    }
    if (s.trace.dc == nullptr) {
        s.trace.Make(screen, m.layerWidth, m.layerHeight);
        keepTrace = false;
    }
    const RECT client = ToRect(m.client);
    FillRect(s.background.dc, &client, s.backgroundBrush);
    m.PlaceLabels();
    DrawFrameAndGrid(s, s.background.dc);
    DrawLabels(s, s.background.dc);
    if (!keepTrace) {
        FillRect(s.trace.dc, &client, s.backgroundBrush);
    }
    InvalidateRect(s.window, &client, TRUE);
    ReleaseDC(s.window, screen);
    m.ring.Resize(m.Capacity());
}

void Layout(Scope& s) {
    RECT client;
    GetClientRect(s.window, &client);
    s.model.Layout(client.right, client.bottom);
    s.background.Free();
    s.trace.Free();
    Rebuild(s);
}

// Scrolls the trace one step left and draws the newest segment at the right edge, erasing any
// part of it that would show outside the plot.
void DrawSegment(Scope& s) {
    ScopeModel& m = s.model;
    if (!m.live || s.trace.dc == nullptr) {
        return;
    }
    HDC dc = s.trace.dc;
    const ScopeRect& p = m.plot;
    BitBlt(dc, p.left, p.top + 1, m.plotWidth, m.plotHeight, dc, p.left + m.step, p.top + 1, SRCCOPY);
    FillArea(dc, p.right - m.step, p.top, p.right, p.bottom, s.backgroundBrush);
    const int x1 = p.right - m.stepAndAHalf;
    const int x2 = p.right - m.halfStep;
    const int y1 = m.YPixel(m.previousSample);
    const int y2 = m.YPixel(m.currentSample);
    HGDIOBJ oldPen = SelectObject(dc, s.tracePen);
    MoveToEx(dc, x1, y1, nullptr);
    LineTo(dc, x2, y2);
    SelectObject(dc, oldPen);
    if (y1 <= p.top || y2 <= p.top) {
        FillArea(dc, x1, m.client.top, x2 + 1, p.top + 1, s.backgroundBrush);
    }
    if (y1 >= p.bottom || y2 >= p.bottom) {
        FillArea(dc, x1, p.bottom + 1, x2 + 1, m.client.bottom + 1, s.backgroundBrush);
    }
    m.previousSample = m.currentSample;
}

void AddSample(Scope& s, const double* sample) {
    if (sample == nullptr || !s.model.ring.Add(*sample)) {
        return;
    }
    s.model.currentSample = *sample;
    DrawSegment(s);
    InvalidateRect(s.window, nullptr, TRUE);
}

// Applies a new range: the Y labels show it at once, and the plot moves to fit their width. In
// live mode the stored samples are drawn again at the new scale on a cleared trace, so nothing
// drawn at the old scale stays behind them; a static plot stays until the next SCM_REDRAW.
void SetRange(Scope& s, const double* maximum, const double* minimum) {
    if (maximum == nullptr || minimum == nullptr) {
        return;
    }
    ScopeModel& m = s.model;
    m.SetRange(*maximum, *minimum);
    Rebuild(s, !m.live);
    const ScopeRing::Replay replay = m.ring.ReplayOrder();
    if (!replay.samples.empty()) {
        m.previousSample = replay.previous;
        for (double sample : replay.samples) {
            m.currentSample = sample;
            DrawSegment(s);
        }
    }
    InvalidateRect(s.window, nullptr, TRUE);
}

// Plots the caller's array across the plot width.
void PlotStatic(Scope& s) {
    ScopeModel& m = s.model;
    if (s.trace.dc == nullptr) {
        return;
    }
    HDC dc = s.trace.dc;
    const ScopeRect& p = m.plot;
    FillArea(dc, p.left, p.top, p.right, p.bottom, s.backgroundBrush);
    HGDIOBJ oldPen = SelectObject(dc, s.tracePen);
    MoveToEx(dc, p.left, m.YPixel(m.previousSample), nullptr);
    double value = m.previousSample;
    const int points = m.Capacity();
    for (int i = 0; i <= points; ++i) {
        value = m.StaticValue(i, value);
        LineTo(dc, p.left + m.step * i, m.YPixel(value));
    }
    SelectObject(dc, oldPen);
}

void Paint(Scope& s) {
    BufferedPaint paint(s.window);
    HDC dc = paint.dc();
    const ScopeModel& m = s.model;
    if (s.background.dc != nullptr) {
        BitBlt(dc, 0, 0, m.layerWidth, m.layerHeight, s.background.dc, 0, 0, SRCCOPY);
        BitBlt(dc, 0, 0, m.layerWidth, m.layerHeight, s.trace.dc, 0, 0, SRCPAINT);
    } else {
        FillRect(dc, &paint.client(), s.backgroundBrush);
    }
    if (m.message[0] != '\0') {
        HFONT font = MakeArial(600, 0);
        HGDIOBJ oldFont = SelectObject(dc, font);
        SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc, kMessageColour);
        TextAt(dc, m.plot.right - 30, m.plot.top + 6, TA_RIGHT, m.message);
        SelectObject(dc, oldFont);
        DeleteObject(font);
    }
}

void SetTraceColour(Scope& s, COLORREF colour) {
    s.model.traceColour = colour;
    DeleteObject(s.tracePen);
    s.tracePen = CreatePen(PS_SOLID, 0, colour);
}

void SetBackgroundColour(Scope& s, COLORREF colour) {
    s.model.backgroundColour = colour;
    DeleteObject(s.backgroundBrush);
    s.backgroundBrush = CreateSolidBrush(colour);
}

void Destroy(HWND window, Scope* s) {
    s->background.Free();
    s->trace.Free();
    DeleteObject(s->tracePen);
    DeleteObject(s->backgroundBrush);
    DeleteControlState(window, s);
}

LRESULT CALLBACK ScopeProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        Scope* created = new (std::nothrow) Scope(window);
        if (created == nullptr) {
            return FALSE;
        }
        created->tracePen = CreatePen(PS_SOLID, 0, created->model.traceColour);
        created->backgroundBrush = CreateSolidBrush(created->model.backgroundColour);
        SetControlState(window, created);
        return TRUE;
    }
    Scope* s = GetControlState<Scope>(window);
    if (s == nullptr) {
        return DefWindowProcA(window, message, wParam, lParam);
    }
    ScopeModel& m = s->model;
    const auto text = reinterpret_cast<const char*>(lParam);
    const auto colour = static_cast<COLORREF>(lParam);
    switch (message) {
    case WM_CREATE:
    case WM_SIZE:
        Layout(*s);
        return 0;
    case WM_PAINT:
        Paint(*s);
        return 0;
    case WM_ERASEBKGND:
        return 1;
    case WM_CONTEXTMENU:
        return NotifyContextMenu(window, kContextMenuCode, lParam);
    case WM_NCDESTROY:
        Destroy(window, s);
        return 0;
    case SCM_ADDSAMPLE:
        AddSample(*s, reinterpret_cast<const double*>(lParam));
        return 0;
    case SCM_SETRANGE:
        SetRange(*s, reinterpret_cast<const double*>(wParam), reinterpret_cast<const double*>(lParam));
        return 0;
    case SCM_SETXCAPTION:
    case SCM_SETYCAPTION:
        if (text != nullptr) {
            CopyToField(message == SCM_SETXCAPTION ? m.xCaption : m.yCaption, ScopeModel::kCaptionSize, text);
        }
        Rebuild(*s);
        return 0;
    case SCM_SETAXISCOLOR:
        m.axisColour = colour;
        Rebuild(*s);
        return 0;
    case SCM_SETTRACECOLOR:
        SetTraceColour(*s, colour);
        Rebuild(*s);
        return 0;
    case SCM_SETBKCOLOR:
        SetBackgroundColour(*s, colour);
        Rebuild(*s);
        return 0;
    case SCM_SETDECIMALS:
        m.decimals = static_cast<int>(lParam);
        return 0;
    case SCM_SETSTEP:
        m.SetStep(static_cast<int>(lParam));
        return 0;
    case SCM_GETSTEP:
        return m.step;
    case SCM_REDRAW:
        Rebuild(*s);
        if (!m.live) {
            PlotStatic(*s);
        }
        return 0;
    case SCM_GETCAPACITY:
        return m.Capacity();
    case SCM_SETDATA:
        m.data = reinterpret_cast<const void*>(wParam);
        m.dataBound = static_cast<std::int32_t>(lParam);
        return 0;
    case SCM_GETDATA:
        return reinterpret_cast<LRESULT>(m.data);
    case SCM_SETSTARTOFFSET:
        m.startOffset = static_cast<std::int32_t>(lParam);
        return 0;
    case SCM_SETELEMENTSIZE:
        m.elementSize = static_cast<std::uint8_t>(lParam);
        return 0;
    case SCM_SETGRID:
    case SCM_SETHEXLABELS:
        (message == SCM_SETGRID ? m.grid : m.hexLabels) = wParam != 0;
        if (lParam != 0) {
            Rebuild(*s);
        }
        return 0;
    case SCM_SETLIVE:
        m.live = lParam != 0;
        return 0;
    case SCM_SETUSERDATA:
        m.userValue = lParam;
        return 0;
    case SCM_GETUSERDATA:
        return m.userValue;
    case SCM_SETMESSAGE:
        if (text != nullptr) {
            CopyToField(m.message, ScopeModel::kMessageSize, text);
        }
        if (wParam != 0) {
            Rebuild(*s);
        }
        return 0;
    default:
        return DefWindowProcA(window, message, wParam, lParam);
    }
}

} // namespace

ATOM RegisterScopeClass(HINSTANCE instance) {
    return RegisterControlClass(instance, "KVSCOPE", ScopeProc, 0, IDC_ARROW,
                                reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1));
}
