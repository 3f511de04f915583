// Feeds arbitrary answers to the requests that find out what a device is and prepare it: the
// version exchange, identification from the hardware record, the serial record, the vendor ID
// and both bank selections. Every buffer must hold, every result must be a defined code and the
// request lock must be free afterwards.
#include "fuzzed_device.h"

#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 2) {
        return 0;
    }
    FuzzedDevice fuzzed(ModelFromByte(data[0]));
    KVCorvane* device = &fuzzed.device;
    const std::uint8_t bank = data[1];
    fuzzed.Steer(data + 2, size - 2);

    std::uint8_t version[3] = {};
    CheckResult(GetFirmwareVersion(device, version));
    std::uint32_t flags = IdentifyHardware(device, device->firmwareVersion);
    // What the caller's buffer held must not matter: here text without an end.
    char name[kHardwareNameSize];
    std::memset(name, 'x', sizeof name);
    FormatHardwareName(name, flags, device->firmwareVersion);
    if (std::memchr(name, '\0', sizeof name) == nullptr) {
        __builtin_trap();
    }
    std::uint8_t serial[9];
    CheckResult(GetSerial(device, serial));
    CheckResult(SetVendorID(device, 3));
    CheckResult(SetBank(device, bank & 0x0F, bank & 0x10, bank & 0x20, 0));
    std::uint8_t selected = 0;
    CheckResult(GetBank(device, &selected, 0));
    CheckResult(GetBank(device, &selected, 1));
    std::uint32_t offset = 0;
    GetBackfillOffset(device, static_cast<std::uint32_t>(size) << 8, &offset);
    if (device->idle != 1) {
        __builtin_trap();
    }
    return 0;
}
