// The inset button on a real edit field under Wine, driven with the mouse messages the system
// sends for a press and release: hit-test, non-client press, captured moves and release.
#include "control_test_support.h"
#include "gdi_counter.h"
#include "inset_button.h"
#include "window_capture.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <string>
#include <utility>
#include <vector>

namespace {

constexpr UINT kCommand = 10000;
constexpr int kWidth = 18;

class InsetButtonTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_NE(field_, nullptr);
        GetClientRect(field_, &plainClient_);
        ASSERT_EQ(AttachInsetButton(field_, kCommand, "...", kWidth), 1);
        GetWindowRect(field_, &window_);
        PumpMessages();
    }

    // The middle of the button and a point in the text area, in screen coordinates.
    POINT OnButton() const { return {window_.right - 3 - kWidth / 2, (window_.top + window_.bottom) / 2}; }
    POINT OnText() const { return {window_.left + 20, (window_.top + window_.bottom) / 2}; }

    LPARAM ClientPoint(POINT screen) const {
        ScreenToClient(field_, &screen);
        return MAKELPARAM(screen.x, screen.y);
    }

    // What the system does for a press: hit-test, then the non-client or client button-down.
    void Press(POINT screen, bool doubleClick = false) {
        const LRESULT hit = SendMessageA(field_, WM_NCHITTEST, 0, MAKELPARAM(screen.x, screen.y));
        if (hit == HTCLIENT) {
            SendMessageA(field_, doubleClick ? WM_LBUTTONDBLCLK : WM_LBUTTONDOWN, MK_LBUTTON,
                         ClientPoint(screen));
        } else {
            SendMessageA(field_, doubleClick ? WM_NCLBUTTONDBLCLK : WM_NCLBUTTONDOWN, hit,
                         MAKELPARAM(screen.x, screen.y));
        }
    }
    // While the field holds the capture, moves and the release come to it in client coordinates.
    void Move(POINT screen) { SendMessageA(field_, WM_MOUSEMOVE, MK_LBUTTON, ClientPoint(screen)); }
    void Release(POINT screen) { SendMessageA(field_, WM_LBUTTONUP, 0, ClientPoint(screen)); }

    // The button's commands; the field's own notifications (EN_SETFOCUS and the like) are not.
    int Commands() {
        int count = 0;
        for (const ReceivedCommand& command : host_.commands()) {
            if (LOWORD(command.wParam) == kCommand) {
                EXPECT_EQ(HIWORD(command.wParam), 0);
                EXPECT_EQ(command.lParam, 0);
                ++count;
            }
        }
        return count;
    }

    // The button's extent along the field's middle row, in screen coordinates, found by hit-testing.
    std::pair<int, int> ButtonSpan() const {
        const int y = (window_.top + window_.bottom) / 2;
        int left = window_.right;
        int right = window_.left;
        for (int x = window_.left; x < window_.right; ++x) {
            if (SendMessageA(field_, WM_NCHITTEST, 0, MAKELPARAM(x, y)) == HTBORDER) {
                left = std::min(left, x);
                right = std::max(right, x + 1);
            }
        }
        return {left, right};
    }

    TestHost host_{300, 100};
    HWND field_ = host_.CreateChild("EDIT", "", 10, 10, 240, 24, 7, ES_AUTOHSCROLL, WS_EX_CLIENTEDGE);
    RECT plainClient_{};
    RECT window_{};
};

TEST_F(InsetButtonTest, HitTestAnswersBorderOverTheButtonOnly) {
    const POINT button = OnButton();
    EXPECT_EQ(SendMessageA(field_, WM_NCHITTEST, 0, MAKELPARAM(button.x, button.y)), HTBORDER);
    const POINT text = OnText();
    EXPECT_EQ(SendMessageA(field_, WM_NCHITTEST, 0, MAKELPARAM(text.x, text.y)), HTCLIENT);
}

// One step of a gesture, and where on the field it happens.
enum class Act { kPress, kDoublePress, kMove, kRelease, kLoseCapture };
enum class Where { kButton, kText };
struct Step {
    Act act;
    Where where;
};

