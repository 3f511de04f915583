// A transfer and an operation on a worker thread while another thread asks the device for
// something, cancels, or ends monitoring, as the dialog does: over a real pseudo-terminal against
// tevrix-sim on a paced line. The worker's transfer is held at its first packet while the other
// thread acts, so that what is tested happens during the transfer however slow the machine is.
// Run under ThreadSanitizer by the tsan preset.
#include "app_state.h"
#include "cmdline.h"
#include "corvane.h"
#include "executor.h"
#include "program_device.h"
#include "scoped_ports.h"
#include "sim_process.h"
#include "status_window.h"
#include "wait_until.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <future>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace {

using namespace std::chrono_literals;

// Bounds for events that come within a second or so on a quiet machine.
constexpr auto kEventBound = 60s;
constexpr std::uint32_t kLongTransfer = 0x10000;

// Stands where the dialog's progress control would be. At the transfer's first packet it holds
// the worker (which holds the device's request lock) until the test lets it go on.
class HoldAtFirstPacket : public ProgressReceiver {
  public:
    std::intptr_t Receive(std::uint32_t message, std::uintptr_t, std::intptr_t) override {
        if (message == kProgressStepIt && !reached_) {
            reached_ = true;
            held_.set_value();
            released_.wait_for(kEventBound);
        }
        return 0;
    }
    // True once the worker waits at the first packet.
    bool WaitUntilHeld() { return heldSeen_.wait_for(kEventBound) == std::future_status::ready; }
    void Release() { release_.set_value(); }

  private:
    bool reached_ = false; // the worker's alone
    std::promise<void> held_;
    std::future<void> heldSeen_ = held_.get_future();
    std::promise<void> release_;
    std::future<void> released_ = release_.get_future();
};

// The progress control during monitoring: each poll ends by setting the text "Monitoring".
class PollCounter : public ProgressReceiver {
  public:
    std::intptr_t Receive(std::uint32_t message, std::uintptr_t, std::intptr_t lParam) override {
        if (message == kWmSetText && std::string(reinterpret_cast<const char*>(lParam)) == "Monitoring") {
            ++polls;
        }
        return 0;
    }
    std::atomic<int> polls{0};
};

std::atomic<int> g_uploads{0};

std::int32_t CountUploads(std::int32_t, std::int32_t) {
    ++g_uploads;
    return 0;
}

class WorkerThread : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_FALSE(sim_.Path().empty());
        ports_.emplace(sim_.Path());
        ASSERT_NE(FindHardware(&g_device, nullptr, nullptr) & CAPS_EMULATION, 0u);
        g_app = AppState{};
    }
    void TearDown() override {
        ClosePort(&g_device);
        ports_.reset();
        g_app = AppState{};
    }

    // The device answers again once whatever was still on the line has gone by.
    static bool AnswersAgain() {
        return WaitUntil([] { return GetFirmwareVersion(&g_device, nullptr) == CV_S_OK; }, kEventBound);
    }

    SimProcess sim_{TEVRIX_SIM, {"--model", "corvane", "--pace"}};
    std::optional<ScopedPorts> ports_;
};

TEST_F(WorkerThread, ASecondRequestMeetsTheLockAndCancelEndsTheTransfer) {
    std::vector<std::uint8_t> buffer(kLongTransfer);
    HoldAtFirstPacket progress;
    auto read = std::async(std::launch::async, [&buffer, &progress] {
        return ReadBlock(&g_device, buffer.data(), kLongTransfer, 0, 0, &progress);
    });
    EXPECT_TRUE(progress.WaitUntilHeld()) << "the transfer did not start";
    EXPECT_EQ(g_device.idle.load(), 0);
    EXPECT_EQ(GetFirmwareVersion(&g_device, nullptr), CV_E_PORT_BUSY);
    // As Cancel Op does: only while a request runs.
    if (g_device.idle.load() == 0) {
        g_device.cancel = 1;
    }
    progress.Release();
    ASSERT_EQ(read.wait_for(kEventBound), std::future_status::ready);
    EXPECT_EQ(read.get(), CV_E_OPERATION_CANCELED);
    EXPECT_EQ(g_device.cancel.load(), 0);
    EXPECT_EQ(g_device.idle.load(), 1);
    EXPECT_TRUE(AnswersAgain());
}

TEST_F(WorkerThread, CancelledWriteOperationReportsItsFailureAndMonitoringEndsWhenAsked) {
    auto dir = std::filesystem::temp_directory_path() / ("tevrix-worker-" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    std::string path = (dir / "image.bin").string();
    std::ofstream(path, std::ios::binary) << std::string(kLongTransfer, 'x');

    HoldAtFirstPacket writeProgress;
    g_app.progressWindow = &writeProgress;
    OperationParams write{};
    write.keepRunning = 1;
    write.operation = OP_WRITE;
    std::snprintf(write.filePath, sizeof write.filePath, "%s", path.c_str());
    auto writing = std::async(std::launch::async,
                              [&write] { return ExecuteOperation(&g_device, &write, MonitorReports{}); });
    EXPECT_TRUE(writeProgress.WaitUntilHeld()) << "the write did not start";
    if (g_device.idle.load() == 0) {
        g_device.cancel = 1;
    }
    writeProgress.Release();
    ASSERT_EQ(writing.wait_for(kEventBound), std::future_status::ready);
    EXPECT_EQ(writing.get(), 0);
    EXPECT_TRUE(AnswersAgain());

    PollCounter monitorProgress;
    g_app.progressWindow = &monitorProgress;
    g_uploads = 0;
    OperationParams monitor{};
    monitor.keepRunning = 1;
    monitor.operation = OP_MONITOR;
    std::snprintf(monitor.filePath, sizeof monitor.filePath, "%s", path.c_str());
    auto monitoring = std::async(std::launch::async, [&monitor] {
        return ExecuteOperation(&g_device, &monitor, MonitorReports{nullptr, CountUploads, nullptr});
    });
    // A poll has ended, so the file's first contents are taken: the edit below is a change.
    EXPECT_TRUE(WaitUntil([&] { return monitorProgress.polls > 0; }, kEventBound));
    std::ofstream(path, std::ios::binary | std::ios::in | std::ios::out) << "changed";
    EXPECT_TRUE(WaitUntil([] { return g_uploads > 0; }, kEventBound)) << "the change was not uploaded";
    std::atomic_ref<std::int32_t>(monitor.keepRunning).store(0);
    ASSERT_EQ(monitoring.wait_for(kEventBound), std::future_status::ready);
    EXPECT_EQ(monitoring.get(), 1);
    std::filesystem::remove_all(dir);

    std::uint8_t head[7] = {};
    EXPECT_EQ(ReadBlock(&g_device, head, sizeof head, 0, 0, nullptr), CV_S_OK);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(head), sizeof head), "changed");
}

} // namespace
