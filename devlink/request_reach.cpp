#include "request_reach.h"

#include "transfer_common.h"

namespace {

// A slow packet carries address bits 15..0.
constexpr std::uint32_t kSlowPacketReach = 0x10000;
// On the large-bin bank a slow packet reaches each 64 KB bank by switching the R/W bank to the
// address's bits 23..16 first; R/W banks 0 to 7 are the eight banks of the 4-Mbit RAM (8 is the
// large bin itself, so a switch to it would not reach the bytes past 0x80000).
constexpr std::uint32_t kLargeBinReach = 0x80000;
// A Skelmar's slow packets and bulk requests carry address bits 23..16, but its space bits 0x10
// and 0x20 share that byte, so only bits 19..0 are address: the device takes any higher bit for
// a space.
constexpr std::uint32_t kSkelmarReach = 0x100000;

} // namespace

std::uint32_t GetRequestReach(const KVCorvane* device, std::uint8_t emulationBank) {
    if (device->capabilities & CAPS_SKELMAR) {
        return kSkelmarReach;
    }
    // A bulk request carries bits 23..8, but any transfer may fall back to slow packets, so the
    // slow packet's reach bounds them all.
    if ((device->capabilities & CAPS_BANKS) && emulationBank == kLargeBinBank) {
        return kLargeBinReach;
    }
    return kSlowPacketReach;
}
