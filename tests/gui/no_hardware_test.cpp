// The dialog without usable hardware: with no emulator on any port (detection, the controls'
// initial state, the About box, resizing and the file chooser), and with a device that cannot
// emulate.
#include "dialog_session.h"
#include "resource_ids.h"
#include "temp_dir.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace {

constexpr int kDetectionTimeoutMs = 60000;

bool DetectionEnded(const DialogSession& session) {
    return session.Log().find("\r\n") != std::string::npos;
}

class NoHardware : public testing::Test {
  protected:
    void SetUp() override {
        ASSERT_NE(session_.dialog(), nullptr) << "the dialog did not show";
        ASSERT_TRUE(WaitUntil([&] { return DetectionEnded(session_); }, kDetectionTimeoutMs))
            << session_.Log();
    }

    void SetFocusTo(int id) {
        SendMessageA(session_.dialog(), WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(session_.Item(id)), TRUE);
    }

    DialogSession session_;
};

TEST_F(NoHardware, DetectionSaysSoAndExecuteStaysDisabled) {
    EXPECT_EQ(session_.Log(), "Detecting Hardware...\r\nNo hardware detected");
    EXPECT_FALSE(session_.Enabled(IDC_EXECUTE));
    EXPECT_FALSE(session_.Enabled(IDC_CANCEL_OP));
    EXPECT_EQ(session_.ItemText(IDC_STATUS), "Idle");
    EXPECT_EQ(session_.Text(session_.dialog()), "Tevrix");
    SaveScreenshot(session_.dialog(), "dialog_no_hardware.png");

    // Enter goes to the disabled default button and so does nothing; the dialog stays open. The
    // list's selection, posted after the key, changes once the key has been handled.
    HWND list = session_.Item(IDC_OPERATION);
    PostMessageA(list, WM_KEYDOWN, VK_RETURN, 0);
    PostMessageA(list, CB_SETCURSEL, 2, 0);
    EXPECT_TRUE(WaitUntil([&] { return SendMessageA(list, CB_GETCURSEL, 0, 0) == 2; }, kEventTimeoutMs));
    EXPECT_TRUE(IsWindowVisible(session_.dialog()));
}

TEST_F(NoHardware, ControlsStartWithTheirDefaultsAndEndJustifyGuardsTheRamAddress) {
    HWND list = session_.Item(IDC_OPERATION);
    const char* const names[] = {"Read from emulator to file", "Write from file to emulator",
                                 "Verify emulator RAM with file", "Monitor file for changes and upload"};
    ASSERT_EQ(SendMessageA(list, CB_GETCOUNT, 0, 0), 4);
    for (int i = 0; i < 4; ++i) {
        char text[64] = {};
        SendMessageA(list, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(text));
        EXPECT_STREQ(text, names[i]);
        EXPECT_EQ(SendMessageA(list, CB_GETITEMDATA, i, 0), i);
    }
    EXPECT_EQ(SendMessageA(list, CB_GETCURSEL, 0, 0), 0);
    EXPECT_EQ(session_.ItemText(IDC_FILE_PATH), "");
    EXPECT_EQ(session_.ItemText(IDC_FILE_ADDRESS), "0x0000");
    EXPECT_EQ(session_.ItemText(IDC_EMU_ADDRESS), "0x0000");
    EXPECT_EQ(session_.ItemText(IDC_TRANSFER_SIZE), "0x0000");
    EXPECT_TRUE(session_.Checked(IDC_END_JUSTIFY));
    EXPECT_FALSE(session_.Checked(IDC_LARGE));
    EXPECT_TRUE(session_.Enabled(IDC_LARGE));

    EXPECT_FALSE(session_.Enabled(IDC_EMU_ADDRESS));
    session_.Click(IDC_END_JUSTIFY);
    EXPECT_FALSE(session_.Checked(IDC_END_JUSTIFY));
    EXPECT_TRUE(session_.Enabled(IDC_EMU_ADDRESS));
    session_.Click(IDC_END_JUSTIFY);
    EXPECT_FALSE(session_.Enabled(IDC_EMU_ADDRESS));
}

