#include "control_test_support.h"
#include "kv_controls.h"
#include "rich_static_state.h"
#include "window_capture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>

namespace {

constexpr int kWidth = 200;
constexpr int kHeight = 40;

class RichStaticTest : public ::testing::Test {
  protected:
    // One host for all cases: a top-level window costs Wine a second or two to make and end.
    static void SetUpTestSuite() {
        RegisterRichStaticClass(GetModuleHandleA(nullptr));
        host = new TestHost(640, 480);
    }

    static void TearDownTestSuite() {
        delete host;
        host = nullptr;
    }

    void SetUp() override {
        control = host->CreateChild("KVRICHSTATIC", "template caption", 10, 10, kWidth, kHeight, 100);
        ASSERT_NE(control, nullptr);
    }

    void TearDown() override { DestroyWindow(control); }

    LRESULT Send(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) {
        return SendMessageA(control, message, wParam, lParam);
    }

    LRESULT SetText(const char* text) { return Send(WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text)); }

    std::string Text() {
        char buffer[400] = "untouched";
        const LRESULT copied = Send(WM_GETTEXT, sizeof buffer, reinterpret_cast<LPARAM>(buffer));
        EXPECT_EQ(copied, static_cast<LRESULT>(std::string(buffer).size()));
        return buffer;
    }

    Image Capture(const char* artifact = nullptr) {
        Image image = CaptureClient(control);
        if (artifact != nullptr) {
            WritePng(ArtifactPath(artifact), image);
        }
        return image;
    }

    static TestHost* host;
    HWND control = nullptr;
};

TestHost* RichStaticTest::host = nullptr;

const std::uint32_t kFace = PixelOf(GetSysColor(COLOR_BTNFACE));

// Pixels of the face (inside the frame) that are not the colour.
int Marks(const Image& image, std::uint32_t face) {
    return (kWidth - 2) * (kHeight - 2) - CountPixels(image, 1, 1, kWidth - 1, kHeight - 1, face);
}

// The box around the pixels inside the frame that differ from the face.
RECT InkBox(const Image& image, std::uint32_t face) {
    RECT box{kWidth, kHeight, 0, 0};
    for (int y = 1; y < kHeight - 1; ++y) {
        for (int x = 1; x < kWidth - 1; ++x) {
            if (image.At(x, y) != face) {
                box = {std::min<LONG>(box.left, x), std::min<LONG>(box.top, y),
                       std::max<LONG>(box.right, x + 1), std::max<LONG>(box.bottom, y + 1)};
            }
        }
    }
    return box;
}

bool SameImage(const Image& a, const Image& b) {
    return a.pixels == b.pixels;
}

TEST_F(RichStaticTest, RegistersWithItsAttributes) {
    WNDCLASSEXA wc{};
    wc.cbSize = sizeof wc;
    ASSERT_TRUE(GetClassInfoExA(GetModuleHandleA(nullptr), "KVRICHSTATIC", &wc));
    EXPECT_EQ(wc.style, static_cast<UINT>(CS_HREDRAW | CS_VREDRAW));
    EXPECT_EQ(wc.cbWndExtra, static_cast<int>(sizeof(LONG_PTR)));
    EXPECT_EQ(wc.hCursor, LoadCursorA(nullptr, IDC_ARROW));
    EXPECT_EQ(wc.hbrBackground, nullptr);
    EXPECT_EQ(RegisterRichStaticClass(GetModuleHandleA(nullptr)), 0);
}

TEST_F(RichStaticTest, StartsAsAnEmptyFaceInAFrame) {
    // The host passes "template caption" at creation; it is not taken over.
    EXPECT_EQ(Text(), "");
    EXPECT_EQ(Send(WM_ERASEBKGND), 1);
    const Image image = Capture("rich_static_default.png");
    for (int x : {0, 100, kWidth - 1}) {
        EXPECT_EQ(image.At(x, 0), 0u) << x;
        EXPECT_EQ(image.At(x, kHeight - 1), 0u) << x;
    }
    for (int y : {0, 20, kHeight - 1}) {
        EXPECT_EQ(image.At(0, y), 0u) << y;
        EXPECT_EQ(image.At(kWidth - 1, y), 0u) << y;
    }
    EXPECT_EQ(Marks(image, kFace), 0);
}

