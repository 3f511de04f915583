#include "bench_cases.h"

#include "app_state.h"
#include "bench_link.h"
#include "cmdline.h"
#include "corvane.h"
#include "monitor.h"

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <fcntl.h>
#include <mutex>
#include <pthread.h>
#include <random>
#include <thread>
#include <time.h>
#include <unistd.h>
#include <vector>

namespace {

constexpr int kSaves = 20;
constexpr std::uint32_t kLatencyFileSize = 0x10000;
constexpr std::uint32_t kPollFileSize = 0x80000;
constexpr auto kUploadWait = std::chrono::seconds(5);

// When the monitor reported each upload as done.
std::mutex g_uploadsMutex;
std::vector<BenchClock::time_point> g_uploads;

std::int32_t OnChanges(std::int32_t, std::int32_t) {
    std::lock_guard<std::mutex> lock(g_uploadsMutex);
    g_uploads.push_back(BenchClock::now());
    return 1;
}

bool WaitForUpload(std::size_t count, BenchClock::time_point* at) {
    auto deadline = BenchClock::now() + kUploadWait;
    while (BenchClock::now() < deadline) {
        {
            std::lock_guard<std::mutex> lock(g_uploadsMutex);
            if (g_uploads.size() >= count) {
                *at = g_uploads[count - 1];
                return true;
            }
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return false;
}

std::string MakeFile(const std::string& path, std::uint32_t size) {
    std::vector<std::uint8_t> bytes(size);
    for (std::uint32_t i = 0; i < size; ++i) {
        bytes[i] = static_cast<std::uint8_t>(i * 31 + (i >> 8));
    }
    if (FILE* file = std::fopen(path.c_str(), "wb")) {
        std::fwrite(bytes.data(), 1, bytes.size(), file);
        std::fclose(file);
    }
    return path;
}

// An editor's save of a few changed bytes, in place.
void SaveChange(const std::string& path, std::uint32_t offset, std::uint32_t salt) {
    std::uint8_t bytes[4] = {static_cast<std::uint8_t>(salt), static_cast<std::uint8_t>(salt >> 8), 0x5A,
                             static_cast<std::uint8_t>(~salt)};
    int fd = ::open(path.c_str(), O_WRONLY);
    if (fd >= 0) {
        ssize_t written = ::pwrite(fd, bytes, sizeof bytes, offset);
        (void)written;
        ::close(fd);
    }
}

OperationParams MonitorParams(const std::string& path) {
    OperationParams params{};
    params.keepRunning = 1;
    params.operation = OP_MONITOR;
    std::snprintf(params.filePath, sizeof params.filePath, "%s", path.c_str());
    return params;
}

void StopMonitor(OperationParams* params, std::thread* worker) {
    std::atomic_ref<std::int32_t>(params->keepRunning).store(0);
    worker->join();
}

bool RamHoldsFile(const std::string& path, std::uint32_t size) {
    std::vector<std::uint8_t> file(size);
    std::vector<std::uint8_t> ram(size);
    FILE* in = std::fopen(path.c_str(), "rb");
    bool read = in != nullptr && std::fread(file.data(), 1, size, in) == size;
    if (in != nullptr) {
        std::fclose(in);
    }
    return read && ReadBlock(&g_device, ram.data(), size, 0, 0, nullptr) == CV_S_OK && ram == file;
}

double CpuSeconds(clockid_t clock) {
    timespec now{};
    clock_gettime(clock, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) / 1e9;
}

} // namespace

void RunMonitorLatencyBench(const std::string& simulator, const std::string& dir,
                            std::vector<TimeRow>* rows) {
    std::string path = MakeFile(dir + "/monitor.bin", kLatencyFileSize);
    BenchLink link(simulator, {"--model", "corvane", "--ram-size", "0x10000", "--load", path});
    if (!link.Connect(115200)) {
        rows->push_back({"monitor latency", 0, 0, "NO DEVICE"});
        return;
    }
    // The upload itself: a slow packet of four bytes, timed once on its own.
    std::uint8_t probe[4] = {};
    auto probeStart = BenchClock::now();
    ReadBlock(&g_device, probe, sizeof probe, 0x100, 0, nullptr);
    WriteBlockBothSpaces(&g_device, probe, sizeof probe, 0x100, CV_XFER_LOWER_W, nullptr);
    double transfer = SecondsSince(probeStart) / 2;

    g_uploads.clear();
    g_app.monitorChanges = OnChanges;
    OperationParams params = MonitorParams(path);
    std::thread worker([&params] { MonitorFile(&params); });
    std::this_thread::sleep_for(std::chrono::milliseconds(300));

    std::mt19937 random(12);
    std::vector<double> latencies;
    for (int i = 0; i < kSaves; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(200 + random() % 1000));
        auto saved = BenchClock::now();
        SaveChange(path, random() % (kLatencyFileSize - 4), static_cast<std::uint32_t>(random()));
        BenchClock::time_point uploaded;
        if (!WaitForUpload(latencies.size() + 1, &uploaded)) {
            break;
        }
        latencies.push_back(std::chrono::duration<double>(uploaded - saved).count());
    }
    StopMonitor(&params, &worker);
    g_app.monitorChanges = nullptr;

    std::sort(latencies.begin(), latencies.end());
    bool complete = static_cast<int>(latencies.size()) == kSaves;
    char note[96];
    std::snprintf(note, sizeof note, "%zu of %d saves uploaded; RAM %s the file; 4-byte upload %.4f s",
                  latencies.size(), kSaves, RamHoldsFile(path, kLatencyFileSize) ? "equals" : "DIFFERS FROM",
                  transfer);
    double median = latencies.empty() ? 0 : latencies[latencies.size() / 2];
    rows->push_back({"monitor: save to RAM, median", complete ? median : 99, 1.1 + transfer, note});
    rows->push_back({"monitor: save to RAM, worst", latencies.empty() ? 0 : latencies.back(), 0, ""});
}

void RunMonitorCpuBench(const std::string& dir, std::vector<TimeRow>* rows) {
    std::string path = MakeFile(dir + "/poll.bin", kPollFileSize);
    OperationParams params = MonitorParams(path);
    constexpr int kPolls = 3;
    std::thread worker([&params] { MonitorFile(&params); });
    clockid_t clock{};
    pthread_getcpuclockid(worker.native_handle(), &clock);
    std::this_thread::sleep_for(std::chrono::milliseconds(kPolls * 1000 + 500));
    double cpu = CpuSeconds(clock);
    StopMonitor(&params, &worker);
    rows->push_back({"monitor: CPU of one poll, 512 KB unchanged", cpu / kPolls, 0,
                     "thread CPU over 3 polls, the first read of the file included"});
}
