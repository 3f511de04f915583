// Monitor mode on real files. No emulator is connected, so the uploads fail, which monitoring
// ignores by design: the counts still show which runs it found.
#include "app_state.h"
#include "monitor.h"
#include "progress_recorder.h"
#include "stdout_capture.h"
#include "temp_dir.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <thread>

#ifndef _WIN32
#include <fcntl.h>
#include <sys/mman.h>
#include <unistd.h>
#endif

namespace {

using namespace std::chrono_literals;

class MonitorTest : public ::testing::Test {
  protected:
    void SetUp() override {
        g_app = AppState{};
        g_app.consoleMode = 1;
        InstallMonitorCallbacks();
        params_ = OperationParams{};
        params_.operation = OP_MONITOR;
        params_.keepRunning = 1;
        path_ = dir_.Path("image.bin");
        std::strncpy(params_.filePath, path_.c_str(), kMaxPath - 1);
    }
    void TearDown() override { g_app = AppState{}; }

    // Starts monitoring on its own thread and returns once the baseline has been taken (the
    // first poll comes a second later).
    void Start() {
        worker_ = std::thread([this] { MonitorFile(&params_); });
        WaitFor("Monitoring has begun");
        std::this_thread::sleep_for(300ms);
    }

    void Stop() {
        std::atomic_ref<std::int32_t>(params_.keepRunning).store(0);
        worker_.join();
    }

    // Waits at most five seconds for the text to appear in the output.
    bool WaitFor(const std::string& text) {
        for (int i = 0; i < 100; ++i) {
            if (out_.Text().find(text) != std::string::npos) {
                return true;
            }
            std::this_thread::sleep_for(50ms);
        }
        return false;
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
    StdoutCapture out_;
    std::thread worker_;
};

} // namespace

TEST(WatchedLength, FromTheFileAddressToTheEnd) {
    EXPECT_EQ(WatchedLength(0x10000, 0), 0x10000u);
    EXPECT_EQ(WatchedLength(0x10000, 0x4000), 0xC000u);
    EXPECT_EQ(WatchedLength(0x10000, 0xFFFF), 1u);
    EXPECT_EQ(WatchedLength(0x10000, 0x10000), 0u);
    EXPECT_EQ(WatchedLength(0x10000, 0xFFFFFFFF), 0u);
    EXPECT_EQ(WatchedLength(0, 0), 0u);
}

TEST_F(MonitorTest, NothingToWatchBeginsAndEndsAtOnce) {
    struct Case {
        const char* name;
        std::size_t fileSize; // SIZE_MAX for no file
        std::uint32_t fileAddress;
    };
    const Case cases[] = {
        {"missing file", SIZE_MAX, 0},
        {"empty file", 0, 0},
        {"address at the end", 0x100, 0x100},
        {"address beyond the end", 0x100, 0x80000000},
    };
    for (const Case& c : cases) {
        SetUp();
        std::filesystem::remove(path_);
        if (c.fileSize != SIZE_MAX) {
            WriteFileBytes(path_, CountingBytes(c.fileSize));
        }
        params_.fileAddress = c.fileAddress;
        StdoutCapture out;
        auto start = std::chrono::steady_clock::now();
        EXPECT_EQ(MonitorFile(&params_), 1);
        EXPECT_LT(std::chrono::steady_clock::now() - start, 500ms) << c.name;
        EXPECT_EQ(out.Text(), "\nMonitoring has begun\nMonitoring ended") << c.name;
    }
}

TEST_F(MonitorTest, ARecordFileWithABadRecordIsRefusedBeforeWatching) {
    const std::string text = ":10000000AA\n";
    WriteFileBytes(path_, std::vector<std::uint8_t>(text.begin(), text.end()));
    StdoutCapture out;
    EXPECT_EQ(MonitorFile(&params_), 0);
    EXPECT_EQ(out.Text(),
              "\nMonitoring has begun\nFAILURE: " + path_ +
                  " line 1: the length 0x10 calls for 21 bytes, the line holds 5\nMonitoring ended");
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
    Start();
    // Byte 5 changes; the record at 0x30 goes, so its bytes become 0xFF.
    save(":100000001111111111991111111111111111111158\r\n" + blank + "\r\n" + eof);
    EXPECT_TRUE(WaitFor("Uploaded 17 bytes in 2 blocks."));
    // A typo in a checksum: shown once, nothing sent, also at the looks after it.
    save(":100000001111111111999811111111111111111158\r\n" + blank + "\r\n" + eof);
    EXPECT_TRUE(WaitFor("Not uploaded"));
    std::this_thread::sleep_for(1300ms);
    save(":1000000011111111119998111111111111111111D1\r\n" + blank + "\r\n" + eof);
    EXPECT_TRUE(WaitFor("Uploaded 1 bytes in 1 blocks."));
    Stop();
    EXPECT_EQ(
        out_.Text(),
        "\nMonitoring has begun\nChanges detected. Uploaded 17 bytes in 2 blocks.\nNot uploaded: " + path_ +
            " line 1: checksum 0x58, the record calls for 0xD1\nChanges detected. Uploaded 1 "
            "bytes in 1 blocks.\nMonitoring ended");
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
    // A save without changes sends nothing and says nothing.
    EditInPlace(0x10, edit);
    std::this_thread::sleep_for(1300ms);
    Stop();
    EXPECT_EQ(out_.Text(),
              "\nMonitoring has begun\nChanges detected. Uploaded 17 bytes in 2 blocks.\nMonitoring ended");
}

TEST_F(MonitorTest, WatchesFromTheFileAddressToTheLastByte) {
    WriteFileBytes(path_, CountingBytes(0x1000));
    params_.fileAddress = 0xF00;
    Start();
    EditInPlace(0xFFF, {0x00});
    EXPECT_TRUE(WaitFor("Changes detected"));
    Stop();
    EXPECT_EQ(out_.Text(),
              "\nMonitoring has begun\nChanges detected. Uploaded 1 bytes in 1 blocks.\nMonitoring ended");
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
    EXPECT_EQ(out_.Text(),
              "\nMonitoring has begun\nChanges detected. Uploaded 2 bytes in 2 blocks.\nMonitoring ended");
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
    EXPECT_EQ(out_.Text(),
              "\nMonitoring has begun\nChanges detected. Uploaded 1 bytes in 1 blocks.\nMonitoring ended");
}

TEST_F(MonitorTest, StatusShowsMonitoringColoursAndReturnsToIdle) {
    ProgressRecorder progress;
    g_app.progressWindow = &progress;
    WriteFileBytes(path_, CountingBytes(0x10));
    Start();
    std::this_thread::sleep_for(1000ms);
    Stop();
    std::vector<std::string> status;
    for (const std::string& event : progress.events) {
        if (event.rfind("msg:", 0) != 0 && (status.empty() || status.back() != event)) {
            status.push_back(event);
        }
    }
    EXPECT_EQ(status, (std::vector<std::string>{"text:Monitoring...", "bk:FF0000", "fg:FFFFFF",
                                                "text:Monitoring", "text:Idle", "bk:FFFFFF", "fg:FF0000"}));
}
#endif
