// The KVTEXTPROGRESS window under Wine: every message with its result, the pixels it paints, one
// synchronous paint per visible change, and messages sent from another thread.
#include "control_test_support.h"
#include "gdi_counter.h"
#include "kv_controls.h"
#include "text_progress.h"
#include "window_capture.h"

#include <commctrl.h>
#include <cstring>
#include <gtest/gtest.h>
#include <string>
#include <thread>
#include <vector>

namespace {

constexpr std::uint32_t kDefaultBar = 0x0064D2; // 0x00D26400 as a captured pixel

class TextProgressTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() { RegisterTextProgressClass(GetModuleHandleA(nullptr)); }

    LRESULT Send(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) {
        return SendMessageA(bar_, message, wParam, lParam);
    }
    std::string Text() {
        char buffer[300] = "unchanged";
        const LRESULT copied = Send(WM_GETTEXT, sizeof buffer, reinterpret_cast<LPARAM>(buffer));
        EXPECT_EQ(copied, static_cast<LRESULT>(std::strlen(buffer)));
        return buffer;
    }

    TestHost host_{400, 200};
    HWND bar_ = host_.CreateChild("KVTEXTPROGRESS", "Caption of the template", 0, 0, 300, 24);
};

TEST_F(TextProgressTest, StartsWithTheDefaultsAndWithoutTheCreationCaption) {
    ASSERT_NE(bar_, nullptr);
    EXPECT_EQ(Text(), "");
    EXPECT_EQ(Send(PBM_GETPOS), 0);
    EXPECT_EQ(Send(PBM_GETRANGE, 1, 0), 0);
    EXPECT_EQ(Send(PBM_GETRANGE, 0, 0), 255);
    EXPECT_EQ(Send(TPM_GETVERTICAL), 0);
    // Setters answer with what they replace, so the first call shows each default.
    EXPECT_EQ(Send(PBM_SETSTEP, 3), 1);
    EXPECT_EQ(Send(PBM_SETBARCOLOR, 0, 0x123456), 0x00D26400);
    EXPECT_EQ(Send(TPM_SETTEXTCOLOR, 0, 0x00FF0000), 0x00000000);
    EXPECT_EQ(Send(PBM_SETBKCOLOR, 0, 0x00FFFFFF), 0xFFFFFFFF);
    EXPECT_EQ(Send(PBM_SETPOS, 9), 0);
}

TEST_F(TextProgressTest, SettersReturnThePreviousValue) {
    struct Case {
        UINT message;
        bool inWParam;
        LRESULT first;
        LRESULT second;
    };
    const Case cases[] = {
        {PBM_SETPOS, true, 40, -7},
        {PBM_SETSTEP, true, 16, -2},
        {PBM_SETBARCOLOR, false, 0x000000FF, 0x0000FF00},
        {TPM_SETTEXTCOLOR, false, 0xFFFFFFFF, 0x00FFFFFF},
        {PBM_SETBKCOLOR, false, 0x00FF0000, 0xFFFFFFFF},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.message);
        const auto send = [&](LRESULT value) {
            return c.inWParam ? Send(c.message, static_cast<WPARAM>(value)) : Send(c.message, 0, value);
        };
        send(c.first);
        EXPECT_EQ(send(c.second), c.first);
        EXPECT_EQ(send(c.first), c.second);
    }
}

TEST_F(TextProgressTest, RangesAreSetAndReadInEveryForm) {
    EXPECT_EQ(Send(PBM_SETRANGE, 0, 0x00500000), 0);
    PBRANGE range{-1, -1};
    EXPECT_EQ(Send(PBM_GETRANGE, 1, reinterpret_cast<LPARAM>(&range)), 0);
    EXPECT_EQ(range.iLow, 0);
    EXPECT_EQ(range.iHigh, 80);

    // The 16-bit form takes both ends unsigned.
    Send(PBM_SETRANGE, 0, MAKELPARAM(40000, 65535));
    EXPECT_EQ(Send(PBM_GETRANGE, 1, 0), 40000);
    EXPECT_EQ(Send(PBM_GETRANGE, 0, 0), 65535);

    EXPECT_EQ(Send(PBM_SETRANGE32, static_cast<WPARAM>(-5), 70000), 0);
    int minimum = 0;
    int maximum = 0;
    EXPECT_EQ(Send(TPM_GETRANGE, reinterpret_cast<WPARAM>(&minimum), reinterpret_cast<LPARAM>(&maximum)), 0);
    EXPECT_EQ(minimum, -5);
    EXPECT_EQ(maximum, 70000);
    EXPECT_EQ(Send(PBM_GETRANGE, 1, 0), -5);
    EXPECT_EQ(Send(PBM_GETRANGE, 2, 0), 0);
    EXPECT_EQ(Send(TPM_GETRANGE, 0, 0), 0);
    maximum = 0;
    Send(TPM_GETRANGE, 0, reinterpret_cast<LPARAM>(&maximum));
    EXPECT_EQ(maximum, 70000);
}

