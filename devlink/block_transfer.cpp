// Block transfers: bulk first, then slow packets of at most 256 bytes.
#include "sleep.h"
#include "transfer_common.h"
#include "transfer_loop.h"

namespace {

constexpr std::uint32_t kPacketBytes = 256;
constexpr std::uint32_t kBulkFallbackPauseMs = 800;

// The address and count part of a slow packet after its command and count bytes.
std::uint32_t AddressFields(const KVCorvane* device, std::uint32_t flags, std::uint32_t address,
                            bool encrypted, std::uint8_t* out) {
    std::uint32_t n = 0;
    if (encrypted) {
        out[n++] = 0x01;
        out[n++] = 0x02;
    }
    if (device->capabilities & CAPS_SKELMAR) {
        out[n++] = static_cast<std::uint8_t>((address >> 16) | SpaceBits(flags));
    }
    out[n++] = static_cast<std::uint8_t>(address >> 8);
    out[n++] = static_cast<std::uint8_t>(address);
    return n;
}

// The bytes of the next packet: never across a 64 KB boundary on the large-bin bank, where the
// R/W bank follows the address (except on a Skelmar, which carries the full address).
CvResult SizePacket(KVCorvane* device, std::uint32_t address, std::uint32_t* n) {
    if (!OnLargeBinBank(device)) {
        return CV_S_OK;
    }
    std::uint32_t offset = address % 0x10000;
    if (offset + *n > 0x10000) {
        *n = 0x10000 - offset;
    }
    std::uint8_t bank = static_cast<std::uint8_t>(address >> 16);
    if (!(device->capabilities & CAPS_SKELMAR) && device->rwBank != bank &&
        SetBank(device, bank, 1, 0, kBankLockHeld) != CV_S_OK) {
        return CV_E_LARGE_BIN_BANK_FAILED;
    }
    return CV_S_OK;
}

// Checks before the slow phase: a Skelmar moves whole 16-bit words; a buffer must be given.
CvResult SlowRefusal(KVCorvane* device, const void* buffer, std::uint32_t size, std::uint32_t address) {
    if ((device->capabilities & CAPS_SKELMAR) && (size % 2 != 0 || address % 2 != 0)) {
        LogLine(device->logSink, "KVCorvane: SkelMar I/O request address/size alignment error");
        return CV_E_INVALID_FUNC_PARAM;
    }
    return buffer == nullptr && size > 0 ? CV_E_INVALID_FUNC_PARAM : CV_S_OK;
}

std::uint8_t WriteCommand(const KVCorvane* device, std::uint32_t flags) {
    if (flags & CV_XFER_ALT_WRITE) {
        return 'X';
    }
    return (flags & CV_XFER_LOWER_W) && !(device->capabilities & CAPS_HWINFO) ? 'w' : 'W';
}

// A slow packet's header: command, count, then the address fields.
CvResult PacketHeader(KVCorvane* device, Direction direction, std::uint32_t flags, std::uint32_t address,
                      bool encrypted, std::uint8_t* out, std::uint32_t* n, std::uint32_t* length) {
    if (CvResult sized = SizePacket(device, address, n); sized != CV_S_OK) {
        return sized;
    }
    out[0] = direction == Direction::Read ? 'R' : WriteCommand(device, flags);
    out[1] = static_cast<std::uint8_t>(*n % 256);
    *length = 2 + AddressFields(device, flags, address, encrypted, out + 2);
    return CV_S_OK;
}

TransferLayout PacketLayout(const KVCorvane* device, Direction direction, std::uint32_t flags) {
    TransferLayout layout;
    layout.direction = direction;
    layout.unitBytes = kPacketBytes;
    layout.readTimeoutMs = kStandardReadTimeoutMs;
    layout.header = PacketHeader;
    layout.clearBytes = 2;
    if (direction == Direction::Read) {
        layout.canceledName = "KVCorvane: ReadBlock";
        layout.timeoutName = "KVCorvane: ReadBlock";
        layout.checksumName = "KVCorvane";
    } else {
        layout.purgeEachRequest = true;
        // An 'X' write is acknowledged by the sum of its data.
        layout.sumAcknowledges = WriteCommand(device, flags) == 'X';
        layout.replyBytes = layout.sumAcknowledges ? 2 : 1;
        layout.canceledName = "KVCorvane: WriteBlock";
    }
    return layout;
}

// After slow packets that followed an abandoned reply: a late byte of that reply, slipped in after
// the drain, would have pushed every later reply along and left as many bytes unread at the end,
// with checksums that can still pass on runs of equal bytes. The line must be silent now.
CvResult CheckRepliesInStep(KVCorvane* device) {
    if (device->port.Drain(0, kDrainQuietMs) == 0) {
        return CV_S_OK;
    }
    LogLine(device->logSink, "KVCorvane: Bytes after the last reply: the replies were out of step");
    DiscardReply(device, 0);
    return CV_E_INVALID_RESPONSE;
}

// A part of a block: its offset from the start of the block and its length.
struct Part {
    std::uint32_t offset = 0;
    std::uint32_t length = 0;
};

// The whole 256-byte pages of a block, from the first page boundary at or after its start to the
// last at or before its end: the part that the bulk commands can move.
Part WholePages(std::uint32_t size, std::uint32_t address) {
    std::uint64_t start = (std::uint64_t{address} + kPacketBytes - 1) / kPacketBytes * kPacketBytes;
    std::uint64_t end = (std::uint64_t{address} + size) / kPacketBytes * kPacketBytes;
    if (end <= start) {
        return {};
    }
    return {static_cast<std::uint32_t>(start - address), static_cast<std::uint32_t>(end - start)};
}

// An unaligned block on a device with the bulk commands moves its whole pages by bulk and only its
// ragged ends by slow packets, unless the slow ends would be refused anyway (a Skelmar moves whole
// words) or there is no buffer; otherwise the block goes as one, as before.
bool SplitsForBulk(const KVCorvane* device, const void* buffer, std::uint32_t size, std::uint32_t address,
                   Part* pages) {
    *pages = WholePages(size, address);
    bool skelmarOdd = (device->capabilities & CAPS_SKELMAR) && (size % 2 != 0 || address % 2 != 0);
    return (device->capabilities & CAPS_BULK) && pages->length != 0 && pages->length != size && !skelmarOdd &&
           buffer != nullptr;
}

// The slow phase of a block: one progress sequence and one hold of the request lock for what the
// bulk phase did not move (all of the block, or the ends around `bulk`).
template <typename Packets>
CvResult SlowPhase(KVCorvane* device, std::uint32_t size, std::uint32_t address, Part bulk,
                   ProgressWindow progress, bool afterDiscard, bool* locked, Packets packets) {
    std::uint32_t slowBytes = size - bulk.length;
    StartProgress(progress, slowBytes / kPacketBytes);
    *locked = TakeRequestLock(device);
    if (!*locked) {
        return CV_E_PORT_BUSY;
    }
    const Part ends[2] = {
        {0, bulk.length == 0 ? size : bulk.offset},
        {bulk.offset + bulk.length, bulk.length == 0 ? 0 : size - bulk.offset - bulk.length}};
    CvResult result = CV_S_OK;
    for (const Part& end : ends) {
        if (result == CV_S_OK && end.length != 0) {
            result = packets(end.offset, end.length, address + end.offset);
        }
    }
    if (result == CV_S_OK && afterDiscard) {
        result = CheckRepliesInStep(device);
    }
    return result;
}

} // namespace

