// Bulk transfers: up to 4096 bytes per request, for blocks aligned to 256 bytes.
#include "framing.h"
#include "transfer_common.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace {

constexpr std::uint32_t kChunkBytes = 4096;
constexpr std::uint32_t kBulkWriteReadTimeoutMs = 6000;

enum class Direction { Read, Write };

// The header of one bulk request up to (not including) its data and checksum: 5 bytes plain,
// 7 encrypted (markers 0x01 0x02 before the address). False when the flags name an address space
// the device refuses.
bool BuildHeader(const KVCorvane* device, Direction direction, std::uint32_t flags, std::uint32_t address,
                 std::uint32_t chunk, bool encrypted, std::uint8_t* header, std::uint32_t* length) {
    std::uint8_t top = static_cast<std::uint8_t>(address >> 16);
    if (device->capabilities & CAPS_SKELMAR) {
        std::uint8_t bits = SpaceBits(flags);
        if (bits == 0 && ((flags & CV_XFER_NO_SPACE) || direction == Direction::Write)) {
            return false;
        }
        top |= bits == 0 ? 0x10 : bits;
    }
    std::uint32_t n = 0;
    header[n++] = 'Z';
    header[n++] = direction == Direction::Read ? 'R' : 'W';
    header[n++] = static_cast<std::uint8_t>(chunk / 256);
    if (encrypted) {
        header[n++] = 0x01;
        header[n++] = 0x02;
    }
    header[n++] = top;
    header[n++] = static_cast<std::uint8_t>(address >> 8);
    *length = n;
    return true;
}

// Checks that come before any request: capability, alignment, open port, a buffer to use.
CvResult Refusal(const KVCorvane* device, const void* buffer, std::uint32_t size, std::uint32_t address,
                 Direction direction) {
    bool read = direction == Direction::Read;
    if (!(device->capabilities & CAPS_BULK)) {
        return CV_E_REQUEST_NOT_SUPPORTED;
    }
    if (size % 256 != 0 || address % 256 != 0) {
        LogLine(device->logSink,
                read ? "TarkelWare: BulkRead failure. Size/Address must be divisible by 256."
                     : "TarkelWare: BulkWrite failure. Size/Address must be divisible by 256.");
        return CV_E_INVALID_FUNC_PARAM;
    }
    if (!device->port.IsOpen()) {
        LogLine(device->logSink, read ? "TarkelWare: BulkRead requested on uninitialized port"
                                      : "TarkelWare: BulkWrite failure. Uninitialized Port.");
        return CV_E_PORT_NOT_INITIALIZED;
    }
    return buffer == nullptr && size > 0 ? CV_E_INVALID_FUNC_PARAM : CV_S_OK;
}

// Takes the lock and, on the large-bin bank, makes bank 8 the R/W bank.
CvResult Begin(KVCorvane* device, bool* locked) {
    if (!TakeRequestLock(device)) {
        return CV_E_PORT_BUSY;
    }
    *locked = true;
    if (OnLargeBinBank(device) && device->rwBank != kLargeBinBank &&
        SetBank(device, kLargeBinBank, 1, 0, kBankLockHeld) != CV_S_OK) {
        return CV_E_LARGE_BIN_BANK_FAILED;
    }
    return CV_S_OK;
}

CvResult ReadChunks(KVCorvane* device, std::uint8_t* buffer, std::uint32_t size, std::uint32_t address,
                    std::uint32_t flags, ProgressWindow progress) {
    KVSerial& port = device->port;
    bool encrypted = UsesEncryptedFraming(device, flags);
    port.SetReadTimeout(kStandardReadTimeoutMs);
    port.Purge();
    for (std::uint32_t moved = 0; moved < size;) {
        if (device->cancel) {
            LogLine(device->logSink, "TarkelWare: Bulk Read - Operation Canceled");
            return CV_E_OPERATION_CANCELED;
        }
        std::uint32_t chunk = std::min(kChunkBytes, size - moved);
        std::uint8_t request[8];
        std::uint32_t length = 0;
        if (!BuildHeader(device, Direction::Read, flags, address + moved, chunk, encrypted, request,
                         &length)) {
            return CV_E_INVALID_REQUEST_PARAM;
        }
        std::uint8_t seed = 0;
        if (encrypted) {
            EncryptBytes(device, request + 3, 4, &seed);
        }
        request[length] = RequestChecksum(request, length);
        ++length;
        if (port.Write(request, length) < length) {
            return CV_E_COMM_WRITE_FAILURE;
        }
        std::uint8_t* data = buffer + moved;
        std::uint32_t got = port.Read(data, chunk);
        if (got < chunk) {
            LogLine(device->logSink,
                    "TarkelWare: BulkRead: Read timed-out after %i bytes. Expected %i bytes.",
                    static_cast<int>(moved + got), static_cast<int>(size));
            DiscardReply(device, chunk + 1 - got);
            return CV_E_COMM_READ_TIMEOUT;
        }
        std::uint8_t checksum = 0;
        if (port.Read(&checksum, 1) < 1) {
            DiscardReply(device, 1);
            return CV_E_COMM_READ_TIMEOUT;
        }
        std::uint8_t sum = RequestChecksum(data, chunk);
        if (sum != checksum) {
            LogLine(device->logSink,
                    "TarkelWare Bulk Read Error - invalid packet checksum. Expected %.2X, Received %.2X.",
                    sum, checksum);
            DiscardReply(device, 0);
            return CV_E_EXTERNAL_CS_INVALID;
        }
        if (encrypted) {
            DecryptBytes(device, seed, data, chunk);
        }
        SendProgress(progress, PBM_STEPIT, 0, 0);
        moved += chunk;
    }
    return CV_S_OK;
}