TEST_F(TextProgressTest, StepItReturnsThePositionBeforeAndWrapsToTheMinimum) {
    Send(PBM_SETRANGE, 0, MAKELPARAM(0, 80));
    Send(PBM_SETPOS, 0);
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(Send(PBM_STEPIT), i);
    }
    EXPECT_EQ(Send(PBM_SETPOS, 0), 5);

    // Stepping past the maximum lands on the minimum, not on the maximum.
    Send(PBM_SETRANGE32, 10, 20);
    Send(PBM_SETSTEP, 4);
    Send(PBM_SETPOS, 18);
    EXPECT_EQ(Send(PBM_STEPIT), 18);
    EXPECT_EQ(Send(PBM_GETPOS), 10);
    Send(PBM_SETPOS, 16);
    Send(PBM_STEPIT);
    EXPECT_EQ(Send(PBM_GETPOS), 20) << "reaching the maximum exactly is no wrap";
}

TEST_F(TextProgressTest, TheDefaultRangeWrapsOnThe256thStep) {
    Send(PBM_SETPOS, 0);
    for (int i = 0; i < 255; ++i) {
        Send(PBM_STEPIT);
    }
    EXPECT_EQ(Send(PBM_GETPOS), 255);
    EXPECT_EQ(Send(PBM_STEPIT), 255);
    EXPECT_EQ(Send(PBM_GETPOS), 0);
}

TEST_F(TextProgressTest, PositionIsNotClampedAndDeltaPosIsNotAnswered) {
    EXPECT_EQ(Send(PBM_SETPOS, 1000), 0);
    EXPECT_EQ(Send(PBM_SETPOS, static_cast<WPARAM>(-3)), 1000);
    EXPECT_EQ(Send(PBM_GETPOS), -3);
    EXPECT_EQ(Send(PBM_DELTAPOS, 10), 0);
    EXPECT_EQ(Send(PBM_GETPOS), -3);
}

TEST_F(TextProgressTest, VerticalFlagIsStoredAsGiven) {
    EXPECT_EQ(Send(TPM_SETVERTICAL, 0, 7), 0);
    EXPECT_EQ(Send(TPM_GETVERTICAL), 7);
    EXPECT_EQ(Send(TPM_SETVERTICAL, 0, 0), 0);
    EXPECT_EQ(Send(TPM_GETVERTICAL), 0);
}

TEST_F(TextProgressTest, TextIsStoredUpTo259CharactersAndCopiedAsFarAsItFits) {
    const std::string full(259, 'a');
    EXPECT_EQ(Send(WM_SETTEXT, 0, reinterpret_cast<LPARAM>(full.c_str())), TRUE);
    EXPECT_EQ(Text(), full);

    const std::string longer = std::string(259, 'b') + "cdef";
    Send(WM_SETTEXT, 0, reinterpret_cast<LPARAM>(longer.c_str()));
    EXPECT_EQ(Text(), std::string(259, 'b'));

    EXPECT_EQ(Send(WM_SETTEXT, 0, 0), 0);
    EXPECT_EQ(Text(), std::string(259, 'b')) << "a null text changes nothing";

    Send(WM_SETTEXT, 0, reinterpret_cast<LPARAM>("Monitoring..."));
    char small[5] = "####";
    EXPECT_EQ(Send(WM_GETTEXT, sizeof small, reinterpret_cast<LPARAM>(small)), 4);
    EXPECT_STREQ(small, "Moni");
    EXPECT_EQ(Send(WM_GETTEXT, 0, reinterpret_cast<LPARAM>(small)), 0);
    EXPECT_STREQ(small, "Moni");
    char viaWindowText[32] = {};
    EXPECT_EQ(GetWindowTextA(bar_, viaWindowText, sizeof viaWindowText), 13);
    EXPECT_STREQ(viaWindowText, "Monitoring...");
}

