#include "chart2d.h"
#include "chart2d_state.h"
#include "control_test_support.h"
#include "gdi_counter.h"
#include "kv_controls.h"
#include "window_capture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <compare>
#include <cstdio>
#include <cstring>
#include <vector>

namespace {

constexpr int kChartId = 42;
constexpr int kWidth = 500;
constexpr int kHeight = 400;

struct Notice {
    UINT code;
    WPARAM id;
    HWND from;
    UINT_PTR idFrom;
    IKVChart2DSeries* series;
    UINT point;
};

std::vector<Notice> g_notices;

LRESULT CALLBACK ParentProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NOTIFY) {
        const auto* header = reinterpret_cast<const NMCHART2D*>(lParam);
        g_notices.push_back({header->hdr.code, wParam, header->hdr.hwndFrom, header->hdr.idFrom,
                             header->series, header->point});
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

BOOL CALLBACK PointLabels(HWND, float, float y, IKVChart2DSeries*, UINT index, int kind, char* buffer,
                          int* length) {
    if (kind != kLabelPoint) {
        return FALSE;
    }
    std::snprintf(buffer, static_cast<std::size_t>(*length), "P%u=%.0f", index, static_cast<double>(y));
    return TRUE;
}

std::vector<UINT> Codes() {
    std::vector<UINT> codes;
    for (const Notice& n : g_notices) {
        codes.push_back(n.code);
    }
    return codes;
}

KVChart2DPoint Pt(float x, float y, std::uint32_t flags = 0) {
    return KVChart2DPoint{x, y, 0, flags};
}

// The thread's cursor display count (shown at 0 and above), left as it was.
int CursorDisplayCount() {
    const int count = ShowCursor(TRUE) - 1;
    ShowCursor(FALSE);
    return count;
}

LPARAM Position(POINT p) {
    return MAKELPARAM(p.x, p.y);
}

// A 500 by 400 chart in a parent that records the chart's notifications.
class ChartWindow : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        HINSTANCE instance = GetModuleHandleA(nullptr);
        ASSERT_NE(Register2DChartClass(instance), 0);
        WNDCLASSA parent{};
        parent.lpfnWndProc = ParentProc;
        parent.hInstance = instance;
        parent.lpszClassName = "Chart2DTestParent";
        parent.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
        ASSERT_NE(RegisterClassA(&parent), 0);
    }

    void SetUp() override {
        g_notices.clear();
        parent = ShowInactivePopup("Chart2DTestParent", "Chart test", 10, 10, kWidth + 40, kHeight + 40);
        ASSERT_NE(parent, nullptr);
        chart = CreateWindowExA(0, "2DCHART", "", WS_CHILD | WS_VISIBLE, 20, 20, kWidth, kHeight, parent,
                                reinterpret_cast<HMENU>(kChartId), GetModuleHandleA(nullptr), nullptr);
        ASSERT_NE(chart, nullptr);
        PumpMessages();
    }

    void TearDown() override {
        DestroyWindow(parent);
        PumpMessages();
    }

    IKVChart2DSeries* AddSeries(std::uint32_t style, std::initializer_list<KVChart2DPoint> points) {
        const LRESULT count = SendMessageA(chart, C2M_GETSERIESCOUNT, 0, 0);
        auto* series = reinterpret_cast<IKVChart2DSeries*>(SendMessageA(chart, C2M_ADDSERIES, count, 1));
        series->RemoveStyle(0xFFFFFFFF, 0);
        series->AddStyle(style, 0);
        for (const KVChart2DPoint& point : points) {
            series->AppendPoint(&point);
        }
        return series;
    }

    // Client pixel of a point under the default ranges -255..255: the plot spans x 70..430 and,
    // y growing upwards, logical 70..330, which is 330..70 from the top of the client area.
    static POINT Pixel(float x, float y) {
        const float xScale = 360.0f / 510.0f;
        const float yScale = 260.0f / 510.0f;
        const int lx = static_cast<int>((x + 255) * xScale) + 70;
        const int ly = static_cast<int>((y + 255) * yScale) + 70;
        return POINT{lx, kHeight - ly};
    }

    KVChart2DPoint Get(IKVChart2DSeries* series, UINT index) {
        KVChart2DPoint point{};
        EXPECT_EQ(series->GetPoint(index, &point), 1);
        return point;
    }

    void Click(POINT at, WPARAM keys = 0) {
        SendMessageA(chart, WM_LBUTTONDOWN, MK_LBUTTON | keys, Position(at));
        SendMessageA(chart, WM_LBUTTONUP, keys, Position(at));
    }

    HWND parent = nullptr;
    HWND chart = nullptr;
};

} // namespace

