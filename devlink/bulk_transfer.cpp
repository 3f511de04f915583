// Bulk transfers: up to 4096 bytes per request, for blocks aligned to 256 bytes.
#include "transfer_common.h"
#include "transfer_loop.h"

namespace {

constexpr std::uint32_t kChunkBytes = 4096;
constexpr std::uint32_t kBulkWriteReadTimeoutMs = 6000;

// The header of one bulk request up to (not including) its data and checksum: 5 bytes plain,
// 7 encrypted (markers 0x01 0x02 before the address). Refused when the flags name an address
// space the device refuses.
CvResult ChunkHeader(KVCorvane* device, Direction direction, std::uint32_t flags, std::uint32_t address,
                     bool encrypted, std::uint8_t* header, std::uint32_t* chunk, std::uint32_t* length) {
    std::uint8_t top = static_cast<std::uint8_t>(address >> 16);
    if (device->capabilities & CAPS_SKELMAR) {
        std::uint8_t bits = SpaceBits(flags);
        if (bits == 0 && ((flags & CV_XFER_NO_SPACE) || direction == Direction::Write)) {
            return CV_E_INVALID_REQUEST_PARAM;
        }
        top |= bits == 0 ? 0x10 : bits;
    }
    std::uint32_t n = 0;
    header[n++] = 'Z';
    header[n++] = direction == Direction::Read ? 'R' : 'W';
    header[n++] = static_cast<std::uint8_t>(*chunk / 256);
    if (encrypted) {
        header[n++] = 0x01;
        header[n++] = 0x02;
    }
    header[n++] = top;
    header[n++] = static_cast<std::uint8_t>(address >> 8);
    *length = n;
    return CV_S_OK;
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

TransferLayout ChunkLayout(Direction direction) {
    TransferLayout layout;
    layout.direction = direction;
    layout.unitBytes = kChunkBytes;
    layout.header = ChunkHeader;
    layout.clearBytes = 3;
    if (direction == Direction::Read) {
        layout.readTimeoutMs = kStandardReadTimeoutMs;
        layout.canceledName = "TarkelWare: Bulk Read";
        layout.timeoutName = "TarkelWare: BulkRead";
        layout.timeoutCountsPart = true;
        layout.checksumName = "TarkelWare Bulk";
    } else {
        layout.readTimeoutMs = kBulkWriteReadTimeoutMs;
        layout.canceledName = "TarkelWare: BulkWrite";
    }
    return layout;
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
            result = TransferUnits(device, ChunkLayout(Direction::Read), buffer, nullptr, size, address,
                                   flags, progress);
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
            result = TransferUnits(device, ChunkLayout(Direction::Write), nullptr, buffer, size, address,
                                   flags, progress);
        }
    }
    return FinishTransfer(device, progress, result, locked);
}

CvResult BulkWriteBothSpaces(KVCorvane* device, const std::uint8_t* buffer, std::uint32_t size,
                             std::uint32_t address, std::uint32_t flags, ProgressWindow progress) {
    return WriteInBothSpaces(BulkWrite, device, buffer, size, address, flags, progress);
}
