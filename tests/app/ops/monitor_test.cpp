// Monitor mode on real files, uploading to a simulated emulator on an in-process line.
#include "app_state.h"
#include "executor.h"
#include "monitor.h"
#include "program_device.h"
#include "progress_recorder.h"
#include "stdout_capture.h"
#include "temp_dir.h"
#include "transfer_fixture.h"
#include "wait_until.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>
#include <thread>

#ifndef _WIN32
#include <fcntl.h>
#include <sys/mman.h>
#include <unistd.h>
#endif

namespace {

using namespace std::chrono_literals;

// The first lines of a run that watches `length` bytes of image.bin from `fileAddress`, placed at
// `emuAddress`.
std::string Begun(std::uint32_t length, std::uint32_t fileAddress, std::uint32_t emuAddress) {
    char watching[128];
    std::snprintf(watching, sizeof watching,
                  "\nWatching image.bin: 0x%X bytes from file address 0x%X to emulator address 0x%X", length,
                  fileAddress, emuAddress);
    return std::string("\nMonitoring has begun") + watching;
}

class MonitorTest : public ::testing::Test {
  protected:
    void SetUp() override {
        Reset();
        device_ = std::make_unique<InProcessDevice>(ModelConfig("corvane"), &g_device);
    }
    void TearDown() override {
        device_.reset();
        g_app = AppState{};
    }

    // The record and the messages' destination as a console run starts them.
    void Reset() {
        g_app = AppState{};
        g_app.consoleMode = 1;
        params_ = OperationParams{};
        params_.operation = OP_MONITOR;
        params_.keepRunning = 1;
        path_ = dir_.Path("image.bin");
        std::strncpy(params_.filePath, path_.c_str(), kMaxPath - 1);
    }

    // Starts monitoring on its own thread and returns once the baseline has been taken, which
    // comes before the first message (the first poll comes a second later).
    void Start() {
        worker_ = std::thread([this] { MonitorFile(&g_device, &params_, kProgramMonitorReports); });
        ASSERT_TRUE(WaitFor("Monitoring has begun"));
    }

    void Stop() {
        std::atomic_ref<std::int32_t>(params_.keepRunning).store(0);
        worker_.join();
    }

    // Waits for the text to appear in the output `count` times; false when it has not within a
    // minute.
    bool WaitFor(const std::string& text, std::size_t count = 1) {
        return WaitUntil(
            [&] {
                const std::string out = out_.Text();
                std::size_t seen = 0;
                for (std::size_t at = out.find(text); at != std::string::npos; at = out.find(text, at + 1)) {
                    ++seen;
                }
                return seen >= count;
            },
            1min);
    }

    // Rewrites `count` bytes at `offset` with one write, as an editor saving in place.
    void EditInPlace(long offset, const std::vector<std::uint8_t>& bytes) {
        std::FILE* editor = std::fopen(path_.c_str(), "r+b");
        ASSERT_NE(editor, nullptr);
        std::fseek(editor, offset, SEEK_SET);
        std::fwrite(bytes.data(), 1, bytes.size(), editor);
        std::fclose(editor);
    }

    TempDir dir_;
    std::string path_;
    OperationParams params_;
    std::unique_ptr<InProcessDevice> device_;
    StdoutCapture out_;
    std::thread worker_;
};

} // namespace