CvResult ReadBlock(KVCorvane* device, std::uint8_t* buffer, std::uint32_t size, std::uint32_t address,
                   std::uint32_t flags, ProgressWindow progress) {
    if (!device->port.IsOpen()) {
        LogLine(device->logSink, "KVCorvane: ReadBlock requested on uninitialized port");
        return FinishTransfer(device, progress, CV_E_PORT_NOT_INITIALIZED, false);
    }
    Part bulk;
    bool afterDiscard = false;
    if (!(flags & CV_XFER_NO_BULK)) {
        Part pages;
        bool split = SplitsForBulk(device, buffer, size, address, &pages);
        Part tried = split ? pages : Part{0, size};
        std::uint32_t discarded = device->discardedReplies;
        CvResult result = BulkRead(device, buffer == nullptr ? nullptr : buffer + tried.offset, tried.length,
                                   address + tried.offset, flags, progress);
        if (result == CV_E_OPERATION_CANCELED || (result >= 0 && !split)) {
            return FinishTransfer(device, progress, result, false);
        }
        if (result >= 0) {
            bulk = tried;
        }
        afterDiscard = device->discardedReplies != discarded;
    }
    std::uint32_t slowBytes = size - bulk.length;
    LogLine(device->logSink, "KVCorvane: Slow Reading %i bytes", static_cast<int>(slowBytes));
    CvResult result = SlowRefusal(device, buffer, size, address);
    bool locked = false;
    if (result == CV_S_OK) {
        LogLine(device->logSink, "KVCorvane ReadBlock Request initiated for %i bytes.",
                static_cast<int>(slowBytes));
        TransferLayout layout = PacketLayout(device, Direction::Read, flags);
        result = SlowPhase(device, size, address, bulk, progress, afterDiscard, &locked,
                           [&](std::uint32_t offset, std::uint32_t length, std::uint32_t at) {
                               return TransferUnits(device, layout, buffer + offset, nullptr, length, at,
                                                    flags, progress);
                           });
    }
    return FinishTransfer(device, progress, result, locked);
}

