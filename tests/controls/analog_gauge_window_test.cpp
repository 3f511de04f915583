#include "analog_gauge_geometry.h"
#include "gauge_family.h"
#include "gauge_test_window.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

namespace {

// A 360 by 360 gauge draws at two pixels per logical unit.
constexpr int kSide = 360;

class AnalogGaugeWindow : public ::testing::Test {
  protected:
    HWND Make(int width = kSide, int height = kSide) {
        HWND gauge = gauges.Child("KVANALOGGAUGE", width, height);
        EXPECT_NE(gauge, nullptr);
        return gauge;
    }
    static LRESULT SetValue(HWND gauge, float value, LPARAM repaint = 0) {
        return SendMessageA(gauge, AGM_SETVALUE, reinterpret_cast<WPARAM>(&value), repaint);
    }
    static int GetValue(HWND gauge) { return static_cast<int>(SendMessageA(gauge, AGM_GETVALUE, 0, 0)); }
    static LRESULT SetRange(HWND gauge, float minimum, float maximum) {
        return SendMessageA(gauge, AGM_SETRANGE, reinterpret_cast<WPARAM>(&minimum),
                            reinterpret_cast<LPARAM>(&maximum));
    }
    static LRESULT SetZone(HWND gauge, WPARAM index, const AnalogGaugeZone& zone) {
        return SendMessageA(gauge, AGM_SETZONE, index, reinterpret_cast<LPARAM>(&zone));
    }
    GaugeChildren gauges;
};

// Pixels of a colour within 4 pixels of the point at a dial angle and radius of the default
// 360-pixel gauge.
int ColourNear(const Image& image, COLORREF colour, double angle, double radius) {
    const DialPoint p = PointOnDial(kAnalogGaugeSize, angle, radius);
    return CountPixels(image, std::max(2 * p.x - 4, 0), std::max(2 * p.y - 4, 0),
                       std::min(2 * p.x + 5, image.width), std::min(2 * p.y + 5, image.height),
                       PixelOf(colour));
}

// Where the "Min: " and "Max: " lines and the value text of a 360-pixel gauge are drawn.
struct Area {
    int left, top, right, bottom;
};
constexpr Area kMinLine{90, 236, 175, 262};
constexpr Area kMaxLine{185, 236, 270, 262};
constexpr Area kValueText{120, 266, 240, 294};

bool Same(const Image& a, const Image& b, Area area) {
    return SameArea(a, b, area.left, area.top, area.right, area.bottom);
}

constexpr COLORREF kNeedle = 0x000050FA;
constexpr COLORREF kRimMark = 0x000000FF;

} // namespace

TEST_F(AnalogGaugeWindow, ClampsValuesAndReadsThemBackTruncated) {
    HWND gauge = Make();
    struct Case {
        float value;
        int read;
    } cases[] = {{200, 150}, {12.7f, 12}, {-3, 0}, {149.99f, 149}};
    for (const Case& c : cases) {
        EXPECT_EQ(SetValue(gauge, c.value), 0);
        EXPECT_EQ(GetValue(gauge), c.read) << c.value;
    }
    EXPECT_EQ(SendMessageA(gauge, AGM_SETVALUE, 0, 1), 0); // a null value changes nothing
    EXPECT_EQ(GetValue(gauge), 149);

    EXPECT_EQ(SetRange(gauge, -50, -10), 0);
    EXPECT_EQ(GetValue(gauge), 149); // the range does not re-clamp the current value
    SetValue(gauge, -20.9f);
    EXPECT_EQ(GetValue(gauge), -20);
    EXPECT_EQ(SendMessageA(gauge, AGM_SETRANGE, 0, 0), 0); // null bounds change nothing
    SetValue(gauge, 0);
    EXPECT_EQ(GetValue(gauge), -10);
    float start = 0;
    EXPECT_EQ(SendMessageA(gauge, AGM_SETANGLES, reinterpret_cast<WPARAM>(&start), 0), 0);
}