TEST_F(ChartWindow, RegistersWithDoubleClicksArrowAndWindowBackground) {
    WNDCLASSEXA info{};
    info.cbSize = sizeof info;
    ASSERT_TRUE(GetClassInfoExA(GetModuleHandleA(nullptr), "2DCHART", &info));
    EXPECT_EQ(info.style, static_cast<UINT>(CS_DBLCLKS));
    EXPECT_EQ(info.hbrBackground, reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1));
    EXPECT_EQ(info.cbWndExtra, static_cast<int>(sizeof(LONG_PTR)));
    EXPECT_EQ(SendMessageA(chart, WM_GETDLGCODE, 0, 0), 0x85);
    EXPECT_EQ(SendMessageA(chart, WM_ERASEBKGND, 0, 0), 1);
}

TEST_F(ChartWindow, DragsAPointWithTheMouseAndReportsEachStep) {
    IKVChart2DSeries* series = AddSeries(0x4B, {Pt(-100, -100), Pt(0, 0), Pt(100, 100)});
    const POINT start = Pixel(0, 0);
    SendMessageA(chart, WM_LBUTTONDOWN, MK_LBUTTON, Position(start));
    ASSERT_EQ(Codes(), std::vector<UINT>{kChartPointSelected});
    const Notice& selected = g_notices[0];
    EXPECT_EQ(selected.id, static_cast<WPARAM>(kChartId));
    EXPECT_EQ(selected.idFrom, static_cast<UINT_PTR>(kChartId));
    EXPECT_EQ(selected.from, chart);
    EXPECT_EQ(selected.series, series);
    EXPECT_EQ(selected.point, 1u);
    EXPECT_EQ(GetCapture(), chart);

    // 36 pixels right and 26 up are 51 value units each way.
    SendMessageA(chart, WM_MOUSEMOVE, MK_LBUTTON, Position(POINT{start.x + 36, start.y - 26}));
    SendMessageA(chart, WM_MOUSEMOVE, MK_LBUTTON, Position(POINT{start.x + 72, start.y - 52}));
    SendMessageA(chart, WM_LBUTTONUP, 0, Position(POINT{start.x + 72, start.y - 52}));
    EXPECT_EQ(Codes(),
              (std::vector<UINT>{kChartPointSelected, kChartPointMoved, kChartPointMoved, kChartDragEnded}));
    EXPECT_EQ(g_notices[1].point, 1u);
    EXPECT_EQ(GetCapture(), nullptr);
    const KVChart2DPoint moved = Get(series, 1);
    EXPECT_NEAR(moved.x, 102, 0.01);
    EXPECT_NEAR(moved.y, 102, 0.01);
    EXPECT_FLOAT_EQ(Get(series, 0).x, -100) << "only the selected point moves";
    EXPECT_EQ(series->GetSelectedCount(), 1u);

    POINT cursor{};
    GetCursorPos(&cursor);
    ScreenToClient(chart, &cursor);
    const POINT expected = Pixel(moved.x, moved.y);
    EXPECT_NEAR(cursor.x, expected.x, 1) << "the cursor is put on the dragged point";
    EXPECT_NEAR(cursor.y, expected.y, 1);
}

