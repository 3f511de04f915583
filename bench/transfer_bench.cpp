#include "bench_cases.h"

#include "bench_link.h"
#include "cmdline.h"
#include "corvane.h"
#include "executor.h"
#include "program_device.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <vector>

namespace {

constexpr std::uint32_t k64K = 0x10000;
constexpr std::uint32_t k512K = 0x80000;

std::vector<std::uint8_t> Pattern(std::uint32_t size, std::uint32_t seed) {
    std::vector<std::uint8_t> bytes(size);
    std::uint32_t state = seed * 2654435761u + 1;
    for (auto& byte : bytes) {
        state = state * 1103515245u + 12345u;
        byte = static_cast<std::uint8_t>(state >> 16);
    }
    return bytes;
}

struct Context {
    std::uint32_t baud;
    double bulkTarget;
    double slowTarget;
    std::vector<TransferRow>* rows;
};

void Add(const Context& context, const char* name, std::uint32_t size, double seconds, double target,
         bool correct) {
    context.rows->push_back({name, context.baud, size, seconds, target, correct});
}

void TimedWrite(const Context& context, const char* name, const std::vector<std::uint8_t>& data,
                std::uint32_t flags, double target, std::uint32_t address = 0) {
    std::vector<std::uint8_t> copy = data;
    auto start = BenchClock::now();
    CvResult result = WriteBlockBothSpaces(&g_device, copy.data(), static_cast<std::uint32_t>(copy.size()),
                                           address, CV_XFER_LOWER_W | flags, nullptr);
    Add(context, name, static_cast<std::uint32_t>(data.size()), SecondsSince(start), target,
        result == CV_S_OK);
}

void TimedRead(const Context& context, const char* name, const std::vector<std::uint8_t>& expected,
               std::uint32_t flags, double target, std::uint32_t address = 0) {
    std::vector<std::uint8_t> got(expected.size());
    auto start = BenchClock::now();
    CvResult result =
        ReadBlock(&g_device, got.data(), static_cast<std::uint32_t>(got.size()), address, flags, nullptr);
    Add(context, name, static_cast<std::uint32_t>(got.size()), SecondsSince(start), target,
        result == CV_S_OK && got == expected);
}

// The verify the executor runs for "-verify": file read, emulator read, comparison.
void TimedVerify(const Context& context, const std::vector<std::uint8_t>& expected, const std::string& dir) {
    std::string path = dir + "/verify.bin";
    if (FILE* file = std::fopen(path.c_str(), "wb")) {
        std::fwrite(expected.data(), 1, expected.size(), file);
        std::fclose(file);
    }
    OperationParams params{};
    params.keepRunning = 1;
    params.operation = OP_VERIFY;
    params.size = static_cast<std::uint32_t>(expected.size());
    std::snprintf(params.filePath, sizeof params.filePath, "%s", path.c_str());
    auto start = BenchClock::now();
    int done = ExecuteOperation(&g_device, &params, MonitorReports{});
    Add(context, "64 KB verify (executor)", params.size, SecondsSince(start), context.bulkTarget, done == 1);
}

// One short request and its answer, the turnaround every slow packet pays on top of its bytes.
void TimedRoundTrip(const Context& context, std::vector<TimeRow>* times) {
    constexpr int kTrips = 50;
    std::vector<double> trips;
    for (int i = 0; i < kTrips; ++i) {
        auto start = BenchClock::now();
        if (GetFirmwareVersion(&g_device, nullptr) == CV_S_OK) {
            trips.push_back(SecondsSince(start));
        }
    }
    std::sort(trips.begin(), trips.end());
    char name[80];
    std::snprintf(name, sizeof name, "version request round trip at %u baud, median", context.baud);
    char note[96];
    std::snprintf(note, sizeof note, "%zu of %d answered; 5 bytes on the wire take %.4f s", trips.size(),
                  kTrips, LineLimitSeconds(5, context.baud));
    times->push_back({name, trips.empty() ? 0 : trips[trips.size() / 2], 0, note});
}

void PlainCases(const Context& context, const std::string& simulator, const std::string& dir,
                std::vector<TimeRow>* times) {
    BenchLink link(simulator, {"--model", "corvane", "--ram-size", "0x10000"});
    bool connected = link.Connect(context.baud);
    auto bulk = Pattern(k64K, context.baud);
    auto slow = Pattern(k64K, context.baud + 1);
    if (!connected) {
        std::fprintf(stderr, "no simulated device found at %u baud\n", context.baud);
    }
    TimedWrite(context, "64 KB bulk write", bulk, 0, context.bulkTarget);
    TimedRead(context, "64 KB bulk read", bulk, 0, context.bulkTarget);
    TimedWrite(context, "64 KB slow-packet write", slow, CV_XFER_NO_BULK, context.slowTarget);
    TimedRead(context, "64 KB slow-packet read", slow, CV_XFER_NO_BULK, context.slowTarget);
    TimedVerify(context, slow, dir);
    TimedRoundTrip(context, times);
}

void EncryptedCases(const Context& context, const std::string& simulator) {
    BenchLink link(simulator, {"--model", "dravel"});
    bool connected = link.Connect(context.baud) && (g_device.capabilities & CAPS_ENCRYPTION);
    if (!connected) {
        std::fprintf(stderr, "no encrypting simulated device found at %u baud\n", context.baud);
    }
    auto small = Pattern(k64K, context.baud + 2);
    TimedWrite(context, "64 KB bulk write, encrypted", small, 0, context.bulkTarget);
    const char* writeName = "512 KB bulk write, large-bin bank, encrypted";
    const char* readName = "512 KB bulk read, large-bin bank, encrypted";
    if (!connected || SetBank(&g_device, 8, 0, 1, 0) != CV_S_OK) {
        Add(context, writeName, k512K, 0, context.bulkTarget, false);
        Add(context, readName, k512K, 0, context.bulkTarget, false);
        return;
    }
    auto whole = Pattern(k512K, context.baud + 3);
    TimedWrite(context, writeName, whole, 0, context.bulkTarget);
    TimedRead(context, readName, whole, 0, context.bulkTarget);
}

} // namespace

void RunAdapterLatencyBench(const std::string& simulator, std::vector<TransferRow>* rows) {
    constexpr std::uint32_t kBaud = 115200;
    Context context{kBaud, 0.90, 0.90, rows};
    // Every answer of the device waits 16 ms in the adapter, as with a common USB-serial chip's
    // default latency timer.
    BenchLink link(simulator, {"--model", "corvane", "--ram-size", "0x10000", "--latency", "16"});
    if (!link.Connect(kBaud)) {
        std::fprintf(stderr, "no simulated device found behind the latent adapter\n");
    }
    auto odd = Pattern(k64K - 1, 5);
    auto whole = Pattern(k64K, 6);
    // End-justified as the front ends place a file: its last byte at the end of RAM.
    TimedWrite(context, "64 KB - 1 end-justified write, 16 ms adapter latency", odd, 0, context.bulkTarget,
               1);
    TimedRead(context, "64 KB - 1 end-justified read, 16 ms adapter latency", odd, 0, context.bulkTarget, 1);
    TimedWrite(context, "64 KB end-justified write, 16 ms adapter latency", whole, 0, context.bulkTarget, 0);
}

void RunTransferBench(const std::string& simulator, const std::string& dir, std::uint32_t baud,
                      std::vector<TransferRow>* rows, std::vector<TimeRow>* times) {
    Context context{baud, baud <= 115200 ? 0.97 : 0.90, baud <= 115200 ? 0.93 : 0.0, rows};
    PlainCases(context, simulator, dir, times);
    EncryptedCases(context, simulator);
}