TEST_F(MonitorTest, NothingToWatchIsAFailureThatNamesWhy) {
    struct Case {
        const char* name;
        std::size_t fileSize; // SIZE_MAX for no file
        std::uint32_t fileAddress;
        std::uint32_t emuAddress; // with -nobackbuf; 0 for end-justified
        const char* want;
    };
    const Case cases[] = {
        {"missing file", SIZE_MAX, 0, 0, "\nFAILURE: Could not open input: {path}: "},
        {"empty file", 0, 0, 0, "\nFAILURE: Cannot monitor 0 bytes"},
        {"address at the end", 0x100, 0x100, 0, "\nFAILURE: File address and size out of range"},
        {"address beyond the end", 0x100, 0x80000000, 0, "\nFAILURE: File address and size out of range"},
        {"watched bytes past the end of RAM", 0x100, 0, 0xFF80,
         "\nFAILURE: 0x100 bytes at emulator address 0xFF80 do not fit the emulator's RAM of 0x10000 bytes"},
        {"a file larger than the RAM", 0x10001, 0, 0,
         "\nFAILURE: 0x10001 bytes at emulator address 0x00 (Backfill) do not fit the emulator's RAM of "
         "0x10000 bytes"},
    };
    for (const Case& c : cases) {
        Reset();
        std::filesystem::remove(path_);
        if (c.fileSize != SIZE_MAX) {
            WriteFileBytes(path_, CountingBytes(c.fileSize));
        }
        params_.fileAddress = c.fileAddress;
        params_.noBackBuf = c.emuAddress != 0;
        params_.emuAddress = c.emuAddress;
        // A start that wrongly succeeded ends after its baseline instead of polling for ever.
        params_.keepRunning = 0;
        device_->Mark();
        StdoutCapture out;
        EXPECT_EQ(ExecuteOperation(&g_device, &params_, kProgramMonitorReports), 0) << c.name;
        std::string want = c.want;
        if (std::size_t at = want.find("{path}"); at != std::string::npos) {
            // The file's name, then the system's reason.
            want.replace(at, 6, path_);
            EXPECT_GT(out.Text().size(), want.size()) << c.name;
            EXPECT_EQ(out.Text().substr(0, want.size()), want) << c.name;
        } else {
            EXPECT_EQ(out.Text(), want) << c.name;
        }
        EXPECT_EQ(device_->Requests(), std::vector<std::string>{}) << c.name;
    }
}

TEST_F(MonitorTest, ARecordFileWithABadRecordIsRefusedBeforeAnythingIsSent) {
    const std::string text = ":10000000AA\n";
    WriteFileBytes(path_, std::vector<std::uint8_t>(text.begin(), text.end()));
    device_->Mark();
    StdoutCapture out;
    EXPECT_EQ(ExecuteOperation(&g_device, &params_, kProgramMonitorReports), 0);
    EXPECT_EQ(out.Text(), "\nFAILURE: " + path_ +
                              " line 1: the record's length 0x10 calls for 42 hexadecimal digits after the "
                              "colon, the line has 10");
    EXPECT_EQ(device_->Requests(), std::vector<std::string>{});
}

