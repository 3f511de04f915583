// The dialog against the virtual emulator on a COM port (a paced banked model, started by the
// test script): detection, the large-bin suggestion, write, verify and read with the progress
// bar, cancel of a long write, and monitoring.
#include "dialog_session.h"
#include "resource_ids.h"
#include "temp_dir.h"
#include "window_capture.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <cstring>
#include <set>

namespace {

constexpr int kDetectionTimeoutMs = 60000;
constexpr int kOperationTimeoutMs = 60000;
constexpr COLORREF kBlue = 0x00FF0000;
constexpr COLORREF kWhite = 0x00FFFFFF;

bool Contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

std::string ExpectedModel() {
    const char* model = std::getenv("TEVRIX_GUI_MODEL");
    return model != nullptr ? model : "";
}

// Counts the looks at the file that monitoring makes from now on: each ends by setting the
// status text "Monitoring". The status control is subclassed while the counter lives.
class PollCounter {
  public:
    explicit PollCounter(HWND status) : status_(status) {
        polls_ = 0;
        original_ = reinterpret_cast<WNDPROC>(
            SetWindowLongPtrA(status, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&PollCounter::Proc)));
    }
    ~PollCounter() { SetWindowLongPtrA(status_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(original_)); }
    PollCounter(const PollCounter&) = delete;
    PollCounter& operator=(const PollCounter&) = delete;

    int Count() const { return polls_; }

  private:
    static LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
        if (message == WM_SETTEXT && lParam != 0 &&
            std::strcmp(reinterpret_cast<const char*>(lParam), "Monitoring") == 0) {
            ++polls_;
        }
        return CallWindowProcA(original_, window, message, wParam, lParam);
    }

    static inline std::atomic<int> polls_{0};
    static inline WNDPROC original_ = nullptr;
    HWND status_;
};

// Samples the progress bar while an operation runs, until Execute is enabled again.
struct ProgressTrace {
    std::set<LRESULT> positions;
    bool ended = false;
};

class WithEmulator : public testing::Test {
  protected:
    void SetUp() override {
        ASSERT_NE(session_.dialog(), nullptr) << "the dialog did not show";
        ASSERT_TRUE(WaitUntil([&] { return Contains(session_.Log(), "\r\n"); }, kDetectionTimeoutMs))
            << session_.Log();
        ASSERT_TRUE(session_.Enabled(IDC_EXECUTE)) << session_.Log();
    }

    // Chooses the operation, types the path and presses Execute.
    void Execute(int operation, const std::string& path) {
        SendMessageA(session_.Item(IDC_OPERATION), CB_SETCURSEL, operation, 0);
        SendMessageA(session_.Item(IDC_FILE_PATH), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(path.c_str()));
        session_.Click(IDC_EXECUTE);
    }

    // Waits for the operation to end, noting the progress bar's positions; `onMoving` runs once,
    // the first time the bar stands above 0.
    ProgressTrace WatchOperation(const std::function<void()>& onMoving = {}) {
        ProgressTrace trace;
        bool movingSeen = false;
        trace.ended = WaitUntil(
            [&] {
                const LRESULT position = SendMessageA(session_.Item(IDC_STATUS), PBM_GETPOS, 0, 0);
                trace.positions.insert(position);
                if (position > 0 && !movingSeen) {
                    movingSeen = true;
                    if (onMoving) {
                        onMoving();
                    }
                }
                return session_.Enabled(IDC_EXECUTE);
            },
            kOperationTimeoutMs);
        return trace;
    }

    void ExpectReady() {
        EXPECT_TRUE(session_.Enabled(IDC_EXECUTE));
        EXPECT_FALSE(session_.Enabled(IDC_CANCEL_OP));
        EXPECT_EQ(session_.ItemText(IDC_STATUS), "Idle");
    }

