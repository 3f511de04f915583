#pragma once
#include "device_model.h"
#include "serial_backend.h"

#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <vector>

// The device model on an in-process serial line, for fast deterministic tests of the real
// serial and protocol code. Time on the line is virtual: a read that would wait for its time-outs
// returns at once and moves the line's clock on by the time it would have taken; bytes cross the
// line without delay, and a stalled answer arrives late on that clock.
class SimLine {
  public:
    explicit SimLine(DeviceConfig config) : model(std::move(config)) {}

    // A serial backend bound to this line, as OpenSerialBackend would return it.
    std::unique_ptr<SerialBackend> Connect();

    // Virtual microseconds since the line was made.
    std::uint64_t NowUs();
    // Every Write call of the host, in order, as it went over the line.
    std::vector<std::vector<std::uint8_t>> Writes();
    // The line rate the host's port is set to (0 before the first open).
    std::uint32_t HostBaud();

    DeviceModel model;

  private:
    friend class SimSerialBackend;
    struct TimedByte {
        std::uint64_t at;
        std::uint8_t byte;
    };

    std::mutex mutex_;
    std::uint64_t now_ = 0;
    std::uint32_t hostBaud_ = 0;
    bool hungUp_ = false;
    std::deque<TimedByte> toHost_;
    std::vector<std::vector<std::uint8_t>> writes_;
};
