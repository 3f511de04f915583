#include "gauge_family.h"
#include "gauge_test_window.h"
#include "kv_controls.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

constexpr std::uint32_t kGreen = 0x00FF00;
constexpr std::uint32_t kRed = 0xFF0000;
constexpr std::uint32_t kBlack = 0x000000;

class StatusGaugeWindow : public ::testing::Test {
  protected:
    HWND Make(int width, int height) {
        HWND gauge = gauges.Child("KVSTATUSGAUGE", width, height);
        EXPECT_NE(gauge, nullptr);
        Set(gauge, SGM_SETONTEXT, "ON");
        Set(gauge, SGM_SETOFFTEXT, "OFF");
        return gauge;
    }
    static LRESULT Set(HWND gauge, UINT message, const char* text, LPARAM maxLength = 100) {
        return SendMessageA(gauge, message, reinterpret_cast<WPARAM>(text), maxLength);
    }
    static std::string Get(HWND gauge, UINT message, LPARAM size = 64) {
        char buffer[64] = "untouched";
        EXPECT_EQ(SendMessageA(gauge, message, reinterpret_cast<WPARAM>(buffer), size), 0);
        return buffer;
    }
    GaugeChildren gauges;
};

// Dark pixels (the glyphs) inside the band where the state text hangs from the middle of a
// 200 by 200 gauge.
std::vector<bool> GlyphMask(const Image& image) {
    std::vector<bool> mask;
    for (int y = 100; y < 150; ++y) {
        for (int x = 1; x < 199; ++x) {
            mask.push_back(CountDarkPixels(image, x, y, x + 1, y + 1) == 1);
        }
    }
    return mask;
}

} // namespace

TEST(GaugeRegistration, BothClassesRegisterOnceWithTheGaugeAttributes) {
    const GaugeAtoms atoms = RegisterGaugesOnce();
    EXPECT_NE(atoms.status, 0);
    EXPECT_NE(atoms.analog, 0);
    EXPECT_EQ(RegisterStatusGaugeClass(GetModuleHandleA(nullptr)), 0); // already registered
    EXPECT_EQ(RegisterAnalogGaugeClass(GetModuleHandleA(nullptr)), 0);
    for (const char* name : {"KVSTATUSGAUGE", "KVANALOGGAUGE"}) {
        WNDCLASSEXA info{};
        info.cbSize = sizeof info;
        ASSERT_TRUE(GetClassInfoExA(GetModuleHandleA(nullptr), name, &info)) << name;
        EXPECT_EQ(info.style, static_cast<UINT>(CS_DBLCLKS)) << name;
        EXPECT_EQ(info.cbClsExtra, 0) << name;
        EXPECT_EQ(info.cbWndExtra, static_cast<int>(sizeof(LONG_PTR))) << name;
        EXPECT_EQ(info.hbrBackground, reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1)) << name;
        EXPECT_EQ(info.hCursor, LoadCursorA(nullptr, IDC_ARROW)) << name;
        EXPECT_EQ(info.hIcon, nullptr) << name;
        EXPECT_EQ(info.lpszMenuName, nullptr) << name;
    }
}

TEST_F(StatusGaugeWindow, AnswersItsMessagesWithTheirResults) {
    HWND gauge = Make(100, 100);
    struct Case {
        UINT message;
        WPARAM wParam;
        LRESULT result;
    } cases[] = {
        {WM_ERASEBKGND, 0, 1},  {WM_CREATE, 0, 0},         {WM_SIZE, 0, 0},      {WM_LBUTTONDBLCLK, 0, 0},
        {GM_ADDSTYLE, 0x80, 0}, {GM_REMOVESTYLE, 0x80, 0}, {SGM_SETSTATE, 1, 0},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(SendMessageA(gauge, c.message, c.wParam, 0), c.result) << std::hex << c.message;
    }
    SendMessageA(gauge, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(gauge), MAKELPARAM(120, 340));
    EXPECT_EQ(LOWORD(SharedHost().lastCommand().wParam), GaugeChildren::kChildId);
    EXPECT_EQ(HIWORD(SharedHost().lastCommand().wParam), 0x626);
    EXPECT_EQ(SharedHost().lastCommand().lParam, MAKELPARAM(120, 340));
}

TEST_F(StatusGaugeWindow, StoresTextsWholeOrEmptyAndCopiesThemOut) {
    HWND gauge = Make(100, 100);
    EXPECT_EQ(Set(gauge, SGM_SETTITLE, "Boost!", 3), 0);
    EXPECT_EQ(Get(gauge, SGM_GETTITLE), ""); // too long for its maximum: stored empty
    Set(gauge, SGM_SETTITLE, "Boost!", 6);
    EXPECT_EQ(Get(gauge, SGM_GETTITLE), "Boost!");

    Set(gauge, SGM_SETOFFTEXT, "Stopped");
    EXPECT_EQ(Get(gauge, SGM_GETOFFTEXT, 4), "Sto");
    EXPECT_EQ(Get(gauge, SGM_GETONTEXT), "ON");
    Set(gauge, SGM_SETOFFTEXT, nullptr);
    EXPECT_EQ(Get(gauge, SGM_GETOFFTEXT), ""); // none stored, though a title is
    Set(gauge, SGM_SETONTEXT, "Running", 0);
    EXPECT_EQ(Get(gauge, SGM_GETONTEXT), "");
    EXPECT_EQ(Get(gauge, SGM_GETTITLE, 0), "untouched");    // a size of 0 writes nothing
    EXPECT_EQ(SendMessageA(gauge, SGM_GETTITLE, 0, 10), 0); // a null buffer is left alone
}

