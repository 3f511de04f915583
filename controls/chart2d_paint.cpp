#include "chart2d_window.h"

#include <cstring>

namespace {

constexpr int kTickMark = 3;      // half the length of a tick mark on a zero axis
constexpr int kLabelGap = 4;      // between a tick label and the plot edge, or a point label and its marker
constexpr int kArrowLength = 10;  // from the plot edge to the tip of an axis arrow
constexpr int kArrowHalfBase = 3; // half the width of an arrow's base

// A one-dimensional extent of a drawn label, to skip labels that would overlap the one before.
struct Span {
    int low;
    int high;
    bool Overlaps(const Span& other) const { return low < other.high && other.low < high; }
};

void Text(HDC dc, HFONT font, COLORREF colour, UINT align, int x, int y, const char* text) {
    SelectObject(dc, font);
    SetTextColor(dc, colour);
    SetTextAlign(dc, align);
    TextOutA(dc, x, y, text, static_cast<int>(std::strlen(text)));
}

// Turned text is placed in device units: how an escapement reads under a mapping with y upwards
// differs between GDI implementations, in device units it does not. x and y are logical.
void TurnedText(HDC dc, HFONT font, COLORREF colour, UINT align, int x, int y, const char* text) {
    POINT at{x, y};
    LPtoDP(dc, &at, 1);
    const int saved = SaveDC(dc);
    SetMapMode(dc, MM_TEXT);
    SetViewportOrgEx(dc, 0, 0, nullptr);
    Text(dc, font, colour, align, at.x, at.y, text);
    RestoreDC(dc, saved);
}

SIZE TextSize(HDC dc, HFONT font, const std::string& text) {
    SelectObject(dc, font);
    SIZE size{};
    GetTextExtentPoint32A(dc, text.c_str(), static_cast<int>(text.size()), &size);
    return size;
}

void Line(HDC dc, int x0, int y0, int x1, int y1) {
    MoveToEx(dc, x0, y0, nullptr);
    LineTo(dc, x1, y1);
}

void DrawXTicks(HDC dc, const Chart2D& chart, HPEN grid, HPEN axis) {
    const Chart2DModel& model = chart.model;
    const int markY =
        (model.interaction & kNoHorizontalAxis) == 0 ? model.ToLogical(0, 0).y : model.plotBottom;
    bool drawnOne = false;
    Span previous{0, 0};
    for (const ChartTick& tick : model.xTicks) {
        const int x = model.ToLogical(tick.value, 0).x;
        SelectObject(dc, grid);
        Line(dc, x, model.plotBottom, x, model.plotTop);
        SelectObject(dc, axis);
        Line(dc, x, markY - kTickMark, x, markY + kTickMark);
        // The label reads upwards and hangs below the plot; its height lies across the axis, with
        // the top of its letters to the left.
        const SIZE size = TextSize(dc, chart.fonts[kFontXTicks], tick.text);
        const Span span{x - size.cy / 2, x + size.cy / 2};
        if (drawnOne && span.Overlaps(previous)) {
            continue;
        }
        TurnedText(dc, chart.fonts[kFontXTicks], chart.colours[kChartColourXTicks], TA_RIGHT | TA_TOP,
                   span.low, model.plotBottom - kLabelGap, tick.text.c_str());
        previous = span;
        drawnOne = true;
    }
}

void DrawYTicks(HDC dc, const Chart2D& chart, HPEN grid, HPEN axis) {
    const Chart2DModel& model = chart.model;
    const int markX = (model.interaction & kNoVerticalAxis) == 0 ? model.ToLogical(0, 0).x : model.plotLeft;
    bool drawnOne = false;
    Span previous{0, 0};
    for (const ChartTick& tick : model.yTicks) {
        const int y = model.ToLogical(0, tick.value).y;
        SelectObject(dc, grid);
        Line(dc, model.plotLeft, y, model.plotRight, y);
        SelectObject(dc, axis);
        Line(dc, markX - kTickMark, y, markX + kTickMark, y);
        const SIZE size = TextSize(dc, chart.fonts[kFontYTicks], tick.text);
        const Span span{y - size.cy / 2, y + size.cy / 2};
        if (drawnOne && span.Overlaps(previous)) {
            continue;
        }
        Text(dc, chart.fonts[kFontYTicks], chart.colours[kChartColourYTicks], TA_RIGHT | TA_TOP,
             model.plotLeft - kLabelGap, span.high, tick.text.c_str());
        previous = span;
        drawnOne = true;
    }
}

// Zero axes across the plot with an arrow head at their positive ends.
void DrawZeroAxes(HDC dc, const Chart2D& chart, HPEN axis) {
    const Chart2DModel& model = chart.model;
    const ChartPoint zero = model.ToLogical(0, 0);
    HBRUSH fill = CreateSolidBrush(chart.colours[kChartColourAxes]);
    HGDIOBJ oldBrush = SelectObject(dc, fill);
    SelectObject(dc, axis);
    if ((model.interaction & kNoHorizontalAxis) == 0) {
        Line(dc, model.plotLeft, zero.y, model.plotRight, zero.y);
        const POINT head[3] = {{model.plotRight + kArrowLength, zero.y},
                               {model.plotRight, zero.y + kArrowHalfBase},
                               {model.plotRight, zero.y - kArrowHalfBase}};
        Polygon(dc, head, 3);
    }
    if ((model.interaction & kNoVerticalAxis) == 0) {
        Line(dc, zero.x, model.plotBottom, zero.x, model.plotTop);
        const POINT head[3] = {{zero.x, model.plotTop + kArrowLength},
                               {zero.x - kArrowHalfBase, model.plotTop},
                               {zero.x + kArrowHalfBase, model.plotTop}};
        Polygon(dc, head, 3);
    }
    SelectObject(dc, oldBrush);
    DeleteObject(fill);
}

void DrawSeries(HDC dc, Chart2D& chart, KVChart2DSeries& series) {
    const Chart2DModel& model = chart.model;
    const auto& points = series.Points();
    const std::uint32_t style = series.GetStyle();
    if ((style & kSeriesHidden) != 0 || points.empty()) {
        return;
    }
    HPEN linePen =
        CreatePen(series.LinePenStyle(), series.GetLineWidth(), series.GetProperty(kSeriesLineColour));
    HGDIOBJ oldPen = SelectObject(dc, linePen);
    const ChartPoint start =
        (style & kSeriesFromOrigin) != 0 ? model.ToLogical(0, 0) : model.ToLogical(points[0].x, points[0].y);
    MoveToEx(dc, start.x, start.y, nullptr);
    for (const KVChart2DPoint& point : points) {
        const ChartPoint p = model.ToLogical(point.x, point.y);
        LineTo(dc, p.x, p.y);
    }

    HPEN selectedPen = CreatePen(PS_SOLID, 2, series.GetProperty(kSeriesLineColour));
    HPEN plainPen = CreatePen(PS_SOLID, 1, series.GetProperty(kSeriesMarkerOutline));
    HBRUSH selectedFill = CreateSolidBrush(series.GetProperty(kSeriesSelectedFill));
    HBRUSH plainFill = CreateSolidBrush(chart.colours[kChartColourBackground]);
    HGDIOBJ oldBrush = GetCurrentObject(dc, OBJ_BRUSH);
    const int r = series.GetMarkerRadius();
    for (std::uint32_t i = 0; i < points.size(); ++i) {
        const ChartPoint p = model.ToLogical(points[i].x, points[i].y);
        if ((style & kSeriesNoMarkers) == 0) {
            const bool selected = (points[i].flags & kPointSelected) != 0;
            SelectObject(dc, selected ? selectedPen : plainPen);
            SelectObject(dc, selected ? selectedFill : plainFill);
            Ellipse(dc, p.x - r, p.y + r, p.x + r, p.y - r);
        }
        int length = kLabelBufferSize;
        chart.labelBuffer[0] = '\0';
        if (chart.link.Label(points[i].x, points[i].y, &series, i, kLabelPoint, chart.labelBuffer, &length)) {
            chart.labelBuffer[kLabelBufferSize - 1] = '\0';
            Text(dc, chart.fonts[kFontPointLabels], chart.colours[kChartColourPointLabels],
                 TA_CENTER | TA_BOTTOM, p.x, p.y + r + kLabelGap, chart.labelBuffer);
        }
    }
    SelectObject(dc, oldBrush);
    SelectObject(dc, oldPen);
    DeleteObject(selectedFill);
    DeleteObject(plainFill);
    DeleteObject(selectedPen);
    DeleteObject(plainPen);
    DeleteObject(linePen);
}

void DrawChart(HDC dc, Chart2D& chart, const RECT& client) {
    Chart2DModel& model = chart.model;
    HBRUSH background = CreateSolidBrush(chart.colours[kChartColourBackground]);
    FillRect(dc, &client, background);
    DeleteObject(background);

    SetMapMode(dc, MM_ANISOTROPIC);
    SetWindowExtEx(dc, 1, 1, nullptr);
    SetViewportExtEx(dc, 1, -1, nullptr);
    SetViewportOrgEx(dc, 0, client.bottom, nullptr);
    SetBkMode(dc, TRANSPARENT);
    model.UpdateScale();

    HGDIOBJ oldFont = GetCurrentObject(dc, OBJ_FONT);
    HGDIOBJ oldPen = GetCurrentObject(dc, OBJ_PEN);
    const int width = client.right;
    if ((model.style & kChartVersionText) != 0) {
        Text(dc, chart.fonts[kFontVersion], chart.colours[kChartColourVersion], TA_CENTER | TA_TOP, width / 2,
             client.bottom - 2, chart.version);
    }
    Text(dc, chart.fonts[kFontTitle], chart.colours[kChartColourTitle], TA_CENTER | TA_TOP, width / 2,
         client.bottom - 16, chart.title);

    HPEN grid = CreatePen(PS_DOT, 1, chart.colours[kChartColourGrid]);
    HPEN axis = CreatePen(PS_SOLID, 1, chart.colours[kChartColourAxes]);
    DrawXTicks(dc, chart, grid, axis);
    DrawYTicks(dc, chart, grid, axis);
    DrawZeroAxes(dc, chart, axis);
    SelectObject(dc, oldPen);
    DeleteObject(grid);
    DeleteObject(axis);

    // The Y caption reads downwards, the top of its letters to the right; its height is centred on x 10.
    const SIZE yCaption = TextSize(dc, chart.fonts[kFontYCaption], chart.yCaption);
    TurnedText(dc, chart.fonts[kFontYCaption], chart.colours[kChartColourYCaption], TA_CENTER | TA_BOTTOM,
               10 - yCaption.cy / 2, client.bottom / 2, chart.yCaption);
    Text(dc, chart.fonts[kFontXCaption], chart.colours[kChartColourXCaption], TA_CENTER | TA_TOP, width / 2,
         20, chart.xCaption);

    for (std::uint32_t i = 0; i < model.SeriesCount(); ++i) {
        DrawSeries(dc, chart, *model.GetSeries(i));
    }
    SelectObject(dc, oldFont);
}

} // namespace