TEST_F(InsetButtonTest, ClicksPostTheCommandOnlyWhenTheyCompleteOnTheButton) {
    struct Gesture {
        const char* name;
        std::vector<Step> steps;
        int commands;
    } gestures[] = {
        {"a completed click", {{Act::kPress, Where::kButton}, {Act::kRelease, Where::kButton}}, 1},
        {"a release elsewhere",
         {{Act::kPress, Where::kButton}, {Act::kMove, Where::kText}, {Act::kRelease, Where::kText}},
         0},
        {"moving back over the button before the release",
         {{Act::kPress, Where::kButton},
          {Act::kMove, Where::kText},
          {Act::kMove, Where::kButton},
          {Act::kRelease, Where::kButton}},
         1},
        {"a double click",
         {{Act::kPress, Where::kButton},
          {Act::kRelease, Where::kButton},
          {Act::kDoublePress, Where::kButton},
          {Act::kRelease, Where::kButton}},
         2},
        {"presses on the text area",
         {{Act::kPress, Where::kText},
          {Act::kRelease, Where::kText},
          {Act::kDoublePress, Where::kText},
          {Act::kRelease, Where::kText}},
         0},
        {"losing the capture mid-click",
         {{Act::kPress, Where::kButton},
          {Act::kLoseCapture, Where::kButton},
          {Act::kRelease, Where::kButton}},
         0},
    };
    for (const Gesture& gesture : gestures) {
        SCOPED_TRACE(gesture.name);
        const int before = Commands();
        int released = before;
        for (const Step& step : gesture.steps) {
            const POINT at = step.where == Where::kButton ? OnButton() : OnText();
            switch (step.act) {
            case Act::kPress:
            case Act::kDoublePress:
                Press(at, step.act == Act::kDoublePress);
                if (step.where == Where::kButton) {
                    EXPECT_EQ(GetCapture(), field_) << "a press on the button takes the mouse";
                }
                break;
            case Act::kMove:
                Move(at);
                break;
            case Act::kRelease:
                Release(at);
                EXPECT_EQ(GetCapture(), nullptr) << "a release gives the mouse back";
                released = Commands();
                break;
            case Act::kLoseCapture:
                ReleaseCapture();
                break;
            }
            if (step.act != Act::kRelease) {
                EXPECT_EQ(Commands(), released) << "nothing is posted before a release";
            }
        }
        EXPECT_EQ(Commands() - before, gesture.commands);
    }
}

TEST_F(InsetButtonTest, TypedTextNeverRunsUnderTheButton) {
    const auto [buttonLeft, buttonRight] = ButtonSpan();
    EXPECT_EQ(buttonRight - buttonLeft, kWidth);
    RECT client;
    GetClientRect(field_, &client);
    EXPECT_EQ(client.right, plainClient_.right - kWidth) << "the client area gives up the button's width";
    POINT clientRight{client.right, 0};
    ClientToScreen(field_, &clientRight);
    EXPECT_LE(clientRight.x, buttonLeft) << "the client area ends where the button begins";

    POINT origin{window_.left, window_.top};
    ScreenToClient(host_.window(), &origin);
    const int top = origin.y + 2;
    const int bottom = origin.y + (window_.bottom - window_.top) - 2;
    const int left = origin.x + 2;
    const int split = origin.x + (buttonLeft - window_.left);
    const int right = origin.x + (buttonRight - window_.left);

    const Image before = CaptureClient(host_.window());
    for (int i = 0; i < 80; ++i) {
        SendMessageA(field_, WM_CHAR, 'W', 0);
    }
    char text[100] = {};
    GetWindowTextA(field_, text, sizeof text);
    EXPECT_EQ(std::string(text), std::string(80, 'W')) << "the field keeps its own behaviour";
    const Image after = CaptureClient(host_.window());
    SaveScreenshot(after, "inset_button_with_text.png");

    // The button's pixels are the same before and after typing; the text area's are not.
    int changedUnderButton = 0;
    int changedInText = 0;
    for (int y = top; y < bottom; ++y) {
        for (int x = left; x < right; ++x) {
            const bool changed = before.At(x, y) != after.At(x, y);
            (x >= split ? changedUnderButton : changedInText) += changed ? 1 : 0;
        }
    }
    EXPECT_EQ(changedUnderButton, 0);
    EXPECT_GT(changedInText, 100);
}

