#pragma once
#include "cmdline.h"

#include <cstdint>

struct Placement {
    std::uint32_t address;
    // " (Backfill)" when the data was end-justified, else empty.
    const char* suffix;
};

// Selects the large-bin bank 8 when asked and the device has banks, then works out where in
// emulator RAM `size` bytes go: at the end of the RAM (and emuAddress becomes 0) unless
// noBackBuf is set, else at emuAddress. A size larger than the RAM starts at 0.
Placement PlaceTransfer(OperationParams* params, std::uint32_t size);