TEST_F(TextProgressTest, AnswersEraseBackgroundWithoutErasing) {
    EXPECT_EQ(Send(WM_ERASEBKGND), 1);
}

// Counts the paints of the control: the setters that change what shows paint once before they
// return; the range, step and orientation setters do not paint.
TEST_F(TextProgressTest, VisibleChangesPaintOnceBeforeReturning) {
    static int paints = 0;
    static WNDPROC original = nullptr;
    original = reinterpret_cast<WNDPROC>(GetWindowLongPtrA(bar_, GWLP_WNDPROC));
    const auto counting = [](HWND window, UINT message, WPARAM wParam, LPARAM lParam) -> LRESULT {
        if (message == WM_PAINT) {
            ++paints;
        }
        return CallWindowProcA(original, window, message, wParam, lParam);
    };
    SetWindowLongPtrA(bar_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(+counting));
    UpdateWindow(bar_);

    struct Case {
        UINT message;
        WPARAM wParam;
        LPARAM lParam;
        int paints;
    };
    const Case cases[] = {
        {PBM_SETRANGE, 0, MAKELPARAM(0, 100), 0},
        {PBM_SETRANGE32, 0, 100, 0},
        {PBM_SETSTEP, 2, 0, 0},
        {TPM_SETVERTICAL, 0, 1, 0},
        {PBM_SETPOS, 10, 0, 1},
        {PBM_STEPIT, 0, 0, 1},
        {PBM_SETBARCOLOR, 0, 0x0000FF, 1},
        {TPM_SETTEXTCOLOR, 0, 0xFF0000, 1},
        {PBM_SETBKCOLOR, 0, 0xFFFFFF, 1},
        {WM_SETTEXT, 0, reinterpret_cast<LPARAM>("Idle"), 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.message);
        paints = 0;
        Send(c.message, c.wParam, c.lParam);
        EXPECT_EQ(paints, c.paints);
        RECT pending;
        EXPECT_FALSE(GetUpdateRect(bar_, &pending, FALSE)) << "nothing is left to paint";
    }
    SetWindowLongPtrA(bar_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(original));
}

// The transfers drive the bar from their worker thread while the dialog's thread dispatches.
TEST_F(TextProgressTest, MessagesFromAWorkerThreadAreHandledOnTheOwningThread) {
    HANDLE done = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    LRESULT lastStep = -1;
    std::thread worker([&] {
        SendMessageA(bar_, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("Writing"));
        SendMessageA(bar_, PBM_SETRANGE, 0, MAKELPARAM(0, 64));
        SendMessageA(bar_, PBM_SETSTEP, 1, 0);
        SendMessageA(bar_, PBM_SETPOS, 0, 0);
        for (int i = 0; i < 64; ++i) {
            lastStep = SendMessageA(bar_, PBM_STEPIT, 0, 0);
        }
        SetEvent(done);
    });
    const DWORD deadline = GetTickCount() + 10000;
    while (WaitForSingleObject(done, 0) != WAIT_OBJECT_0 && GetTickCount() < deadline) {
        MsgWaitForMultipleObjects(1, &done, FALSE, 100, QS_ALLINPUT);
        PumpMessages();
    }
    const bool finished = WaitForSingleObject(done, 0) == WAIT_OBJECT_0;
    worker.join();
    CloseHandle(done);
    ASSERT_TRUE(finished);
    EXPECT_EQ(lastStep, 63);
    EXPECT_EQ(Send(PBM_GETPOS), 64);
    EXPECT_EQ(Text(), "Writing");
}

class TextProgressPaintTest : public TextProgressTest {
  protected:
    std::uint32_t face_ = PixelOf(GetSysColor(COLOR_BTNFACE));
};

