// The EEPROM record, serial record and vendor-ID requests.
#include "corvane.h"
#include "family_table.h"
#include "framing.h"

#include <cstring>

namespace {

constexpr std::uint8_t kRecordCount = 7;
constexpr std::uint16_t kRecordAddress = 1;
constexpr std::uint32_t kSerialReadTimeoutMs = 600;
constexpr std::uint32_t kVendorWriteTimeoutMs = 20000;

bool NoVendor(std::uint8_t vendorId) {
    return vendorId == 0 || vendorId == 'n';
}

} // namespace

CvResult ReadEEPROM(KVCorvane* device, std::uint8_t* record) {
    KVSerial& port = device->port;
    if (!port.IsOpen()) {
        return CV_E_PORT_NOT_INITIALIZED;
    }
    LogLine(device->logSink, "KVCorvane: ReadEEPROM requested, %i bytes from address %X", kRecordCount,
            kRecordAddress);
    if (!TakeRequestLock(device)) {
        return CV_E_PORT_BUSY;
    }
    port.Purge();
    std::uint8_t request[6] = {'H', 'R', kRecordCount, kRecordAddress >> 8, kRecordAddress & 0xFF, 0};
    request[5] = RequestChecksum(request, 5);
    CvResult result = CV_S_OK;
    std::uint8_t checksum = 0;
    std::uint32_t got = 0;
    if (port.Write(request, 6) < 6) {
        result = CV_E_COMM_WRITE_FAILURE;
    } else if (got = port.Read(record, kRecordCount); got < kRecordCount) {
        result = CV_E_COMM_READ_FAILURE;
        DiscardReply(device, kRecordCount + 1 - got);
    } else if (record[0] == '?') {
        result = CV_E_UNKNOWN_COMMAND;
        DiscardReply(device, 0);
    } else if (port.Read(&checksum, 1) < 1) {
        result = CV_E_COMM_READ_FAILURE;
        DiscardReply(device, 1);
    } else if (std::uint8_t sum = RequestChecksum(record, kRecordCount); sum != checksum) {
        LogLine(
            device->logSink,
            "KVCorvane: ReadEEPROM: Invalid external data checksum\r\n\tCS of recvd data: %.2X\r\n\tCS from "
            "device: %.2x",
            sum, checksum);
        result = CV_E_EXTERNAL_CS_INVALID;
        DiscardReply(device, 0);
    }
    ReleaseRequestLock(device);
    return result;
}

CvResult GetSerial(KVCorvane* device, std::uint8_t* record) {
    if (record == nullptr) {
        return CV_E_INVALID_FUNC_PARAM;
    }
    KVSerial& port = device->port;
    LogLine(device->logSink, "SkelMar: Serial requested");
    if (!TakeRequestLock(device)) {
        return CV_E_PORT_BUSY;
    }
    if (port.IsOpen()) {
        port.SetReadTimeout(kSerialReadTimeoutMs);
    }
    port.Purge();
    const std::uint8_t request[3] = {'N', 'S', 0xA1};
    CvResult result = CV_S_OK;
    std::uint8_t checksum = 0;
    std::uint32_t got = 0;
    if (port.Write(request, 3) < 3) {
        result = CV_E_COMM_WRITE_FAILURE;
    } else if (got = port.Read(record, 9); got < 9) {
        LogLine(device->logSink, "Serial request timed out");
        result = CV_E_COMM_READ_TIMEOUT;
        DiscardReply(device, 10 - got);
    } else if (port.Read(&checksum, 1) < 1) {
        result = CV_E_COMM_READ_FAILURE;
        DiscardReply(device, 1);
    }
    ReleaseRequestLock(device);
    return result;
}

CvResult SetVendorID(KVCorvane* device, std::uint8_t vendorId) {
    std::uint8_t record[9] = {};
    if (GetSerial(device, record) != CV_S_OK) {
        return CV_E_INVALID_RESPONSE;
    }
    if (record[0] == vendorId) {
        return CV_S_OK;
    }
    std::uint8_t request[11] = {'N', vendorId};
    std::memcpy(request + 2, record + 1, 8);
    request[10] = RequestChecksum(request, 10);

    KVSerial& port = device->port;
    LogLine(device->logSink, "SkelMar: Setting Device Vendor ID");
    if (!TakeRequestLock(device)) {
        return CV_E_PORT_BUSY;
    }
    if (port.IsOpen()) {
        port.SetReadTimeout(kVendorWriteTimeoutMs);
    }
    port.Purge();
    CvResult result = CV_S_OK;
    std::uint8_t reply = 0;
    if (port.Write(request, 11) < 11) {
        result = CV_E_COMM_WRITE_FAILURE;
    } else if (port.Read(&reply, 1) < 1) {
        result = CV_E_COMM_READ_FAILURE;
        DiscardReply(device, 1);
    } else if (reply != 'O') {
        result = CV_E_INVALID_RESPONSE;
        DiscardReply(device, 0);
    } else {
        // The device encrypts from now on only when its family and firmware offer encryption;
        // the host follows the same rule, in this run and in every later one.
        if (NoVendor(vendorId) || !OffersEncryption(device->capabilities, device->firmwareVersion)) {
            device->capabilities &= ~CAPS_ENCRYPTION;
        } else {
            device->capabilities |= CAPS_ENCRYPTION;
        }
        SetReadTimeout(device, kStandardReadTimeoutMs);
    }
    ReleaseRequestLock(device);
    return result;
}