TEST_F(InsetButtonTest, ButtonShowsItsCaptionAndThePressedLook) {
    const auto [buttonLeft, buttonRight] = ButtonSpan();
    const Image idle = CaptureClient(host_.window());
    SaveScreenshot(idle, "inset_button_idle.png");
    Press(OnButton());
    const Image pressed = CaptureClient(host_.window());
    SaveScreenshot(pressed, "inset_button_pressed.png");
    Release(OnText());

    POINT origin{window_.left, window_.top};
    ScreenToClient(host_.window(), &origin);
    const int left = origin.x + (buttonLeft - window_.left);
    const int right = origin.x + (buttonRight - window_.left);
    const int top = origin.y + 2;
    const int bottom = origin.y + (window_.bottom - window_.top) - 2;
    const std::uint32_t face = PixelOf(GetSysColor(COLOR_BTNFACE));
    EXPECT_GT(CountPixels(idle, left, top, right, bottom, face), kWidth * 8);
    // Inside the button's edges only the caption is darker than the face.
    int dark = 0;
    int differing = 0;
    for (int y = top + 3; y < bottom - 3; ++y) {
        for (int x = left + 3; x < right - 3; ++x) {
            dark += (idle.At(x, y) & 0xFF) < 0xA0 ? 1 : 0;
            differing += idle.At(x, y) != pressed.At(x, y) ? 1 : 0;
        }
    }
    EXPECT_GT(dark, 0) << "the caption";
    EXPECT_GT(differing, 0) << "a pressed button looks different";
}

TEST_F(InsetButtonTest, AFieldTakesOneButton) {
    EXPECT_EQ(AttachInsetButton(field_, kCommand + 1, "x", 10), 0);
    Press(OnButton());
    Release(OnButton());
    ASSERT_EQ(Commands(), 1);
}

// The same clicks as a user makes them: mouse input that the system hit-tests and routes itself.
// Each event carries its own time, 10 ms after the one before, so whether two clicks make a
// double click depends on these times alone and not on how fast a loaded machine runs the test.
class InsetButtonInputTest : public InsetButtonTest {
  protected:
    void MouseTo(POINT screen) {
        INPUT input{};
        input.type = INPUT_MOUSE;
        input.mi.dx = MulDiv(screen.x, 65535, GetSystemMetrics(SM_CXSCREEN) - 1);
        input.mi.dy = MulDiv(screen.y, 65535, GetSystemMetrics(SM_CYSCREEN) - 1);
        input.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
        Send(input);
    }
    void Button(DWORD flag) {
        INPUT input{};
        input.type = INPUT_MOUSE;
        input.mi.dwFlags = flag;
        Send(input);
    }
    void Send(INPUT& input) {
        time_ += 10;
        input.mi.time = time_;
        SendInput(1, &input, sizeof input);
        PumpMessages();
    }
    // Lets more than the double-click time pass on the events' clock.
    void PauseLongerThanADoubleClick() { time_ += GetDoubleClickTime() + 50; }
    void Click(POINT down, POINT up) {
        MouseTo(down);
        Button(MOUSEEVENTF_LEFTDOWN);
        MouseTo(up);
        Button(MOUSEEVENTF_LEFTUP);
    }

    DWORD time_ = GetTickCount();
};

TEST_F(InsetButtonInputTest, ClicksFromTheMouseAreCountedAsTheyComplete) {
    Click(OnButton(), OnButton());
    EXPECT_EQ(Commands(), 1);
    Click(OnButton(), OnText());
    EXPECT_EQ(Commands(), 1) << "released elsewhere";
    Click(OnText(), OnButton());
    EXPECT_EQ(Commands(), 1) << "pressed elsewhere";

    // Two quick clicks: the second press arrives as a double click and completes a second command.
    static int doubleClicks = 0;
    static WNDPROC inset = nullptr;
    inset = reinterpret_cast<WNDPROC>(GetWindowLongPtrA(field_, GWLP_WNDPROC));
    const auto watching = [](HWND window, UINT message, WPARAM wParam, LPARAM lParam) -> LRESULT {
        doubleClicks += message == WM_NCLBUTTONDBLCLK ? 1 : 0;
        return CallWindowProcA(inset, window, message, wParam, lParam);
    };
    SetWindowLongPtrA(field_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(+watching));
    PauseLongerThanADoubleClick();
    Click(OnButton(), OnButton());
    Click(OnButton(), OnButton());
    EXPECT_EQ(doubleClicks, 1);
    EXPECT_EQ(Commands(), 3);
    EXPECT_EQ(GetCapture(), nullptr);
    SetWindowLongPtrA(field_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(inset));
}

TEST(InsetButtonResources, DrawingAndDestroyingKeepNoDeviceContext) {
    ASSERT_GT(GdiCounter::Redirected(), 0);
    TestHost host(300, 100);
    GdiCounter counter;
    HWND field = host.CreateChild("EDIT", "", 10, 10, 240, 24, 7, 0, WS_EX_CLIENTEDGE);
    ASSERT_EQ(AttachInsetButton(field, kCommand, "...", kWidth), 1);
    RedrawWindow(field, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW);
    CaptureClient(host.window());
    DestroyWindow(field);
    EXPECT_EQ(counter.Live(), 0);
}

} // namespace