TEST_F(RichStaticTest, TextIsStoredCutAndShownCentred) {
    EXPECT_EQ(SetText("Status text"), TRUE);
    EXPECT_EQ(Text(), "Status text");
    char small[5];
    EXPECT_EQ(Send(WM_GETTEXT, sizeof small, reinterpret_cast<LPARAM>(small)), 4);
    EXPECT_EQ(std::string(small), "Stat");
    EXPECT_EQ(Send(WM_GETTEXT, 0, reinterpret_cast<LPARAM>(small)), 0);

    const Image image = Capture("rich_static_text.png");
    const RECT ink = InkBox(image, kFace);
    EXPECT_GT(Marks(image, kFace), 20);
    // Centred both ways, to within a pixel or two of rounding.
    EXPECT_LE(std::abs((ink.left + ink.right) - kWidth), 3);
    EXPECT_LE(std::abs((ink.top + ink.bottom) - kHeight), 4);

    EXPECT_EQ(Send(WM_SETTEXT, 0, 0), 0);
    EXPECT_EQ(Text(), "Status text");

    EXPECT_EQ(SetText(std::string(259, 'a').c_str()), TRUE);
    EXPECT_EQ(Text(), std::string(259, 'a'));
    EXPECT_EQ(SetText(std::string(300, 'b').c_str()), TRUE);
    EXPECT_EQ(Text(), std::string(259, 'b'));
}

TEST_F(RichStaticTest, ColoursReturnThePreviousOnes) {
    EXPECT_EQ(static_cast<COLORREF>(Send(RSM_SETBKCOLOR, 0, 0x0000FFFF)), 0xFFFFFFFFu);
    EXPECT_EQ(static_cast<COLORREF>(Send(RSM_SETBKCOLOR, 0, 0x00FFFFFF)), 0x0000FFFFu);
    EXPECT_EQ(static_cast<COLORREF>(Send(RSM_SETTEXTCOLOR, 0, 0x000000FF)), 0x00000000u);
    EXPECT_EQ(static_cast<COLORREF>(Send(RSM_SETTEXTCOLOR, 0, 0xFFFFFFFF)), 0x000000FFu);

    Send(RSM_SETBKCOLOR, 0, 0x0000FFFF);
    Send(RSM_SETTEXTCOLOR, 0, 0x000000FF);
    SetText("Warning");
    const Image image = Capture("rich_static_colours.png");
    EXPECT_EQ(image.At(0, 0), 0u);
    EXPECT_EQ(image.At(3, 3), 0xFFFF00u);
    EXPECT_GT(CountPixels(image, 1, 1, kWidth - 1, kHeight - 1, 0xFF0000), 10);
}

TEST_F(RichStaticTest, TextWithoutColourOverAnExplicitBackgroundIsInvisible) {
    Send(RSM_SETBKCOLOR, 0, 0x00FFFFFF);
    const Image empty = Capture();
    Send(RSM_SETTEXTCOLOR, 0, 0xFFFFFFFF);
    SetText("Hidden");
    const Image hidden = Capture("rich_static_invisible.png");
    EXPECT_EQ(Marks(hidden, 0xFFFFFF), 0);
    EXPECT_TRUE(SameImage(hidden, empty));

    // Over the system face the unset colour is passed on as it is: the text is drawn.
    Send(RSM_SETBKCOLOR, 0, 0xFFFFFFFF);
    EXPECT_GT(Marks(Capture("rich_static_unset_colours.png"), kFace), 10);
}

TEST_F(RichStaticTest, BorrowedFontAndBackToTheDefault) {
    SetText("Font");
    const Image standard = Capture();
    const RECT standardInk = InkBox(standard, kFace);

    HFONT big = CreateFontA(32, 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE, 0, OUT_DEFAULT_PRECIS,
                            CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, 32, "Arial");
    ASSERT_NE(big, nullptr);
    // Without the redraw flag nothing changes on screen yet.
    EXPECT_EQ(Send(WM_SETFONT, reinterpret_cast<WPARAM>(big), 0), 0);
    EXPECT_TRUE(SameImage(CaptureClient(control), standard));
    EXPECT_EQ(Send(WM_SETFONT, reinterpret_cast<WPARAM>(big), 1), 0);
    const Image large = Capture("rich_static_font.png");
    const RECT largeInk = InkBox(large, kFace);
    EXPECT_GT(largeInk.bottom - largeInk.top, standardInk.bottom - standardInk.top + 5);
    EXPECT_GT(largeInk.right - largeInk.left, standardInk.right - standardInk.left + 10);

    EXPECT_EQ(Send(WM_SETFONT, 0, 1), 0);
    EXPECT_TRUE(SameImage(Capture(), standard));

    // The borrowed font stays the caller's, usable after the control is gone.
    Send(WM_SETFONT, reinterpret_cast<WPARAM>(big), 1);
    DestroyWindow(control);
    control = nullptr;
    LOGFONTA font{};
    EXPECT_EQ(GetObjectA(big, sizeof font, &font), static_cast<int>(sizeof font));
    EXPECT_EQ(font.lfHeight, 32);
    EXPECT_TRUE(DeleteObject(big));
}

} // namespace
