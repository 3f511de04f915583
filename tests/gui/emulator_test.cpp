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
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <set>

namespace {

constexpr int kDetectionTimeoutMs = 60000;
constexpr int kOperationTimeoutMs = 60000;
constexpr COLORREF kBlue = 0x00FF0000;
constexpr COLORREF kWhite = 0x00FFFFFF;
constexpr COLORREF kGreen = 0x00008000;
constexpr COLORREF kRed = 0x000000C0;

// The parameter controls, which are locked while an operation runs.
constexpr int kParameterControls[] = {IDC_OPERATION,   IDC_FILE_PATH,   IDC_BROWSE,        IDC_FILE_ADDRESS,
                                      IDC_END_JUSTIFY, IDC_EMU_ADDRESS, IDC_TRANSFER_SIZE, IDC_LARGE};

// "Writing 37%, 24576 of 65536 bytes" for some share of `bytes`.
bool IsTransferText(const std::string& text, const char* verb, std::uint32_t bytes) {
    unsigned percent = 0;
    unsigned done = 0;
    unsigned total = 0;
    char tail[32] = {};
    const std::string format = std::string(verb) + " %u%%, %u of %u %31s";
    return std::sscanf(text.c_str(), format.c_str(), &percent, &done, &total, tail) == 4 &&
           std::strcmp(tail, "bytes") == 0 && total == bytes && done <= total && percent <= 100 &&
           percent == static_cast<unsigned>(std::uint64_t{done} * 100 / total);
}

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
                return Ended();
            },
            kOperationTimeoutMs);
        return trace;
    }

    // The dialog has taken the operation's end: Execute on and the fields unlocked.
    bool Ended() { return session_.Enabled(IDC_EXECUTE) && session_.Enabled(IDC_OPERATION); }

    void ExpectReady(const char* outcome = "Done") {
        EXPECT_TRUE(session_.Enabled(IDC_EXECUTE));
        EXPECT_FALSE(session_.Enabled(IDC_CANCEL_OP));
        EXPECT_EQ(session_.ItemText(IDC_STATUS), outcome);
        EXPECT_EQ(session_.Focused(), session_.Item(IDC_EXECUTE)) << "the keyboard is back on Execute";
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
    EXPECT_TRUE(Contains(log.substr(head.size()), ExpectedModel())) << log;
    EXPECT_FALSE(Contains(log.substr(head.size()), "\r\n"));
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
    std::string moving;
    ProgressTrace write = WatchOperation([&] {
        moving = session_.ItemText(IDC_STATUS);
        SaveScreenshot(session_.dialog(), "dialog_transfer.png");
    });
    ASSERT_TRUE(write.ended) << session_.Log();
    EXPECT_TRUE(IsTransferText(moving, "Writing", 0x4000)) << moving;
    EXPECT_GE(write.positions.size(), 3u) << "the bar moved through several positions";
    EXPECT_TRUE(
        Contains(session_.Log(), "\r\nWriting 0x4000 bytes from file address 0x00 to emulator address 0x"))
        << session_.Log();
    EXPECT_TRUE(Contains(session_.Log(), " (Backfill)...\r\nSUCCESS: Operation completed..."))
        << session_.Log();
    ExpectReady();
    EXPECT_GT(StatusPixels(kGreen), 10) << "the outcome shows in green";
    SaveScreenshot(session_.dialog(), "dialog_status_done.png");

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

TEST_F(WithEmulator, AVerifyShowsWhereItDiffersAndAMissingFileIsNotCreated) {
    const std::string image = dir_.Path("image.bin");
    const std::string other = dir_.Path("other.bin");
    std::vector<std::uint8_t> bytes(0x100, 0x00);
    ASSERT_TRUE(WriteFileBytes(image, bytes));
    bytes[7] = 0x5A;
    ASSERT_TRUE(WriteFileBytes(other, bytes));
    Execute(1, image);
    ASSERT_TRUE(WatchOperation().ended) << session_.Log();

    Execute(2, other);
    ASSERT_TRUE(WatchOperation().ended) << session_.Log();
    // The emulator address depends on the bank the device emulates; the rest of the line does not.
    const std::string where = "(file address 0x7), 1 bytes: emulator 00, file 5A\r\n"
                              "FAILURE: Buffers do NOT match! 1 bytes different. Operation completed";
    EXPECT_TRUE(Contains(session_.Log(),
                         "\r\nVerifying 0x100 bytes from emulator RAM...\r\nDifference at emulator "
                         "address 0x"))
        << session_.Log();
    EXPECT_TRUE(Contains(session_.Log(), where)) << session_.Log();
    ExpectReady("Failed");

    const std::string missing = dir_.Path("missing.bin");
    Execute(2, missing);
    ASSERT_TRUE(WatchOperation().ended) << session_.Log();
    const std::string log = session_.Log();
    // The file, then the system's reason.
    const std::string failure = "\r\nFAILURE: Invalid file specified: " + missing + ": ";
    const std::size_t at = log.rfind(failure);
    ASSERT_NE(at, std::string::npos) << log;
    EXPECT_GT(log.size(), at + failure.size());
    EXPECT_EQ(log.find("\r\n", at + 2), std::string::npos) << "it is the last line";
    EXPECT_EQ(GetFileAttributesA(missing.c_str()), INVALID_FILE_ATTRIBUTES) << "the verify created it";
    ExpectReady("Failed");
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
    ExpectReady("Failed");
    EXPECT_GT(StatusPixels(kRed), 10) << "the outcome shows in red";
    SaveScreenshot(session_.dialog(), "dialog_status_failed.png");

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
    EXPECT_TRUE(Contains(session_.Log(),
                         "\r\nMonitoring has begun\r\nWatching watched.bin: 0x1000 bytes from "
                         "file address 0x0 to emulator address 0xF000"))
        << session_.Log();
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
    ASSERT_TRUE(WaitUntil([&] { return Ended(); }, kEventTimeoutMs)) << session_.Log();
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

TEST_F(WithEmulator, ALongWriteLocksTheFieldsShowsItsProgressAndNeitherEscapeNorANoToExitStopsIt) {
    const std::string image = dir_.Path("paced.bin");
    const std::vector<std::uint8_t> bytes = Pattern(0x10000, 8);
    ASSERT_TRUE(WriteFileBytes(image, bytes));
    SendMessageA(session_.Item(IDC_TRANSFER_SIZE), WM_SETTEXT, 0, reinterpret_cast<LPARAM>("0x10000"));
    session_.Click(IDC_END_JUSTIFY);
    ASSERT_TRUE(session_.Enabled(IDC_EMU_ADDRESS));

    Execute(1, image);
    bool checked = false;
    ProgressTrace write = WatchOperation([&] {
        checked = true;
        for (int id : kParameterControls) {
            EXPECT_FALSE(session_.Enabled(id)) << id << " is locked while the write runs";
        }
        EXPECT_EQ(session_.Focused(), session_.Item(IDC_CANCEL_OP));
        EXPECT_TRUE(IsTransferText(session_.ItemText(IDC_STATUS), "Writing", 0x10000))
            << session_.ItemText(IDC_STATUS);
        SaveScreenshot(session_.dialog(), "dialog_status_writing.png");

        // Escape where the focus is, in the locked size field and in the log.
        session_.PressKey(VK_ESCAPE);
        PostMessageA(session_.Item(IDC_TRANSFER_SIZE), WM_KEYDOWN, VK_ESCAPE, 1);
        PostMessageA(session_.Item(IDC_LOG), WM_KEYDOWN, VK_ESCAPE, 1);
        session_.PressKey(VK_ESCAPE);

        // File > Exit asks; No keeps the write going.
        session_.PostCommand(IDM_EXIT);
        HWND question = session_.FindThreadWindow("Exit Tevrix", kEventTimeoutMs);
        ASSERT_NE(question, nullptr);
        EXPECT_EQ(session_.Text(GetDlgItem(question, 0xFFFF)), "A transfer is running. Stop it and exit?");
        SaveScreenshot(question, "dialog_exit_question.png");
        PostMessageA(GetDlgItem(question, IDNO), BM_CLICK, 0, 0);
        EXPECT_TRUE(WaitUntil([&] { return !IsWindow(question); }, kEventTimeoutMs));
        EXPECT_TRUE(session_.Enabled(IDC_CANCEL_OP)) << "the write goes on";
    });
    ASSERT_TRUE(write.ended) << session_.Log();
    ASSERT_TRUE(checked);
    EXPECT_TRUE(IsWindow(session_.dialog()));
    const std::string log = session_.Log();
    EXPECT_EQ(log.substr(log.size() - 31), "SUCCESS: Operation completed...") << log;
    ExpectReady();
    for (int id : kParameterControls) {
        EXPECT_TRUE(session_.Enabled(id)) << id << " is unlocked again";
    }

    // The RAM holds the whole file.
    session_.Click(IDC_END_JUSTIFY);
    Execute(2, image);
    ASSERT_TRUE(WatchOperation().ended);
    EXPECT_TRUE(Contains(session_.Log(), "\r\nSUCCESS: Contents match. Operation completed..."))
        << session_.Log();
}

TEST_F(WithEmulator, ATextThatIsNoHexNumberIsRefusedWithTheFocusInItsField) {
    const std::string image = dir_.Path("small.bin");
    ASSERT_TRUE(WriteFileBytes(image, Pattern(0x100, 9)));
    const struct {
        int field;
        const char* text;
        const char* line;
    } cases[] = {
        {IDC_FILE_ADDRESS, "zz12", "FAILURE: File Start Address: 'zz12' is not a hexadecimal number"},
        {IDC_TRANSFER_SIZE, "1G0", "FAILURE: Size: '1G0' is not a hexadecimal number"},
        {IDC_TRANSFER_SIZE, "1FFFFFFFFF", "FAILURE: Size: '1FFFFFFFFF' is not a hexadecimal number"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.line);
        SendMessageA(session_.Item(IDC_FILE_ADDRESS), WM_SETTEXT, 0, reinterpret_cast<LPARAM>("0x0"));
        SendMessageA(session_.Item(IDC_TRANSFER_SIZE), WM_SETTEXT, 0, reinterpret_cast<LPARAM>("0x0"));
        SendMessageA(session_.Item(c.field), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(c.text));
        Execute(1, image);
        const std::string log = session_.Log();
        ASSERT_GE(log.size(), std::strlen(c.line));
        EXPECT_EQ(log.substr(log.size() - std::strlen(c.line)), c.line);
        EXPECT_EQ(session_.Focused(), session_.Item(c.field));
        EXPECT_TRUE(session_.Enabled(IDC_EXECUTE)) << "nothing started";
        EXPECT_FALSE(session_.Enabled(IDC_CANCEL_OP));
        EXPECT_FALSE(Contains(log, "Writing")) << log;
    }
    SaveScreenshot(session_.dialog(), "dialog_refused_number.png");
}

TEST_F(WithEmulator, TabVisitsEveryControlInLayoutOrderAndEachLabelHasItsLetter) {
    session_.Click(IDC_END_JUSTIFY);
    SendMessageA(session_.dialog(), WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(session_.Item(IDC_OPERATION)),
                 TRUE);
    // Cancel Op is disabled while nothing runs, so Tab passes it.
    const int order[] = {IDC_FILE_PATH,     IDC_BROWSE, IDC_FILE_ADDRESS, IDC_END_JUSTIFY, IDC_EMU_ADDRESS,
                         IDC_TRANSFER_SIZE, IDC_LARGE,  IDC_EXECUTE,      IDC_LOG,         IDC_OPERATION};
    for (int id : order) {
        session_.PressKey(VK_TAB);
        EXPECT_EQ(GetDlgCtrlID(session_.Focused()), id);
    }

    // Alt with a label's letter goes to its field.
    const struct {
        char letter;
        int id;
    } mnemonics[] = {{'s', IDC_TRANSFER_SIZE},
                     {'i', IDC_FILE_PATH},
                     {'a', IDC_FILE_ADDRESS},
                     {'r', IDC_EMU_ADDRESS},
                     {'o', IDC_OPERATION}};
    for (const auto& m : mnemonics) {
        session_.PressKey(m.letter, true);
        EXPECT_EQ(GetDlgCtrlID(session_.Focused()), m.id) << m.letter;
    }
    // Every label and button but "..." carries a letter, and no two the same.
    std::set<char> letters;
    for (HWND child = GetWindow(session_.dialog(), GW_CHILD); child != nullptr;
         child = GetWindow(child, GW_HWNDNEXT)) {
        char className[32] = {};
        GetClassNameA(child, className, sizeof className);
        const std::string text = session_.Text(child);
        if ((_stricmp(className, "Button") != 0 && _stricmp(className, "Static") != 0) || text.empty() ||
            text == "...") {
            continue;
        }
        const std::size_t amp = text.find('&');
        ASSERT_NE(amp, std::string::npos) << text;
        EXPECT_TRUE(letters.insert(static_cast<char>(std::tolower(text[amp + 1]))).second) << text;
    }
    EXPECT_EQ(letters.count('f') + letters.count('h'), 0u) << "the menu bar's letters stay the menu's";
    session_.Click(IDC_END_JUSTIFY);
}

TEST_F(WithEmulator, ReadChoosesItsFileWithASaveAsDialogThatAsksBeforeOverwriting) {
    const std::string existing = dir_.Path("existing.bin");
    ASSERT_TRUE(WriteFileBytes(existing, Pattern(0x100, 10)));
    SendMessageA(session_.Item(IDC_OPERATION), CB_SETCURSEL, 0, 0);
    PostMessageA(session_.Item(IDC_BROWSE), BM_CLICK, 0, 0);
    HWND chooser = session_.FindThreadWindow("Select file...", kEventTimeoutMs);
    ASSERT_NE(chooser, nullptr);
    EXPECT_EQ(session_.Text(GetDlgItem(chooser, IDOK)), "&Save");
    HWND name = DialogSession::FileNameBox(chooser);
    ASSERT_NE(name, nullptr);
    SendMessageA(name, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(existing.c_str()));
    PostMessageA(chooser, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(chooser, IDOK)));
    HWND prompt = session_.FindThreadWindow("Select file...", kEventTimeoutMs, chooser);
    ASSERT_NE(prompt, nullptr) << "an existing file is not overwritten without asking";
    PostMessageA(GetDlgItem(prompt, IDYES), BM_CLICK, 0, 0);
    EXPECT_TRUE(WaitUntil([&] { return !IsWindow(chooser); }, kEventTimeoutMs));
    EXPECT_EQ(session_.ItemText(IDC_FILE_PATH), existing);
}

TEST_F(WithEmulator, ClosingWhileMonitoringAsksAndNoKeepsItGoing) {
    const std::string image = dir_.Path("kept.bin");
    std::vector<std::uint8_t> bytes = Pattern(0x400, 11);
    ASSERT_TRUE(WriteFileBytes(image, bytes));
    Execute(3, image);
    ASSERT_TRUE(WaitUntil([&] { return session_.ItemText(IDC_STATUS) == "Monitoring"; }, kEventTimeoutMs));
    for (int id : kParameterControls) {
        EXPECT_FALSE(session_.Enabled(id)) << id << " is locked while monitoring";
    }

    PostMessageA(session_.dialog(), WM_SYSCOMMAND, SC_CLOSE, 0);
    HWND question = session_.FindThreadWindow("Exit Tevrix", kEventTimeoutMs);
    ASSERT_NE(question, nullptr);
    EXPECT_EQ(session_.Text(GetDlgItem(question, 0xFFFF)), "Monitoring is running. Stop it and exit?");
    PostMessageA(GetDlgItem(question, IDNO), BM_CLICK, 0, 0);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(question); }, kEventTimeoutMs));

    bytes[0x10] ^= 0xFF;
    ASSERT_TRUE(WriteFileBytes(image, bytes));
    EXPECT_TRUE(WaitUntil(
        [&] { return Contains(session_.Log(), "\r\nChanges detected. Uploaded 1 bytes in 1 blocks."); },
        kEventTimeoutMs))
        << session_.Log();
    session_.Click(IDC_CANCEL_OP);
    ASSERT_TRUE(WaitUntil([&] { return Ended(); }, kEventTimeoutMs)) << session_.Log();
    ExpectReady();
}