CvResult WriteBlock(KVCorvane* device, const std::uint8_t* buffer, std::uint32_t size, std::uint32_t address,
                    std::uint32_t flags, ProgressWindow progress) {
    if (!device->port.IsOpen()) {
        return FinishTransfer(device, progress, CV_E_PORT_NOT_INITIALIZED, false);
    }
    Part bulk;
    bool afterDiscard = false;
    Part pages;
    bool aligned = address % kPacketBytes == 0 && size % kPacketBytes == 0;
    // An unaligned block that does not split goes straight to slow packets, with no pause.
    bool split = !aligned && SplitsForBulk(device, buffer, size, address, &pages);
    if (!(flags & CV_XFER_NO_BULK) && (aligned || split)) {
        Part tried = split ? pages : Part{0, size};
        std::uint32_t discarded = device->discardedReplies;
        CvResult result = BulkWriteBothSpaces(device, buffer == nullptr ? nullptr : buffer + tried.offset,
                                              tried.length, address + tried.offset, flags, progress);
        if (result == CV_E_OPERATION_CANCELED) {
            return FinishTransfer(device, progress, result, false);
        }
        if (result >= 0 && !split) {
            return FinishTransfer(device, progress, CV_S_OK, false);
        }
        if (result >= 0) {
            bulk = tried;
        } else {
            SleepMs(kBulkFallbackPauseMs);
        }
        afterDiscard = device->discardedReplies != discarded;
    }
    LogLine(device->logSink, "KVCorvane: Slow writing %i bytes", static_cast<int>(size - bulk.length));
    CvResult result = SlowRefusal(device, buffer, size, address);
    bool locked = false;
    if (result == CV_S_OK) {
        TransferLayout layout = PacketLayout(device, Direction::Write, flags);
        result = SlowPhase(device, size, address, bulk, progress, afterDiscard, &locked,
                           [&](std::uint32_t offset, std::uint32_t length, std::uint32_t at) {
                               return TransferUnits(device, layout, nullptr, buffer + offset, length, at,
                                                    flags, progress);
                           });
    }
    return FinishTransfer(device, progress, result, locked);
}

CvResult WriteBlockBothSpaces(KVCorvane* device, const std::uint8_t* buffer, std::uint32_t size,
                              std::uint32_t address, std::uint32_t flags, ProgressWindow progress) {
    return WriteInBothSpaces(WriteBlock, device, buffer, size, address, flags, progress);
}
