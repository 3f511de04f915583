#pragma once
#include "result.h"

#include <atomic>
#include <cstdint>

// The emulator device as seen over its COM port. One instance per process (g_device).
class KVCorvane {
  public:
    std::uint32_t capabilities = 0;
    // Set by the front end to stop a running transfer; 0 while a request holds the device.
    std::atomic<std::int32_t> cancel{0};
    std::atomic<std::int32_t> idle{1};
};

extern KVCorvane g_device;

constexpr std::uint32_t CAPS_EMULATION = 0x02000000;

// Searches the COM ports for an emulator; fills the display name (200 characters) and the
// firmware version and returns the capability flags, 0 when nothing answered.
std::uint32_t FindHardware(KVCorvane* device, char* name, std::uint8_t* firmwareVersion);

// Makes the device's vendor-ID byte `vendorId`.
CvResult SetVendorID(KVCorvane* device, std::uint8_t vendorId);
