// Hundreds of random operations through the executor against the simulated emulator, each with a
// randomly injected fault, on real files. After every operation: it ended within its bound, it
// printed exactly one SUCCESS or FAILURE line, a success moved exactly the right bytes, nothing
// outside the operation's range changed, and the device is free for the next operation.
#include "app_state.h"
#include "cmdline.h"
#include "corvane.h"
#include "executor.h"
#include "program_device.h"
#include "scoped_ports.h"
#include "sim_line.h"
#include "stdout_capture.h"
#include "test_bytes.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <future>
#include <optional>
#include <random>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;

constexpr auto kOperationBound = std::chrono::seconds(30);
constexpr int kOperationsPerDevice = 300;

bool SameRange(const Bytes& a, std::size_t aStart, const Bytes& b, std::size_t bStart, std::size_t size) {
    return aStart + size <= a.size() && bStart + size <= b.size() &&
           std::equal(a.begin() + aStart, a.begin() + aStart + size, b.begin() + bStart);
}

// Equal everywhere except possibly in [start, start + size).
bool SameOutside(const Bytes& before, const Bytes& after, std::size_t start, std::size_t size) {
    if (before.size() != after.size()) {
        return false;
    }
    for (std::size_t i = 0; i < before.size(); ++i) {
        if ((i < start || i >= start + size) && before[i] != after[i]) {
            return false;
        }
    }
    return true;
}

// The one SUCCESS or FAILURE line of an operation's output, empty when there is not exactly one.
std::string OutcomeLine(const std::string& output) {
    std::string found;
    int count = 0;
    std::size_t start = 0;
    while (start <= output.size()) {
        std::size_t end = output.find('\n', start);
        std::string line = output.substr(start, end == std::string::npos ? std::string::npos : end - start);
        if (line.rfind("SUCCESS: ", 0) == 0 || line.rfind("FAILURE: ", 0) == 0) {
            found = line;
            ++count;
        }
        if (end == std::string::npos) {
            break;
        }
        start = end + 1;
    }
    return count == 1 ? found : "";
}

// A device of one model on an in-process line, found by the real hardware search.
struct SoakDevice {
    const char* model;
    bool large;
    // Bytes the host addresses: the whole RAM in the large-bin bank, else the first 64 KB.
    std::uint32_t span;
};

class Soak : public ::testing::TestWithParam<SoakDevice> {
  protected:
    void SetUp() override {
        g_app = AppState{};
        g_app.consoleMode = 1;
        ASSERT_TRUE(ConfigForModel(GetParam().model, &config_)) << GetParam().model;
        line_ = std::make_unique<SimLine>(config_);
        SetSerialOpener([this](const char* path) -> std::unique_ptr<SerialBackend> {
            return std::string(path) == "soak" ? line_->Connect() : nullptr;
        });
        ports_.emplace("soak");
        char name[kHardwareNameSize];
        ASSERT_NE(FindHardware(&g_device, name, nullptr) & CAPS_EMULATION, 0u) << GetParam().model;
        SetVendorID(&g_device, 3);
        random_.seed(std::hash<std::string>{}(GetParam().model));
        root_ = std::filesystem::temp_directory_path() /
                ("tevrix-soak-" + std::to_string(::getpid()) + "-" + GetParam().model);
        std::filesystem::create_directories(root_);
    }

    void TearDown() override {
        ClosePort(&g_device);
        SetSerialOpener({});
        ports_.reset();
        std::filesystem::remove_all(root_);
        g_app = AppState{};
    }

    // The device keeps its RAM, banks and vendor ID but misbehaves from now on as `fault` says.
    void InjectFault(const std::vector<FaultRule>& faults) {
        DeviceConfig config = config_;
        config.faults = faults;
        DeviceModel next(config);
        next.ram = line_->model.ram;
        next.emulationBank = line_->model.emulationBank;
        next.rwBank = line_->model.rwBank;
        std::copy(std::begin(line_->model.serial), std::end(line_->model.serial), next.serial);
        line_->model = next;
    }

    // The host's view of RAM: where address 0 of a transfer lands in the model's RAM.
    std::size_t RamBase() const { return GetParam().large ? 0 : std::size_t{line_->model.rwBank} * 0x10000; }

