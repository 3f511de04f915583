#pragma once
#include "device_model.h"
#include "line_noise.h"
#include "serial_backend.h"

#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <vector>

// The device model on an in-process serial line, for fast deterministic tests of the real
// serial and protocol code. Time on the line is virtual: a read that would wait for its time-outs
// returns at once and moves the line's clock on by the time it would have taken; bytes cross the
// line without delay unless the device holds its answer back (a stall, a gap, adapter latency),
// and such an answer arrives late on that clock, after any purge the host makes meanwhile.
// At a rate other than the device's the host receives noise. A chatty device streams text.
class SimLine {
  public:
    explicit SimLine(DeviceConfig config);

    // A serial backend bound to this line, as OpenSerialBackend would return it.
    std::unique_ptr<SerialBackend> Connect();

    // Virtual microseconds since the line was made.
    std::uint64_t NowUs();
    // Every Write call of the host, in order, as it went over the line.
    std::vector<std::vector<std::uint8_t>> Writes();
    // The line rate the host's port is set to (0 before the first open).
    std::uint32_t HostBaud();

    DeviceModel model;
    // A driver that completes a write only as fast as the line carries it: a write takes 10 bit
    // times per byte, and one whose write time-out passes first returns short, with only the
    // bytes that went out.
    bool pacedWrites = false;

  private:
    friend class SimSerialBackend;
    struct TimedByte {
        std::uint64_t at;
        std::uint8_t byte;
    };

    // When the next byte from the device can start: the device sends one answer after another.
    std::uint64_t SendStart() const {
        return toHost_.empty() || toHost_.back().at < now_ ? now_ : toHost_.back().at;
    }

    std::mutex mutex_;
    std::uint64_t now_ = 0;
    std::uint32_t hostBaud_ = 0;
    bool hungUp_ = false;
    const bool chatty_;
    const std::uint32_t chattyRate_;
    // The next byte of the chatty stream not yet put on the line.
    std::uint64_t nextChatty_ = 0;
    ChattyText chattyText_;
    LineNoise noise_;
    std::deque<TimedByte> toHost_;
    std::vector<std::vector<std::uint8_t>> writes_;
};
