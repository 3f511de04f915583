// The executor's own checks and messages, on real files: first with no emulator connected, so
// every transfer fails the way it does on a closed port, then against a simulated one on an
// in-process line where what reaches the device matters.
#include "app_state.h"
#include "executor.h"
#include "program_device.h"
#include "progress_recorder.h"
#include "stdout_capture.h"
#include "temp_dir.h"
#include "transfer_fixture.h"

#include <gtest/gtest.h>

#ifdef _WIN32
#include <windows.h>
#endif

#include <algorithm>
#include <cerrno>
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
        *result = ExecuteOperation(&g_device, &params_, MonitorReports{});
        return out.Text();
    }

    TempDir dir_;
    OperationParams params_;
};

constexpr std::size_t kNoFile = SIZE_MAX;

struct Case {
    const char* name;
    std::int32_t operation;
    const char* file;         // "" for none; "dir" names the test's directory itself
    std::size_t existingSize; // bytes of a file made beforehand, kNoFile for none
    std::uint32_t fileAddress;
    std::uint32_t size;
    const char* want;
    int result;
};

// The system's words for a file that is not there, a folder opened as a file and a folder that is
// not there.
#ifdef _WIN32
std::string SystemText(DWORD code) {
    char text[256] = {};
    DWORD length = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code,
                                  0, text, sizeof text, nullptr);
    while (length > 0 && (text[length - 1] == '\n' || text[length - 1] == '\r')) {
        --length;
    }
    return std::string(text, length);
}
const std::string kMissing = SystemText(ERROR_FILE_NOT_FOUND);
const std::string kDirectory = SystemText(ERROR_ACCESS_DENIED);
const std::string kNoFolder = SystemText(ERROR_PATH_NOT_FOUND);
#else
const std::string kMissing = std::strerror(ENOENT);
const std::string kDirectory = std::strerror(EISDIR);
const std::string kNoFolder = std::strerror(ENOENT);
#endif

// The wanted text with the file's path and the system's reasons put in.
std::string Expand(std::string want, const std::string& path) {
    const std::pair<const char*, std::string> fields[] = {
        {"{path}", path}, {"{missing}", kMissing}, {"{directory}", kDirectory}, {"{nofolder}", kNoFolder}};
    for (const auto& [name, value] : fields) {
        if (std::size_t at = want.find(name); at != std::string::npos) {
            want.replace(at, std::strlen(name), value);
        }
    }
    return want;
}