TEST_F(NoHardware, LogFollowsTheDialogsSizeAndTheDialogNeverShrinksBelowItsFirstSize) {
    HWND dialog = session_.dialog();
    HWND log = session_.Item(IDC_LOG);
    RECT first;
    GetWindowRect(dialog, &first);
    const int firstWidth = first.right - first.left;
    const int firstHeight = first.bottom - first.top;

    auto logMatchesClient = [&] {
        RECT client;
        RECT logRect;
        GetClientRect(dialog, &client);
        GetWindowRect(log, &logRect);
        POINT topLeft{logRect.left, logRect.top};
        ScreenToClient(dialog, &topLeft);
        EXPECT_EQ(logRect.right - logRect.left, client.right - 15);
        EXPECT_EQ(logRect.bottom - logRect.top, client.bottom - topLeft.y - 15);
        return topLeft;
    };

    SetWindowPos(dialog, nullptr, 0, 0, firstWidth + 200, firstHeight + 150, SWP_NOMOVE | SWP_NOZORDER);
    const POINT grownTopLeft = logMatchesClient();
    RECT grownLog;
    GetWindowRect(log, &grownLog);

    SetWindowPos(dialog, nullptr, 0, 0, firstWidth + 40, firstHeight + 20, SWP_NOMOVE | SWP_NOZORDER);
    const POINT shrunkTopLeft = logMatchesClient();
    RECT shrunkLog;
    GetWindowRect(log, &shrunkLog);
    EXPECT_LT(shrunkLog.right - shrunkLog.left, grownLog.right - grownLog.left);
    EXPECT_LT(shrunkLog.bottom - shrunkLog.top, grownLog.bottom - grownLog.top);
    EXPECT_EQ(shrunkTopLeft.x, grownTopLeft.x);
    EXPECT_EQ(shrunkTopLeft.y, grownTopLeft.y);

    MINMAXINFO info{};
    SendMessageA(dialog, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info));
    EXPECT_EQ(info.ptMinTrackSize.x, firstWidth);
    EXPECT_EQ(info.ptMinTrackSize.y, firstHeight);
    SetWindowPos(dialog, nullptr, 0, 0, firstWidth / 2, firstHeight / 2, SWP_NOMOVE | SWP_NOZORDER);
    RECT tooSmall;
    GetWindowRect(dialog, &tooSmall);
    EXPECT_EQ(tooSmall.right - tooSmall.left, firstWidth);
    EXPECT_EQ(tooSmall.bottom - tooSmall.top, firstHeight);
}

TEST_F(NoHardware, AboutBoxShowsTheVersionAndClosesWithOk) {
    session_.PostCommand(IDM_ABOUT);
    HWND about = session_.FindThreadWindow("About", kEventTimeoutMs);
    ASSERT_NE(about, nullptr);
    EXPECT_EQ(GetWindow(about, GW_OWNER), session_.dialog());
    EXPECT_EQ(session_.Text(GetDlgItem(about, IDC_ABOUT_VERSION)), "1.00.0092.01");
    EXPECT_FALSE(IsWindowEnabled(session_.dialog())) << "the About box is modal";
    SaveScreenshot(about, "about_box.png");
    SendMessageA(GetDlgItem(about, IDOK), BM_CLICK, 0, 0);
    EXPECT_TRUE(WaitUntil([&] { return !IsWindow(about); }, kEventTimeoutMs));
    EXPECT_TRUE(IsWindowEnabled(session_.dialog()));
}

TEST_F(NoHardware, ChosenFileFillsPathAndSizeButExactly64KbSuggestsNoLargeBin) {
    TempDir dir;
    const std::string path = dir.Path("exact64k.bin");
    ASSERT_TRUE(WriteFileBytes(path, Pattern(0x10000, 1)));
    ASSERT_TRUE(session_.ChooseFile(path));
    EXPECT_EQ(session_.ItemText(IDC_FILE_PATH), path);
    EXPECT_EQ(session_.ItemText(IDC_TRANSFER_SIZE), "0x10000");
    EXPECT_FALSE(session_.Checked(IDC_LARGE));
    EXPECT_EQ(session_.Log().find("larger than 64 KB"), std::string::npos);
}

