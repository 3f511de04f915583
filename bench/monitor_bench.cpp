#include "bench_cases.h"

#include "app_state.h"
#include "bench_link.h"
#include "cmdline.h"
#include "corvane.h"
#include "monitor.h"
#include "program_device.h"

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <fcntl.h>
#include <functional>
#include <mutex>
#include <pthread.h>
#include <random>
#include <sys/mman.h>
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

// Writes a few changed bytes at `offset`.
using Save = std::function<void(std::uint32_t offset, std::uint32_t salt)>;

void ChangedBytes(std::uint32_t salt, std::uint8_t* bytes) {
    bytes[0] = static_cast<std::uint8_t>(salt);
    bytes[1] = static_cast<std::uint8_t>(salt >> 8);
    bytes[2] = 0x5A;
    bytes[3] = static_cast<std::uint8_t>(~salt);
}

// An editor's save of a few changed bytes, in place.
void SaveInPlace(const std::string& path, std::uint32_t offset, std::uint32_t salt) {
    std::uint8_t bytes[4];
    ChangedBytes(salt, bytes);
    int fd = ::open(path.c_str(), O_WRONLY);
    if (fd >= 0) {
        ssize_t written = ::pwrite(fd, bytes, sizeof bytes, offset);
        (void)written;
        ::close(fd);
    }
}

// Writes through a shared memory mapping change the file without a notice from the file system,
// so the monitor finds them by its once-a-second look alone.
class MappedFile {
  public:
    MappedFile(const std::string& path, std::uint32_t size) : size_(size) {
        fd_ = ::open(path.c_str(), O_RDWR);
        void* map = fd_ < 0 ? MAP_FAILED : ::mmap(nullptr, size, PROT_READ | PROT_WRITE, MAP_SHARED, fd_, 0);
        bytes_ = map == MAP_FAILED ? nullptr : static_cast<std::uint8_t*>(map);
    }
    ~MappedFile() {
        if (bytes_ != nullptr) {
            ::munmap(bytes_, size_);
        }
        if (fd_ >= 0) {
            ::close(fd_);
        }
    }
    MappedFile(const MappedFile&) = delete;
    MappedFile& operator=(const MappedFile&) = delete;

    void Save(std::uint32_t offset, std::uint32_t salt) {
        if (bytes_ != nullptr) {
            ChangedBytes(salt, bytes_ + offset);
        }
    }

  private:
    int fd_ = -1;
    std::uint32_t size_;
    std::uint8_t* bytes_ = nullptr;
};

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

// From each save at a random moment to the monitor's report of its upload, sorted. Each `seed`
// gives other places and bytes, so that one run's saves are changes after another's.
std::vector<double> SaveToUpload(const std::string& path, const Save& save, unsigned seed) {
    g_uploads.clear();
    OperationParams params = MonitorParams(path);
    std::thread worker([&params] {
        MonitorFile(&g_device, &params, MonitorReports{nullptr, OnChanges, nullptr});
    });
    std::this_thread::sleep_for(std::chrono::milliseconds(300));

    std::mt19937 random(seed);
    std::vector<double> latencies;
    for (int i = 0; i < kSaves; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(200 + random() % 1000));
        auto saved = BenchClock::now();
        save(random() % (kLatencyFileSize - 4), static_cast<std::uint32_t>(random()));
        BenchClock::time_point uploaded;
        if (!WaitForUpload(latencies.size() + 1, &uploaded)) {
            break;
        }
        latencies.push_back(std::chrono::duration<double>(uploaded - saved).count());
    }
    StopMonitor(&params, &worker);
    std::sort(latencies.begin(), latencies.end());
    return latencies;
}

// Median and worst rows; a run that lost a save shows 99 s as its median.
void AddLatencyRows(const char* name, const std::vector<double>& latencies, double medianTarget,
                    double worstTarget, const std::string& note, std::vector<TimeRow>* rows) {
    bool complete = static_cast<int>(latencies.size()) == kSaves;
    double median = latencies.empty() ? 0 : latencies[latencies.size() / 2];
    char text[160];
    std::snprintf(text, sizeof text, "%zu of %d saves uploaded; %s", latencies.size(), kSaves, note.c_str());
    rows->push_back({std::string(name) + ", median", complete ? median : 99, medianTarget, text});
    rows->push_back(
        {std::string(name) + ", worst", latencies.empty() ? 0 : latencies.back(), worstTarget, ""});
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

    std::vector<double> noticed = SaveToUpload(
        path, [&path](std::uint32_t offset, std::uint32_t salt) { SaveInPlace(path, offset, salt); }, 12);
    std::vector<double> polled;
    {
        MappedFile mapped(path, kLatencyFileSize);
        polled = SaveToUpload(
            path, [&mapped](std::uint32_t offset, std::uint32_t salt) { mapped.Save(offset, salt); }, 34);
    }
    char note[96];
    std::snprintf(note, sizeof note, "RAM %s the file; 4-byte upload %.4f s",
                  RamHoldsFile(path, kLatencyFileSize) ? "equals" : "DIFFERS FROM", transfer);
    AddLatencyRows("monitor: save to RAM", noticed, 0.1 + transfer, 0.2 + transfer, note, rows);
    AddLatencyRows("monitor: save without a notice to RAM", polled, 1.1 + transfer, 0,
                   "saves through a memory mapping, found by the once-a-second look", rows);
}

void RunMonitorCpuBench(const std::string& dir, std::vector<TimeRow>* rows) {
    std::string path = MakeFile(dir + "/poll.bin", kPollFileSize);
    OperationParams params = MonitorParams(path);
    constexpr int kPolls = 3;
    std::thread worker([&params] { MonitorFile(&g_device, &params, MonitorReports{}); });
    clockid_t clock{};
    pthread_getcpuclockid(worker.native_handle(), &clock);
    std::this_thread::sleep_for(std::chrono::milliseconds(kPolls * 1000 + 500));
    double cpu = CpuSeconds(clock);
    StopMonitor(&params, &worker);
    rows->push_back({"monitor: CPU of one poll, 512 KB unchanged", cpu / kPolls, 0,
                     "thread CPU over 3 polls, the first read of the file included"});
}
