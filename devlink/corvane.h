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
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// The emulator device as seen over its COM port: the port, the request lock, the identity of the
// connected device and its banks.
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
    // A former run's port places only this run's first search; later ones go on from where the
    // last one ended, so that a device passed over (another emulator) is not tried first again.
    bool rememberedPortTaken = false;
    // Ports of the last search that exist but could not be opened for a reason the user can
    // remove (permission, another program holding it), in the order they were tried.
    struct UnopenedPort {
        std::string path;
        PortOpenError reason;
    };
    std::vector<UnopenedPort> unopenedPorts;
    // Replies abandoned so far (DiscardReply); a transfer compares it before and after a phase.
    std::uint32_t discardedReplies = 0;
};

// How long a request waits for the lock before giving up with CV_E_PORT_BUSY.
constexpr std::uint32_t kRequestLockWaitMs = 1200;
// The read time-out constant between requests.
constexpr std::uint32_t kStandardReadTimeoutMs = 300;

// --- Request lock ---
// True when the lock was taken (idle becomes 0); false when it stayed busy for 1200 ms.
bool TakeRequestLock(KVCorvane* device);
void ReleaseRequestLock(KVCorvane* device);

// --- Abandoned replies ---
// The most a drain waits for the rest of an abandoned reply and for the line to fall quiet.
constexpr std::uint32_t kDiscardLimitMs = 1000;
// After a reply that did not arrive in time, failed its checksum or made no sense: lets the rest
// of it (`owed` bytes still expected) arrive within `limitMs`, discards it and purges, so that
// no byte of it is taken for the answer to a later request. The caller holds the request lock.
void DiscardReply(KVCorvane* device, std::uint32_t owed, std::uint32_t limitMs = kDiscardLimitMs);

// --- Connection ---
CvResult OpenPort(KVCorvane* device, const char* path);
// Puts the link back to 115200, closes the port and forgets the device.
void ClosePort(KVCorvane* device);
CvResult SetReadTimeout(KVCorvane* device, std::uint32_t milliseconds);
// The "VV" exchange; on success `version` (may be null) and firmwareVersion hold the reply.
CvResult GetFirmwareVersion(KVCorvane* device, std::uint8_t* version);
// Switches the link to the rate of the baud index (0, 1, 3 or 7).
CvResult SetUSBBaud(KVCorvane* device, std::uint32_t baudIndex);

// --- Banks ---
// SetBank option: the caller (a transfer) already holds the request lock.
constexpr std::uint32_t kBankLockHeld = 1;
// Reads the R/W bank (rw non-zero) or the active emulation bank into `bank` (may be null).
CvResult GetBank(KVCorvane* device, std::uint8_t* bank, std::int32_t rw);
// Selects the R/W bank (rw non-zero), else the emulation bank, persistent or not.
CvResult SetBank(KVCorvane* device, std::uint8_t bank, std::int32_t rw, std::int32_t persistent,
                 std::uint32_t options);

// --- Identity and settings ---
// Firmware features that depend on the version.
enum FirmwareFeature : std::int32_t {
    FEATURE_DRAVEL_BANKS,
    FEATURE_DRAVEL_BULK,
    FEATURE_DRAVEL_ENCRYPTION,
    FEATURE_CORVANE_BULK,
};
constexpr std::size_t kHardwareNameSize = 200;

// Capability flags from the firmware version and the hardware-information record; also stored
// in `capabilities`.
std::uint32_t IdentifyHardware(KVCorvane* device, const std::uint8_t* version);
// The 7-byte hardware-information record at EEPROM address 1.
CvResult ReadEEPROM(KVCorvane* device, std::uint8_t* record);
// The 9-byte serial record: vendor ID and eight serial-number bytes.
CvResult GetSerial(KVCorvane* device, std::uint8_t* record);
CvResult SetVendorID(KVCorvane* device, std::uint8_t vendorId);
// Model, interface and version as shown to the user, into a 200-character buffer.
void FormatHardwareName(char* text, std::uint32_t flags, const std::uint8_t* version);
std::int32_t FirmwareAtLeast(const std::uint8_t* version, std::int32_t feature);
// Where a block of `size` bytes ends at the end of emulator RAM: 1 and the offset when it fits,
// else 0 and offset 0.
std::int32_t GetBackfillOffset(KVCorvane* device, std::uint32_t size, std::uint32_t* offset);
// The emulation RAM the device offers in bytes when its emulation bank is `emulationBank` (only
// the banked families look at it); 0 when no limit is known for the family.
std::uint32_t GetEmulationRamSize(const KVCorvane* device, std::uint8_t emulationBank);

// --- Hardware search ---
// Tries every port candidate for an emulator; leaves the port open on the first that answers.
// Returns the capability flags, 0 when none was found; `name` (200 characters) and `version`
// (3 bytes) may be null.
std::uint32_t FindHardware(KVCorvane* device, char* name, std::uint8_t* version);

// --- Transfers ---
// Every transfer moves `size` bytes between `buffer` (at least `size` bytes) and emulator RAM at
// `address`, with the transfer request flags; `progress` may be null. The front ends pass 0 for
// reads and CV_XFER_LOWER_W for writes.
CvResult ReadBlock(KVCorvane* device, std::uint8_t* buffer, std::uint32_t size, std::uint32_t address,
                   std::uint32_t flags, ProgressWindow progress);
CvResult WriteBlock(KVCorvane* device, const std::uint8_t* buffer, std::uint32_t size, std::uint32_t address,
                    std::uint32_t flags, ProgressWindow progress);
// The write of the front ends: on a Skelmar with no address space named, space 2 then space 1.
CvResult WriteBlockBothSpaces(KVCorvane* device, const std::uint8_t* buffer, std::uint32_t size,
                              std::uint32_t address, std::uint32_t flags, ProgressWindow progress);
// 4096-byte chunks; size and address must be multiples of 256 and the device needs CAPS_BULK.
CvResult BulkRead(KVCorvane* device, std::uint8_t* buffer, std::uint32_t size, std::uint32_t address,
                  std::uint32_t flags, ProgressWindow progress);
CvResult BulkWrite(KVCorvane* device, const std::uint8_t* buffer, std::uint32_t size, std::uint32_t address,
                   std::uint32_t flags, ProgressWindow progress);
CvResult BulkWriteBothSpaces(KVCorvane* device, const std::uint8_t* buffer, std::uint32_t size,
                             std::uint32_t address, std::uint32_t flags, ProgressWindow progress);
