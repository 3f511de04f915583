#include "control_test_support.h"
#include "kv_controls.h"
#include "scope_messages.h"
#include "window_capture.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

namespace {

constexpr std::uint32_t kBlack = 0x000000;
constexpr std::uint32_t kCyan = 0x00FFFF;
constexpr std::uint32_t kWhite = 0xFFFFFF;
constexpr std::uint32_t kRed = 0xFF0000;

// Default layout of a 400 by 200 control: plot x 42 to 390, y 10 to 175, 8.25 pixels per unit.
constexpr int kPlotLeft = 42;
constexpr int kPlotRight = 390;
constexpr int kPlotTop = 10;
constexpr int kPlotBottom = 175;

class ScopeTest : public ::testing::Test {
  protected:
    // One host for all cases: a top-level window costs Wine a second or two to make and end.
    static void SetUpTestSuite() {
        RegisterScopeClass(GetModuleHandleA(nullptr));
        host = new TestHost(640, 480);
    }

    static void TearDownTestSuite() {
        delete host;
        host = nullptr;
    }

    void SetUp() override {
        scope = host->CreateChild("KVSCOPE", "template caption", 10, 10, 400, 200, 100);
        ASSERT_NE(scope, nullptr);
    }

    void TearDown() override {
        if (scope != nullptr) {
            DestroyWindow(scope);
        }
    }

    LRESULT Send(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) {
        return SendMessageA(scope, message, wParam, lParam);
    }

    void Add(double sample) { Send(SCM_ADDSAMPLE, 0, reinterpret_cast<LPARAM>(&sample)); }

    void SetRange(double maximum, double minimum) {
        Send(SCM_SETRANGE, reinterpret_cast<WPARAM>(&maximum), reinterpret_cast<LPARAM>(&minimum));
    }

    Image Capture(const char* artifact = nullptr) {
        Image image = CaptureClient(scope);
        if (artifact != nullptr) {
            WritePng(ArtifactPath(artifact), image);
        }
        return image;
    }

    static TestHost* host;
    HWND scope = nullptr;
};

TestHost* ScopeTest::host = nullptr;

// The y pixel of a value under a range, as the control maps it.
int YOf(double value, double maximum = 10.0, double minimum = -10.0) {
    return kPlotBottom - static_cast<int>((value - minimum) * (kPlotBottom - kPlotTop) / (maximum - minimum));
}

// Text drawn the way the scope draws its labels, on a black image of the control's size.
Image ReferenceLabels(const std::vector<std::pair<POINT, std::string>>& labels, UINT align) {
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, 400, 200);
    HGDIOBJ oldBitmap = SelectObject(dc, bitmap);
    const RECT all{0, 0, 400, 200};
    FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    HFONT font = CreateFontA(14, 0, 0, 0, 300, FALSE, FALSE, FALSE, 0, OUT_DEFAULT_PRECIS,
                             CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, 32, "Arial");
    HGDIOBJ oldFont = SelectObject(dc, font);
    SetTextColor(dc, 0x00FFFF00);
    SetBkMode(dc, TRANSPARENT);
    SetTextAlign(dc, align);
    for (const auto& [at, text] : labels) {
        TextOutA(dc, at.x, at.y, text.c_str(), static_cast<int>(text.size()));
    }
    SelectObject(dc, oldFont);
    DeleteObject(font);
    Image image;
    image.width = 400;
    image.height = 200;
    image.pixels.resize(400 * 200);
    for (int y = 0; y < 200; ++y) {
        for (int x = 0; x < 400; ++x) {
            image.pixels[y * 400 + x] = PixelOf(GetPixel(dc, x, y));
        }
    }
    SelectObject(dc, oldBitmap);
    DeleteObject(bitmap);
    DeleteDC(dc);
    ReleaseDC(nullptr, screen);
    return image;
}

TEST_F(ScopeTest, RegistersWithItsAttributes) {
    WNDCLASSEXA wc{};
    wc.cbSize = sizeof wc;
    ASSERT_TRUE(GetClassInfoExA(GetModuleHandleA(nullptr), "KVSCOPE", &wc));
    EXPECT_EQ(wc.style, 0u);
    EXPECT_EQ(wc.cbClsExtra, 0);
    EXPECT_EQ(wc.cbWndExtra, static_cast<int>(sizeof(LONG_PTR)));
    EXPECT_EQ(wc.hCursor, LoadCursorA(nullptr, IDC_ARROW));
    EXPECT_EQ(wc.hbrBackground, reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1));
    // Registering again fails quietly and leaves the class usable.
    EXPECT_EQ(RegisterScopeClass(GetModuleHandleA(nullptr)), 0);
}