    // The colour in the middle of the status control's left edge, where the text never is.
    COLORREF StatusBackground() {
        const Image image = CaptureClient(session_.Item(IDC_STATUS));
        const std::uint32_t rgb = image.At(2, image.height / 2);
        return RGB((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF);
    }

    // How many pixels of the status control show exactly this colour.
    int StatusPixels(COLORREF colour) {
        const Image image = CaptureClient(session_.Item(IDC_STATUS));
        int count = 0;
        for (std::uint32_t rgb : image.pixels) {
            count += RGB((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF) == colour ? 1 : 0;
        }
        return count;
    }

    // Puts the status control's bar where a transfer would: empty, or across the whole control.
    void SetBar(bool full) {
        HWND status = session_.Item(IDC_STATUS);
        SendMessageA(status, PBM_SETRANGE32, 0, 100);
        SendMessageA(status, PBM_SETPOS, full ? 100 : 0, 0);
    }

    // The status text shows in one colour over the background and in the other over the bar: with
    // the bar across the whole control, the text's pixels have the background's colour.
    void ExpectReadableStatus(COLORREF background, COLORREF bar, const char* state) {
        SetBar(false);
        EXPECT_EQ(StatusBackground(), background) << state;
        EXPECT_GT(StatusPixels(bar), 10)
            << state << ": the text shows in the bar's colour over the background";
        SetBar(true);
        EXPECT_EQ(StatusBackground(), bar) << state;
        EXPECT_GT(StatusPixels(background), 10)
            << state << ": the text shows in the background's colour over the bar";
        SaveScreenshot(session_.dialog(), std::string("dialog_status_") + state + ".png");
        SetBar(false);
    }

    DialogSession session_;
    TempDir dir_;
};

TEST_F(WithEmulator, DetectionNamesTheDeviceAfterABlankLine) {
    const std::string log = session_.Log();
    const std::string head = "Detecting Hardware...\r\n\r\nFound: ";
    ASSERT_EQ(log.substr(0, head.size()), head);
    EXPECT_GT(log.size(), head.size());
    const std::string found = log.substr(head.size());
    EXPECT_TRUE(Contains(found, ExpectedModel())) << log;
    // Then the port and rate, on a line of their own, and nothing more.
    const std::size_t portLine = found.find("\r\nPort: COM");
    ASSERT_NE(portLine, std::string::npos) << log;
    EXPECT_FALSE(Contains(found.substr(0, portLine), "\r\n")) << log;
    EXPECT_FALSE(Contains(found.substr(portLine + 2), "\r\n")) << log;
    EXPECT_EQ(found.substr(found.size() - 5), " baud") << log;
    EXPECT_FALSE(session_.Enabled(IDC_CANCEL_OP));
    EXPECT_TRUE(session_.Enabled(IDC_LARGE)) << "a banked device offers large-bin support";
    SaveScreenshot(session_.dialog(), "dialog_idle.png");
}

TEST_F(WithEmulator, TheIdleStatusTextStaysReadableWhereverTheBarStands) {
    ExpectReadableStatus(kWhite, kBlue, "idle");
}

TEST_F(WithEmulator, A128KbFileChecksLargeRamSupportButExactly64KbDoesNot) {
    const std::string large = dir_.Path("large.bin");
    const std::string exact = dir_.Path("exact.bin");
    ASSERT_TRUE(WriteFileBytes(large, Pattern(0x20000, 2)));
    ASSERT_TRUE(WriteFileBytes(exact, Pattern(0x10000, 3)));

    ASSERT_TRUE(session_.ChooseFile(large));
    EXPECT_EQ(session_.ItemText(IDC_TRANSFER_SIZE), "0x20000");
    EXPECT_TRUE(session_.Checked(IDC_LARGE));
    const std::string message = "\r\nFile is larger than 64 KB. Defaulting to large-bin support. If this is "
                                "not desired, uncheck the box.";
    const std::string log = session_.Log();
    ASSERT_GE(log.size(), message.size());
    EXPECT_EQ(log.substr(log.size() - message.size()), message);

    session_.Click(IDC_LARGE);
    ASSERT_FALSE(session_.Checked(IDC_LARGE));
    ASSERT_TRUE(session_.ChooseFile(exact));
    EXPECT_EQ(session_.ItemText(IDC_TRANSFER_SIZE), "0x10000");
    EXPECT_FALSE(session_.Checked(IDC_LARGE));
    EXPECT_EQ(session_.Log(), log) << "nothing more is logged";
}

TEST_F(WithEmulator, WriteVerifyAndReadRunWithTheProgressBarMoving) {
    const std::string image = dir_.Path("image.bin");
    const std::string back = dir_.Path("back.bin");
    const std::vector<std::uint8_t> bytes = Pattern(0x4000, 4);
    ASSERT_TRUE(WriteFileBytes(image, bytes));

    Execute(1, image);
    EXPECT_FALSE(session_.Enabled(IDC_EXECUTE));
    EXPECT_TRUE(session_.Enabled(IDC_CANCEL_OP));
    ProgressTrace write = WatchOperation([&] { SaveScreenshot(session_.dialog(), "dialog_transfer.png"); });
    ASSERT_TRUE(write.ended) << session_.Log();
    EXPECT_GE(write.positions.size(), 3u) << "the bar moved through several positions";
    EXPECT_TRUE(
        Contains(session_.Log(), "\r\nWriting 0x4000 bytes from file address 0x00 to emulator address 0x"))
        << session_.Log();
    EXPECT_TRUE(Contains(session_.Log(), " (Backfill)...\r\nSUCCESS: Operation completed..."))
        << session_.Log();
    ExpectReady();

    Execute(2, image);
    ProgressTrace verify = WatchOperation();
    ASSERT_TRUE(verify.ended) << session_.Log();
    EXPECT_GE(verify.positions.size(), 3u);
    // The size box says 0: the message names the size taken from the file.
    EXPECT_TRUE(Contains(session_.Log(), "\r\nVerifying 0x4000 bytes from emulator RAM..."))
        << session_.Log();
    EXPECT_TRUE(Contains(session_.Log(), "\r\nSUCCESS: Contents match. Operation completed..."))
        << session_.Log();
    ExpectReady();

    // A read has no file to take its size from.
    SendMessageA(session_.Item(IDC_TRANSFER_SIZE), WM_SETTEXT, 0, reinterpret_cast<LPARAM>("0x4000"));
    Execute(0, back);
    ProgressTrace read = WatchOperation();
    ASSERT_TRUE(read.ended) << session_.Log();
    EXPECT_GE(read.positions.size(), 3u);
    EXPECT_TRUE(Contains(session_.Log(), "\r\nReading 0x4000 bytes from emulator at address 0x"))
        << session_.Log();
    EXPECT_EQ(ReadFileBytes(back), bytes);
    ExpectReady();
    EXPECT_FALSE(Contains(session_.Log(), "FAILURE")) << session_.Log();
}

TEST_F(WithEmulator, CancelOpEndsALongWriteAsCanceledAndTheNextOperationRunsNormally) {
    const std::string image = dir_.Path("long.bin");
    ASSERT_TRUE(WriteFileBytes(image, Pattern(0x10000, 5)));

    Execute(1, image);
    ProgressTrace write = WatchOperation([&] { session_.Click(IDC_CANCEL_OP); });
    ASSERT_TRUE(write.ended) << session_.Log();
    EXPECT_TRUE(Contains(session_.Log(), "\r\nFAILURE: Emu write failed with CV_E_OPERATION_CANCELED"))
        << session_.Log();
    EXPECT_FALSE(Contains(session_.Log(), "SUCCESS")) << session_.Log();
    ExpectReady();

    const std::string small = dir_.Path("small.bin");
    ASSERT_TRUE(WriteFileBytes(small, Pattern(0x800, 6)));
    Execute(1, small);
    ASSERT_TRUE(WatchOperation().ended) << session_.Log();
    const std::string log = session_.Log();
    EXPECT_EQ(log.substr(log.size() - 31), "SUCCESS: Operation completed...") << log;
}

TEST_F(WithEmulator, MonitoringShowsInTitleAndColoursAndCancelOpEndsItAfterThePollInProgress) {
    const std::string image = dir_.Path("watched.bin");
    std::vector<std::uint8_t> bytes = Pattern(0x1000, 7);
    ASSERT_TRUE(WriteFileBytes(image, bytes));
    EXPECT_EQ(StatusBackground(), RGB(255, 255, 255));
    // Monitoring takes the file as what the emulator already holds.
    Execute(1, image);
    ASSERT_TRUE(WatchOperation().ended);

    Execute(3, image);
    ASSERT_TRUE(
        WaitUntil([&] { return session_.Text(session_.dialog()) == "Tevrix: MONITORING"; }, kEventTimeoutMs))
        << session_.Log();
    EXPECT_TRUE(WaitUntil([&] { return StatusBackground() == kBlue; }, kEventTimeoutMs));
    // "Monitoring" shows after each poll, so the file's first contents have been taken by then.
    ASSERT_TRUE(WaitUntil([&] { return session_.ItemText(IDC_STATUS) == "Monitoring"; }, kEventTimeoutMs));
    EXPECT_TRUE(Contains(session_.Log(), "\r\nMonitoring has begun"));
    ExpectReadableStatus(kBlue, kWhite, "monitoring");

    bytes[0x123] ^= 0xFF;
    ASSERT_TRUE(WriteFileBytes(image, bytes));
    EXPECT_TRUE(WaitUntil(
        [&] { return Contains(session_.Log(), "\r\nChanges detected. Uploaded 1 bytes in 1 blocks."); },
        kEventTimeoutMs))
        << session_.Log();
    EXPECT_EQ(session_.ItemText(IDC_STATUS), "Monitoring");
    SaveScreenshot(session_.dialog(), "dialog_monitoring.png");

    PollCounter polls(session_.Item(IDC_STATUS));
    session_.Click(IDC_CANCEL_OP);
    ASSERT_TRUE(WaitUntil([&] { return session_.Enabled(IDC_EXECUTE); }, kEventTimeoutMs)) << session_.Log();
    EXPECT_LE(polls.Count(), 1) << "monitoring ends after the poll in progress";
    EXPECT_EQ(session_.Text(session_.dialog()), "Tevrix");
    EXPECT_TRUE(Contains(session_.Log(), "\r\nMonitoring ended"));
    ExpectReady();
    EXPECT_EQ(StatusBackground(), RGB(255, 255, 255));

    // The emulator holds the file as it is now.
    Execute(2, image);
    ASSERT_TRUE(WatchOperation().ended);
    EXPECT_TRUE(Contains(session_.Log(), "\r\nSUCCESS: Contents match. Operation completed..."))
        << session_.Log();
}

} // namespace