CvResult WriteChunks(KVCorvane* device, const std::uint8_t* buffer, std::uint32_t size, std::uint32_t address,
                     std::uint32_t flags, ProgressWindow progress) {
    KVSerial& port = device->port;
    bool encrypted = UsesEncryptedFraming(device, flags);
    port.SetReadTimeout(kBulkWriteReadTimeoutMs);
    port.Purge();
    // One request buffer for the whole call: the longest header, a full chunk and the checksum.
    std::vector<std::uint8_t> request(8 + kChunkBytes);
    for (std::uint32_t moved = 0; moved < size;) {
        if (device->cancel) {
            LogLine(device->logSink, "TarkelWare: BulkWrite - Operation Canceled");
            return CV_E_OPERATION_CANCELED;
        }
        std::uint32_t chunk = std::min(kChunkBytes, size - moved);
        std::uint32_t header = 0;
        if (!BuildHeader(device, Direction::Write, flags, address + moved, chunk, encrypted, request.data(),
                         &header)) {
            return CV_E_INVALID_REQUEST_PARAM;
        }
        std::memcpy(request.data() + header, buffer + moved, chunk);
        if (encrypted) {
            EncryptBytes(device, request.data() + 3, header - 3 + chunk, nullptr);
        }
        std::uint32_t length = header + chunk;
        request[length] = RequestChecksum(request.data(), length);
        ++length;
        // A request that went out only in part is a failure at once: the device waits for the
        // rest of it and will not acknowledge.
        if (port.Write(request.data(), length) < length) {
            return CV_E_COMM_WRITE_FAILURE;
        }
        std::uint8_t reply = 0;
        if (port.Read(&reply, 1) < 1) {
            DiscardReply(device, 1);
            return CV_E_COMM_READ_TIMEOUT;
        }
        if (reply != 'O') {
            DiscardReply(device, 0);
            return CV_E_INVALID_RESPONSE;
        }
        SendProgress(progress, PBM_STEPIT, 0, 0);
        moved += chunk;
    }
    return CV_S_OK;
}

} // namespace

CvResult BulkRead(KVCorvane* device, std::uint8_t* buffer, std::uint32_t size, std::uint32_t address,
                  std::uint32_t flags, ProgressWindow progress) {
    bool locked = false;
    CvResult result = Refusal(device, buffer, size, address, Direction::Read);
    if (result == CV_S_OK) {
        LogLine(device->logSink, "KVCorvane: Bulk reading %iKB", static_cast<int>(size / 1024));
        StartProgress(progress, size / kChunkBytes);
        LogLine(device->logSink, "TarkelWare: Bulk Read Request initiated for %i bytes.",
                static_cast<int>(size));
        result = Begin(device, &locked);
        if (result == CV_S_OK) {
            result = ReadChunks(device, buffer, size, address, flags, progress);
        }
    }
    return FinishTransfer(device, progress, result, locked);
}

CvResult BulkWrite(KVCorvane* device, const std::uint8_t* buffer, std::uint32_t size, std::uint32_t address,
                   std::uint32_t flags, ProgressWindow progress) {
    bool locked = false;
    CvResult result = Refusal(device, buffer, size, address, Direction::Write);
    if (result == CV_S_OK) {
        LogLine(device->logSink, "KVCorvane: Bulk writing %iKB", static_cast<int>(size / 1024));
        StartProgress(progress, size / kChunkBytes);
        result = Begin(device, &locked);
        if (result == CV_S_OK) {
            result = WriteChunks(device, buffer, size, address, flags, progress);
        }
    }
    return FinishTransfer(device, progress, result, locked);
}

CvResult BulkWriteBothSpaces(KVCorvane* device, const std::uint8_t* buffer, std::uint32_t size,
                             std::uint32_t address, std::uint32_t flags, ProgressWindow progress) {
    return WriteInBothSpaces(BulkWrite, device, buffer, size, address, flags, progress);
}