void InvertChartBand(HDC dc, const Chart2D& chart, const ChartRect& band) {
    const int bottom = chart.model.clientHeight;
    const POINT outline[5] = {{band.left, bottom - band.top},
                              {band.right, bottom - band.top},
                              {band.right, bottom - band.bottom},
                              {band.left, bottom - band.bottom},
                              {band.left, bottom - band.top}};
    const int oldMode = SetROP2(dc, R2_NOT);
    HGDIOBJ oldPen = SelectObject(dc, GetStockObject(BLACK_PEN));
    Polyline(dc, outline, 5);
    SelectObject(dc, oldPen);
    SetROP2(dc, oldMode);
}

void PaintChart2D(Chart2D& chart) {
    PAINTSTRUCT paint;
    HDC target = BeginPaint(chart.window, &paint);
    if ((chart.model.interaction & kPaintSuspended) != 0) {
        EndPaint(chart.window, &paint);
        return;
    }
    RECT client;
    GetClientRect(chart.window, &client);
    if ((chart.model.style & kChartDoubleBuffer) != 0) {
        HDC memory = CreateCompatibleDC(target);
        HBITMAP bitmap = CreateCompatibleBitmap(target, client.right > 0 ? client.right : 1,
                                                client.bottom > 0 ? client.bottom : 1);
        HGDIOBJ oldBitmap = SelectObject(memory, bitmap);
        // The copy must run in device units, not in the chart's upward mapping.
        const int saved = SaveDC(memory);
        DrawChart(memory, chart, client);
        RestoreDC(memory, saved);
        BitBlt(target, 0, 0, client.right, client.bottom, memory, 0, 0, SRCCOPY);
        SelectObject(memory, oldBitmap);
        DeleteObject(bitmap);
        DeleteDC(memory);
    } else {
        const int saved = SaveDC(target);
        DrawChart(target, chart, client);
        RestoreDC(target, saved);
    }
    if ((chart.model.interaction & kRubberBanding) != 0) {
        InvertChartBand(target, chart, chart.model.band);
    }
    EndPaint(chart.window, &paint);
}
