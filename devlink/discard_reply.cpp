#include "corvane.h"

// A reply cut short by a time-out may only have paused (a USB adapter's latency timer, a gap on a
// Bluetooth link); its rest arrives later, and a purge made at once would let it land in the
// reply to the next request, where an 8-bit sum does not always notice it.
void DiscardReply(KVCorvane* device, std::uint32_t owed, std::uint32_t limitMs) {
    KVSerial& port = device->port;
    if (!port.IsOpen()) {
        return;
    }
    ++device->discardedReplies;
    LogLine(device->logSink, "KVCorvane: Discarding the rest of the reply (%i bytes still due)",
            static_cast<int>(owed));
    port.Drain(owed, limitMs);
    port.Purge();
}