TEST_F(StatusGaugeWindow, BandColourFollowsTheStateAndStateTwoShowsTheOnTextInOffColours) {
    HWND gauge = Make(200, 200);
    Set(gauge, SGM_SETTITLE, "Emulator link");
    struct Shown {
        int green, red;
        std::vector<bool> glyphs;
    } shown[3];
    const char* screenshots[] = {"status_gauge_off.png", "status_gauge_on.png", "status_gauge_state2.png"};
    for (WPARAM state = 0; state < 3; ++state) {
        SendMessageA(gauge, SGM_SETSTATE, state, 1); // repaints at once: no invalidation here
        const Image image = CaptureClient(gauge);
        SaveScreenshot(image, screenshots[state]);
        shown[state] = {CountPixels(image, 0, 100, 200, 150, kGreen),
                        CountPixels(image, 0, 100, 200, 150, kRed), GlyphMask(image)};
        EXPECT_EQ(image.At(100, 60), 0xFFFFFFu) << "background above the band, state " << state;
    }
    EXPECT_GT(shown[0].red, 500);
    EXPECT_EQ(shown[0].green, 0);
    EXPECT_GT(shown[1].green, 500);
    EXPECT_EQ(shown[1].red, 0);
    EXPECT_GT(shown[2].red, 500);
    EXPECT_EQ(shown[2].green, 0);
    EXPECT_EQ(shown[2].glyphs, shown[1].glyphs); // the on text
    EXPECT_NE(shown[0].glyphs, shown[1].glyphs);
}

TEST_F(StatusGaugeWindow, SettersWithoutTheRepaintFlagChangeNothingOnScreen) {
    HWND gauge = Make(200, 200);
    const Image before = Repainted(gauge);
    SendMessageA(gauge, SGM_SETSTATE, 1, 0);
    Set(gauge, SGM_SETOFFTEXT, "CHANGED");
    EXPECT_TRUE(SameArea(before, CaptureClient(gauge), 0, 0, 200, 200));
    EXPECT_GT(CountPixels(Repainted(gauge), 0, 100, 200, 150, kGreen), 500);
}

TEST_F(StatusGaugeWindow, SmallControlDrawsTheTopLeftQuarterAtOnePixelPerUnit) {
    HWND full = Make(100, 100);
    Set(full, SGM_SETTITLE, "Fuel pump");
    const Image whole = Repainted(full);
    ShowWindow(full, SW_HIDE);
    HWND small = Make(50, 50);
    Set(small, SGM_SETTITLE, "Fuel pump");
    const Image quarter = Repainted(small);
    ASSERT_EQ(quarter.width, 50);
    EXPECT_TRUE(SameArea(quarter, whole, 0, 0, 50, 50));
    EXPECT_EQ(quarter.At(0, 49), kBlack);     // left edge of the frame
    EXPECT_EQ(quarter.At(49, 0), kBlack);     // top edge
    EXPECT_EQ(quarter.At(49, 49), 0xFFFFFFu); // the band starts at the middle of the drawing
    EXPECT_EQ(whole.At(99, 50), kBlack);      // right edge, outside the small control
    EXPECT_GT(CountPixels(whole, 0, 50, 100, 75, kRed), 100);
    SaveScreenshot(small, "status_gauge_50x50.png");
}

TEST_F(StatusGaugeWindow, ProportionalStyleKeepsTheDrawingSquare) {
    HWND gauge = Make(200, 100);
    const std::uint32_t window = PixelOf(GetSysColor(COLOR_WINDOW));
    struct Step {
        UINT message;
        WPARAM bits;
        bool square;
        const char* screenshot = nullptr;
    } steps[] = {
        {GM_ADDSTYLE, 0x80, true, "status_gauge_proportional.png"},
        {GM_ADDSTYLE, 0, false}, // adding 0 clears every bit
        {GM_ADDSTYLE, 0x81, true},
        {GM_REMOVESTYLE, 0x80, false},
    };
    EXPECT_EQ(CaptureClient(gauge).At(199, 50), kBlack); // stretched: right edge of the frame
    for (const Step& s : steps) {
        SendMessageA(gauge, s.message, s.bits, 1);
        const Image image = CaptureClient(gauge);
        if (s.screenshot != nullptr) {
            SaveScreenshot(image, s.screenshot);
        }
        EXPECT_EQ(image.At(199, 50), s.square ? window : kBlack) << std::hex << s.message << " " << s.bits;
        EXPECT_EQ(image.At(99, 20), s.square ? kBlack : 0xFFFFFFu) << std::hex << s.message << " " << s.bits;
    }
}

TEST_F(StatusGaugeWindow, TitleIsBlackAndDrawnOnlyWhenShorterThanAHundredCharacters) {
    HWND gauge = Make(200, 200);
    struct Case {
        std::string title;
        bool drawn;
    } cases[] = {
        {"Pressure", true}, {std::string(99, 'W'), true}, {std::string(100, 'W'), false}, {"", false}};
    for (const Case& c : cases) {
        Set(gauge, SGM_SETTITLE, c.title.c_str(), 200);
        const Image image = Repainted(gauge);
        const int black = CountPixels(image, 2, 10, 198, 34, kBlack);
        if (c.drawn) {
            EXPECT_GT(black, 20) << c.title.size() << " characters";
        } else {
            EXPECT_EQ(CountDarkPixels(image, 2, 10, 198, 34), 0) << c.title.size() << " characters";
        }
    }
}
