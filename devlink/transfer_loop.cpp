#include "transfer_loop.h"

#include "framing.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace {

// An acknowledgement by sum is the 16-bit sum of the data, low byte first, or a second byte that
// alone equals the sum.
bool SumAcknowledged(const std::uint8_t* data, std::uint32_t n, const std::uint8_t* reply) {
    std::uint32_t sum = 0;
    for (std::uint32_t i = 0; i < n; ++i) {
        sum = (sum + data[i]) & 0xFFFF;
    }
    return static_cast<std::uint32_t>(reply[0] | (reply[1] << 8)) == sum || reply[1] == sum;
}

// The reply to a read request: the unit's bytes, then their 8-bit sum.
CvResult ReadReply(KVCorvane* device, const TransferLayout& layout, std::uint8_t* data, std::uint32_t n,
                   std::uint32_t done, std::uint32_t size, std::uint8_t seed, bool encrypted) {
    KVSerial& port = device->port;
    if (std::uint32_t got = port.Read(data, n); got < n) {
        LogLine(device->logSink, "%s: Read timed-out after %i bytes. Expected %i bytes.", layout.timeoutName,
                static_cast<int>(layout.timeoutCountsPart ? done + got : done), static_cast<int>(size));
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
        LogLine(device->logSink, "%s Read Error - invalid packet checksum. Expected %.2X, Received %.2X.",
                layout.checksumName, sum, checksum);
        DiscardReply(device, 0);
        return CV_E_EXTERNAL_CS_INVALID;
    }
    if (encrypted) {
        DecryptBytes(device, seed, data, n);
    }
    return CV_S_OK;
}

// The acknowledgement of a write request. One cut short counts as missing: half a sum proves
// nothing.
CvResult WriteReply(KVCorvane* device, const TransferLayout& layout, const std::uint8_t* data,
                    std::uint32_t n) {
    std::uint8_t reply[2] = {};
    if (std::uint32_t got = device->port.Read(reply, layout.replyBytes); got < layout.replyBytes) {
        DiscardReply(device, layout.replyBytes - got);
        return CV_E_COMM_READ_TIMEOUT;
    }
    if (layout.sumAcknowledges && !SumAcknowledged(data, n, reply)) {
        DiscardReply(device, 0);
        return CV_E_ALT_WRITE_BAD_CHECKSUM;
    }
    if (!layout.sumAcknowledges && reply[0] != 'O') {
        DiscardReply(device, 0);
        return CV_E_INVALID_RESPONSE;
    }
    return CV_S_OK;
}

} // namespace

CvResult TransferUnits(KVCorvane* device, const TransferLayout& layout, std::uint8_t* readInto,
                       const std::uint8_t* writeFrom, std::uint32_t size, std::uint32_t address,
                       std::uint32_t flags, ProgressWindow progress) {
    KVSerial& port = device->port;
    bool read = layout.direction == Direction::Read;
    bool encrypted = UsesEncryptedFraming(device, flags);
    port.SetReadTimeout(layout.readTimeoutMs);
    if (!layout.purgeEachRequest) {
        port.Purge();
    }
    // One request buffer for the whole call: the longest header, a write's full unit and the checksum.
    std::vector<std::uint8_t> request(kMaxRequestHeader + (read ? 0 : layout.unitBytes) + 1, 0);
    for (std::uint32_t done = 0; done < size;) {
        if (device->cancel) {
            LogLine(device->logSink, "%s - Operation Canceled", layout.canceledName);
            return CV_E_OPERATION_CANCELED;
        }
        std::uint32_t n = std::min(layout.unitBytes, size - done);
        std::uint32_t header = 0;
        if (CvResult built = layout.header(device, layout.direction, flags, address + done, encrypted,
                                           request.data(), &n, &header);
            built != CV_S_OK) {
            return built;
        }
        std::uint32_t length = header;
        if (!read) {
            std::memcpy(request.data() + header, writeFrom + done, n);
            length += n;
        }
        std::uint8_t seed = 0;
        if (encrypted) {
            EncryptBytes(device, request.data() + layout.clearBytes, length - layout.clearBytes, &seed);
        }
        request[length] = RequestChecksum(request.data(), length);
        ++length;
        if (layout.purgeEachRequest) {
            port.Purge();
        }
        // A request that went out only in part is a failure at once: the device waits for the rest.
        if (port.Write(request.data(), length) < length) {
            return CV_E_COMM_WRITE_FAILURE;
        }
        CvResult replied = read ? ReadReply(device, layout, readInto + done, n, done, size, seed, encrypted)
                                : WriteReply(device, layout, writeFrom + done, n);
        if (replied != CV_S_OK) {
            return replied;
        }
        SendProgress(progress, kProgressStepIt, 0, 0);
        done += n;
    }
    return CV_S_OK;
}
