#pragma once
#include "capabilities.h"
#include "kv_serial.h"
#include "link_key.h"
#include "log.h"
#include "progress_window.h"
#include "request_lock.h"
#include "result.h"
#include "xfer_flags.h"

#include <atomic>
#include <cstdint>

// The emulator device as seen over its COM port: the port, the request lock, the identity of the
// connected device and its banks. One instance per process (g_device).
class KVCorvane {
  public:
    explicit KVCorvane(LogSink* sink = nullptr);
    KVCorvane(const KVCorvane&) = delete;
    KVCorvane& operator=(const KVCorvane&) = delete;

    LogSink* logSink;
    // Set by a front end to stop a running transfer; cleared by every transfer on its way out.
    std::atomic<std::int32_t> cancel{0};
    // 0 = 921600, 1 = 460800, 3 = 230400, 7 = 115200 baud (921600 / (index + 1)).
    std::uint32_t baudIndex = 7;
    std::uint32_t capabilities = 0;
    // Major, minor, firmware letter.
    std::uint8_t firmwareVersion[3] = {};
    std::uint8_t emulationBank = 0;
    std::uint8_t rwBank = 0;
    std::uint8_t key[8];
    std::int32_t keyLength = 8;
    KVSerial port;
    // The request lock: free when signalled; `idle` is 0 while a request holds it.
    AutoResetEvent requestEvent{true};
    std::atomic<std::int32_t> idle{1};
    // Where the device was last found: 0-based port index and the baud index then in force.
    std::int32_t lastPortIndex = 0;
    std::uint32_t lastBaudIndex = 7;
};

extern KVCorvane g_device;

// How long a request waits for the lock before giving up with CV_E_PORT_BUSY.
constexpr std::uint32_t kRequestLockWaitMs = 1200;
// The read time-out constant between requests.
constexpr std::uint32_t kStandardReadTimeoutMs = 300;

// --- Request lock ---
// True when the lock was taken (idle becomes 0); false when it stayed busy for 1200 ms.
bool TakeRequestLock(KVCorvane* device);
void ReleaseRequestLock(KVCorvane* device);

// --- Connection ---
CvResult OpenPort(KVCorvane* device, const char* path);
// Puts the link back to 115200, closes the port and forgets the device.
void ClosePort(KVCorvane* device);
CvResult SetReadTimeout(KVCorvane* device, std::uint32_t milliseconds);
// The "VV" exchange; on success `version` (may be null) and firmwareVersion hold the reply.
CvResult GetFirmwareVersion(KVCorvane* device, std::uint8_t* version);
// Switches the link to the rate of the baud index (0, 1, 3 or 7).
CvResult SetUSBBaud(KVCorvane* device, std::uint32_t baudIndex);

// --- Hardware search and identity ---
std::uint32_t FindHardware(KVCorvane* device, char* name, std::uint8_t* version);
CvResult SetVendorID(KVCorvane* device, std::uint8_t vendorId);