TEST_F(NoHardware, TheChooserOffersEachImageFormatAndARecordFileGivesItsFlatImagesSize) {
    EXPECT_EQ(
        session_.ChooserFileTypes(),
        (std::vector<std::string>{"All Files (*.*)", "Binary images (*.bin)", "Intel HEX (*.hex, *.ihx)",
                                  "S-records (*.s19, *.s28, *.s37, *.srec, *.mot)"}));
    TempDir dir;
    // Sixteen bytes at 0x1FFF0: one past the highest address is 0x20000, whatever the file's length.
    const std::string path = dir.Path("image.hex");
    const std::string text =
        ":020000021000EC\r\n:10FFF000000102030405060708090A0B0C0D0E0F89\r\n:00000001FF\r\n";
    ASSERT_TRUE(WriteFileBytes(path, std::vector<std::uint8_t>(text.begin(), text.end())));
    ASSERT_TRUE(session_.ChooseFile(path));
    EXPECT_EQ(session_.ItemText(IDC_TRANSFER_SIZE), "0x20000");
}

TEST_F(NoHardware, DefaultButtonMessageSharingTheDetectionNumberIsLeftToTheDialogManager) {
    SendMessageA(session_.dialog(), DM_SETDEFID, IDC_CANCEL_OP, 0);
    EXPECT_EQ(LOWORD(SendMessageA(session_.dialog(), DM_GETDEFID, 0, 0)), IDC_CANCEL_OP);
    EXPECT_EQ(session_.Log(), "Detecting Hardware...\r\nNo hardware detected");
}