TEST_F(ChartWindow, AnotherWindowTakingTheMouseMidDragEndsTheDragQuietly) {
    IKVChart2DSeries* series = AddSeries(0x4B, {Pt(0, 0)});
    const POINT start = Pixel(0, 0);
    SendMessageA(chart, WM_LBUTTONDOWN, MK_LBUTTON, Position(start));
    SendMessageA(chart, WM_MOUSEMOVE, MK_LBUTTON, Position(POINT{start.x + 36, start.y}));
    EXPECT_EQ(CursorDisplayCount(), -1) << "the cursor hides while dragging";
    // Away from where a release would put it: on the dragged point.
    ASSERT_TRUE(SetCursorPos(3, 3));
    POINT before{};
    GetCursorPos(&before);

    SetCapture(parent);
    EXPECT_EQ(GetCapture(), parent) << "the window that took the mouse keeps it";
    POINT after{};
    GetCursorPos(&after);
    EXPECT_EQ(after.x, before.x) << "the cursor stays where it was";
    EXPECT_EQ(after.y, before.y);
    EXPECT_EQ(Codes(), (std::vector<UINT>{kChartPointSelected, kChartPointMoved, kChartDragEnded}));
    EXPECT_EQ(CursorDisplayCount(), 0) << "the cursor shows again";
    ReleaseCapture();
    SendMessageA(chart, WM_MOUSEMOVE, 0, Position(POINT{start.x + 72, start.y}));
    EXPECT_NEAR(Get(series, 0).x, 51, 0.01) << "a move after the lost button moves nothing";
}

TEST_F(ChartWindow, AnotherWindowTakingTheMouseMidBandErasesTheBand) {
    AddSeries(0x08, {Pt(-200, -200)});
    const POINT corner = Pixel(-150, -150);
    SendMessageA(chart, WM_LBUTTONDOWN, MK_LBUTTON, Position(Pixel(-220, -220)));
    SendMessageA(chart, WM_MOUSEMOVE, MK_LBUTTON, Position(corner));
    ASSERT_EQ(CaptureClient(chart).At(corner.x, corner.y), 0x000000u) << "the band is drawn";
    SetCapture(parent);
    EXPECT_EQ(GetCapture(), parent);
    EXPECT_EQ(CaptureClient(chart).At(corner.x, corner.y), 0xFFFFFFu) << "and inverted away again";
    ReleaseCapture();
}

TEST_F(ChartWindow, DragLimitsAndSingleAxisStylesHoldUnderTheMouse) {
    IKVChart2DSeries* vertical =
        AddSeries(0x02 | 0x04, {Pt(0, 0, kPointSelected), Pt(50, 0, kPointSelected)});
    IKVChart2DSeries* horizontal = AddSeries(0x01 | 0x04, {Pt(9, 100, kPointSelected)});
    const float low = -10, high = 10;
    SendMessageA(chart, C2M_SETXLIMITS, reinterpret_cast<WPARAM>(&low), reinterpret_cast<LPARAM>(&high));
    float gotLow = 0, gotHigh = 0;
    SendMessageA(chart, C2M_GETXLIMITS, reinterpret_cast<WPARAM>(&gotLow),
                 reinterpret_cast<LPARAM>(&gotHigh));
    EXPECT_FLOAT_EQ(gotLow, -10);
    EXPECT_FLOAT_EQ(gotHigh, 10);

    const POINT start = Pixel(0, 0);
    SendMessageA(chart, WM_LBUTTONDOWN, MK_LBUTTON, Position(start));
    SendMessageA(chart, WM_MOUSEMOVE, MK_LBUTTON, Position(POINT{start.x + 36, start.y - 26}));
    SendMessageA(chart, WM_LBUTTONUP, 0, Position(POINT{start.x + 36, start.y - 26}));
    EXPECT_FLOAT_EQ(Get(vertical, 0).x, 0);
    EXPECT_NEAR(Get(vertical, 0).y, 51, 0.01);
    EXPECT_FLOAT_EQ(Get(vertical, 1).x, 50) << "points outside the x limits are not pulled in by a y drag";
    EXPECT_FLOAT_EQ(Get(horizontal, 0).x, 10) << "the point at 9 moves by at most 1";
    EXPECT_FLOAT_EQ(Get(horizontal, 0).y, 100);
}