    std::vector<FaultRule> RandomFaults() {
        static const char* const kCommands[] = {"", "", "R", "W", "w", "ZR", "ZW", "X", "B"};
        std::vector<FaultRule> faults;
        if (random_() % 5 < 2) {
            return faults;
        }
        FaultRule rule;
        // Late and paused answers too: what comes after a time-out is waited for and discarded on
        // the line's own clock, which stands still only while the library sleeps.
        static const FaultKind kKinds[] = {FaultKind::Echo,   FaultKind::Silent,  FaultKind::Short,
                                           FaultKind::BadSum, FaultKind::Unknown, FaultKind::Nak,
                                           FaultKind::Stall,  FaultKind::Gap};
        rule.kind = kKinds[random_() % std::size(kKinds)];
        rule.command = kCommands[random_() % std::size(kCommands)];
        rule.skip = random_() % 3;
        rule.times = 1 + random_() % 3;
        rule.argGiven = random_() % 2 == 0;
        // Pauses up to 2 s: some end inside the read time-outs, some after them, some after the
        // drain has given up waiting.
        bool pause = rule.kind == FaultKind::Stall || rule.kind == FaultKind::Gap;
        rule.arg = random_() % (pause ? 2000 : 300);
        faults.push_back(rule);
        return faults;
    }

    std::uint32_t RandomSize() {
        std::uint32_t size = random_() % 2 ? (1 + random_() % 20) * 0x100 : 1 + random_() % 0x2400;
        return std::min(size, GetParam().span);
    }

    Bytes RandomBytes(std::size_t size) {
        Bytes bytes(size);
        for (auto& byte : bytes) {
            byte = static_cast<std::uint8_t>(random_());
        }
        return bytes;
    }

    // What the device still sends after a failed exchange has gone by before the next operation,
    // as it has after a user's pause on a real line.
    void LetTheLineSettle() {
        SetReadTimeout(&g_device, 2000);
        std::uint8_t byte = 0;
        while (g_device.port.Read(&byte, 1) == 1) {
        }
        SetReadTimeout(&g_device, kStandardReadTimeoutMs);
    }

    // Runs one operation within its bound; returns its output.
    std::string Execute(OperationParams* params, int* result) {
        StdoutCapture out;
        auto run = std::async(std::launch::async,
                              [params] { return ExecuteOperation(&g_device, params, MonitorReports{}); });
        if (run.wait_for(kOperationBound) != std::future_status::ready) {
            std::fprintf(stderr, "operation %d did not end within its bound\n", params->operation);
            std::abort();
        }
        *result = run.get();
        return out.Text();
    }

    OperationParams Params(std::int32_t operation, const std::string& path, std::uint32_t size) {
        OperationParams params{};
        params.keepRunning = 1;
        params.operation = operation;
        params.size = size;
        params.large = GetParam().large;
        std::snprintf(params.filePath, sizeof params.filePath, "%s", path.c_str());
        // Mostly at a chosen address; sometimes end-justified as the front ends do by default.
        if (random_() % 4 != 0) {
            params.noBackBuf = 1;
            params.emuAddress = random_() % (GetParam().span - size + 1);
        }
        return params;
    }

    std::uint32_t Address(const OperationParams& params) const {
        return params.noBackBuf ? params.emuAddress : GetParam().span - params.size;
    }

    void OneOperation(int index);

    // Outcomes seen, by operation and success: the soak must really exercise both.
    int outcomes_[3][2] = {};

    DeviceConfig config_;
    std::unique_ptr<SimLine> line_;
    std::filesystem::path root_;
    std::optional<ScopedPorts> ports_;
    std::mt19937 random_;
};