TEST_F(TextProgressPaintTest, FilledLengthFollowsPositionWithinTheRange) {
    struct Case {
        int minimum, maximum, position, filled;
    };
    const Case cases[] = {
        {0, 255, 128, 150}, // 128 / 255 of 300, truncated
        {10, 20, 15, 150},  {0, 255, 0, 0},     {0, 255, -20, 0},
        {0, 255, 255, 300}, {0, 255, 999, 300}, {50, 50, 50, 0}, // an empty range draws no bar
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.minimum << ".." << c.maximum << " at " << c.position);
        Send(PBM_SETRANGE32, c.minimum, c.maximum);
        Send(PBM_SETPOS, static_cast<WPARAM>(c.position));
        const Image image = CaptureClient(bar_);
        ASSERT_EQ(image.width, 300);
        EXPECT_EQ(CountPixels(image, 0, 0, 300, 24, kDefaultBar), c.filled * 24);
        EXPECT_EQ(CountPixels(image, 0, 0, 300, 24, face_), (300 - c.filled) * 24);
        if (c.position == 128) {
            SaveScreenshot(image, "text_progress_128_of_255.png");
        }
    }
}

TEST_F(TextProgressPaintTest, VerticalBarGrowsFromTheBottom) {
    HWND vertical = host_.CreateChild("KVTEXTPROGRESS", "", 320, 0, 40, 100, 2);
    SendMessageA(vertical, TPM_SETVERTICAL, 0, 1);
    SendMessageA(vertical, PBM_SETRANGE, 0, MAKELPARAM(0, 80));
    SendMessageA(vertical, PBM_SETPOS, 40, 0);
    const Image image = CaptureClient(vertical);
    SaveScreenshot(image, "text_progress_vertical_half.png");
    EXPECT_EQ(CountPixels(image, 0, 50, 40, 100, kDefaultBar), 40 * 50);
    EXPECT_EQ(CountPixels(image, 0, 0, 40, 50, face_), 40 * 50);
}

TEST_F(TextProgressPaintTest, TwoColourTextSwapsColoursAtTheEdgeOfTheBar) {
    const std::uint32_t red = 0xFF0000;
    const std::uint32_t white = 0xFFFFFF;
    Send(TPM_SETTEXTCOLOR, 0, 0xFFFFFFFF);
    Send(PBM_SETBKCOLOR, 0, 0x00FFFFFF);
    Send(PBM_SETBARCOLOR, 0, 0x000000FF);
    Send(WM_SETTEXT, 0, reinterpret_cast<LPARAM>("MMMMMMMMMMMMMMMMMMMM"));
    Send(PBM_SETPOS, 128);
    const Image image = CaptureClient(bar_);
    SaveScreenshot(image, "text_progress_two_colour.png");
    // Over the bar: red with light letters; over the rest: white with red letters. Edges of the
    // letters may blend the two, but no other colour shows: red and white share a full red channel.
    int lightOverBar = 0;
    int redOverRest = 0;
    int otherColours = 0;
    for (int y = 0; y < 24; ++y) {
        for (int x = 0; x < 300; ++x) {
            const std::uint32_t pixel = image.At(x, y);
            const bool light = ((pixel >> 8) & 0xFF) >= 0x80;
            lightOverBar += x < 150 && light ? 1 : 0;
            redOverRest += x >= 150 && !light ? 1 : 0;
            otherColours += (pixel >> 16) < 0xF0 ? 1 : 0;
        }
    }
    EXPECT_GT(lightOverBar, 20);
    EXPECT_LT(lightOverBar, 150 * 24 / 2);
    EXPECT_GT(redOverRest, 20);
    EXPECT_LT(redOverRest, 150 * 24 / 2);
    EXPECT_EQ(otherColours, 0);
    // Away from the centred text each side shows its plain colour.
    EXPECT_EQ(CountPixels(image, 0, 0, 20, 24, red), 20 * 24);
    EXPECT_EQ(CountPixels(image, 280, 0, 300, 24, white), 20 * 24);
}

TEST_F(TextProgressPaintTest, TextShowsInItsColourOverBothParts) {
    Send(PBM_SETBKCOLOR, 0, 0x00FFFFFF);
    Send(TPM_SETTEXTCOLOR, 0, 0x00FF0000);
    Send(WM_SETTEXT, 0, reinterpret_cast<LPARAM>("Idle Idle Idle Idle"));
    Send(PBM_SETPOS, 128);
    const Image image = CaptureClient(bar_);
    SaveScreenshot(image, "text_progress_idle.png");
    const std::uint32_t blue = 0x0000FF;
    EXPECT_GT(CountPixels(image, 0, 0, 150, 24, blue), 10);
    EXPECT_GT(CountPixels(image, 150, 0, 300, 24, blue), 10);
}