TEST_F(ChartWindow, CtrlClickAddsToTheSelectionAndAPlainClickReplacesIt) {
    IKVChart2DSeries* series = AddSeries(0x4B, {Pt(-100, 0), Pt(0, 0), Pt(100, 0)});
    Click(Pixel(-100, 0));
    EXPECT_EQ(SendMessageA(chart, WM_KEYDOWN, VK_CONTROL, 0), 0);
    Click(Pixel(100, 0), MK_CONTROL);
    EXPECT_EQ(SendMessageA(chart, WM_KEYUP, VK_CONTROL, 0), 0);
    EXPECT_EQ(series->GetSelectedCount(), 2u);
    EXPECT_NE(Get(series, 0).flags & kPointSelected, 0u);
    EXPECT_NE(Get(series, 2).flags & kPointSelected, 0u);

    Click(Pixel(0, 0));
    EXPECT_EQ(series->GetSelectedCount(), 1u);
    EXPECT_NE(Get(series, 1).flags & kPointSelected, 0u);

    SendMessageA(chart, WM_LBUTTONDBLCLK, MK_LBUTTON, Position(Pixel(200, 200)));
    SendMessageA(chart, WM_LBUTTONUP, 0, Position(Pixel(200, 200)));
    EXPECT_EQ(series->GetSelectedCount(), 0u) << "a double click off every point clears the selection";
    EXPECT_EQ(Codes(), (std::vector<UINT>{kChartPointSelected, kChartDragEnded, kChartPointSelected,
                                          kChartDragEnded, kChartPointSelected, kChartDragEnded}));
}

TEST_F(ChartWindow, RubberBandSelectsThePointsInsideIt) {
    IKVChart2DSeries* series = AddSeries(0x08, {Pt(-200, -200), Pt(-100, -100), Pt(200, 200)});
    const POINT from = Pixel(-220, -220);
    SendMessageA(chart, WM_LBUTTONDOWN, MK_LBUTTON, Position(from));
    SendMessageA(chart, WM_MOUSEMOVE, MK_LBUTTON, Position(Pixel(0, 0)));
    EXPECT_EQ(series->GetSelectedCount(), 2u);
    const POINT corner = Pixel(-150, -150);
    SendMessageA(chart, WM_MOUSEMOVE, MK_LBUTTON, Position(corner));
    EXPECT_EQ(CaptureClient(chart).At(corner.x, corner.y), 0x000000u)
        << "the band inverts the white background";
    SendMessageA(chart, WM_LBUTTONUP, 0, Position(corner));
    EXPECT_EQ(series->GetSelectedCount(), 1u);
    EXPECT_NE(Get(series, 0).flags & kPointSelected, 0u);
    EXPECT_TRUE(g_notices.empty()) << "a band reports nothing";
    EXPECT_EQ(CaptureClient(chart).At(corner.x, corner.y), 0xFFFFFFu)
        << "release inverts the band away again";
}

TEST_F(ChartWindow, AutomaticXRangeFollowsThePointsAndIsAnnounced) {
    SendMessageA(chart, C2M_ADDSTYLE, kChartAutoX, 0);
    EXPECT_EQ(SendMessageA(chart, C2M_GETSTYLE, 0, 0), 0x17);
    IKVChart2DSeries* first = AddSeries(0x4B, {Pt(0, 1), Pt(3, 2)});
    AddSeries(0x4B, {Pt(5, 1), Pt(2, 4)});
    float low = 0, high = 0;
    SendMessageA(chart, C2M_GETXRANGE, reinterpret_cast<WPARAM>(&low), reinterpret_cast<LPARAM>(&high));
    EXPECT_FLOAT_EQ(low, 0);
    EXPECT_FLOAT_EQ(high, 5);
    ASSERT_FALSE(g_notices.empty());
    EXPECT_EQ(g_notices.back().code, kChartXRangeChanged);
    EXPECT_EQ(g_notices.back().id, static_cast<WPARAM>(kChartId));

    const float wide = 100;
    SendMessageA(chart, C2M_SETXRANGE, 0, reinterpret_cast<LPARAM>(&wide));
    SendMessageA(chart, C2M_GETXRANGE, 0, reinterpret_cast<LPARAM>(&high));
    EXPECT_FLOAT_EQ(high, 5) << "callers cannot set an automatic range";

    EXPECT_EQ(SendMessageA(chart, C2M_REMOVESERIES, reinterpret_cast<WPARAM>(first), 0), 1);
    EXPECT_EQ(SendMessageA(chart, C2M_REMOVESERIES, reinterpret_cast<WPARAM>(first), 0), 0);
    SendMessageA(chart, C2M_GETXRANGE, reinterpret_cast<WPARAM>(&low), 0);
    EXPECT_FLOAT_EQ(low, 2) << "the range follows the points that are left";

    SendMessageA(chart, C2M_ADDSTYLE, kChartAutoY, 0);
    SendMessageA(chart, C2M_GETYRANGE, reinterpret_cast<WPARAM>(&low), reinterpret_cast<LPARAM>(&high));
    EXPECT_FLOAT_EQ(low, 1) << "an axis made automatic follows the points already there";
    EXPECT_FLOAT_EQ(high, 4);
    EXPECT_EQ(g_notices.back().code, kChartYRangeChanged);
}

