#pragma once
#include "serial_backend.h"

#include <cstddef>
#include <cstdint>
#include <memory>

// A serial line whose answers the fuzzer controls: every read first takes what the simulated
// device really sent, then one control byte of the input decides whether to pass it on, replace
// it with input bytes, corrupt one byte of it or cut it short. Once the input is used up the
// device's own answers pass unchanged, so a run starts from a sound exchange and strays from it.
class FuzzedReplies final : public SerialBackend {
  public:
    explicit FuzzedReplies(std::unique_ptr<SerialBackend> device) : device_(std::move(device)) {}

    // The bytes that steer the answers from now on.
    void Steer(const std::uint8_t* data, std::size_t size) {
        data_ = data;
        left_ = size;
    }

    bool GetLine(LineSettings* line) override { return device_->GetLine(line); }
    bool SetLine(const LineSettings& line) override { return device_->SetLine(line); }
    bool GetTimeouts(SerialTimeouts* timeouts) override { return device_->GetTimeouts(timeouts); }
    bool SetTimeouts(const SerialTimeouts& timeouts) override { return device_->SetTimeouts(timeouts); }
    bool SetupQueues(std::uint32_t input, std::uint32_t output) override {
        return device_->SetupQueues(input, output);
    }
    bool Purge() override { return device_->Purge(); }
    std::uint32_t Write(const std::uint8_t* bytes, std::uint32_t count) override {
        return device_->Write(bytes, count);
    }
    std::uint32_t Read(std::uint8_t* buffer, std::uint32_t count) override;

  private:
    std::uint8_t Next();

    std::unique_ptr<SerialBackend> device_;
    const std::uint8_t* data_ = nullptr;
    std::size_t left_ = 0;
};