// Saves of one length written in place with one write, so that no look can find one half done.
TEST_F(MonitorTest, AHexFileIsWatchedAsItsFlatImageAndABadSaveIsNotSent) {
    const std::string eof = ":00000001FF\r\n";
    const std::string blank(43, ' ');
    auto save = [&](const std::string& text) {
        EditInPlace(0, std::vector<std::uint8_t>(text.begin(), text.end()));
    };
    // Told by its content, whatever its name.
    const std::string first = ":1000000011111111111111111111111111111111E0\r\n"
                              ":1000300022222222222222222222222222222222A0\r\n" +
                              eof;
    WriteFileBytes(path_, std::vector<std::uint8_t>(first.begin(), first.end()));
    ProgressRecorder progress;
    g_app.progressWindow = progress.Window();
    Start();
    // Byte 5 changes; the record at 0x30 goes, so its bytes become 0xFF.
    save(":100000001111111111991111111111111111111158\r\n" + blank + "\r\n" + eof);
    EXPECT_TRUE(WaitFor("Uploaded 17 bytes in 2 blocks."));
    // A typo in a checksum: shown once, nothing sent, also at the looks after it.
    save(":100000001111111111999811111111111111111158\r\n" + blank + "\r\n" + eof);
    EXPECT_TRUE(WaitFor("Not uploaded"));
    // Two more looks end (each with the status "Monitoring"), so at least one comes after the one
    // that told of the typo.
    const std::size_t looks = progress.Count("text:Monitoring");
    EXPECT_TRUE(WaitUntil([&] { return progress.Count("text:Monitoring") >= looks + 2; }, 1min));
    save(":1000000011111111119998111111111111111111D1\r\n" + blank + "\r\n" + eof);
    EXPECT_TRUE(WaitFor("Uploaded 1 bytes in 1 blocks."));
    Stop();
    EXPECT_EQ(out_.Text(),
              Begun(0x40, 0, 0xFFC0) +
                  "\nChanges detected. Uploaded 17 bytes in 2 blocks.\nNot uploaded: " + path_ +
                  " line 1: checksum 0x58, the record calls for 0xD1\nChanges detected. Uploaded 1 "
                  "bytes in 1 blocks.\nMonitoring ended");
    // The 0x40 bytes of the flat image end at the end of the 64 KB RAM, which held zeros: only
    // what changed reached it.
    std::vector<std::uint8_t> want(0x40, 0x00);
    want[5] = 0x99;
    want[6] = 0x98;
    std::fill(want.begin() + 0x30, want.end(), 0xFF);
    const std::vector<std::uint8_t> ram = device_->Ram();
    EXPECT_EQ(std::vector<std::uint8_t>(ram.end() - 0x40, ram.end()), want);
}

TEST_F(MonitorTest, ChangedRunsAreCountedOncePerSave) {
    WriteFileBytes(path_, CountingBytes(0x10000));
    Start();
    // 0x10 to 0x1F and 0x30 change; 0x20 to 0x2F are written back unchanged.
    std::vector<std::uint8_t> edit = CountingBytes(0x31);
    edit.erase(edit.begin(), edit.begin() + 0x10);
    for (std::size_t i = 0; i < 0x10; ++i) {
        edit[i] = 0xEE;
    }
    edit.back() = 0xEE;
    EditInPlace(0x10, edit);
    EXPECT_TRUE(WaitFor("Changes detected"));
    // A save without changes sends nothing and says nothing: the change of one byte that follows
    // it is uploaded alone.
    EditInPlace(0x10, edit);
    EditInPlace(0x100, {0xEE});
    EXPECT_TRUE(WaitFor("Changes detected", 2));
    Stop();
    EXPECT_EQ(out_.Text(), Begun(0x10000, 0, 0) +
                               "\nChanges detected. Uploaded 17 bytes in 2 blocks.\nChanges "
                               "detected. Uploaded 1 bytes in 1 blocks.\nMonitoring ended");
}

TEST_F(MonitorTest, WatchesFromTheFileAddressToTheLastByte) {
    WriteFileBytes(path_, CountingBytes(0x1000));
    params_.fileAddress = 0xF00;
    Start();
    EditInPlace(0xFFF, {0x00});
    EXPECT_TRUE(WaitFor("Changes detected"));
    Stop();
    EXPECT_EQ(out_.Text(), Begun(0x100, 0xF00, 0xFF00) +
                               "\nChanges detected. Uploaded 1 bytes in 1 blocks.\nMonitoring ended");
}

// With a size only that many bytes are watched, and they are placed by their own length.
TEST_F(MonitorTest, WithASizeWatchesOnlyThatMany) {
    WriteFileBytes(path_, CountingBytes(0x1000));
    params_.fileAddress = 0x100;
    params_.size = 0x10;
    Start();
    EditInPlace(0x200, {0xEE});
    EditInPlace(0x10F, {0xEE});
    EXPECT_TRUE(WaitFor("Changes detected"));
    Stop();
    EXPECT_EQ(out_.Text(), Begun(0x10, 0x100, 0xFFF0) +
                               "\nChanges detected. Uploaded 1 bytes in 1 blocks.\nMonitoring ended");
    EXPECT_EQ(device_->Ram()[0xFFFF], 0xEE);
}