// Leaves the emulator in bank 0, as it found it.
TEST_F(WithEmulator, TheLargeBoxShowsTheDevicesBankAndUntickedItSetsBank0BeforeTheOperation) {
    const std::string large = dir_.Path("large.bin");
    ASSERT_TRUE(WriteFileBytes(large, Pattern(0x20000, 12)));
    ASSERT_TRUE(session_.ChooseFile(large));
    ASSERT_TRUE(session_.Checked(IDC_LARGE));
    Execute(1, large);
    ASSERT_TRUE(WatchOperation().ended);
    ASSERT_TRUE(Contains(session_.Log(), "to emulator address 0x60000 (Backfill)...\r\nSUCCESS"))
        << session_.Log();
    ASSERT_TRUE(session_.Close());

    // A dialog started later finds the device in bank 8 and says so.
    DialogSession later;
    ASSERT_NE(later.dialog(), nullptr);
    ASSERT_TRUE(WaitUntil([&] { return later.Enabled(IDC_EXECUTE); }, kDetectionTimeoutMs)) << later.Log();
    EXPECT_TRUE(later.Checked(IDC_LARGE));

    const std::string small = dir_.Path("small.bin");
    const std::vector<std::uint8_t> bytes = Pattern(0x100, 13);
    ASSERT_TRUE(WriteFileBytes(small, bytes));
    later.Click(IDC_LARGE);
    SendMessageA(later.Item(IDC_OPERATION), CB_SETCURSEL, 1, 0);
    SendMessageA(later.Item(IDC_FILE_PATH), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(small.c_str()));
    later.Click(IDC_EXECUTE);
    ASSERT_TRUE(WaitUntil([&] { return later.ItemText(IDC_STATUS) == "Done"; }, kOperationTimeoutMs))
        << later.Log();
    EXPECT_TRUE(Contains(later.Log(),
                         "\r\nEmulation bank set to 0: the emulator now emulates 0x10000 bytes\r\n"
                         "Writing 0x100 bytes from file address 0x00 to emulator address 0xFF00 "
                         "(Backfill)...\r\nSUCCESS: Operation completed..."))
        << later.Log();

    // Read back from the end of the 64 KB.
    const std::string back = dir_.Path("back.bin");
    SendMessageA(later.Item(IDC_OPERATION), CB_SETCURSEL, 0, 0);
    SendMessageA(later.Item(IDC_FILE_PATH), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(back.c_str()));
    SendMessageA(later.Item(IDC_TRANSFER_SIZE), WM_SETTEXT, 0, reinterpret_cast<LPARAM>("0x100"));
    later.Click(IDC_EXECUTE);
    ASSERT_TRUE(
        WaitUntil([&] { return later.Enabled(IDC_OPERATION) && later.ItemText(IDC_STATUS) == "Done"; },
                  kOperationTimeoutMs))
        << later.Log();
    EXPECT_EQ(ReadFileBytes(back), bytes);
    EXPECT_FALSE(Contains(later.Log(), "FAILURE")) << later.Log();
}

} // namespace
