// A monitor whose emulator is unplugged and plugged back (its RAM lost), on in-process lines that
// can be pulled out as a USB cable is.
#include "app_state.h"
#include "corvane.h"
#include "monitor.h"
#include "program_device.h"
#include "stdout_capture.h"
#include "temp_dir.h"
#include "test_bytes.h"
#include "wait_until.h"

#include "in_process_ports.h"
#include "port_candidates.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstring>
#include <map>
#include <memory>
#include <mutex>
#include <thread>

namespace {

using namespace std::chrono_literals;

// The watched 0x100 bytes end at the end of the 64 KB RAM.
constexpr const char* kWatching =
    "Watching image.bin: 0x100 bytes from file address 0x0 to emulator address 0xFF00\n";

// Whether the line it belongs to has been pulled out, and how the driver shows that.
struct Plug {
    std::atomic<bool> pulled{false};
    bool hangUp = false;
};

// A simulated line's backend that stops passing bytes once its line is pulled out: with a
// hang-up reported, as a USB adapter's, or quietly, as a device switched off behind a cable.
class PluggedBackend final : public SerialBackend {
  public:
    PluggedBackend(std::shared_ptr<SimLine> line, std::shared_ptr<Plug> plug)
        : line_(std::move(line)), plug_(std::move(plug)), inner_(line_->Connect()) {}

    bool GetLine(LineSettings* line) override { return inner_->GetLine(line); }
    bool SetLine(const LineSettings& line) override { return inner_->SetLine(line); }
    bool GetTimeouts(SerialTimeouts* timeouts) override { return inner_->GetTimeouts(timeouts); }
    bool SetTimeouts(const SerialTimeouts& timeouts) override { return inner_->SetTimeouts(timeouts); }
    bool SetupQueues(std::uint32_t in, std::uint32_t out) override { return inner_->SetupQueues(in, out); }
    bool Purge() override { return inner_->Purge(); }
    std::uint32_t Write(const std::uint8_t* bytes, std::uint32_t count) override {
        if (plug_->pulled) {
            return plug_->hangUp ? 0 : count;
        }
        return inner_->Write(bytes, count);
    }
    std::uint32_t Read(std::uint8_t* buffer, std::uint32_t count) override {
        return plug_->pulled ? 0 : inner_->Read(buffer, count);
    }
    bool HungUp() const override { return plug_->pulled && plug_->hangUp; }

  private:
    std::shared_ptr<SimLine> line_;
    std::shared_ptr<Plug> plug_;
    std::unique_ptr<SerialBackend> inner_;
};

// Two candidate ports into which emulators are plugged and from which they are pulled out; a
// port with nothing plugged in does not open.
class Bench {
  public:
    Bench() {
        SetSerialOpener([this](const char* path) -> std::unique_ptr<SerialBackend> {
            std::lock_guard<std::mutex> lock(mutex_);
            auto it = sockets_.find(path);
            if (it == sockets_.end()) {
                return nullptr;
            }
            return std::make_unique<PluggedBackend>(it->second.line, it->second.plug);
        });
    }
    ~Bench() { SetSerialOpener({}); }
    Bench(const Bench&) = delete;
    Bench& operator=(const Bench&) = delete;

    // A device as after power-up, its RAM cleared.
    std::shared_ptr<SimLine> PlugIn(int port, const DeviceConfig& config) {
        std::lock_guard<std::mutex> lock(mutex_);
        Socket& socket = sockets_[SearchCandidates::Path(port)];
        socket.line = std::make_shared<SimLine>(config);
        socket.plug = std::make_shared<Plug>();
        return socket.line;
    }

    void PullOut(int port, bool hangUp) {
        std::lock_guard<std::mutex> lock(mutex_);
        auto it = sockets_.find(SearchCandidates::Path(port));
        ASSERT_NE(it, sockets_.end());
        it->second.plug->hangUp = hangUp;
        it->second.plug->pulled = true;
        sockets_.erase(it);
    }

  private:
    struct Socket {
        std::shared_ptr<SimLine> line;
        std::shared_ptr<Plug> plug;
    };
    SearchCandidates candidates_{2};
    std::mutex mutex_;
    std::map<std::string, Socket> sockets_;
};

DeviceConfig WithSerial(DeviceConfig config, const char* serial) {
    std::memcpy(config.serial + 1, serial, 8);
    return config;
}

class MonitorReconnectTest : public ::testing::Test {
  protected:
    void SetUp() override {
        g_app = AppState{};
        g_app.consoleMode = 1;
        params_.operation = OP_MONITOR;
        params_.keepRunning = 1;
        path_ = dir_.Path("image.bin");
        std::strncpy(params_.filePath, path_.c_str(), kMaxPath - 1);
    }
    void TearDown() override {
        if (worker_.joinable()) {
            Stop();
        }
        ClosePort(&g_device);
        g_app = AppState{};
    }

    // Connected as a console run leaves the device, then monitoring until Stop.
    void Start() {
        ASSERT_NE(FindHardware(&g_device, nullptr, nullptr), 0u);
        SetVendorID(&g_device, 3);
        worker_ = std::thread([this] { MonitorFile(&g_device, &params_, kProgramMonitorReports); });
        ASSERT_TRUE(WaitFor("Monitoring has begun"));
    }

    void Stop() {
        std::atomic_ref<std::int32_t>(params_.keepRunning).store(0);
        worker_.join();
    }

    // An editor's save of one byte, in place.
    void Save(std::size_t offset, std::uint8_t value) {
        file_[offset] = value;
        ASSERT_TRUE(WriteFileBytes(path_, file_));
    }