TEST_F(ChartWindow, SettersAndGettersKeepTheirLimits) {
    struct ColourCase {
        WPARAM index;
        LRESULT initial;
        LRESULT stored;
    } colours[] = {{0, 0xFFFFFF, 1},  {1, 0xDCDCDC, 1}, {7, 0xFF0000, 1}, {11, 0xC8C8C8, 1},
                   {14, 0xC8C8C8, 1}, {6, 0, 0},        {13, 0, 0},       {15, 0, 0}};
    for (const ColourCase& c : colours) {
        EXPECT_EQ(SendMessageA(chart, C2M_GETCOLOR, c.index, 0), c.initial) << c.index;
        EXPECT_EQ(SendMessageA(chart, C2M_SETCOLOR, c.index, 0x123456), c.stored) << c.index;
        EXPECT_EQ(SendMessageA(chart, C2M_GETCOLOR, c.index, 0), c.stored ? 0x123456 : c.initial) << c.index;
    }

    char buffer[100];
    EXPECT_EQ(GetWindowTextA(chart, buffer, sizeof buffer), 8);
    EXPECT_STREQ(buffer, "2D Chart");
    SetWindowTextA(chart, "Ignition advance");
    EXPECT_EQ(SendMessageA(chart, WM_GETTEXT, 7, reinterpret_cast<LPARAM>(buffer)), 6);
    EXPECT_STREQ(buffer, "Igniti");

    const std::string longCaption(60, 'c');
    SendMessageA(chart, C2M_SETXCAPTION, reinterpret_cast<WPARAM>(longCaption.c_str()), 60);
    SendMessageA(chart, C2M_GETXCAPTION, reinterpret_cast<WPARAM>(buffer), sizeof buffer);
    EXPECT_EQ(std::string(buffer), longCaption.substr(0, 39));
    SendMessageA(chart, C2M_SETYCAPTION, reinterpret_cast<WPARAM>("Load kPa"), 4);
    SendMessageA(chart, C2M_GETYCAPTION, reinterpret_cast<WPARAM>(buffer), sizeof buffer);
    EXPECT_STREQ(buffer, "Load");
    SendMessageA(chart, C2M_GETYCAPTION, reinterpret_cast<WPARAM>(buffer), 3);
    EXPECT_STREQ(buffer, "Lo");

    SendMessageA(chart, C2M_GETVERSIONTEXT, 0, reinterpret_cast<LPARAM>(buffer));
    EXPECT_STREQ(buffer, "KV2DChart v2");
    SendMessageA(chart, C2M_SETVERSIONTEXT, 0, reinterpret_cast<LPARAM>(std::string(80, 'v').c_str()));
    SendMessageA(chart, C2M_GETVERSIONTEXT, 0, reinterpret_cast<LPARAM>(buffer));
    EXPECT_EQ(std::strlen(buffer), 59u);
}

