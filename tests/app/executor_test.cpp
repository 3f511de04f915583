// The executor's own checks and messages, on real files. No emulator is connected here, so every
// transfer fails the way it does on a closed port; runs against the virtual emulator live in the
// end-to-end tests.
#include "app_state.h"
#include "executor.h"
#include "progress_recorder.h"
#include "stdout_capture.h"
#include "temp_dir.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <functional>

namespace {

class ExecutorTest : public ::testing::Test {
  protected:
    void SetUp() override {
        g_app = AppState{};
        g_app.consoleMode = 1;
        params_ = OperationParams{};
        params_.keepRunning = 1;
    }
    void TearDown() override { g_app = AppState{}; }

    void SetFile(const std::string& name) {
        std::string path = name.empty() ? "" : dir_.Path(name);
        std::strncpy(params_.filePath, path.c_str(), kMaxPath - 1);
    }

    // Runs the operation; returns what it printed.
    std::string Run(int* result) {
        StdoutCapture out;
        *result = ExecuteOperation(&params_);
        return out.Text();
    }

    TempDir dir_;
    OperationParams params_;
};

struct Case {
    const char* name;
    std::int32_t operation;
    const char* file;         // "" for none; "dir" names the test's directory itself
    std::size_t existingSize; // bytes of a file made beforehand, 0 for no file
    std::uint32_t fileAddress;
    std::uint32_t size;
    const char* want;
    int result;
};

const Case kFailures[] = {
    {"unknown operation", 7, "a.bin", 16, 0, 0, "\nFAILURE: Invalid Operation Specified", 0},
    {"read without file", OP_READ, "", 0, 0, 0x100, "\nFAILURE: No file specified", 0},
    {"write without file", OP_WRITE, "", 0, 0, 0, "\nFAILURE: No file specified", 0},
    {"verify without file", OP_VERIFY, "", 0, 0, 0x10,
     "\nVerifying 0x10 bytes from emulator RAM...\nFAILURE: No file specified", 0},
    {"read into a directory", OP_READ, "dir", 0, 0, 0x100, "\nFAILURE: Invalid file specified", 0},
    {"read of 0 bytes", OP_READ, "new.bin", 0, 0, 0, "\nFAILURE: Cannot read 0 bytes", 0},
    {"write of a missing file", OP_WRITE, "missing.bin", 0, 0, 0, "\nFAILURE: Could not open input", 0},
    {"write past the end", OP_WRITE, "a.bin", 0x100, 0x80, 0x81,
     "\nFAILURE: File address and size out of range", 0},
    {"write of the whole file from a later address", OP_WRITE, "a.bin", 0x100, 1, 0,
     "\nFAILURE: File address and size out of range", 0},
    // 0xFFFFFF00 + 0x200 is 0x100 in 32 bits, which would pass as in range.
    {"write at an address that wraps", OP_WRITE, "a.bin", 0x100, 0xFFFFFF00, 0x200,
     "\nFAILURE: File address and size out of range", 0},
    {"verify of a missing file", OP_VERIFY, "missing.bin", 0, 0, 0,
     "\nVerifying 0x00 bytes from emulator RAM...\nFAILURE: Cannot read 0 bytes", 0},
    {"write with no emulator", OP_WRITE, "a.bin", 0x100, 0, 0,
     "\nWriting 0x100 bytes from file address 0x00 to emulator address 0x00 (Backfill)..."
     "\nFAILURE: Emu write failed with CV_E_PORT_NOT_INITIALIZED",
     0},
    {"read with no emulator", OP_READ, "a.bin", 0x100, 0x10, 0x20,
     "\nReading 0x20 bytes from emulator at address 0x00 (Backfill)..."
     "\nFAILURE: Emu read failed with CV_E_PORT_NOT_INITIALIZED",
     0},
    {"verify with no emulator", OP_VERIFY, "a.bin", 0x100, 0, 0,
     "\nVerifying 0x00 bytes from emulator RAM...\nFAILURE: Verify failed. Emu read failed with "
     "CV_E_PORT_NOT_INITIALIZED",
     0},
};

} // namespace

TEST_F(ExecutorTest, EachFailureWritesOneLineAndLeavesTheFileAlone) {
    for (const Case& c : kFailures) {
        SetUp();
        std::string path =
            std::strcmp(c.file, "dir") == 0 ? dir_.Path("") : (*c.file ? dir_.Path(c.file) : "");
        std::strncpy(params_.filePath, path.c_str(), kMaxPath - 1);
        if (c.existingSize > 0) {
            WriteFileBytes(path, CountingBytes(c.existingSize));
        }
        params_.operation = c.operation;
        params_.fileAddress = c.fileAddress;
        params_.size = c.size;
        int result = -1;
        EXPECT_EQ(Run(&result), c.want) << c.name;
        EXPECT_EQ(result, c.result) << c.name;
        if (c.existingSize > 0) {
            EXPECT_EQ(ReadFileBytes(path), CountingBytes(c.existingSize)) << c.name;
        }
    }
}

TEST_F(ExecutorTest, FailedReadAndVerifyLeaveANewEmptyFile) {
    params_.operation = OP_READ;
    SetFile("read.bin");
    int result = -1;
    Run(&result);
    EXPECT_TRUE(std::filesystem::exists(dir_.Path("read.bin")));

    params_.operation = OP_VERIFY;
    SetFile("verify.bin");
    Run(&result);
    EXPECT_TRUE(std::filesystem::exists(dir_.Path("verify.bin")));
    EXPECT_EQ(std::filesystem::file_size(dir_.Path("verify.bin")), 0u);
}

TEST_F(ExecutorTest, UserAddressWithoutEndJustifyAndTheSizeTakenFromTheFile) {
    WriteFileBytes(dir_.Path("a.bin"), CountingBytes(0x300));
    SetFile("a.bin");
    params_.operation = OP_WRITE;
    params_.noBackBuf = 1;
    params_.emuAddress = 0x4000;
    int result = -1;
    EXPECT_EQ(Run(&result), "\nWriting 0x300 bytes from file address 0x00 to emulator address 0x4000..."
                            "\nFAILURE: Emu write failed with CV_E_PORT_NOT_INITIALIZED");
    EXPECT_EQ(params_.size, 0x300u);
    EXPECT_EQ(params_.emuAddress, 0x4000u);

    params_.noBackBuf = 0;
    Run(&result);
    EXPECT_EQ(params_.emuAddress, 0u);
}

#ifndef _WIN32
TEST_F(ExecutorTest, StatusTextShowsExecutingThenIdle) {
    ProgressRecorder progress;
    g_app.progressWindow = &progress;
    params_.operation = OP_WRITE;
    SetFile("");
    int result = -1;
    Run(&result);
    std::vector<std::string> texts;
    for (const std::string& event : progress.events) {
        if (event.rfind("text:", 0) == 0) {
            texts.push_back(event);
        }
    }
    EXPECT_EQ(texts, (std::vector<std::string>{"text:Executing", "text:Idle"}));
}
#endif
