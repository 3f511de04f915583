#pragma once
#include "cmdline.h"
#include "corvane.h"

#include <cstdint>

struct Placement {
    std::uint32_t address;
    // " (Backfill)" when the data was end-justified, else empty.
    const char* suffix;
};

// Works out where in emulator RAM a transfer goes: at the end of the RAM for `size` bytes (the
// caller's emuAddress is not used then) unless noBackBuf is set, else at emuAddress; `length`
// bytes then go from there (the monitor watches a length of its own; the operations pass their size). Selects
// the large-bin bank 8 first when asked and the device has banks. A range that runs past the end of the RAM
// the device offers is refused with one FAILURE line before anything is sent, since the device would wrap it
// round onto other bytes; false then. Nor may a range run past what the device's requests can address (the
// smaller bound holds): where no RAM size is known for the family, that reach alone bounds it.
bool PlaceTransfer(KVCorvane* device, const OperationParams* params, std::uint32_t size, std::uint32_t length,
                   Placement* place);

// How many bytes lie from where a transfer would start to the end of the RAM the device offers
// (with the bank PlaceTransfer would select): the whole RAM when end-justified, else from
// emuAddress on, 0 when that lies at or past the end. `ramSize` gets the RAM's size, 0 (and so the
// result) where none is known for the family.
std::uint32_t RamFromPlacement(const KVCorvane* device, const OperationParams* params,
                               std::uint32_t* ramSize);