TEST_F(ChartWindow, TickListsFollowStyleAndTheirMessages) {
    EXPECT_EQ(SendMessageA(chart, C2M_GETXTICKCOUNT, 0, 0), 8);
    EXPECT_EQ(SendMessageA(chart, C2M_GETYTICKCOUNT, 0, 0), 7);
    SendMessageA(chart, C2M_REMOVESTYLE, kChartYTicksFromRange, 0);
    EXPECT_EQ(SendMessageA(chart, C2M_GETYTICKCOUNT, 0, 0), 0);
    SendMessageA(chart, C2M_SETYTICKCOUNT, 0, 3);
    const KVChart2DTick tick{2, 100.0f, "rich", 4};
    EXPECT_EQ(SendMessageA(chart, C2M_SETYTICK, 0, reinterpret_cast<LPARAM>(&tick)), 0);
    const KVChart2DTick beyond{3, 1.0f, "x", 1};
    SendMessageA(chart, C2M_SETYTICK, 0, reinterpret_cast<LPARAM>(&beyond));
    EXPECT_EQ(SendMessageA(chart, C2M_GETYTICKCOUNT, 0, 0), 3);
    const float low = 0, high = 10;
    SendMessageA(chart, C2M_SETYRANGE, reinterpret_cast<WPARAM>(&low), reinterpret_cast<LPARAM>(&high));
    EXPECT_EQ(SendMessageA(chart, C2M_GETYTICKCOUNT, 0, 0), 3) << "a hand-made list survives a range change";
    SendMessageA(chart, C2M_CLEARYTICKS, 0, 0);
    EXPECT_EQ(SendMessageA(chart, C2M_GETYTICKCOUNT, 0, 0), 0);
    EXPECT_EQ(SendMessageA(chart, C2M_GETXTICKCOUNT, 0, 0), 8);
    SendMessageA(chart, C2M_CLEARTICKS, 0, 0);
    EXPECT_EQ(SendMessageA(chart, C2M_GETXTICKCOUNT, 0, 0), 0);
    SendMessageA(chart, C2M_ADDSTYLE, kChartXTicksFromRange | kChartYTicksFromRange, 0);
    EXPECT_EQ(SendMessageA(chart, C2M_GETXTICKCOUNT, 0, 0), 8);
    EXPECT_EQ(SendMessageA(chart, C2M_GETYTICKCOUNT, 0, 0), 7);
    SendMessageA(chart, C2M_ADDSTYLE, 0, 0);
    EXPECT_EQ(SendMessageA(chart, C2M_GETSTYLE, 0, 0), 0);
}

TEST_F(ChartWindow, SeriesListAnswersOutOfRangeWithNull) {
    auto* a = reinterpret_cast<IKVChart2DSeries*>(SendMessageA(chart, C2M_ADDSERIES, 0, 0));
    auto* b = reinterpret_cast<IKVChart2DSeries*>(SendMessageA(chart, C2M_ADDSERIES, 0, 0));
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(SendMessageA(chart, C2M_GETSERIES, 0, 0), reinterpret_cast<LRESULT>(b));
    EXPECT_EQ(SendMessageA(chart, C2M_GETSERIES, 1, 0), reinterpret_cast<LRESULT>(a));
    EXPECT_EQ(SendMessageA(chart, C2M_GETSERIES, 2, 0), 0);
    EXPECT_EQ(SendMessageA(chart, C2M_GETSERIESCOUNT, 0, 0), 2);
    const KVChart2DPoint point = Pt(1, 1, kPointSelected);
    a->AppendPoint(&point);
    SendMessageA(chart, C2M_DESELECTALL, 0, 1);
    EXPECT_EQ(a->GetSelectedCount(), 0u);
}

TEST_F(ChartWindow, SuspendedPaintingValidatesWithoutDrawing) {
    SendMessageA(chart, WM_SETREDRAW, FALSE, 0);
    InvalidateRect(chart, nullptr, FALSE);
    UpdateWindow(chart);
    RECT update{};
    EXPECT_FALSE(GetUpdateRect(chart, &update, FALSE));
    SendMessageA(chart, WM_SETREDRAW, TRUE, 0);
    EXPECT_TRUE(GetUpdateRect(chart, &update, FALSE)) << "resuming repaints";
}

