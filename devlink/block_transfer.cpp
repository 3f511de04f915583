// Block transfers: bulk first, then slow packets of at most 256 bytes.
#include "framing.h"
#include "sleep.h"
#include "transfer_common.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace {

constexpr std::uint32_t kPacketBytes = 256;
constexpr std::uint32_t kBulkFallbackPauseMs = 800;
// The longest packet header: command, count, markers, three address bytes.
constexpr std::uint32_t kMaxHeader = 7;

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

CvResult ReadPackets(KVCorvane* device, std::uint8_t* buffer, std::uint32_t size, std::uint32_t address,
                     std::uint32_t flags, ProgressWindow progress) {
    KVSerial& port = device->port;
    bool encrypted = UsesEncryptedFraming(device, flags);
    port.SetReadTimeout(kStandardReadTimeoutMs);
    port.Purge();
    for (std::uint32_t done = 0; done < size;) {
        if (device->cancel) {
            LogLine(device->logSink, "KVCorvane: ReadBlock - Operation Canceled");
            return CV_E_OPERATION_CANCELED;
        }
        std::uint32_t at = address + done;
        std::uint32_t n = std::min(kPacketBytes, size - done);
        if (CvResult sized = SizePacket(device, at, &n); sized != CV_S_OK) {
            return sized;
        }
        std::uint8_t request[kMaxHeader + 1] = {'R', static_cast<std::uint8_t>(n % 256)};
        std::uint32_t fields = AddressFields(device, flags, at, encrypted, request + 2);
        std::uint8_t seed = 0;
        if (encrypted) {
            EncryptBytes(device, request + 2, fields, &seed);
        }
        std::uint32_t length = 2 + fields;
        request[length] = RequestChecksum(request, length);
        ++length;
        if (port.Write(request, length) < length) {
            return CV_E_COMM_WRITE_FAILURE;
        }
        std::uint8_t* data = buffer + done;
        if (std::uint32_t got = port.Read(data, n); got < n) {
            LogLine(device->logSink,
                    "KVCorvane: ReadBlock: Read timed-out after %i bytes. Expected %i bytes.",
                    static_cast<int>(done), static_cast<int>(size));
            DiscardReply(device, n + 1 - got);
            return CV_E_COMM_READ_TIMEOUT;
        }
        std::uint8_t checksum = 0;
        if (port.Read(&checksum, 1) < 1) {
            DiscardReply(device, 1);
            return CV_E_COMM_READ_TIMEOUT;
        }
        std::uint8_t sum = RequestChecksum(data, n);
        if (sum != checksum) {
            LogLine(device->logSink,
                    "KVCorvane Read Error - invalid packet checksum. Expected %.2X, Received %.2X.", sum,
                    checksum);
            DiscardReply(device, 0);
            return CV_E_EXTERNAL_CS_INVALID;
        }
        if (encrypted) {
            DecryptBytes(device, seed, data, n);
        }
        SendProgress(progress, PBM_STEPIT, 0, 0);
        done += n;
    }
    return CV_S_OK;
}

std::uint8_t WriteCommand(const KVCorvane* device, std::uint32_t flags) {
    if (flags & CV_XFER_ALT_WRITE) {
        return 'X';
    }
    return (flags & CV_XFER_LOWER_W) && !(device->capabilities & CAPS_HWINFO) ? 'w' : 'W';
}

// An 'X' write is acknowledged with the 16-bit sum of its data, low byte first, or by a second
// byte that alone equals the sum.
bool AltWriteAcknowledged(const std::uint8_t* data, std::uint32_t n, const std::uint8_t* reply) {
    std::uint32_t sum = 0;
    for (std::uint32_t i = 0; i < n; ++i) {
        sum = (sum + data[i]) & 0xFFFF;
    }
    return static_cast<std::uint32_t>(reply[0] | (reply[1] << 8)) == sum || reply[1] == sum;
}

CvResult WritePackets(KVCorvane* device, const std::uint8_t* buffer, std::uint32_t size,
                      std::uint32_t address, std::uint32_t flags, ProgressWindow progress,
                      std::vector<std::uint8_t>& packet) {
    KVSerial& port = device->port;
    bool encrypted = UsesEncryptedFraming(device, flags);
    port.SetReadTimeout(kStandardReadTimeoutMs);
    std::uint8_t command = WriteCommand(device, flags);
    std::uint32_t replyLength = command == 'X' ? 2 : 1;
    for (std::uint32_t done = 0; done < size;) {
        if (device->cancel) {
            LogLine(device->logSink, "KVCorvane: WriteBlock - Operation Canceled");
            return CV_E_OPERATION_CANCELED;
        }
        std::uint32_t at = address + done;
        std::uint32_t n = std::min(kPacketBytes, size - done);
        if (CvResult sized = SizePacket(device, at, &n); sized != CV_S_OK) {
            return sized;
        }
        packet[0] = command;
        packet[1] = static_cast<std::uint8_t>(n % 256);
        std::uint32_t header = 2 + AddressFields(device, flags, at, encrypted, packet.data() + 2);
        std::memcpy(packet.data() + header, buffer + done, n);
        if (encrypted) {
            EncryptBytes(device, packet.data() + 2, header - 2 + n, nullptr);
        }
        std::uint32_t length = header + n;
        packet[length] = RequestChecksum(packet.data(), length);
        ++length;
        port.Purge();
        // A packet that went out only in part is a failure at once: the device waits for the rest.
        if (port.Write(packet.data(), length) < length) {
            return CV_E_COMM_WRITE_FAILURE;
        }
        // An acknowledgement cut short counts as missing: half a sum proves nothing.
        std::uint8_t reply[2] = {};
        if (std::uint32_t got = port.Read(reply, replyLength); got < replyLength) {
            DiscardReply(device, replyLength - got);
            return CV_E_COMM_READ_TIMEOUT;
        }
        if (command == 'X' && !AltWriteAcknowledged(buffer + done, n, reply)) {
            DiscardReply(device, 0);
            return CV_E_ALT_WRITE_BAD_CHECKSUM;
        }
        if (command != 'X' && reply[0] != 'O') {
            DiscardReply(device, 0);
            return CV_E_INVALID_RESPONSE;
        }
        SendProgress(progress, PBM_STEPIT, 0, 0);
        done += n;
    }
    return CV_S_OK;
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
        result = SlowPhase(device, size, address, bulk, progress, afterDiscard, &locked,
                           [&](std::uint32_t offset, std::uint32_t length, std::uint32_t at) {
                               return ReadPackets(device, buffer + offset, length, at, flags, progress);
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
        // One packet buffer for the whole call: the longest header, a full packet and the checksum.
        std::vector<std::uint8_t> packet(kMaxHeader + kPacketBytes + 1, 0);
        result =
            SlowPhase(device, size, address, bulk, progress, afterDiscard, &locked,
                      [&](std::uint32_t offset, std::uint32_t length, std::uint32_t at) {
                          return WritePackets(device, buffer + offset, length, at, flags, progress, packet);
                      });
    }
    return FinishTransfer(device, progress, result, locked);
}

CvResult WriteBlockBothSpaces(KVCorvane* device, const std::uint8_t* buffer, std::uint32_t size,
                              std::uint32_t address, std::uint32_t flags, ProgressWindow progress) {
    return WriteInBothSpaces(WriteBlock, device, buffer, size, address, flags, progress);
}