const Case kFailures[] = {
    {"unknown operation", 7, "a.bin", 16, 0, 0, "\nFAILURE: Invalid Operation Specified", 0},
    {"read without file", OP_READ, "", kNoFile, 0, 0x100, "\nFAILURE: No file specified", 0},
    {"write without file", OP_WRITE, "", kNoFile, 0, 0, "\nFAILURE: No file specified", 0},
    {"verify without file", OP_VERIFY, "", kNoFile, 0, 0x10, "\nFAILURE: No file specified", 0},
    {"read into a directory", OP_READ, "dir", kNoFile, 0, 0x100,
     "\nFAILURE: Invalid file specified: {path}: {directory}", 0},
    // No emulator, so no RAM size to take.
    {"read without a size", OP_READ, "new.bin", kNoFile, 0, 0, "\nFAILURE: Cannot read 0 bytes", 0},
    {"read into a missing folder", OP_READ, "nofolder/new.bin", kNoFile, 0, 0x100,
     "\nFAILURE: Invalid file specified: {path}: {nofolder}", 0},
    {"write of a missing file", OP_WRITE, "missing.bin", kNoFile, 0, 0,
     "\nFAILURE: Could not open input: {path}: {missing}", 0},
    {"write of an empty file", OP_WRITE, "empty.bin", 0, 0, 0, "\nFAILURE: Cannot write 0 bytes", 0},
    {"write past the end", OP_WRITE, "a.bin", 0x100, 0x80, 0x81,
     "\nFAILURE: File address and size out of range", 0},
    {"write from the end of the file", OP_WRITE, "a.bin", 0x100, 0x100, 0,
     "\nFAILURE: File address and size out of range", 0},
    {"verify from past the end of the file", OP_VERIFY, "a.bin", 0x100, 0x180, 0x10,
     "\nFAILURE: File address and size out of range", 0},
    {"monitor with a size past the end", OP_MONITOR, "a.bin", 0x100, 0x80, 0x81,
     "\nFAILURE: File address and size out of range", 0},
    // 0xFFFFFF00 + 0x200 is 0x100 in 32 bits, which would pass as in range.
    {"write at an address that wraps", OP_WRITE, "a.bin", 0x100, 0xFFFFFF00, 0x200,
     "\nFAILURE: File address and size out of range", 0},
    {"verify of a missing file", OP_VERIFY, "missing.bin", kNoFile, 0, 0,
     "\nFAILURE: Invalid file specified: {path}: {missing}", 0},
    {"verify of an empty file", OP_VERIFY, "empty.bin", 0, 0, 0, "\nFAILURE: Cannot read 0 bytes", 0},
    {"write with no emulator", OP_WRITE, "a.bin", 0x100, 0, 0,
     "\nWriting 0x100 bytes from file address 0x00 to emulator address 0x00 (Backfill)..."
     "\nFAILURE: Emu write failed with CV_E_PORT_NOT_INITIALIZED",
     0},
    {"read with no emulator", OP_READ, "a.bin", 0x100, 0x10, 0x20,
     "\nReading 0x20 bytes from emulator at address 0x00 (Backfill)..."
     "\nFAILURE: Emu read failed with CV_E_PORT_NOT_INITIALIZED",
     0},
    // The size comes from the file: the message names it, not the 0 given.
    {"verify with no emulator", OP_VERIFY, "a.bin", 0x100, 0, 0,
     "\nVerifying 0x100 bytes from emulator RAM...\nFAILURE: Verify failed. Emu read failed with "
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
        if (c.existingSize != kNoFile) {
            WriteFileBytes(path, CountingBytes(c.existingSize));
        }
        params_.operation = c.operation;
        params_.fileAddress = c.fileAddress;
        params_.size = c.size;
        int result = -1;
        EXPECT_EQ(Run(&result), Expand(c.want, path)) << c.name;
        EXPECT_EQ(result, c.result) << c.name;
        if (c.existingSize != kNoFile) {
            EXPECT_EQ(ReadFileBytes(path), CountingBytes(c.existingSize)) << c.name;
        }
    }
}

TEST_F(ExecutorTest, AFailedReadOrVerifyCreatesNoFile) {
    struct Case {
        const char* name;
        std::int32_t operation;
        std::uint32_t size;
    };
    const Case cases[] = {
        {"read without a size", OP_READ, 0},
        {"read whose transfer fails", OP_READ, 0x100},
        {"verify of a missing file", OP_VERIFY, 0},
        {"verify with a size", OP_VERIFY, 0x100},
    };
    for (const Case& c : cases) {
        SetUp();
        params_.operation = c.operation;
        params_.size = c.size;
        SetFile("new.bin");
        int result = -1;
        Run(&result);
        EXPECT_EQ(result, 0) << c.name;
        EXPECT_FALSE(std::filesystem::exists(dir_.Path("new.bin"))) << c.name;
    }
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

    // End-justified, the address given is not used; placement leaves it as the caller set it.
    params_.noBackBuf = 0;
    EXPECT_EQ(Run(&result),
              "\nWriting 0x300 bytes from file address 0x00 to emulator address 0x00 (Backfill)..."
              "\nFAILURE: Emu write failed with CV_E_PORT_NOT_INITIALIZED");
    EXPECT_EQ(params_.emuAddress, 0x4000u);
}

