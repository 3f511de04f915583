// What every one of the twelve classes promises, whatever it draws: its paint covers its whole
// area, and everything it makes it frees again.
#include "analog_gauge_state.h"
#include "chart2d.h"
#include "chart2d_state.h"
#include "control_test_support.h"
#include "gauge_family.h"
#include "gdi_counter.h"
#include "kv_controls.h"
#include "rich_static_state.h"
#include "scope_messages.h"
#include "tab_sheet.h"
#include "text_progress.h"
#include "window_capture.h"

#include <commctrl.h>
#include <gtest/gtest.h>
#include <optional>
#include <string>

namespace {

// A colour no control draws with, painted over a control before it repaints.
constexpr COLORREF kMarker = 0x00FF00FF;

LRESULT SendText(HWND control, UINT message, const char* text, WPARAM wParam = 0) {
    return SendMessageA(control, message, wParam, reinterpret_cast<LPARAM>(text));
}

void ShowTitle(HWND control) {
    SetWindowTextA(control, "Title");
}

BOOL CALLBACK PointLabel(HWND, float, float, IKVChart2DSeries*, UINT index, int kind, char* buffer,
                         int* length) {
    return kind == 0 && wsprintfA(buffer, "P%u", index) < *length;
}

void ShowCurve(HWND chart) {
    auto* series = reinterpret_cast<IKVChart2DSeries*>(SendMessageA(chart, C2M_ADDSERIES, 0, 0));
    const KVChart2DPoint points[] = {{-100, -50, 0, 0}, {0, 100, 0, kPointSelected}, {150, 20, 0, 0}};
    for (const KVChart2DPoint& point : points) {
        series->AppendPoint(&point);
    }
    SendMessageA(chart, C2M_SETLABELCALLBACK, 0, reinterpret_cast<LPARAM>(&PointLabel));
    SendMessageA(chart, C2M_ADDSTYLE, kChartVersionText, 0);
    ShowTitle(chart);
}

void ShowTrace(HWND scope) {
    SendText(scope, SCM_SETXCAPTION, "Sample");
    SendText(scope, SCM_SETYCAPTION, "Volts");
    SendText(scope, SCM_SETMESSAGE, "NOTE", 1);
    SendMessageA(scope, SCM_SETTRACECOLOR, 0, 0x0000FF00);
    SendMessageA(scope, SCM_SETBKCOLOR, 0, 0x00400000);
    for (double sample = -12; sample < 12; sample += 1.5) {
        SendMessageA(scope, SCM_ADDSAMPLE, 0, reinterpret_cast<LPARAM>(&sample));
    }
    double maximum = 20, minimum = -20;
    SendMessageA(scope, SCM_SETRANGE, reinterpret_cast<WPARAM>(&maximum), reinterpret_cast<LPARAM>(&minimum));
}

void ShowTwoColourProgress(HWND bar) {
    SendMessageA(bar, TPM_SETTEXTCOLOR, 0, 0xFFFFFFFF);
    SendMessageA(bar, PBM_SETBKCOLOR, 0, 0x00FFFFFF);
    SendText(bar, WM_SETTEXT, "Writing");
    SendMessageA(bar, PBM_SETPOS, 100, 0);
}

void ShowColouredText(HWND label) {
    SendMessageA(label, RSM_SETBKCOLOR, 0, 0x0000FFFF);
    SendText(label, WM_SETTEXT, "Ready");
}

void ShowReading(HWND) {
    // The readout answers no configuration message: it shows the caption it was made with.
}

void ShowDial(HWND gauge) {
    SendMessageA(gauge, AGM_SETTITLE, reinterpret_cast<WPARAM>("Boost"), 50);
    SendMessageA(gauge, AGM_SETUNITS, reinterpret_cast<WPARAM>("kPa"), 50);
    const AnalogGaugeZone zone{100, 150, 0x000000FF};
    SendMessageA(gauge, AGM_SETZONE, 0, reinterpret_cast<LPARAM>(&zone));
    float value = 97.25f;
    SendMessageA(gauge, AGM_SETVALUE, reinterpret_cast<WPARAM>(&value), 1);
}

void ShowState(HWND gauge) {
    SendMessageA(gauge, SGM_SETTITLE, reinterpret_cast<WPARAM>("Link"), 50);
    SendMessageA(gauge, SGM_SETONTEXT, reinterpret_cast<WPARAM>("ON"), 50);
    SendMessageA(gauge, SGM_SETSTATE, 1, 1);
}

void ShowPages(HWND sheet) {
    for (const char* text : {"First", "Second"}) {
        HWND page = CreateWindowExA(0, "STATIC", text, WS_CHILD, 0, 0, 10, 10, sheet, nullptr,
                                    GetModuleHandleA(nullptr), nullptr);
        AddTabPage(sheet, page, text, -1);
    }
}

struct ClassCase {
    const char* name;
    const char* caption;
    void (*show)(HWND control);
    bool drawsItself; // paints every pixel itself and never has its background erased
};

const ClassCase kClasses[] = {
    {"2DCHART", "", ShowCurve, true},
    {"KVSCOPE", "", ShowTrace, true},
    {"3DCHART", "", ShowTitle, true},
    {"KVDATACHART", "", ShowTitle, true},
    {"KVTEXTPROGRESS", "", ShowTwoColourProgress, true},
    {"KVRICHSTATIC", "", ShowColouredText, true},
    {"KVGRIDCONTROL", "", ShowTitle, true},
    {"KVDIGITALGAUGEREADOUT", "Boost\nkPa", ShowReading, true},
    {"KVANALOGGAUGE", "", ShowDial, true},
    {"KVSTATUSGAUGE", "", ShowState, true},
    {"KVTABSHEET", "Sheet", ShowPages, false},
    {"KVPROPTREECONTAINER", "", ShowTitle, true},
};

class EveryClass : public ::testing::Test {
  protected:
    // One host for every case: a top-level window costs Wine a second or two to make and end.
    static void SetUpTestSuite() {
        RegisterControlClasses(GetModuleHandleA(nullptr));
        host = new TestHost(400, 300);
    }
    static void TearDownTestSuite() {
        delete host;
        host = nullptr;
    }