TEST_F(AnalogGaugeWindow, AnswersColourTextAndStyleMessages) {
    HWND gauge = Make();
    const COLORREF defaults[] = {0x00F0F0F0, 0, 0x000050FA, 0, 0, 0x00FFFFFF, 0, 0, 0x00FF0000, 0x00FF0000};
    for (WPARAM i = 0; i < 10; ++i) {
        EXPECT_EQ(static_cast<COLORREF>(SendMessageA(gauge, AGM_GETCOLOR, i, 0)), defaults[i])
            << "index " << i;
        EXPECT_EQ(SendMessageA(gauge, AGM_SETCOLOR, i, 0x00102030 + i), 0);
        EXPECT_EQ(static_cast<COLORREF>(SendMessageA(gauge, AGM_GETCOLOR, i, 0)), 0x00102030 + i);
    }
    EXPECT_EQ(SendMessageA(gauge, AGM_SETCOLOR, 10, 0x00ABCDEF), 0);
    EXPECT_EQ(SendMessageA(gauge, AGM_GETCOLOR, 10, 0), 0);

    char buffer[16];
    struct Text {
        UINT set, get;
    } texts[] = {{AGM_SETTITLE, AGM_GETTITLE}, {AGM_SETUNITS, AGM_GETUNITS}};
    for (const Text& t : texts) {
        EXPECT_EQ(SendMessageA(gauge, t.set, reinterpret_cast<WPARAM>("Boost!"), 3), 0);
        SendMessageA(gauge, t.get, reinterpret_cast<WPARAM>(buffer), sizeof buffer);
        EXPECT_STREQ(buffer, "");
        SendMessageA(gauge, t.set, reinterpret_cast<WPARAM>("Boost!"), 6);
        EXPECT_EQ(SendMessageA(gauge, t.get, reinterpret_cast<WPARAM>(buffer), 4), 0);
        EXPECT_STREQ(buffer, "Boo");
    }

    for (UINT message : {UINT{WM_CREATE}, UINT{WM_SIZE}, UINT{WM_LBUTTONDBLCLK}, GM_ADDSTYLE, GM_REMOVESTYLE,
                         AGM_RESETMIN, AGM_RESETMAX, AGM_SETDECIMALS, AGM_CLEARZONES}) {
        EXPECT_EQ(SendMessageA(gauge, message, 0, 0), 0) << std::hex << message;
    }
    EXPECT_EQ(SendMessageA(gauge, WM_ERASEBKGND, 0, 0), 1);
    SendMessageA(gauge, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(gauge), MAKELPARAM(7, 9));
    EXPECT_EQ(SharedHost().lastCommand().wParam, MAKEWPARAM(GaugeChildren::kChildId, 0x626));
    EXPECT_EQ(SharedHost().lastCommand().lParam, MAKELPARAM(7, 9));
}

TEST_F(AnalogGaugeWindow, ZoneMessagesInsertOverwriteAppendAndRead) {
    HWND gauge = Make();
    const AnalogGaugeZone a{0, 50, 1}, b{50, 100, 2}, c{100, 150, 3};
    EXPECT_EQ(SetZone(gauge, 0, a), 0);
    EXPECT_EQ(SetZone(gauge, 0, b), 0); // overwritten
    EXPECT_EQ(SetZone(gauge, 9, c), 1);
    EXPECT_EQ(SetZone(gauge, 0xFFFFFFFF, a), 0); // before all others
    EXPECT_EQ(SetZone(gauge, static_cast<WPARAM>(-1), a), 0);
    EXPECT_EQ(SetZone(gauge, 7, c), 4);
    EXPECT_EQ(SendMessageA(gauge, AGM_SETZONE, 1, 0), -1);

    AnalogGaugeZone out{};
    EXPECT_EQ(SendMessageA(gauge, AGM_GETZONE, 2, reinterpret_cast<LPARAM>(&out)), 1);
    EXPECT_EQ(out.colour, 2u); // the former first zone, moved down twice
    EXPECT_FLOAT_EQ(out.from, 50);
    EXPECT_EQ(SendMessageA(gauge, AGM_GETZONE, 4, 0), 1);
    EXPECT_EQ(SendMessageA(gauge, AGM_GETZONE, 5, reinterpret_cast<LPARAM>(&out)), 0);
    EXPECT_EQ(SendMessageA(gauge, AGM_CLEARZONES, 0, 0), 0);
    EXPECT_EQ(SendMessageA(gauge, AGM_GETZONE, 0, reinterpret_cast<LPARAM>(&out)), 0);
}