TEST_F(ChartWindow, PaintsTwoSeriesWithYUpwards) {
    SendMessageA(chart, C2M_SETLABELCALLBACK, 0, reinterpret_cast<LPARAM>(&PointLabels));
    SendMessageA(chart, C2M_SETTITLE, 0, reinterpret_cast<LPARAM>("Fuel map"));
    IKVChart2DSeries* rising = AddSeries(
        0x4B, {Pt(-200, -150), Pt(-100, -40), Pt(0, 60), Pt(100, 120), Pt(200, 200, kPointSelected)});
    rising->SetProperty(kSeriesLineColour, 0x00C00000);
    rising->SetLineWidth(2);
    IKVChart2DSeries* falling =
        AddSeries(0x4B | kSeriesFromOrigin, {Pt(-150, 180), Pt(50, -80), Pt(220, -200)});
    falling->SetProperty(kSeriesLineColour, 0x00008000);
    falling->SetMarkerRadius(4);
    SendMessageA(chart, C2M_ADDSTYLE, kChartVersionText, 1);

    const Image image = CaptureClient(chart);
    EXPECT_TRUE(WritePng(ArtifactPath("chart2d_two_series.png"), image));
    ASSERT_EQ(image.width, kWidth);
    ASSERT_EQ(image.height, kHeight);
    EXPECT_EQ(image.At(3, kHeight - 3), 0xFFFFFFu) << "background";
    const POINT top = Pixel(200, 200);
    EXPECT_EQ(image.At(top.x, top.y), 0xFF0000u) << "the selected marker, filled red, sits near the top";
    EXPECT_LT(top.y, kHeight / 2);
    const POINT plain = Pixel(-200, -150);
    EXPECT_EQ(image.At(plain.x, plain.y), 0xFFFFFFu) << "an unselected marker is filled with the background";
    EXPECT_EQ(image.At(plain.x + 4, plain.y), 0x000000u) << "and outlined";
    EXPECT_EQ(image.At(150, Pixel(0, 0).y), 0x000000u) << "the horizontal zero axis";
    EXPECT_EQ(image.At(Pixel(0, 0).x, 300), 0x000000u) << "the vertical zero axis";
}

TEST_F(ChartWindow, KeepsOnlyItsFontsAndFreesThemOnDestruction) {
    ASSERT_GT(GdiCounter::Redirected(), 0);
    GdiCounter counter;
    HWND own = CreateWindowExA(0, "2DCHART", "", WS_CHILD | WS_VISIBLE, 0, 0, 300, 200, parent,
                               reinterpret_cast<HMENU>(kChartId + 1), GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(own, nullptr);
    EXPECT_EQ(counter.Live(), 7) << "seven fonts";
    struct Font {
        LONG height, weight, escapement;
        auto operator<=>(const Font&) const = default;
    };
    std::vector<Font> made;
    for (const LOGFONTA& font : counter.LiveFonts()) {
        EXPECT_STREQ(font.lfFaceName, "Arial");
        EXPECT_EQ(font.lfQuality, PROOF_QUALITY);
        EXPECT_EQ(font.lfPitchAndFamily, 0x32);
        made.push_back({font.lfHeight, font.lfWeight, font.lfEscapement});
    }
    std::vector<Font> expected = {{12, 400, 900}, {12, 600, -900}, {14, 600, 0}, {12, 600, 0},
                                  {12, 400, 0},   {22, 600, 0},    {12, 100, 0}};
    std::sort(made.begin(), made.end());
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(made, expected) << "ticks, captions, point labels, title and version text";
    auto* series = reinterpret_cast<IKVChart2DSeries*>(SendMessageA(own, C2M_ADDSERIES, 0, 0));
    const KVChart2DPoint points[] = {Pt(-100, 0, kPointSelected), Pt(100, 50)};
    for (const KVChart2DPoint& point : points) {
        series->AppendPoint(&point);
    }
    SendMessageA(own, C2M_SETLABELCALLBACK, 0, reinterpret_cast<LPARAM>(&PointLabels));
    CaptureClient(own);
    SendMessageA(own, C2M_REMOVESTYLE, kChartDoubleBuffer, 1);
    CaptureClient(own);
    SendMessageA(own, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(20, 20));
    SendMessageA(own, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(60, 60));
    CaptureClient(own);
    SendMessageA(own, WM_LBUTTONUP, 0, MAKELPARAM(60, 60));
    EXPECT_EQ(counter.Live(), 7) << "painting and the rubber band keep nothing";
    DestroyWindow(own);
    EXPECT_EQ(counter.Live(), 0);
}
