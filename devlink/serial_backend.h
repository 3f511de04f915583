#pragma once
#include <cstdint>
#include <functional>
#include <memory>

struct LogSink;

// The operating system's side of one open serial port. KVSerial drives it; the Win32 and POSIX
// implementations follow the same rules, and tests can put the in-process emulator in its place.

// The line-control fields the device library sets; a backend keeps every other field of the
// driver's own block as it read it.
struct LineSettings {
    std::uint32_t baud = 0;
    std::uint8_t dataBits = 8;
    bool parity = false;
    bool ctsOutFlow = false;
    bool dsrOutFlow = false;
    bool dsrSensitivity = false;
    bool dtrOn = false;
    bool rtsOn = false;
};

// The five time-outs, in milliseconds. A read returns when its count has arrived, when
// `readInterval` passes between two received bytes, or when count x `readMultiplier` +
// `readConstant` pass from the start of the call.
struct SerialTimeouts {
    std::uint32_t readInterval = 0;
    std::uint32_t readMultiplier = 0;
    std::uint32_t readConstant = 0;
    std::uint32_t writeMultiplier = 0;
    std::uint32_t writeConstant = 0;
};

class SerialBackend {
  public:
    virtual ~SerialBackend() = default;
    virtual bool GetLine(LineSettings* line) = 0;
    virtual bool SetLine(const LineSettings& line) = 0;
    virtual bool GetTimeouts(SerialTimeouts* timeouts) = 0;
    virtual bool SetTimeouts(const SerialTimeouts& timeouts) = 0;
    virtual bool SetupQueues(std::uint32_t inputBytes, std::uint32_t outputBytes) = 0;
    // Discards what the driver holds in both directions.
    virtual bool Purge() = 0;
    // One synchronous call each; the result is the count actually moved.
    virtual std::uint32_t Write(const std::uint8_t* bytes, std::uint32_t count) = 0;
    virtual std::uint32_t Read(std::uint8_t* buffer, std::uint32_t count) = 0;
    // Platform steps once the line settings are in place (a driver option worth asking for, a
    // wireless link that has to connect first); best effort, each outcome written to `log`.
    virtual void Prepare(LogSink* log) { (void)log; }
    // Whether the driver has reported that the far end went away (a hang-up, an adapter pulled
    // out): nothing more will pass through this handle, though the device may come back on a
    // new one.
    virtual bool HungUp() const { return false; }
};

// Why a port could not be opened. The user can do something about the last two, so a failed
// search names the ports that gave them.
enum class PortOpenError {
    None,
    Missing,
    Failed,
    // The user may not open it (on Linux: not a member of the port's group).
    Denied,
    // Another program holds it.
    Busy,
};

using SerialOpener = std::function<std::unique_ptr<SerialBackend>(const char* path)>;

// Opens the port at `path` with the platform's driver (or the opener installed for tests);
// null when it cannot be opened, with the reason in `error` (may be null). A test opener that
// gives null counts as a missing port.
std::unique_ptr<SerialBackend> OpenSerialBackend(const char* path, PortOpenError* error);
std::unique_ptr<SerialBackend> OpenPlatformSerial(const char* path, PortOpenError* error);

// Routes every later open through `opener` (an empty function restores the platform driver).
void SetSerialOpener(SerialOpener opener);