TEST_F(TextProgressPaintTest, AutomaticColoursShowTheTextInTheSystemTextColour) {
    Send(TPM_SETTEXTCOLOR, 0, 0xFFFFFFFF);
    Send(WM_SETTEXT, 0, reinterpret_cast<LPARAM>("Idle"));
    const Image image = CaptureClient(bar_);
    EXPECT_GT(CountPixels(image, 0, 0, 300, 24, PixelOf(GetSysColor(COLOR_BTNTEXT))), 10);
}

TEST(TextProgressResources, CreatingPaintingAndDestroyingFreesEveryGdiObject) {
    RegisterTextProgressClass(GetModuleHandleA(nullptr));
    ASSERT_GT(GdiCounter::Redirected(), 0);
    TestHost host(400, 100);
    const std::optional<DWORD> systemBefore = SystemGdiObjects();
    GdiCounter counter;
    HWND bar = host.CreateChild("KVTEXTPROGRESS", "", 0, 0, 300, 24);
    EXPECT_EQ(counter.Live(), 1) << "the control's own font";
    SendMessageA(bar, TPM_SETTEXTCOLOR, 0, 0xFFFFFFFF);
    SendMessageA(bar, PBM_SETBKCOLOR, 0, 0x00FFFFFF);
    SendMessageA(bar, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("Two colours"));
    SendMessageA(bar, PBM_SETPOS, 100, 0);
    CaptureClient(bar);
    EXPECT_EQ(counter.Live(), 1) << "a paint keeps nothing";
    DestroyWindow(bar);
    EXPECT_EQ(counter.Live(), 0);
    if (systemBefore) {
        EXPECT_LE(SystemGdiObjects().value_or(0), *systemBefore);
    }
}

} // namespace

namespace {

// An in-memory dialog template with one KVTEXTPROGRESS control whose caption must never show.
std::vector<WORD> ProgressDialogTemplate(const char* caption) {
    std::vector<WORD> words;
    const auto dword = [&](DWORD value) {
        words.push_back(LOWORD(value));
        words.push_back(HIWORD(value));
    };
    const auto text = [&](const char* s) {
        for (; *s != '\0'; ++s) {
            words.push_back(static_cast<WORD>(*s));
        }
        words.push_back(0);
    };
    dword(WS_POPUP | DS_SETFONT);
    dword(0);                                      // extended style
    words.insert(words.end(), {1, 0, 0, 200, 40}); // one item, x, y, cx, cy
    words.insert(words.end(), {0, 0, 0});          // no menu, default class, no title
    words.push_back(8);                            // font size
    text("MS Shell Dlg");
    if (words.size() % 2 != 0) {
        words.push_back(0); // items start on a DWORD boundary
    }
    dword(WS_CHILD | WS_VISIBLE);
    dword(0);
    words.insert(words.end(), {5, 5, 190, 14, 1001}); // x, y, cx, cy, id
    text("KVTEXTPROGRESS");
    text(caption);
    words.push_back(0); // no creation data
    return words;
}

TEST(TextProgressInDialog, IsCreatedFromATemplateWithoutItsCaption) {
    RegisterTextProgressClass(GetModuleHandleA(nullptr));
    const std::vector<WORD> dialogTemplate = ProgressDialogTemplate("Operation Status");
    HWND dialog = CreateDialogIndirectParamA(
        GetModuleHandleA(nullptr), reinterpret_cast<const DLGTEMPLATE*>(dialogTemplate.data()), nullptr,
        [](HWND, UINT, WPARAM, LPARAM) -> INT_PTR { return FALSE; }, 0);
    ASSERT_NE(dialog, nullptr);
    HWND bar = GetDlgItem(dialog, 1001);
    ASSERT_NE(bar, nullptr);
    char text[64] = "unchanged";
    EXPECT_EQ(SendMessageA(bar, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text)), 0);
    EXPECT_STREQ(text, "");
    ShowWindow(dialog, SW_SHOWNOACTIVATE);
    const Image image = CaptureClient(bar);
    ASSERT_GT(image.width, 0);
    EXPECT_EQ(CountPixels(image, 0, 0, image.width, image.height, PixelOf(GetSysColor(COLOR_BTNFACE))),
              image.width * image.height)
        << "an empty bar with no text";
    DestroyWindow(dialog);
}

} // namespace