TEST_F(ScopeTest, GettersSettersAndUnansweredMessages) {
    EXPECT_EQ(Send(SCM_GETSTEP), 3);
    EXPECT_EQ(Send(SCM_GETCAPACITY), 116);
    EXPECT_EQ(Send(WM_ERASEBKGND), 1);
    EXPECT_EQ(Send(SCM_SETSTEP, 0, 4), 0);
    EXPECT_EQ(Send(SCM_GETSTEP), 4);
    EXPECT_EQ(Send(SCM_GETCAPACITY), 87);

    const unsigned char bytes[4] = {};
    EXPECT_EQ(Send(SCM_GETDATA), 0);
    EXPECT_EQ(Send(SCM_SETDATA, reinterpret_cast<WPARAM>(bytes), 3), 0);
    EXPECT_EQ(Send(SCM_GETDATA), reinterpret_cast<LRESULT>(bytes));

    EXPECT_EQ(Send(SCM_GETUSERDATA), 0);
    EXPECT_EQ(Send(SCM_SETUSERDATA, 0, 0x12345678), 0);
    EXPECT_EQ(Send(SCM_GETUSERDATA), 0x12345678);

    for (UINT message : {SCM_SETDECIMALS, SCM_SETSTARTOFFSET, SCM_SETELEMENTSIZE, SCM_SETLIVE}) {
        EXPECT_EQ(Send(message, 0, 1), 0) << message;
    }
    EXPECT_EQ(Send(0x0407, 5, 5), 0);

    // Null pointers where the messages expect data are ignored.
    EXPECT_EQ(Send(SCM_ADDSAMPLE, 0, 0), 0);
    EXPECT_EQ(Send(SCM_SETRANGE, 0, 0), 0);
    EXPECT_EQ(Send(SCM_SETXCAPTION, 0, 0), 0);
    EXPECT_EQ(Send(SCM_SETMESSAGE, 1, 0), 0);
}

TEST_F(ScopeTest, ContextMenuGoesToTheParent) {
    EXPECT_EQ(Send(WM_CONTEXTMENU, reinterpret_cast<WPARAM>(scope), MAKELPARAM(120, 80)), 0);
    EXPECT_EQ(host->lastCommand().wParam, MAKEWPARAM(100, 0x432));
    EXPECT_EQ(host->lastCommand().lParam, MAKELPARAM(120, 80));
}

TEST_F(ScopeTest, DrawsFrameGridAndLabels) {
    const Image image = Capture("scope_empty.png");
    EXPECT_EQ(image.At(200, 100), kBlack);
    // Frame: top and left on the plot edges, right and bottom one pixel outside.
    EXPECT_EQ(image.At(200, kPlotTop), kCyan);
    EXPECT_EQ(image.At(kPlotLeft, 100), kCyan);
    EXPECT_EQ(image.At(kPlotRight + 1, 100), kCyan);
    EXPECT_EQ(image.At(200, kPlotBottom + 1), kCyan);
    EXPECT_EQ(image.At(kPlotRight + 2, 100), kBlack);
    // Dotted grid on rows 51, 92 and 133, every fourth pixel from the plot edge.
    for (int row : {51, 92, 133}) {
        EXPECT_EQ(image.At(kPlotLeft + 4, row), kCyan) << row;
        EXPECT_EQ(image.At(kPlotLeft + 5, row), kBlack) << row;
    }
    EXPECT_EQ(image.At(kPlotLeft + 4, 70), kBlack);

    const Image labels = ReferenceLabels({{{kPlotLeft, kPlotBottom + 4}, "0"}}, TA_LEFT | TA_TOP);
    EXPECT_GT(CountPixels(labels, 0, 178, 400, 200, kCyan), 0);
    EXPECT_TRUE(SameArea(image, labels, kPlotLeft, 178, 150, 200));
    const Image right = ReferenceLabels({{{kPlotRight, kPlotBottom + 4}, "116"}}, TA_RIGHT);
    EXPECT_TRUE(SameArea(image, right, 300, 178, 400, 200));
    const Image maximum = ReferenceLabels({{{kPlotLeft - 4, kPlotTop}, "10.00"}}, TA_RIGHT);
    EXPECT_TRUE(SameArea(image, maximum, 0, 0, kPlotLeft, 40));
}

