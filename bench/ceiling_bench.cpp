#include "bench_cases.h"

#include "corvane.h"
#include "sim_line.h"

#include <vector>

namespace {

constexpr std::uint32_t k64K = 0x10000;

// The line time of the bytes one transfer puts on the in-process line, which paces every byte
// but has no turnaround: the protocol's own ceiling. The line counts whole microseconds per byte,
// so the bytes are counted from its clock and timed at the exact rate.
double WireSeconds(SimLine* line, KVCorvane* device, std::uint32_t baud, bool write, std::uint32_t flags) {
    std::vector<std::uint8_t> data(k64K, 0x5A);
    std::uint64_t start = line->NowUs();
    CvResult result =
        write ? WriteBlockBothSpaces(device, data.data(), k64K, 0, CV_XFER_LOWER_W | flags, nullptr)
              : ReadBlock(device, data.data(), k64K, 0, flags, nullptr);
    std::uint64_t bytes = (line->NowUs() - start) / (10'000'000ull / baud);
    return result == CV_S_OK ? LineLimitSeconds(bytes, baud) : 0;
}

} // namespace

void RunCeilingBench(std::uint32_t baud, std::vector<TransferRow>* rows) {
    DeviceConfig config;
    ConfigForModel("corvane", &config);
    config.rate = baud;
    SimLine line(config);
    line.paced = true;
    SetSerialOpener([&line](const char*) { return line.Connect(); });
    KVCorvane device;
    std::uint8_t version[3];
    bool ready = OpenPort(&device, "ceiling") == CV_S_OK &&
                 SetUSBBaud(&device, 921600 / baud - 1) == CV_S_OK &&
                 GetFirmwareVersion(&device, version) == CV_S_OK && IdentifyHardware(&device, version) != 0;
    struct Case {
        const char* name;
        bool write;
        std::uint32_t flags;
    };
    const Case cases[] = {{"ceiling: 64 KB bulk write", true, 0},
                          {"ceiling: 64 KB bulk read", false, 0},
                          {"ceiling: 64 KB slow-packet write", true, CV_XFER_NO_BULK},
                          {"ceiling: 64 KB slow-packet read", false, CV_XFER_NO_BULK}};
    for (const Case& c : cases) {
        double seconds = ready ? WireSeconds(&line, &device, baud, c.write, c.flags) : 0;
        rows->push_back({c.name, baud, k64K, seconds, 0, seconds > 0});
    }
    ClosePort(&device);
    SetSerialOpener({});
}