TEST_F(NoHardware, EscapeNeverEndsTheDialogButTheCloseBoxDoesWhenNothingRuns) {
    // Escape in a field, in the list and in the log (a multi-line edit, which would turn it into a
    // close).
    for (int id : {IDC_TRANSFER_SIZE, IDC_OPERATION, IDC_LOG}) {
        SetFocusTo(id);
        session_.PressKey(VK_ESCAPE);
        EXPECT_TRUE(IsWindowVisible(session_.dialog())) << id;
    }
    EXPECT_FALSE(session_.WaitForEnd(500));
    PostMessageA(session_.dialog(), WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_TRUE(session_.WaitForEnd(kEventTimeoutMs)) << "nothing runs: no question";
}

TEST_F(NoHardware, TheWindowCanBeMinimisedAndTheAboutBoxOpensCentredOverIt) {
    EXPECT_NE(GetWindowLongA(session_.dialog(), GWL_STYLE) & WS_MINIMIZEBOX, 0);
    // Away from the screen's centre, so that centred on the screen would not pass.
    SetWindowPos(session_.dialog(), nullptr, 10, 20, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    session_.PostCommand(IDM_ABOUT);
    HWND about = session_.FindThreadWindow("About", kEventTimeoutMs);
    ASSERT_NE(about, nullptr);
    RECT outer;
    RECT inner;
    GetWindowRect(session_.dialog(), &outer);
    GetWindowRect(about, &inner);
    EXPECT_LE(std::abs((outer.left + outer.right) - (inner.left + inner.right)), 2);
    EXPECT_LE(std::abs((outer.top + outer.bottom) - (inner.top + inner.bottom)), 2);
    SendMessageA(GetDlgItem(about, IDOK), BM_CLICK, 0, 0);
    EXPECT_TRUE(WaitUntil([&] { return !IsWindow(about); }, kEventTimeoutMs));
}

TEST_F(NoHardware, FileDetectHardwareSearchesAgainAndTheBackgroundSearchStaysQuiet) {
    // The background looks again every two seconds; none of them adds a line.
    Sleep(5000);
    EXPECT_EQ(session_.Log(), "Detecting Hardware...\r\nNo hardware detected");
    session_.PostCommand(IDM_DETECT);
    // A search the user asks for tells its outcome, though it is the last one's.
    const std::string twice = "Detecting Hardware...\r\nNo hardware detected\r\nDetecting Hardware...\r\nNo "
                              "hardware detected";
    EXPECT_TRUE(WaitUntil([&] { return session_.Log() == twice; }, kEventTimeoutMs)) << session_.Log();
    Sleep(3000);
    EXPECT_EQ(session_.Log(), twice);
    EXPECT_FALSE(session_.Enabled(IDC_EXECUTE));
}

// Run by the test script with the port pinned and no emulator on it. The script starts one there
// when the file TEVRIX_GUI_SIGNAL names exists, stops it when that name with ".stop" exists
// (making the name with ".stopped" once it has), and starts it again for ".again".
class LateEmulator : public testing::Test {
  protected:
    static std::string Signal(const char* suffix) {
        const char* signal = std::getenv("TEVRIX_GUI_SIGNAL");
        return std::string(signal != nullptr ? signal : "") + suffix;
    }
    static bool Exists(const std::string& path) {
        return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
    }
    static std::size_t Count(const std::string& text, const std::string& part) {
        std::size_t count = 0;
        for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) {
            ++count;
        }
        return count;
    }

    void Write(const std::string& path) {
        SendMessageA(session_.Item(IDC_OPERATION), CB_SETCURSEL, 1, 0);
        SendMessageA(session_.Item(IDC_FILE_PATH), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(path.c_str()));
        session_.Click(IDC_EXECUTE);
    }

    DialogSession session_;
    TempDir dir_;
};

TEST_F(LateEmulator, OneStartedLaterIsFoundAndOneThatStopsAnsweringIsSearchedForAgain) {
    ASSERT_NE(std::getenv("TEVRIX_GUI_SIGNAL"), nullptr) << "the script names the signal file";
    ASSERT_NE(session_.dialog(), nullptr);
    ASSERT_TRUE(WaitUntil([&] { return DetectionEnded(session_); }, kDetectionTimeoutMs)) << session_.Log();
    ASSERT_EQ(session_.Log(), "Detecting Hardware...\r\nNo hardware detected");
    ASSERT_TRUE(WriteFileBytes(Signal(""), {1}));
    ASSERT_TRUE(WaitUntil([&] { return session_.Enabled(IDC_EXECUTE); }, 2 * kEventTimeoutMs))
        << session_.Log();
    const std::string head = "Detecting Hardware...\r\nNo hardware detected\r\n\r\nFound: ";
    EXPECT_EQ(session_.Log().substr(0, head.size()), head) << "the looks in between say nothing";
    SaveScreenshot(session_.dialog(), "dialog_found_later.png");

    // The emulator goes away while the dialog is idle: the next write fails, and the dialog
    // searches again by itself until it is back.
    ASSERT_TRUE(WriteFileBytes(Signal(".stop"), {1}));
    ASSERT_TRUE(WaitUntil([&] { return Exists(Signal(".stopped")); }, kEventTimeoutMs));
    const std::string image = dir_.Path("image.bin");
    ASSERT_TRUE(WriteFileBytes(image, Pattern(0x400, 3)));
    Write(image);
    ASSERT_TRUE(
        WaitUntil([&] { return Count(session_.Log(), "Detecting Hardware...") == 2; }, kEventTimeoutMs))
        << session_.Log();
    EXPECT_TRUE(session_.Log().find("\r\nFAILURE: Emu write failed with ") != std::string::npos)
        << session_.Log();
    EXPECT_EQ(session_.ItemText(IDC_STATUS), "Failed");
    EXPECT_FALSE(session_.Enabled(IDC_EXECUTE)) << "until the emulator is found again";
    SaveScreenshot(session_.dialog(), "dialog_searching_again.png");

    // Restarted, it is found again and takes the next write.
    ASSERT_TRUE(WriteFileBytes(Signal(".again"), {1}));
    ASSERT_TRUE(WaitUntil([&] { return session_.Enabled(IDC_EXECUTE); }, 2 * kEventTimeoutMs))
        << session_.Log();
    EXPECT_EQ(Count(session_.Log(), "\r\n\r\nFound: "), 2u) << session_.Log();
    Write(image);
    ASSERT_TRUE(
        WaitUntil([&] { return session_.Enabled(IDC_OPERATION) && session_.ItemText(IDC_STATUS) == "Done"; },
                  kEventTimeoutMs))
        << session_.Log();
    const std::string log = session_.Log();
    EXPECT_EQ(log.substr(log.size() - 31), "SUCCESS: Operation completed...") << log;
}

// Run by the test script with a simulated device that answers but has no emulation capability.
TEST(NotCapable, DetectionSaysSoAndExecuteStaysDisabled) {
    DialogSession session;
    ASSERT_NE(session.dialog(), nullptr);
    ASSERT_TRUE(WaitUntil([&] { return DetectionEnded(session); }, kDetectionTimeoutMs)) << session.Log();
    EXPECT_EQ(session.Log(), "Detecting Hardware...\r\nAttached hardware is not capable of emulation");
    EXPECT_FALSE(session.Enabled(IDC_EXECUTE));
    EXPECT_FALSE(session.Enabled(IDC_CANCEL_OP));
}

} // namespace