TEST_F(ScopeTest, HexLabelsAndGridSwitches) {
    Send(SCM_SETSTARTOFFSET, 0, 4096);
    Send(SCM_SETHEXLABELS, 1, 0);
    Send(SCM_SETGRID, 0, 0);
    // Neither takes effect before a rebuild.
    Image image = Capture();
    EXPECT_EQ(image.At(kPlotLeft + 4, 92), kCyan);
    EXPECT_TRUE(
        SameArea(image, ReferenceLabels({{{kPlotLeft, kPlotBottom + 4}, "0"}}, TA_LEFT), 0, 178, 150, 200));

    Send(SCM_SETHEXLABELS, 1, 1);
    image = Capture("scope_hex_labels.png");
    EXPECT_EQ(image.At(kPlotLeft + 4, 92), kBlack);
    const Image first = ReferenceLabels({{{kPlotLeft, kPlotBottom + 4}, "1000"}}, TA_LEFT);
    const Image last = ReferenceLabels({{{kPlotRight, kPlotBottom + 4}, "1074"}}, TA_RIGHT);
    EXPECT_TRUE(SameArea(image, first, 0, 178, 150, 200));
    EXPECT_TRUE(SameArea(image, last, 300, 178, 400, 200));

    Send(SCM_SETGRID, 1, 1);
    EXPECT_EQ(Capture().At(kPlotLeft + 4, 92), kCyan);
}

TEST_F(ScopeTest, LiveSamplesScrollInFromTheRight) {
    for (int i = 0; i < 20; ++i) {
        Add(0.0);
    }
    const Image image = Capture("scope_live_flat.png");
    const int y = YOf(0.0);
    ASSERT_EQ(y, 93);
    EXPECT_EQ(image.At(kPlotRight - 2, y), kWhite);
    EXPECT_EQ(image.At(kPlotRight - 50, y), kWhite);
    // Twenty samples of three pixels reach 60 pixels into the plot, no further.
    EXPECT_EQ(CountPixels(image, kPlotLeft + 1, y, kPlotRight - 70, y + 1, kWhite), 0);
}

TEST_F(ScopeTest, SampleAboveTheRangeIsErasedAboveThePlot) {
    Add(0.0);
    Add(15.0);
    const Image image = Capture("scope_live_clipped.png");
    // The segment climbs through the whole plot ...
    EXPECT_GT(CountPixels(image, kPlotRight - 6, kPlotTop + 1, kPlotRight, 60, kWhite), 10);
    // ... but nothing of it shows above, and the frame line it crosses stays.
    EXPECT_EQ(CountPixels(image, kPlotRight - 10, 0, 400, kPlotTop, kWhite), 0);
    for (int x = kPlotRight - 6; x <= kPlotRight; ++x) {
        EXPECT_EQ(image.At(x, kPlotTop), kCyan) << x;
    }

    Add(-15.0);
    const Image below = Capture();
    EXPECT_EQ(CountPixels(below, 0, kPlotBottom + 1, 400, 200, kWhite), 0);
}

TEST_F(ScopeTest, RangeChangeReplaysTheSamplesAtTheNewScale) {
    for (int i = 0; i < 30; ++i) {
        Add(5.0);
    }
    const int before = YOf(5.0);
    EXPECT_GT(CountPixels(Capture(), kPlotLeft, before, kPlotRight, before + 1, kWhite), 60);

    SetRange(20.0, -20.0);
    const Image image = Capture("scope_range_replay.png");
    const int after = YOf(5.0, 20.0, -20.0);
    ASSERT_NE(after, before);
    EXPECT_GT(CountPixels(image, kPlotLeft, after, kPlotRight, after + 1, kWhite), 60);
    EXPECT_EQ(CountPixels(image, kPlotLeft, before, kPlotRight, before + 1, kWhite), 0);
}

// The Y labels of a range as the scope draws them left of a plot starting at left.
Image YLabels(const char* maximum, const char* minimum, int left) {
    Image image = ReferenceLabels({{{left - 4, kPlotTop}, maximum}}, TA_RIGHT);
    const Image below = ReferenceLabels({{{left - 4, kPlotBottom}, minimum}}, TA_RIGHT | TA_BASELINE);
    for (std::size_t i = 0; i < image.pixels.size(); ++i) {
        image.pixels[i] |= below.pixels[i];
    }
    return image;
}