#ifndef _WIN32
TEST_F(MonitorTest, ASaveByRenameIsStillSeen) {
    std::vector<std::uint8_t> bytes = CountingBytes(0x800);
    WriteFileBytes(path_, bytes);
    Start();
    bytes[0x100] ^= 0xFF;
    bytes[0x7FF] ^= 0xFF;
    WriteFileBytes(path_ + ".new", bytes);
    std::filesystem::rename(path_ + ".new", path_);
    EXPECT_TRUE(WaitFor("Changes detected"));
    Stop();
    EXPECT_EQ(out_.Text(), Begun(0x800, 0, 0xF800) +
                               "\nChanges detected. Uploaded 2 bytes in 2 blocks.\nMonitoring ended");
}

// Writes through a shared memory mapping give the file system no notice; the once-a-second look
// still finds them.
TEST_F(MonitorTest, AChangeWithoutANoticeIsFoundByTheRegularLook) {
    WriteFileBytes(path_, CountingBytes(0x1000));
    // Opened and mapped before monitoring starts: closing a file open for writing is a notice.
    int fd = open(path_.c_str(), O_RDWR);
    ASSERT_GE(fd, 0);
    void* map = mmap(nullptr, 0x1000, PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0);
    ASSERT_NE(map, MAP_FAILED);
    Start();
    static_cast<std::uint8_t*>(map)[0x123] ^= 0xFF;
    EXPECT_TRUE(WaitFor("Changes detected"));
    Stop();
    munmap(map, 0x1000);
    close(fd);
    EXPECT_EQ(out_.Text(), Begun(0x1000, 0, 0xF000) +
                               "\nChanges detected. Uploaded 1 bytes in 1 blocks.\nMonitoring ended");
}

#endif

TEST_F(MonitorTest, StatusShowsMonitoringColoursAndReturnsToIdle) {
    ProgressRecorder progress;
    g_app.progressWindow = progress.Window();
    WriteFileBytes(path_, CountingBytes(0x10));
    Start();
    // The status "Monitoring" ends the first look at the file.
    EXPECT_TRUE(WaitUntil([&] { return progress.Count("text:Monitoring") > 0; }, 1min));
    Stop();
    std::vector<std::string> status;
    for (const std::string& event : progress.events) {
        if (event.rfind("msg:", 0) != 0 && (status.empty() || status.back() != event)) {
            status.push_back(event);
        }
    }
    EXPECT_EQ(status, (std::vector<std::string>{"text:Monitoring...", "bk:FF0000", "bar:FFFFFF",
                                                "fg:FFFFFFFF", "text:Monitoring", "text:Idle", "bk:FFFFFF",
                                                "bar:FF0000", "fg:FFFFFFFF"}));
}

TEST_F(MonitorTest, AFailedUploadIsReportedAndItsBytesAreTriedAgainAtTheNextPoll) {
    device_.reset();
    device_ = std::make_unique<InProcessDevice>(WithFaults(ModelConfig("corvane"), {"nak,cmd=W,times=1"}),
                                                &g_device);
    WriteFileBytes(path_, CountingBytes(0x100));
    Start();
    EditInPlace(0x20, {0xEE, 0xEF});
    EXPECT_TRUE(WaitFor("Changes detected"));
    Stop();
    EXPECT_EQ(out_.Text(), Begun(0x100, 0, 0xFF00) +
                               "\nFAILURE: Emu write failed with CV_E_INVALID_RESPONSE"
                               "\nChanges detected. Uploaded 2 bytes in 1 blocks.\nMonitoring ended");
    // End-justified: the 0x100 bytes end at the last byte of the 64 KB RAM.
    const std::vector<std::uint8_t> ram = device_->Ram();
    EXPECT_EQ(ram[0xFF20], 0xEE);
    EXPECT_EQ(ram[0xFF21], 0xEF);
}