    // A case of its own: the file as at first, the output from here on only.
    void NewCase() {
        file_ = CountingBytes(0x100);
        ASSERT_TRUE(WriteFileBytes(path_, file_));
        params_.keepRunning = 1;
        out_.reset();
        out_ = std::make_unique<StdoutCapture>();
    }

    bool WaitFor(const std::string& text) {
        return WaitUntil([&] { return out_->Text().find(text) != std::string::npos; }, 1min);
    }

    // The watched 0x100 bytes end at the end of the 64 KB RAM.
    static std::vector<std::uint8_t> Watched(const SimLine& line) {
        return std::vector<std::uint8_t>(line.model.ram.end() - 0x100, line.model.ram.end());
    }

    TempDir dir_;
    std::string path_;
    std::vector<std::uint8_t> file_;
    OperationParams params_{};
    Bench bench_;
    std::unique_ptr<StdoutCapture> out_ = std::make_unique<StdoutCapture>();
    std::thread worker_;
};

} // namespace

TEST_F(MonitorReconnectTest, AnEmulatorThatComesBackGetsTheWholeImageAndLaterChanges) {
    struct Case {
        const char* name;
        bool hangUp;
        int backOn;
        const char* loss;
    };
    const Case cases[] = {
        {"a hang-up, back on the same port", true, 0, "CV_E_COMM_WRITE_FAILURE"},
        {"gone quiet, back on the other port", false, 1, "CV_E_COMM_READ_TIMEOUT"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        NewCase();
        bench_.PlugIn(0, ModelConfig("corvane"));
        Start();
        bench_.PullOut(0, c.hangUp);
        Save(0x20, 0xEE);
        ASSERT_TRUE(WaitFor("waiting for it to come back"));
        // Saved while the emulator is away: in the image it gets when it is back.
        Save(0x30, 0xEF);
        std::shared_ptr<SimLine> back = bench_.PlugIn(c.backOn, ModelConfig("corvane"));
        ASSERT_TRUE(WaitFor("Uploaded the whole image again"));
        Save(0x40, 0xE0);
        ASSERT_TRUE(WaitFor("Changes detected"));
        Stop();
        EXPECT_EQ(out_->Text(), std::string("\nMonitoring has begun\n") + kWatching + "Emulator lost (" +
                                    c.loss +
                                    "): waiting for it to come back...\n\nFOUND: Corvane USB v3.0.K\nPort: " +
                                    PortDisplayName(SearchCandidates::Path(c.backOn)) +
                                    ", 115200 baud\nUploaded the whole image again: 256 bytes.\nChanges "
                                    "detected. Uploaded 1 bytes in 1 blocks.\nMonitoring ended");
        EXPECT_EQ(Watched(*back), file_);
        bench_.PullOut(c.backOn, true);
        ClosePort(&g_device);
    }
}

TEST_F(MonitorReconnectTest, AnotherEmulatorOnThePortIsNotWritten) {
    struct Case {
        const char* name;
        DeviceConfig other;
        const char* named;
    };
    const Case cases[] = {
        {"another serial number", WithSerial(ModelConfig("corvane"), "\x01\x02\x03\x04\x05\x06\x07\x08"),
         "Corvane USB v3.0.K, serial 0102030405060708"},
        {"another family", ModelConfig("pardyn"), "Pardyn USB v1.4.J, serial 5456583030303137"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        NewCase();
        bench_.PlugIn(0, ModelConfig("corvane"));
        Start();
        bench_.PullOut(0, true);
        Save(0x20, 0xEE);
        ASSERT_TRUE(WaitFor("waiting for it to come back"));
        // The other one where the emulator was, which the search tries first; the emulator comes
        // back behind it.
        std::shared_ptr<SimLine> other = bench_.PlugIn(0, c.other);
        ASSERT_TRUE(WaitFor("Another emulator answers"));
        std::shared_ptr<SimLine> back = bench_.PlugIn(1, ModelConfig("corvane"));
        ASSERT_TRUE(WaitFor("Uploaded the whole image again"));
        Stop();
        EXPECT_EQ(out_->Text(), std::string("\nMonitoring has begun\n") + kWatching +
                                    "Emulator lost (CV_E_COMM_WRITE_FAILURE): waiting for it to come "
                                    "back...\nAnother emulator answers (" +
                                    c.named +
                                    "): not the one monitored, still waiting...\n\nFOUND: Corvane USB "
                                    "v3.0.K\nPort: " +
                                    PortDisplayName(SearchCandidates::Path(1)) +
                                    ", 115200 baud\nUploaded the whole image again: 256 bytes.\nMonitoring "
                                    "ended");
        EXPECT_EQ(Watched(*back), file_);
        // Asked who it is, nothing more: no write, no vendor ID.
        for (const std::string& request : other->model.requests) {
            EXPECT_TRUE(request == "VV" || request == "HR" || request == "NS") << request;
        }
        EXPECT_EQ(Watched(*other), std::vector<std::uint8_t>(0x100, 0));
        bench_.PullOut(0, true);
        bench_.PullOut(1, true);
        ClosePort(&g_device);
    }
}

TEST_F(MonitorReconnectTest, MonitoringEndsWhileItWaits) {
    NewCase();
    bench_.PlugIn(0, ModelConfig("corvane"));
    Start();
    bench_.PullOut(0, true);
    Save(0x20, 0xEE);
    ASSERT_TRUE(WaitFor("waiting for it to come back"));
    Stop();
    EXPECT_EQ(out_->Text(), std::string("\nMonitoring has begun\n") + kWatching +
                                "Emulator lost (CV_E_COMM_WRITE_FAILURE): waiting for it to come "
                                "back...\nMonitoring ended");
}