TEST_F(ScopeTest, RangeChangeRedrawsTheYLabelsAndFitsThePlotToThem) {
    for (int i = 0; i < 30; ++i) {
        Add(5.0);
    }
    ASSERT_TRUE(SameArea(Capture(), YLabels("10.00", "-10.00", kPlotLeft), 0, 0, kPlotLeft, 200));

    SetRange(20.0, -20.0);
    EXPECT_TRUE(SameArea(Capture(), YLabels("20.00", "-20.00", kPlotLeft), 0, 0, kPlotLeft, 200));

    // Labels of 1000.00 need two characters more: the plot starts 12 pixels further right, holds
    // fewer samples, and the samples are drawn again inside it.
    SetRange(1000.0, -1000.0);
    constexpr int kWiderLeft = kPlotLeft + 12;
    const Image image = Capture("scope_range_labels.png");
    EXPECT_TRUE(SameArea(image, YLabels("1000.00", "-1000.00", kWiderLeft), 0, 0, kWiderLeft, 200));
    EXPECT_EQ(image.At(kWiderLeft, 100), kCyan) << "the frame's left edge";
    EXPECT_EQ(Send(SCM_GETCAPACITY), (kPlotRight - kWiderLeft) / 3);
    const int y = YOf(5.0, 1000.0, -1000.0);
    EXPECT_GT(CountPixels(image, kWiderLeft + 1, y, kPlotRight, y + 1, kWhite), 60);
}

TEST_F(ScopeTest, ResizeKeepsTheNewestSamples) {
    for (int i = 0; i < 150; ++i) {
        Add(-5.0);
    }
    for (int i = 0; i < 50; ++i) {
        Add(5.0);
    }
    SetWindowPos(scope, nullptr, 0, 0, 200, 200, SWP_NOMOVE | SWP_NOZORDER);
    EXPECT_EQ(Send(SCM_GETCAPACITY), (190 - 42) / 3);
    // A resize clears the trace; redrawing the ring shows only the newest samples, all at 5.
    SetRange(10.0, -10.0);
    const Image image = Capture("scope_resized.png");
    EXPECT_GT(CountPixels(image, kPlotLeft, YOf(5.0), 190, YOf(5.0) + 1, kWhite), 100);
    EXPECT_EQ(CountPixels(image, kPlotLeft, YOf(-5.0), 190, YOf(-5.0) + 1, kWhite), 0);
}

TEST_F(ScopeTest, NoRoomForASampleDropsIt) {
    Send(SCM_SETSTEP, 0, 0);
    EXPECT_EQ(Send(SCM_GETCAPACITY), 0);
    Send(SCM_REDRAW);
    Add(3.0);
    SetRange(10.0, -10.0);
    EXPECT_EQ(CountPixels(Capture(), 0, 0, 400, 200, kWhite), 0);

    // A plot narrower than its labels: the sample draws nothing, and is not kept for later either.
    SetWindowPos(scope, nullptr, 0, 0, 40, 30, SWP_NOMOVE | SWP_NOZORDER);
    Send(SCM_SETSTEP, 0, 3);
    Send(SCM_REDRAW);
    EXPECT_EQ(Send(SCM_GETCAPACITY), 0);
    Add(3.0);
    EXPECT_EQ(CountPixels(Capture(), 0, 0, 40, 30, kWhite), 0);
    SetWindowPos(scope, nullptr, 0, 0, 400, 200, SWP_NOMOVE | SWP_NOZORDER);
    EXPECT_EQ(Send(SCM_GETCAPACITY), 116);
    SetRange(10.0, -10.0);
    EXPECT_EQ(CountPixels(Capture(), 0, 0, 400, 200, kWhite), 0);
}

TEST_F(ScopeTest, CaptionsMessageAndColours) {
    const Image bare = Capture();
    EXPECT_EQ(CountPixels(bare, 150, 178, 280, 200, kCyan), 0);
    EXPECT_EQ(CountPixels(bare, 0, 50, 40, 140, kCyan), 0);

    Send(SCM_SETXCAPTION, 0, reinterpret_cast<LPARAM>("Sample"));
    Send(SCM_SETYCAPTION, 0, reinterpret_cast<LPARAM>("Volts"));
    // Longer than its field: cut to fit rather than overrun it.
    const std::string longMessage(80, 'W');
    Send(SCM_SETMESSAGE, 1, reinterpret_cast<LPARAM>(longMessage.c_str()));
    Send(SCM_SETMESSAGE, 1, reinterpret_cast<LPARAM>("OVERRANGE"));
    const Image image = Capture("scope_captions.png");
    EXPECT_GT(CountPixels(image, 150, 178, 280, 200, kCyan), 10);
    // The turned Y caption sits left of the plot, centred on its height.
    EXPECT_GT(CountPixels(image, 0, 50, 40, 140, kCyan), 10);
    EXPECT_GT(CountPixels(image, 0, 0, 400, 200, kRed), 10);
    EXPECT_EQ(CountPixels(image, kPlotRight - 29, 0, 400, 200, kRed), 0);
    EXPECT_EQ(CountPixels(image, 0, kPlotTop + 25, 400, 200, kRed), 0);

    Send(SCM_SETMESSAGE, 1, reinterpret_cast<LPARAM>(""));
    EXPECT_EQ(CountPixels(Capture(), 0, 0, 400, 200, kRed), 0);

    Send(SCM_SETBKCOLOR, 0, 0x00400000);
    Send(SCM_SETAXISCOLOR, 0, 0x0000FF00);
    Send(SCM_SETTRACECOLOR, 0, 0x000000FF);
    Add(0.0);
    Add(0.0);
    const Image coloured = Capture("scope_colours.png");
    EXPECT_EQ(coloured.At(200, 100), 0x000040u);
    // The trace layer, background and all, is ORed over the frame, grid and labels.
    EXPECT_EQ(coloured.At(200, kPlotTop), 0x00FF40u);
    EXPECT_EQ(coloured.At(kPlotRight - 2, YOf(0.0)), 0xFF0040u);
}

