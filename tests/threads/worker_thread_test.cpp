// A transfer and an operation on a worker thread while another thread asks the device for
// something, cancels, or ends monitoring, as the dialog does: over a real pseudo-terminal against
// tevrix-sim on a paced line, so that the transfer is still running when the other thread acts.
// Run under ThreadSanitizer by the tsan preset.
#include "app_state.h"
#include "cmdline.h"
#include "corvane.h"
#include "executor.h"
#include "sim_process.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <future>
#include <thread>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

// 64 KB take 5.7 s at 115200 baud; everything below must happen well before that.
constexpr std::uint32_t kLongTransfer = 0x10000;

class WorkerThread : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_FALSE(sim_.Path().empty());
        ::setenv("TEVRIX_PORTS", sim_.Path().c_str(), 1);
        ASSERT_NE(FindHardware(&g_device, nullptr, nullptr) & CAPS_EMULATION, 0u);
        g_app = AppState{};
    }
    void TearDown() override {
        ClosePort(&g_device);
        ::unsetenv("TEVRIX_PORTS");
    }

    // The device answers again once whatever was still on the line has gone by.
    static bool AnswersAgain() {
        for (int attempt = 0; attempt < 5; ++attempt) {
            if (GetFirmwareVersion(&g_device, nullptr) == CV_S_OK) {
                return true;
            }
            std::this_thread::sleep_for(400ms);
        }
        return false;
    }

    SimProcess sim_{TEVRIX_SIM, {"--model", "corvane", "--pace"}};
};

TEST_F(WorkerThread, ASecondRequestMeetsTheLockAndCancelEndsTheTransfer) {
    std::vector<std::uint8_t> buffer(kLongTransfer);
    auto start = Clock::now();
    auto read = std::async(std::launch::async, [&buffer] {
        return ReadBlock(&g_device, buffer.data(), kLongTransfer, 0, 0, nullptr);
    });
    std::this_thread::sleep_for(300ms);
    EXPECT_EQ(g_device.idle.load(), 0);
    EXPECT_EQ(GetFirmwareVersion(&g_device, nullptr), CV_E_PORT_BUSY);
    if (g_device.idle.load() == 0) {
        g_device.cancel = 1;
    }
    ASSERT_EQ(read.wait_for(3s), std::future_status::ready);
    EXPECT_EQ(read.get(), CV_E_OPERATION_CANCELED);
    EXPECT_LT(Clock::now() - start, 4s);
    EXPECT_EQ(g_device.cancel.load(), 0);
    EXPECT_EQ(g_device.idle.load(), 1);
    EXPECT_TRUE(AnswersAgain());
}

TEST_F(WorkerThread, CancelledWriteOperationReportsItsFailureAndMonitoringEndsWhenAsked) {
    auto dir = std::filesystem::temp_directory_path() / ("tevrix-worker-" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    std::string path = (dir / "image.bin").string();
    std::ofstream(path, std::ios::binary) << std::string(kLongTransfer, 'x');

    OperationParams write{};
    write.keepRunning = 1;
    write.operation = OP_WRITE;
    std::snprintf(write.filePath, sizeof write.filePath, "%s", path.c_str());
    auto writing = std::async(std::launch::async, [&write] { return ExecuteOperation(&write); });
    std::this_thread::sleep_for(500ms);
    if (g_device.idle.load() == 0) {
        g_device.cancel = 1;
    }
    ASSERT_EQ(writing.wait_for(3s), std::future_status::ready);
    EXPECT_EQ(writing.get(), 0);
    EXPECT_TRUE(AnswersAgain());

    OperationParams monitor{};
    monitor.keepRunning = 1;
    monitor.operation = OP_MONITOR;
    std::snprintf(monitor.filePath, sizeof monitor.filePath, "%s", path.c_str());
    auto monitoring = std::async(std::launch::async, [&monitor] { return ExecuteOperation(&monitor); });
    std::this_thread::sleep_for(1500ms);
    std::ofstream(path, std::ios::binary | std::ios::in | std::ios::out) << "changed";
    std::this_thread::sleep_for(1500ms);
    std::atomic_ref<std::int32_t>(monitor.keepRunning).store(0);
    ASSERT_EQ(monitoring.wait_for(3s), std::future_status::ready);
    EXPECT_EQ(monitoring.get(), 1);
    std::filesystem::remove_all(dir);

    std::uint8_t head[7] = {};
    EXPECT_EQ(ReadBlock(&g_device, head, sizeof head, 0, 0, nullptr), CV_S_OK);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(head), sizeof head), "changed");
}

} // namespace