void Soak::OneOperation(int index) {
    const std::uint32_t size = RandomSize();
    const std::uint32_t fileAddress = random_() % 0x800;
    const std::string path = (root_ / "image.bin").string();
    const int kind = static_cast<int>(random_() % 3);
    const std::int32_t operation = kind == 0 ? OP_WRITE : kind == 1 ? OP_READ : OP_VERIFY;
    OperationParams params = Params(operation, path, size);
    const std::size_t at = RamBase() + Address(params);

    Bytes file = RandomBytes(fileAddress + size + random_() % 0x100);
    if (operation == OP_VERIFY && random_() % 2 == 0) {
        std::copy_n(line_->model.ram.begin() + static_cast<std::ptrdiff_t>(at), size,
                    file.begin() + fileAddress);
    }
    WriteFileBytes(path, file);
    params.fileAddress = fileAddress;
    LetTheLineSettle();
    const Bytes ramBefore = line_->model.ram;
    const std::vector<FaultRule> faults = RandomFaults();
    InjectFault(faults);

    int result = 0;
    std::string output = Execute(&params, &result);
    const std::string outcome = OutcomeLine(output);
    const bool success = outcome.rfind("SUCCESS: ", 0) == 0;
    const Bytes& ram = line_->model.ram;
    const Bytes fileAfter = ReadFileBytes(path);
    std::string fault = "none";
    if (!faults.empty()) {
        fault = "kind " + std::to_string(static_cast<int>(faults[0].kind)) + " cmd '" + faults[0].command +
                "' skip " + std::to_string(faults[0].skip) + " times " + std::to_string(faults[0].times) +
                " arg " + (faults[0].argGiven ? std::to_string(faults[0].arg) : "-");
    }
    SCOPED_TRACE("operation " + std::to_string(index) + " (" + std::to_string(operation) + "), fault " +
                 fault + ":\n" + output);

    ASSERT_FALSE(outcome.empty()) << "not exactly one SUCCESS or FAILURE line";
    ++outcomes_[operation == OP_WRITE ? 0 : operation == OP_READ ? 1 : 2][success ? 1 : 0];
    EXPECT_EQ(g_device.idle.load(), 1);
    EXPECT_EQ(g_device.cancel.load(), 0);
    switch (operation) {
    case OP_WRITE:
        EXPECT_EQ(result, success ? 1 : 0);
        EXPECT_EQ(fileAfter, file);
        EXPECT_TRUE(SameOutside(ramBefore, ram, at, size)) << "a write touched RAM outside its range";
        if (success) {
            EXPECT_TRUE(SameRange(ram, at, file, fileAddress, size)) << "SUCCESS but RAM differs";
        }
        break;
    case OP_READ:
        EXPECT_EQ(result, success ? 1 : 0);
        EXPECT_EQ(ram, ramBefore);
        if (success) {
            EXPECT_TRUE(SameOutside(file, fileAfter, fileAddress, size));
            EXPECT_TRUE(SameRange(fileAfter, fileAddress, ram, at, size)) << "SUCCESS but the file differs";
        } else {
            EXPECT_EQ(fileAfter, file) << "a failed read changed the file";
        }
        break;
    default:
        EXPECT_EQ(ram, ramBefore);
        EXPECT_EQ(fileAfter, file);
        if (success) {
            EXPECT_TRUE(SameRange(ram, at, file, fileAddress, size)) << "SUCCESS but RAM differs";
        } else if (outcome.rfind("FAILURE: Buffers do NOT match! ", 0) == 0) {
            std::size_t differ = 0;
            for (std::uint32_t i = 0; i < size; ++i) {
                differ += ram[at + i] != file[fileAddress + i];
            }
            EXPECT_EQ(outcome, "FAILURE: Buffers do NOT match! " + std::to_string(differ) +
                                   " bytes different. Operation completed");
        }
        break;
    }
}

TEST_P(Soak, RandomOperationsWithFaults) {
    for (int i = 0; i < kOperationsPerDevice && !HasFatalFailure(); ++i) {
        OneOperation(i);
    }
    const char* const kNames[] = {"write", "read", "verify"};
    for (int op = 0; op < 3; ++op) {
        std::printf("%s: %d succeeded, %d failed\n", kNames[op], outcomes_[op][1], outcomes_[op][0]);
        EXPECT_GT(outcomes_[op][1], 0) << kNames[op];
        EXPECT_GT(outcomes_[op][0], 0) << kNames[op];
    }
}

// Plain framing with bulk; encrypted framing in the large-bin bank; slow packets only.
INSTANTIATE_TEST_SUITE_P(Devices, Soak,
                         ::testing::Values(SoakDevice{"corvane", false, 0x10000},
                                           SoakDevice{"dravel", true, 0x80000},
                                           SoakDevice{"vespin2", false, 0x10000}),
                         [](const auto& info) { return std::string(info.param.model); });

} // namespace
