#pragma once
#include "log.h"
#include "serial_backend.h"

#include <cstdint>
#include <memory>
#include <string>

// The one serial port of the program: opens a COM port with the emulator's line settings and
// moves raw bytes. It knows nothing of the device protocol.
class KVSerial {
  public:
    KVSerial() = default;
    ~KVSerial() { Close(); }
    KVSerial(const KVSerial&) = delete;
    KVSerial& operator=(const KVSerial&) = delete;

    std::int32_t Open(const char* path);
    void Close();
    std::int32_t SetupBuffers();
    std::int32_t SetDefaultTimeouts();
    std::int32_t SetReadTimeout(std::uint32_t milliseconds);
    std::int32_t SetBaud(std::uint32_t baud);
    std::int32_t Purge();
    std::uint32_t Write(const std::uint8_t* bytes, std::uint32_t count);
    std::uint32_t Read(std::uint8_t* buffer, std::uint32_t count);
    // Lets the rest of an abandoned reply arrive and discards it: reads until the line has been
    // quiet for kDrainQuietMs after at least `owed` bytes, but for no longer than `limitMs` in
    // all, and leaves the time-outs as they were. Returns the number of bytes discarded.
    std::uint32_t Drain(std::uint32_t owed, std::uint32_t limitMs);

    bool IsOpen() const { return handle != nullptr; }
    // The rate the driver runs the open port at; 0 when closed or the driver does not say.
    std::uint32_t CurrentBaud() const;
    // The open port's driver reported a hang-up or removal.
    bool HungUp() const { return handle != nullptr && handle->HungUp(); }

    // The open port, null when closed.
    std::unique_ptr<SerialBackend> handle;
    LogSink* logSink = nullptr;
    // The device path of the open port, empty when closed.
    std::string path;
    // Why the last Open failed (None after one that succeeded).
    PortOpenError openError = PortOpenError::None;
};

constexpr std::uint32_t kOpenBaud = 115200;
constexpr std::uint32_t kQueueBytes = 1024;
// The write time-out is scaled to the request (the multiplier follows the rate, see
// WriteMultiplierFor), so that a driver which completes a write only as the bytes leave has time
// for a whole bulk request.
constexpr SerialTimeouts kDefaultTimeouts{200, 1, 300, 1, 300};
// How long the line must stay silent before a drain ends.
constexpr std::uint32_t kDrainQuietMs = 50;

// Milliseconds per byte of the write time-out at `baud`: at least twice the byte's 10 bit times.
constexpr std::uint32_t WriteMultiplierFor(std::uint32_t baud) {
    return baud == 0 ? 1 : (20000 + baud - 1) / baud;
}
