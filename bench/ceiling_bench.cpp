#include "bench_cases.h"

#include "corvane.h"
#include "sim_line.h"

#include <memory>
#include <vector>

namespace {

constexpr std::uint32_t k64K = 0x10000;

// The in-process line with a count of every byte that crosses it in either direction.
class CountingLine final : public SerialBackend {
  public:
    explicit CountingLine(std::unique_ptr<SerialBackend> line) : line_(std::move(line)) {}
    bool GetLine(LineSettings* line) override { return line_->GetLine(line); }
    bool SetLine(const LineSettings& line) override { return line_->SetLine(line); }
    bool GetTimeouts(SerialTimeouts* timeouts) override { return line_->GetTimeouts(timeouts); }
    bool SetTimeouts(const SerialTimeouts& timeouts) override { return line_->SetTimeouts(timeouts); }
    bool SetupQueues(std::uint32_t input, std::uint32_t output) override {
        return line_->SetupQueues(input, output);
    }
    bool Purge() override { return line_->Purge(); }
    std::uint32_t Write(const std::uint8_t* bytes, std::uint32_t count) override {
        std::uint32_t moved = line_->Write(bytes, count);
        *bytes_ += moved;
        return moved;
    }
    std::uint32_t Read(std::uint8_t* buffer, std::uint32_t count) override {
        std::uint32_t moved = line_->Read(buffer, count);
        *bytes_ += moved;
        return moved;
    }
    std::uint64_t* bytes_ = nullptr;

  private:
    std::unique_ptr<SerialBackend> line_;
};

} // namespace

void RunCeilingBench(std::vector<TransferRow>* rows) {
    DeviceConfig config;
    ConfigForModel("corvane", &config);
    SimLine line(config);
    std::uint64_t bytes = 0;
    SetSerialOpener([&line, &bytes](const char*) {
        auto counting = std::make_unique<CountingLine>(line.Connect());
        counting->bytes_ = &bytes;
        return counting;
    });
    KVCorvane device;
    std::uint8_t version[3];
    bool ready = OpenPort(&device, "ceiling") == CV_S_OK && GetFirmwareVersion(&device, version) == CV_S_OK &&
                 IdentifyHardware(&device, version) != 0;
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
        std::vector<std::uint8_t> data(k64K, 0x5A);
        bytes = 0;
        CvResult result = !ready    ? CV_E_PORT_NOT_INITIALIZED
                          : c.write ? WriteBlockBothSpaces(&device, data.data(), k64K, 0,
                                                           CV_XFER_LOWER_W | c.flags, nullptr)
                                    : ReadBlock(&device, data.data(), k64K, 0, c.flags, nullptr);
        // Every byte on the wire at the line's rate and nothing else: the same ratio at any rate.
        rows->push_back({c.name, 115200, k64K, LineLimitSeconds(bytes, 115200), 0, result == CV_S_OK});
    }
    ClosePort(&device);
    SetSerialOpener({});
}