TEST_F(AnalogGaugeWindow, NeedleAndRimMarkPointAtTheValue) {
    HWND gauge = Make();
    struct Case {
        float value;
        double angle;
        double elsewhere;
    } cases[] = {
        {0, 40, 300},   // lower left
        {150, 300, 40}, // lower right
        {75, 170, 300}, // ten degrees short of straight up
    };
    for (const Case& c : cases) {
        SetValue(gauge, c.value, 1);
        const Image image = CaptureClient(gauge);
        EXPECT_GT(ColourNear(image, kNeedle, c.angle, 30), 0) << c.value;
        EXPECT_GT(ColourNear(image, kNeedle, c.angle, 60), 0) << c.value;
        EXPECT_EQ(ColourNear(image, kNeedle, c.elsewhere, 30), 0) << c.value;
        EXPECT_GT(ColourNear(image, kRimMark, c.angle, 86), 0) << c.value;
        EXPECT_EQ(ColourNear(image, kRimMark, c.elsewhere, 86), 0) << c.value;
        EXPECT_EQ(image.At(180, 180), 0x000000u) << "hub"; // the hub
    }

    // A range of one unit still spreads the values over the whole dial.
    SetRange(gauge, 0, 1);
    SetValue(gauge, 0.42f, 1);
    const Image image = CaptureClient(gauge);
    SaveScreenshot(image, "analog_gauge_unit_range.png");
    AnalogGaugeState unit;
    unit.minimum = 0;
    unit.maximum = 1;
    const double angle = DialAngle(unit, 0.42f);
    EXPECT_NEAR(angle, 40 + 0.42 * 260, 0.01);
    EXPECT_GT(ColourNear(image, kNeedle, angle, 30), 0);
    EXPECT_GT(ColourNear(image, kNeedle, angle, 60), 0);
    EXPECT_GT(ColourNear(image, kRimMark, angle, 86), 0);
}

TEST_F(AnalogGaugeWindow, TitleShowsAboveTheHubAndUnitsBelowTheValue) {
    HWND gauge = Make();
    const Image bare = Repainted(gauge);
    SendMessageA(gauge, AGM_SETTITLE, reinterpret_cast<WPARAM>("Boost"), 50);
    SendMessageA(gauge, AGM_SETUNITS, reinterpret_cast<WPARAM>("kPa"), 50);
    const Image captioned = Repainted(gauge);
    SaveScreenshot(captioned, "analog_gauge_default.png");
    for (const Area& area : {Area{120, 110, 240, 145}, Area{140, 295, 220, 315}}) {
        EXPECT_EQ(CountDarkPixels(bare, area.left, area.top, area.right, area.bottom), 0) << area.top;
        EXPECT_GT(CountDarkPixels(captioned, area.left, area.top, area.right, area.bottom), 10) << area.top;
    }
    EXPECT_TRUE(Same(bare, captioned, kMinLine)) << "nothing else moves";
}

TEST_F(AnalogGaugeWindow, ZonesColourTheRimInListOrderWhileTheirStyleBitIsSet) {
    HWND gauge = Make();
    const COLORREF green = 0x0000C000, blue = 0x00C00000;
    SetZone(gauge, 0xFFFFFFFF, AnalogGaugeZone{100, 150, green});
    SetZone(gauge, 1, AnalogGaugeZone{110, 130, blue});
    const Image zoned = Repainted(gauge);
    EXPECT_GT(ColourNear(zoned, green, DialAngle(AnalogGaugeState{}, 140), 88), 0);
    EXPECT_EQ(ColourNear(zoned, blue, DialAngle(AnalogGaugeState{}, 140), 88), 0);
    EXPECT_GT(ColourNear(zoned, blue, DialAngle(AnalogGaugeState{}, 120), 88), 0); // the later zone covers
    EXPECT_EQ(ColourNear(zoned, green, DialAngle(AnalogGaugeState{}, 120), 88), 0);
    EXPECT_EQ(ColourNear(zoned, green, DialAngle(AnalogGaugeState{}, 50), 88), 0);
    EXPECT_GT(ColourNear(zoned, 0, DialAngle(AnalogGaugeState{}, 50), 88), 0); // the plain scale arc
    SaveScreenshot(gauge, "analog_gauge_zones.png");

    SendMessageA(gauge, GM_REMOVESTYLE, 0x40, 1);
    const Image plain = CaptureClient(gauge);
    EXPECT_EQ(ColourNear(plain, green, DialAngle(AnalogGaugeState{}, 140), 88), 0);
    EXPECT_EQ(ColourNear(plain, blue, DialAngle(AnalogGaugeState{}, 120), 88), 0);
}

