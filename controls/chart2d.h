#pragma once
// The "2DCHART" window class: its messages, the block its notifications carry, the label
// callback and the tick record. Series are created by the chart and used through
// IKVChart2DSeries.
#include "chart2d_series.h"

#include <windows.h>

constexpr UINT C2M_ADDSTYLE = 0x046F;
constexpr UINT C2M_GETSTYLE = 0x0470;
constexpr UINT C2M_REMOVESTYLE = 0x0471;
constexpr UINT C2M_REDRAW = 0x0472;
constexpr UINT C2M_SETTITLE = 0x0473;
constexpr UINT C2M_SETLABELCALLBACK = 0x0474;
constexpr UINT C2M_ADDSERIES = 0x0475;
constexpr UINT C2M_REMOVESERIES = 0x0476;
constexpr UINT C2M_GETSERIES = 0x0477;
constexpr UINT C2M_GETSERIESCOUNT = 0x0478;
constexpr UINT C2M_DESELECTALL = 0x0479;
constexpr UINT C2M_SETCOLOR = 0x047F;
constexpr UINT C2M_GETCOLOR = 0x0480;
constexpr UINT C2M_SETXRANGE = 0x0481;
constexpr UINT C2M_GETXRANGE = 0x0482;
constexpr UINT C2M_SETYRANGE = 0x0483;
constexpr UINT C2M_GETYRANGE = 0x0484;
constexpr UINT C2M_SETXLIMITS = 0x0485;
constexpr UINT C2M_GETXLIMITS = 0x0486;
constexpr UINT C2M_SETYLIMITS = 0x0487;
constexpr UINT C2M_GETYLIMITS = 0x0488;
constexpr UINT C2M_SETXCAPTION = 0x0489;
constexpr UINT C2M_SETYCAPTION = 0x048A;
constexpr UINT C2M_GETXCAPTION = 0x048B;
constexpr UINT C2M_GETYCAPTION = 0x048C;
constexpr UINT C2M_SETXTICKCOUNT = 0x048D;
constexpr UINT C2M_SETYTICKCOUNT = 0x048E;
constexpr UINT C2M_GETXTICKCOUNT = 0x048F;
constexpr UINT C2M_GETYTICKCOUNT = 0x0490;
constexpr UINT C2M_SETXTICK = 0x0491;
constexpr UINT C2M_SETYTICK = 0x0492;
constexpr UINT C2M_CLEARTICKS = 0x0493;
constexpr UINT C2M_CLEARYTICKS = 0x0494;
constexpr UINT C2M_SETVERSIONTEXT = 0x0495;
constexpr UINT C2M_GETVERSIONTEXT = 0x0496;

// Colour indexes of C2M_SETCOLOR and C2M_GETCOLOR.
constexpr int kChartColourBackground = 0;
constexpr int kChartColourGrid = 1;
constexpr int kChartColourAxes = 2;
constexpr int kChartColourTitle = 3;
constexpr int kChartColourXTicks = 4;
constexpr int kChartColourYTicks = 5;
constexpr int kChartColourPointLabels = 7;
constexpr int kChartColourYCaption = 8;
constexpr int kChartColourXCaption = 9;
constexpr int kChartColourVersion = 11;
constexpr int kChartColourCount = 15;

// The block sent with every WM_NOTIFY; the codes are the kChart... notifications of
// chart2d_state.h (1124 to 1128).
struct NMCHART2D {
    NMHDR hdr;
    IKVChart2DSeries* series;
    UINT point;
};

// Supplies a label text: kind 0 for a point, 1 for an x tick, 2 for a y tick. *length is the
// buffer size on entry. Returns non-zero when it wrote a label.
using KVChart2DLabelCallback = BOOL (*)(HWND chart, float x, float y, IKVChart2DSeries* series, UINT index,
                                        int kind, char* buffer, int* length);

// The record of C2M_SETXTICK and C2M_SETYTICK.
struct KVChart2DTick {
    UINT index;
    float value;
    const char* text;
    UINT length;
};