    static HWND Make(const ClassCase& c) { return host->CreateChild(c.name, c.caption, 10, 10, 200, 120); }

    static TestHost* host;
};

TestHost* EveryClass::host = nullptr;

void PaintOver(HWND control, COLORREF colour) {
    RECT client;
    GetClientRect(control, &client);
    HDC dc = GetDC(control);
    HBRUSH brush = CreateSolidBrush(colour);
    FillRect(dc, &client, brush);
    DeleteObject(brush);
    ReleaseDC(control, dc);
}

} // namespace

TEST_F(EveryClass, PaintCoversTheWholeAreaAndSelfDrawnClassesAreNeverErased) {
    for (const ClassCase& c : kClasses) {
        SCOPED_TRACE(c.name);
        HWND control = Make(c);
        ASSERT_NE(control, nullptr);
        c.show(control);
        CaptureClient(control);
        if (c.drawsItself) {
            EXPECT_EQ(SendMessageA(control, WM_ERASEBKGND, 0, 0), 1);
        }
        PaintOver(control, kMarker);
        // A self-drawn control is repainted without an erase: its paint alone must cover it.
        RedrawWindow(control, nullptr, nullptr,
                     RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN | (c.drawsItself ? 0 : RDW_ERASE));
        const Image image = CaptureClient(control);
        SaveScreenshot(image, std::string("control_") + c.name + ".png");
        EXPECT_EQ(CountPixels(image, 0, 0, image.width, image.height, PixelOf(kMarker)), 0);
        DestroyWindow(control);
        PumpMessages();
    }
}

TEST_F(EveryClass, FreesEveryGdiObjectAndDeviceContextItMade) {
    ASSERT_GT(GdiCounter::Redirected(), 0);
    const std::optional<DWORD> systemBefore = SystemGdiObjects();
    for (const ClassCase& c : kClasses) {
        SCOPED_TRACE(c.name);
        GdiCounter counter;
        HWND control = Make(c);
        ASSERT_NE(control, nullptr);
        c.show(control);
        CaptureClient(control);
        SetWindowPos(control, nullptr, 0, 0, 260, 150, SWP_NOMOVE | SWP_NOZORDER);
        CaptureClient(control);
        DestroyWindow(control);
        PumpMessages();
        EXPECT_EQ(counter.Live(), 0);
    }
    if (systemBefore) {
        EXPECT_LE(SystemGdiObjects().value_or(0), *systemBefore);
    }
}
