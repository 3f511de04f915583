#include "transfer_placement.h"

#include "app_state.h"
#include "corvane.h"
#include "request_reach.h"

namespace {

const char* Suffix(const OperationParams* params) {
    return params->noBackBuf ? "" : " (Backfill)";
}

// Whether the range fits a RAM of `ramSize` bytes (0: no known limit) and the `reach` of the
// device's requests, the smaller bound holding; reports it when not.
bool FitsRam(const OperationParams* params, std::uint32_t size, std::uint32_t length, std::uint32_t ramSize,
             std::uint32_t reach) {
    std::uint32_t start = params->emuAddress;
    std::uint32_t span = length;
    if (!params->noBackBuf && ramSize != 0) {
        start = size <= ramSize ? ramSize - size : 0;
        span = size <= ramSize ? length : size;
    } else if (!params->noBackBuf) {
        start = 0;
    }
    const bool ramBound = ramSize != 0 && ramSize <= reach;
    const std::uint32_t bound = ramBound ? ramSize : reach;
    // In 64 bits, so an address near 4 GB cannot wrap round to a small end.
    if (std::uint64_t{start} + span <= bound) {
        return true;
    }
    if (ramBound) {
        PrintStatus(1,
                    "FAILURE: 0x%.2X bytes at emulator address 0x%.2X%s do not fit the emulator's RAM of "
                    "0x%.2X bytes",
                    span, start, Suffix(params), ramSize);
    } else {
        PrintStatus(
            1,
            "FAILURE: 0x%.2X bytes at emulator address 0x%.2X%s run past the 0x%.2X bytes the emulator's "
            "requests can address",
            span, start, Suffix(params), reach);
    }
    return false;
}

bool UsesLargeBank(const KVCorvane* device, const OperationParams* params) {
    return params->large && (device->capabilities & CAPS_BANKS);
}

// The emulation bank the transfer will use, so a refused transfer switches no bank either.
std::uint8_t PlannedBank(const KVCorvane* device, const OperationParams* params) {
    return UsesLargeBank(device, params) ? 8 : device->emulationBank;
}

// The RAM a transfer may use: the bank's RAM, within what the device's requests can address.
std::uint32_t PlannedRamSize(const KVCorvane* device, const OperationParams* params) {
    const std::uint32_t ram = GetEmulationRamSize(device, PlannedBank(device, params));
    const std::uint32_t reach = GetRequestReach(device, PlannedBank(device, params));
    return ram != 0 && reach < ram ? reach : ram;
}

// Both bounds with the emulation bank the transfer will use.
bool FitsDevice(const KVCorvane* device, const OperationParams* params, std::uint32_t size,
                std::uint32_t length, std::uint8_t bank) {
    return FitsRam(params, size, length, GetEmulationRamSize(device, bank), GetRequestReach(device, bank));
}

} // namespace

std::uint32_t RamFromPlacement(const KVCorvane* device, const OperationParams* params,
                               std::uint32_t* ramSize) {
    *ramSize = PlannedRamSize(device, params);
    if (!params->noBackBuf) {
        return *ramSize;
    }
    return params->emuAddress < *ramSize ? *ramSize - params->emuAddress : 0;
}

bool PlaceTransfer(KVCorvane* device, const OperationParams* params, std::uint32_t size, std::uint32_t length,
                   Placement* place) {
    const bool largeBank = UsesLargeBank(device, params);
    if (!FitsDevice(device, params, size, length, PlannedBank(device, params))) {
        return false;
    }
    if (largeBank) {
        SetBank(device, 8, 0, 1, 0);
        // A bank switch that failed leaves the smaller RAM.
        if (!FitsDevice(device, params, size, length, device->emulationBank)) {
            return false;
        }
    }
    if (params->noBackBuf) {
        *place = {params->emuAddress, Suffix(params)};
        return true;
    }
    std::uint32_t offset = 0;
    GetBackfillOffset(device, size, &offset);
    *place = {offset, Suffix(params)};
    return true;
}