TEST_F(ExecutorTest, StatusTextShowsExecutingThenIdle) {
    ProgressRecorder progress;
    g_app.progressWindow = progress.Window();
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

namespace {

// Data at 0x1000 to 0x100F.
const char kHexAt1000[] = ":10100000000102030405060708090A0B0C0D0E0F68\r\n:00000001FF\r\n";
// Three bytes at 0xFFFFFF00.
const char kHexAtTop[] = ":02000004FFFFFC\r\n:03FF0000010203F8\r\n:00000001FF\r\n";
const char kBadChecksum[] = ":10100000000102030405060708090A0B0C0D0E0F68\r\n:00000001FE\r\n";

struct RecordCase {
    const char* name;
    std::int32_t operation;
    const char* text;
    std::uint32_t fileAddress;
    std::uint32_t size;
    // "@" stands for the file's path.
    const char* want;
};

const RecordCase kRecordCases[] = {
    {"write of a bad record", OP_WRITE, kBadChecksum, 0, 0,
     "\nFAILURE: @ line 2: checksum 0xFE, the record calls for 0xFF"},
    {"verify of a bad record", OP_VERIFY, kBadChecksum, 0, 0,
     "\nFAILURE: @ line 2: checksum 0xFE, the record calls for 0xFF"},
    {"monitor of a bad record", OP_MONITOR, kBadChecksum, 0, 0,
     "\nFAILURE: @ line 2: checksum 0xFE, the record calls for 0xFF"},
    // The flat image from address 0: its size is one past the highest address.
    {"write of the whole image", OP_WRITE, kHexAt1000, 0, 0,
     "\n@: Intel HEX, 0x10 bytes of data from 0x1000 to 0x100F"
     "\nWriting 0x1010 bytes from file address 0x00 to emulator address 0x00 (Backfill)..."
     "\nFAILURE: Emu write failed with CV_E_PORT_NOT_INITIALIZED"},
    {"write of the records only", OP_WRITE, kHexAt1000, 0x1000, 0x10,
     "\n@: Intel HEX, 0x10 bytes of data from 0x1000 to 0x100F"
     "\nWriting 0x10 bytes from file address 0x1000 to emulator address 0x00 (Backfill)..."
     "\nFAILURE: Emu write failed with CV_E_PORT_NOT_INITIALIZED"},
    {"write of the rest of the image from a later address", OP_WRITE, kHexAt1000, 0x1008, 0,
     "\n@: Intel HEX, 0x10 bytes of data from 0x1000 to 0x100F"
     "\nWriting 0x08 bytes from file address 0x1008 to emulator address 0x00 (Backfill)..."
     "\nFAILURE: Emu write failed with CV_E_PORT_NOT_INITIALIZED"},
    {"write from the end of the image", OP_WRITE, kHexAt1000, 0x1010, 0,
     "\nFAILURE: File address and size out of range"},
    {"write past the image", OP_WRITE, kHexAt1000, 0x1000, 0x11,
     "\nFAILURE: File address and size out of range"},
    // A record at the top of 4 GB is never laid out from address 0.
    {"write of a 4 GB image", OP_WRITE, kHexAtTop, 0, 0,
     "\nFAILURE: @: 0xFFFFFF03 bytes, more than the 16 MB a HEX or S-record image may span here; give a file "
     "address and a size"},
    {"verify of a 4 GB image", OP_VERIFY, kHexAtTop, 0, 0,
     "\nFAILURE: @: 0xFFFFFF03 bytes, more than the 16 MB a HEX or S-record image may span here; give a file "
     "address and a size"},
    {"monitor of a 4 GB image", OP_MONITOR, kHexAtTop, 0, 0,
     "\nFAILURE: @: 0xFFFFFF03 bytes, more than the 16 MB a HEX or S-record image may span here; give a file "
     "address and a size"},
    {"write of the top part", OP_WRITE, kHexAtTop, 0xFFFFFF00, 3,
     "\n@: Intel HEX, 0x03 bytes of data from 0xFFFFFF00 to 0xFFFFFF02"
     "\nWriting 0x03 bytes from file address 0xFFFFFF00 to emulator address 0x00 (Backfill)..."
     "\nFAILURE: Emu write failed with CV_E_PORT_NOT_INITIALIZED"},
    {"verify of the top part", OP_VERIFY, kHexAtTop, 0xFFFFFF00, 0x100,
     "\n@: Intel HEX, 0x03 bytes of data from 0xFFFFFF00 to 0xFFFFFF02"
     "\nVerifying 0x100 bytes from emulator RAM...\nFAILURE: Verify failed. Emu read failed with "
     "CV_E_PORT_NOT_INITIALIZED"},
    // The file is named image.hex: its content decides the format, but raw bytes are refused.
    {"write of S-records", OP_WRITE, "S1050010AABB85\nS5030001FB\n", 0, 0,
     "\n@: S-records, 0x02 bytes of data from 0x10 to 0x11"
     "\nWriting 0x12 bytes from file address 0x00 to emulator address 0x00 (Backfill)..."
     "\nFAILURE: Emu write failed with CV_E_PORT_NOT_INITIALIZED"},
    {"write of raw bytes", OP_WRITE,
     "\x7F"
     "ELF\x02",
     0, 0,
     "\nFAILURE: @ is named like a HEX or S-record file but line 1 is not a record; rename it to write its "
     "bytes raw"},
    {"verify of raw bytes", OP_VERIFY, "rom", 0, 0,
     "\nFAILURE: @ is named like a HEX or S-record file but line 1 is not a record; rename it to write its "
     "bytes raw"},
    {"write of a save cut short in its first line", OP_WRITE, ":02000004", 0, 0,
     "\nFAILURE: @ line 1: the record's length 0x02 calls for 14 hexadecimal digits after the colon, the "
     "line "
     "has 8"},
};

std::string WithPath(std::string text, const std::string& path) {
    for (std::size_t at = text.find('@'); at != std::string::npos; at = text.find('@', at + path.size())) {
        text.replace(at, 1, path);
    }
    return text;
}

} // namespace

TEST_F(ExecutorTest, RecordFilesAreTheirFlatImageAndBadOnesAreRefusedBeforeAnythingIsSent) {
    for (const RecordCase& c : kRecordCases) {
        SetUp();
        const std::string path = dir_.Path("image.hex");
        const std::string text = c.text;
        WriteFileBytes(path, std::vector<std::uint8_t>(text.begin(), text.end()));
        SetFile("image.hex");
        params_.operation = c.operation;
        params_.fileAddress = c.fileAddress;
        params_.size = c.size;
        int result = -1;
        EXPECT_EQ(Run(&result), WithPath(c.want, path)) << c.name;
        EXPECT_EQ(result, 0) << c.name;
    }
}

TEST_F(ExecutorTest, AReadIntoARecordFileChecksItsRangeAndLeavesTheFileAloneOnFailure) {
    const std::string path = dir_.Path("out.hex");
    const std::string text = kHexAt1000;
    WriteFileBytes(path, std::vector<std::uint8_t>(text.begin(), text.end()));
    SetFile("out.hex");
    params_.operation = OP_READ;
    params_.fileAddress = 0xFFFFFF00;
    params_.size = 0x101;
    int result = -1;
    EXPECT_EQ(Run(&result), "\nFAILURE: File address and size out of range");
    params_.size = 0x100;
    EXPECT_EQ(Run(&result), "\nReading 0x100 bytes from emulator at address 0x00 (Backfill)..."
                            "\nFAILURE: Emu read failed with CV_E_PORT_NOT_INITIALIZED");
    EXPECT_EQ(ReadFileBytes(path), std::vector<std::uint8_t>(text.begin(), text.end()));
}

namespace {

// A transfer whose range runs past the end of the emulator's RAM would wrap round onto other
// bytes: it is refused before any request goes out (not even the bank switch).
struct RangeCase {
    const char* name;
    const char* model;
    std::int32_t operation;
    std::uint32_t size; // of the file for a write, else of the transfer
    std::int32_t noBackBuf;
    std::uint32_t emuAddress;
    std::int32_t large;
    const char* want;
};

const RangeCase kRanges[] = {
    {"write at an address past the end", "corvane", OP_WRITE, 0x100, 1, 0x20010, 0,
     "\nFAILURE: 0x100 bytes at emulator address 0x20010 do not fit the emulator's RAM of 0x10000 bytes"},
    {"end-justified write larger than the RAM", "corvane", OP_WRITE, 0x20000, 0, 0, 0,
     "\nFAILURE: 0x20000 bytes at emulator address 0x00 (Backfill) do not fit the emulator's RAM of 0x10000 "
     "bytes"},
    {"write across the end", "corvane", OP_WRITE, 0x100, 1, 0xFF80, 0,
     "\nFAILURE: 0x100 bytes at emulator address 0xFF80 do not fit the emulator's RAM of 0x10000 bytes"},
    {"write ending at the last byte", "corvane", OP_WRITE, 0x100, 1, 0xFF00, 0,
     "\nWriting 0x100 bytes from file address 0x00 to emulator address 0xFF00..."
     "\nSUCCESS: Operation completed..."},
    {"read across the end", "corvane", OP_READ, 0x100, 1, 0xFF80, 0,
     "\nFAILURE: 0x100 bytes at emulator address 0xFF80 do not fit the emulator's RAM of 0x10000 bytes"},
    // 0xFFFFFF00 + 0x200 is 0x100 in 32 bits, which would pass as in range.
    {"verify at an address that wraps", "corvane", OP_VERIFY, 0x200, 1, 0xFFFFFF00, 0,
     "\nFAILURE: 0x200 bytes at emulator address 0xFFFFFF00 do not fit the emulator's RAM of 0x10000 bytes"},
    {"banked device without -large", "dravel", OP_WRITE, 0x20000, 0, 0, 0,
     "\nFAILURE: 0x20000 bytes at emulator address 0x00 (Backfill) do not fit the emulator's RAM of 0x10000 "
     "bytes"},
    {"-large past the end of 512 KB", "dravel", OP_WRITE, 0x100, 1, 0x7FF80, 1,
     "\nFAILURE: 0x100 bytes at emulator address 0x7FF80 do not fit the emulator's RAM of 0x80000 bytes"},
    {"-large keeps its 512 KB", "dravel", OP_WRITE, 0x20000, 0, 0, 1,
     "\nWriting 0x20000 bytes from file address 0x00 to emulator address 0x60000 (Backfill)..."
     "\nSUCCESS: Operation completed..."},
    // No RAM size is known for the family: what its requests can address bounds the range.
    {"family without a known RAM size, past the reach", "quorren", OP_WRITE, 0x100, 1, 0x90000, 0,
     "\nFAILURE: 0x100 bytes at emulator address 0x90000 run past the 0x10000 bytes the emulator's requests "
     "can address"},
    {"128 KB from address 0 without a known RAM size", "quorren", OP_WRITE, 0x20000, 1, 0, 0,
     "\nFAILURE: 0x20000 bytes at emulator address 0x00 run past the 0x10000 bytes the emulator's requests "
     "can address"},
    {"end-justified past the reach", "quorren", OP_WRITE, 0x10001, 0, 0, 0,
     "\nFAILURE: 0x10001 bytes at emulator address 0x00 (Backfill) run past the 0x10000 bytes the emulator's "
     "requests can address"},
    {"read past the reach", "quorren", OP_READ, 0x200, 1, 0xFF00, 0,
     "\nFAILURE: 0x200 bytes at emulator address 0xFF00 run past the 0x10000 bytes the emulator's requests "
     "can address"},
    {"write ending at the last byte of the reach", "quorren", OP_WRITE, 0x100, 1, 0xFF00, 0,
     "\nWriting 0x100 bytes from file address 0x00 to emulator address 0xFF00..."
     "\nSUCCESS: Operation completed..."},
};

} // namespace

TEST_F(ExecutorTest, ARangePastTheEndOfRamIsRefusedBeforeAnythingIsSent) {
    for (const RangeCase& c : kRanges) {
        SetUp();
        InProcessDevice device(ModelConfig(c.model), &g_device);
        ASSERT_NE(g_device.capabilities & CAPS_EMULATION, 0u) << c.name;
        const std::vector<std::uint8_t> ramBefore = device.Ram();
        SetFile("a.bin");
        if (c.operation == OP_WRITE) {
            WriteFileBytes(dir_.Path("a.bin"), CountingBytes(c.size));
        } else {
            params_.size = c.size;
        }
        params_.operation = c.operation;
        params_.noBackBuf = c.noBackBuf;
        params_.emuAddress = c.emuAddress;
        params_.large = c.large;
        device.Mark();
        int result = -1;
        const std::string out = Run(&result);
        EXPECT_EQ(out, c.want) << c.name;
        const bool refused = out.rfind("\nFAILURE: ", 0) == 0;
        EXPECT_EQ(result, refused ? 0 : 1) << c.name;
        if (refused) {
            EXPECT_EQ(device.Requests(), std::vector<std::string>{}) << c.name;
            EXPECT_EQ(device.Ram(), ramBefore) << c.name;
        }
    }
}

TEST_F(ExecutorTest, VerifyFailsOnAMismatchAndNamesTheSizeItCompared) {
    InProcessDevice device(ModelConfig("corvane"), &g_device);
    std::vector<std::uint8_t> bytes = CountingBytes(0x300);
    WriteFileBytes(dir_.Path("a.bin"), bytes);
    SetFile("a.bin");
    params_.operation = OP_WRITE;
    int result = -1;
    Run(&result);
    ASSERT_EQ(result, 1);

    params_.operation = OP_VERIFY;
    params_.size = 0;
    EXPECT_EQ(
        Run(&result),
        "\nVerifying 0x300 bytes from emulator RAM...\nSUCCESS: Contents match. Operation completed...");
    EXPECT_EQ(result, 1);

    for (std::size_t at : {0x0u, 0x150u, 0x2FFu}) {
        bytes[at] ^= 0xFF;
    }
    WriteFileBytes(dir_.Path("a.bin"), bytes);
    params_.size = 0;
    EXPECT_EQ(Run(&result),
              "\nVerifying 0x300 bytes from emulator RAM..."
              "\nDifference at emulator address 0xFD00 (file address 0x0), 1 bytes: emulator 00, file FF"
              "\nDifference at emulator address 0xFE50 (file address 0x150), 1 bytes: emulator 50, file AF"
              "\nDifference at emulator address 0xFFFF (file address 0x2FF), 1 bytes: emulator FF, file 00"
              "\nFAILURE: Buffers do NOT match! 3 bytes different. Operation completed");
    EXPECT_EQ(result, 0);
}

TEST_F(ExecutorTest, AReadWithoutASizeTakesTheRamFromWhereThePlacementStarts) {
    struct Case {
        const char* name;
        const char* model;
        std::int32_t noBackBuf;
        std::uint32_t emuAddress;
        std::int32_t large;
        const char* want;
    };
    const Case cases[] = {
        {"end-justified", "corvane", 0, 0, 0,
         "\nReading 0x10000 bytes from emulator at address 0x00 (Backfill)...\nSUCCESS: Operation "
         "completed..."},
        {"from a user address", "corvane", 1, 0x4000, 0,
         "\nReading 0xC000 bytes from emulator at address 0x4000...\nSUCCESS: Operation completed..."},
        {"the last byte", "corvane", 1, 0xFFFF, 0,
         "\nReading 0x01 bytes from emulator at address 0xFFFF...\nSUCCESS: Operation completed..."},
        {"from the end of RAM", "corvane", 1, 0x10000, 0,
         "\nFAILURE: Emulator address 0x10000 lies at or past the end of the emulator's RAM of 0x10000 "
         "bytes"},
        {"a banked device with -large", "dravel", 0, 0, 1,
         "\nReading 0x80000 bytes from emulator at address 0x00 (Backfill)...\nSUCCESS: Operation "
         "completed..."},
        {"a banked device without -large", "dravel", 0, 0, 0,
         "\nReading 0x10000 bytes from emulator at address 0x00 (Backfill)...\nSUCCESS: Operation "
         "completed..."},
        {"a family with no known RAM size", "quorren", 1, 0, 0, "\nFAILURE: Cannot read 0 bytes"},
    };
    for (const Case& c : cases) {
        SetUp();
        InProcessDevice device(ModelConfig(c.model), &g_device);
        SetFile("ram.bin");
        std::filesystem::remove(dir_.Path("ram.bin"));
        params_.operation = OP_READ;
        params_.noBackBuf = c.noBackBuf;
        params_.emuAddress = c.emuAddress;
        params_.large = c.large;
        int result = -1;
        const std::string out = Run(&result);
        EXPECT_EQ(out, c.want) << c.name;
        if (out.rfind("\nFAILURE: ", 0) == 0) {
            EXPECT_EQ(result, 0) << c.name;
            EXPECT_FALSE(std::filesystem::exists(dir_.Path("ram.bin"))) << c.name;
            continue;
        }
        // The file, made once the bytes came, holds the RAM from the placement on.
        EXPECT_EQ(result, 1) << c.name;
        const std::vector<std::uint8_t> ram = device.Ram();
        const std::size_t from = c.noBackBuf ? c.emuAddress : 0;
        EXPECT_EQ(ReadFileBytes(dir_.Path("ram.bin")),
                  std::vector<std::uint8_t>(ram.begin() + static_cast<std::ptrdiff_t>(from),
                                            ram.begin() + static_cast<std::ptrdiff_t>(from + params_.size)))
            << c.name;
    }
}

TEST_F(ExecutorTest, AVerifyThatFailsSaysWhereBeforeItsResultLine) {
    struct Case {
        const char* name;
        std::vector<std::uint8_t> file;
        std::uint32_t fileAddress;
        std::uint32_t size;
        std::vector<std::string> want;
    };
    const std::vector<std::uint8_t> ram = CountingBytes(0x48);
    std::vector<std::uint8_t> oneByte = CountingBytes(0x40);
    oneByte[7] = 0x5A;
    // Twelve bytes in one run show eight of each side; two runs one equal byte apart stay two.
    std::vector<std::uint8_t> twoRuns = CountingBytes(0x40);
    std::fill(twoRuns.begin() + 0x10, twoRuns.begin() + 0x1C, 0xEE);
    twoRuns[0x1D] = 0xEE;
    std::vector<std::uint8_t> everyOther = CountingBytes(0x40);
    std::vector<std::string> sixteenShown;
    for (std::uint32_t at = 0; at < 0x40; at += 2) {
        everyOther[at] = 0xFF;
        char line[120];
        std::snprintf(
            line, sizeof line,
            "Difference at emulator address 0x%X (file address 0x%X), 1 bytes: emulator %.2X, file FF",
            0x100 + at, at, at);
        if (sixteenShown.size() < 16) {
            sixteenShown.push_back(line);
        }
    }
    sixteenShown.push_back("... and 16 more differing runs");
    // From file address 4 the file's addresses and the emulator's part company; the size runs 4
    // bytes past the file's end.
    std::vector<std::uint8_t> shifted(4 + oneByte.size(), 0xAA);
    std::copy(oneByte.begin(), oneByte.end(), shifted.begin() + 4);
    const Case cases[] = {
        {"one byte",
         oneByte,
         0,
         0,
         {"Difference at emulator address 0x107 (file address 0x7), 1 bytes: emulator 07, file 5A"}},
        {"long and short runs",
         twoRuns,
         0,
         0,
         {"Difference at emulator address 0x110 (file address 0x10), 12 bytes: emulator 10 11 12 13 14 15 16 "
          "17 ..., file EE EE EE EE EE EE EE EE ...",
          "Difference at emulator address 0x11D (file address 0x1D), 1 bytes: emulator 1D, file EE"}},
        {"more than sixteen runs", everyOther, 0, 0, sixteenShown},
        {"from a file address and past the file's end",
         shifted,
         4,
         0x44,
         {"Difference at emulator address 0x107 (file address 0xB), 1 bytes: emulator 07, file 5A",
          "Difference at emulator address 0x140 (file address 0x44), 4 bytes: emulator 40 41 42 43, past the "
          "end of the file"}},
    };
    for (const Case& c : cases) {
        SetUp();
        InProcessDevice device(ModelConfig("corvane"), &g_device);
        WriteFileBytes(dir_.Path("ram.bin"), ram);
        SetFile("ram.bin");
        params_.operation = OP_WRITE;
        params_.noBackBuf = 1;
        params_.emuAddress = 0x100;
        int result = -1;
        Run(&result);
        ASSERT_EQ(result, 1) << c.name;

        WriteFileBytes(dir_.Path("file.bin"), c.file);
        SetFile("file.bin");
        params_.operation = OP_VERIFY;
        params_.fileAddress = c.fileAddress;
        params_.size = c.size;
        const std::string out = Run(&result);
        EXPECT_EQ(result, 0) << c.name;
        std::string lines;
        for (const std::string& line : c.want) {
            lines += "\n" + line;
        }
        // Between the line that names the size and the unchanged result line, which stays last.
        const std::size_t first = out.find('\n', 1);
        const std::size_t last = out.rfind('\n');
        EXPECT_EQ(out.substr(first, last - first), lines) << c.name;
        EXPECT_EQ(out.substr(last).rfind("\nFAILURE: Buffers do NOT match! ", 0), 0u) << c.name;
    }
}