struct StaticCase {
    const char* name;
    std::uint8_t elementSize;
    std::vector<unsigned char> bytes;
};

// Values 0, 2, 4, ... 232 (a rising line) in each element type.
std::vector<unsigned char> Ramp(std::uint8_t elementSize) {
    std::vector<unsigned char> bytes;
    for (int i = 0; i <= 116; ++i) {
        const int value = 2 * i;
        unsigned char element[4] = {};
        if (elementSize == 4) {
            const float f = static_cast<float>(value);
            std::memcpy(element, &f, sizeof f);
        } else {
            element[0] = static_cast<unsigned char>(value);
        }
        bytes.insert(bytes.end(), element, element + elementSize);
    }
    return bytes;
}

// Labels of 255.00 need one character more than 10.00: the plot starts at 48.
constexpr int kWideLeft = 48;

TEST_F(ScopeTest, StaticPlotOfEachElementSize) {
    SetRange(255.0, 0.0);
    Send(SCM_SETLIVE, 0, 0);
    Image first;
    for (std::uint8_t size : {1, 2, 4}) {
        SCOPED_TRACE(size);
        const std::vector<unsigned char> bytes = Ramp(size);
        Send(SCM_SETDATA, reinterpret_cast<WPARAM>(bytes.data()), static_cast<LPARAM>(bytes.size() - size));
        Send(SCM_SETELEMENTSIZE, 0, size);
        Send(SCM_REDRAW);
        const Image image = Capture(size == 1 ? "scope_static.png" : nullptr);
        for (int i : {1, 30, 60, 113}) {
            EXPECT_EQ(image.At(kWideLeft + 3 * i, YOf(2 * i, 255.0, 0.0)), kWhite) << i;
        }
        if (size == 1) {
            first = image;
        } else {
            EXPECT_TRUE(SameArea(image, first, 0, 0, 400, 200));
        }
    }
}

TEST_F(ScopeTest, StaticPlotStopsAtTheDataBound) {
    const std::vector<unsigned char> bytes = Ramp(1);
    SetRange(255.0, 0.0);
    Send(SCM_SETLIVE, 0, 0);
    Send(SCM_SETDATA, reinterpret_cast<WPARAM>(bytes.data()), 59);
    Send(SCM_REDRAW);
    const Image image = Capture("scope_static_bound.png");
    EXPECT_EQ(image.At(kWideLeft + 3 * 50, YOf(100, 255.0, 0.0)), kWhite);
    // Past element 59 every point is 0.0, on the plot's bottom row.
    EXPECT_EQ(image.At(kWideLeft + 3 * 80, kPlotBottom), kWhite);
    EXPECT_EQ(CountPixels(image, kWideLeft + 3 * 61, kPlotTop + 1, kPlotRight, kPlotBottom, kWhite), 0);

    // A range change relabels the plot but leaves a static plot as it is until the next redraw.
    SetRange(127.0, 0.0);
    const Image relabelled = Capture();
    EXPECT_TRUE(SameArea(relabelled, image, kWideLeft, 0, 400, 200));
    EXPECT_TRUE(SameArea(relabelled, YLabels("127.00", "0.00", kWideLeft), 0, 0, kWideLeft, 200));

    // An element size the control does not know repeats the previous value: a flat line.
    Send(SCM_SETELEMENTSIZE, 0, 3);
    Send(SCM_REDRAW);
    const Image flat = Capture();
    EXPECT_GT(CountPixels(flat, kWideLeft, kPlotBottom, kPlotRight, kPlotBottom + 1, kWhite), 300);
    EXPECT_EQ(CountPixels(flat, kWideLeft, kPlotTop + 1, kPlotRight, kPlotBottom, kWhite), 0);
}

} // namespace
