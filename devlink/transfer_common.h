#pragma once
#include "corvane.h"

#include <cstdint>

// Rules that the bulk and the slow transfers share.

// The large-bin bank: the whole 4-Mbit RAM as one address space.
constexpr std::uint8_t kLargeBinBank = 8;

inline bool OnLargeBinBank(const KVCorvane* device) {
    return (device->capabilities & CAPS_BANKS) && device->emulationBank == kLargeBinBank;
}

// The space bits of a Skelmar's top address byte: 0x10 for CV_XFER_SPACE1, else 0x20 for
// CV_XFER_SPACE2, else none.
inline std::uint8_t SpaceBits(std::uint32_t flags) {
    if (flags & CV_XFER_SPACE1) {
        return 0x10;
    }
    return (flags & CV_XFER_SPACE2) ? 0x20 : 0;
}

// The way out of every transfer: the bar is reset; unless the lock belonged to another request,
// the read time-out goes back to 300 ms, the lock is released if this call took it, and the
// cancel flag is cleared.
CvResult FinishTransfer(KVCorvane* device, ProgressWindow progress, CvResult result, bool locked);

// Writes twice on a Skelmar whose flags name no address space: space 2, then space 1.
using WriteFunction = CvResult (*)(KVCorvane*, const std::uint8_t*, std::uint32_t, std::uint32_t,
                                   std::uint32_t, ProgressWindow);
CvResult WriteInBothSpaces(WriteFunction write, KVCorvane* device, const std::uint8_t* buffer,
                           std::uint32_t size, std::uint32_t address, std::uint32_t flags,
                           ProgressWindow progress);
