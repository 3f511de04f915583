#include "transfer_placement.h"

#include "app_state.h"
#include "corvane.h"

namespace {

const char* Suffix(const OperationParams* params) {
    return params->noBackBuf ? "" : " (Backfill)";
}

// Whether the range fits a RAM of `ramSize` bytes (0: no known limit); reports it when not.
bool FitsRam(const OperationParams* params, std::uint32_t size, std::uint32_t length, std::uint32_t ramSize) {
    if (ramSize == 0) {
        return true;
    }
    std::uint32_t start = params->emuAddress;
    std::uint32_t span = length;
    if (!params->noBackBuf) {
        start = size <= ramSize ? ramSize - size : 0;
        span = size <= ramSize ? length : size;
    }
    // In 64 bits, so an address near 4 GB cannot wrap round to a small end.
    if (std::uint64_t{start} + span <= ramSize) {
        return true;
    }
    PrintStatus(
        1, "FAILURE: 0x%.2X bytes at emulator address 0x%.2X%s do not fit the emulator's RAM of 0x%.2X bytes",
        span, start, Suffix(params), ramSize);
    return false;
}

bool UsesLargeBank(const OperationParams* params) {
    return params->large && (g_device.capabilities & CAPS_BANKS);
}

// The RAM of the bank the transfer will use, so a refused transfer switches no bank either.
std::uint32_t PlannedRamSize(const OperationParams* params) {
    return GetEmulationRamSize(&g_device, UsesLargeBank(params) ? 8 : g_device.emulationBank);
}

} // namespace

std::uint32_t RamFromPlacement(const OperationParams* params, std::uint32_t* ramSize) {
    *ramSize = PlannedRamSize(params);
    if (!params->noBackBuf) {
        return *ramSize;
    }
    return params->emuAddress < *ramSize ? *ramSize - params->emuAddress : 0;
}

bool PlaceTransfer(OperationParams* params, std::uint32_t size, std::uint32_t length, Placement* place) {
    const bool largeBank = UsesLargeBank(params);
    if (!FitsRam(params, size, length, PlannedRamSize(params))) {
        return false;
    }
    if (largeBank) {
        SetBank(&g_device, 8, 0, 1, 0);
        // A bank switch that failed leaves the smaller RAM.
        if (!FitsRam(params, size, length, GetEmulationRamSize(&g_device, g_device.emulationBank))) {
            return false;
        }
    }
    if (params->noBackBuf) {
        *place = {params->emuAddress, Suffix(params)};
        return true;
    }
    std::uint32_t offset = 0;
    GetBackfillOffset(&g_device, size, &offset);
    params->emuAddress = 0;
    *place = {offset, Suffix(params)};
    return true;
}