TEST_F(AnalogGaugeWindow, MinAndMaxLinesShowTheExtremesUntilReset) {
    // Every picture is taken with the value at 50, where the needle points up and to the left,
    // away from the two lines.
    HWND gauge = Make();
    SetValue(gauge, 50);
    SendMessageA(gauge, WM_LBUTTONDBLCLK, 0, MAKELPARAM(180, 180));
    const Image fresh = Repainted(gauge); // "Min: --" and "Max: --"
    EXPECT_GT(CountDarkPixels(fresh, kMinLine.left, kMinLine.top, kMinLine.right, kMinLine.bottom), 10);
    for (float v : {20.0f, 80.0f, 50.0f}) {
        SetValue(gauge, v);
    }
    const Image seen = Repainted(gauge);
    EXPECT_FALSE(Same(seen, fresh, kMinLine));
    EXPECT_FALSE(Same(seen, fresh, kMaxLine));

    SendMessageA(gauge, AGM_RESETMIN, 0, 0);
    const Image minReset = Repainted(gauge);
    EXPECT_TRUE(Same(minReset, fresh, kMinLine));
    EXPECT_TRUE(Same(minReset, seen, kMaxLine));
    SendMessageA(gauge, AGM_RESETMAX, 0, 0);
    EXPECT_TRUE(Same(Repainted(gauge), fresh, kMaxLine));

    for (float v : {20.0f, 80.0f, 50.0f}) {
        SetValue(gauge, v);
    }
    Repainted(gauge);
    SendMessageA(gauge, WM_LBUTTONDBLCLK, 0, MAKELPARAM(180, 180));
    EXPECT_TRUE(Same(CaptureClient(gauge), seen, kMinLine)); // the double click does not repaint
    const Image reset = Repainted(gauge);
    EXPECT_TRUE(Same(reset, fresh, kMinLine));
    EXPECT_TRUE(Same(reset, fresh, kMaxLine));

    SendMessageA(gauge, GM_REMOVESTYLE, 0x18, 1);
    const Image hidden = CaptureClient(gauge);
    EXPECT_EQ(CountDarkPixels(hidden, kMinLine.left, kMinLine.top, kMinLine.right, kMinLine.bottom), 0);
    EXPECT_EQ(CountDarkPixels(hidden, kMaxLine.left, kMaxLine.top, kMaxLine.right, kMaxLine.bottom), 0);
}

TEST_F(AnalogGaugeWindow, ValueTextUsesTheDecimalsOnlyForFractions) {
    HWND gauge = Make();
    SetValue(gauge, 12);
    const Image whole = Repainted(gauge);
    SetValue(gauge, 12.5f);
    const Image twoDecimals = Repainted(gauge);
    SaveScreenshot(twoDecimals, "analog_gauge_value.png");
    EXPECT_FALSE(Same(twoDecimals, whole, kValueText));
    SendMessageA(gauge, AGM_SETDECIMALS, 0, 0);
    EXPECT_TRUE(Same(Repainted(gauge), whole, kValueText)); // "12" again
    SendMessageA(gauge, GM_REMOVESTYLE, 0x04, 1);
    const Image hidden = CaptureClient(gauge);
    EXPECT_EQ(
        CountPixels(hidden, kValueText.left, kValueText.top, kValueText.right, kValueText.bottom, 0x0000FF),
        0);
    EXPECT_GT(
        CountPixels(whole, kValueText.left, kValueText.top, kValueText.right, kValueText.bottom, 0x0000FF),
        10);
}

TEST_F(AnalogGaugeWindow, ColoursAndProportionalStyleShowInTheDrawing) {
    HWND gauge = Make(360, 180);
    SendMessageA(gauge, AGM_SETCOLOR, kBackgroundColour, 0x00C0E0FF);
    SendMessageA(gauge, AGM_SETCOLOR, kFaceColour, 0x00E0FFE0);
    const Image stretched = Repainted(gauge);
    SaveScreenshot(stretched, "analog_gauge_stretched.png");
    EXPECT_EQ(stretched.At(1, 1), PixelOf(0x00C0E0FF)) << "background around the dial";
    EXPECT_EQ(stretched.At(300, 90), PixelOf(0x00E0FFE0)) << "the face, stretched across";
    SendMessageA(gauge, GM_ADDSTYLE, 0x80, 1);
    EXPECT_EQ(CaptureClient(gauge).At(300, 90), PixelOf(0x00C0E0FF)) << "a square dial on the left";
}
