#include "corvane.h"
#include "sleep.h"

#include <cctype>

namespace {

constexpr std::uint32_t kVersionReadTimeoutMs = 110;
// The version reply is three bytes; a port that keeps talking longer than this is not the
// emulator, and the search moves on without waiting for it to stop.
constexpr std::uint32_t kVersionDiscardLimitMs = 250;

std::uint32_t RateOfIndex(std::uint32_t baudIndex) {
    return 921600 / (baudIndex + 1);
}

bool ValidBaudIndex(std::uint32_t baudIndex) {
    return baudIndex == 0 || baudIndex == 1 || baudIndex == 3 || baudIndex == 7;
}

bool ValidVersionReply(const std::uint8_t* reply) {
    if (reply[0] == 'V' && reply[1] == 'V') {
        return false;
    }
    if (reply[0] == 0 && reply[1] == 0) {
        return false;
    }
    return std::isalnum(static_cast<unsigned char>(reply[2])) && reply[2] < 0x80;
}

void RestoreReadTimeout(KVCorvane* device) {
    if (device->port.IsOpen()) {
        device->port.SetReadTimeout(kStandardReadTimeoutMs);
    }
}

} // namespace

CvResult OpenPort(KVCorvane* device, const char* path) {
    KVSerial& port = device->port;
    if (port.IsOpen()) {
        port.Close();
    }
    if (!port.Open(path) || !port.IsOpen() || !port.SetupBuffers() || !port.SetDefaultTimeouts()) {
        port.Close();
        return CV_E_PORT_NOT_INITIALIZED;
    }
    SleepMs(100);
    return CV_S_OK;
}

void ClosePort(KVCorvane* device) {
    if (device->baudIndex != 7) {
        SetUSBBaud(device, 7);
    }
    device->port.Close();
    LogLine(device->logSink, "KVCorvane: COM Port closed.");
    device->capabilities = 0;
    device->emulationBank = 0;
    device->rwBank = 0;
}

CvResult SetReadTimeout(KVCorvane* device, std::uint32_t milliseconds) {
    if (!device->port.IsOpen()) {
        return CV_E_PORT_NOT_INITIALIZED;
    }
    return device->port.SetReadTimeout(milliseconds) ? CV_S_OK : CV_E_GENERAL_ERROR;
}

CvResult GetFirmwareVersion(KVCorvane* device, std::uint8_t* version) {
    KVSerial& port = device->port;
    if (!port.IsOpen()) {
        return CV_E_PORT_NOT_INITIALIZED;
    }
    LogLine(device->logSink, "KVCorvane: Firmware Version string requested");
    if (!TakeRequestLock(device)) {
        return CV_E_PORT_BUSY;
    }
    port.SetReadTimeout(kVersionReadTimeoutMs);
    std::uint8_t* reply = device->firmwareVersion;
    reply[0] = reply[1] = reply[2] = 0;
    port.Purge();

    CvResult result = CV_S_OK;
    const std::uint8_t request[2] = {'V', 'V'};
    if (port.Write(request, 2) < 2) {
        result = CV_E_COMM_WRITE_FAILURE;
    } else if (port.Read(reply, 3) < 3) {
        result = CV_E_COMM_READ_FAILURE;
        DiscardReply(device, 0, kVersionDiscardLimitMs);
    } else if (!ValidVersionReply(reply)) {
        result = CV_E_INVALID_RESPONSE;
        DiscardReply(device, 0, kVersionDiscardLimitMs);
    } else if (version != nullptr) {
        version[0] = reply[0];
        version[1] = reply[1];
        version[2] = reply[2];
    }
    RestoreReadTimeout(device);
    ReleaseRequestLock(device);
    return result;
}

CvResult SetUSBBaud(KVCorvane* device, std::uint32_t baudIndex) {
    std::uint32_t loggedRate = RateOfIndex(device->baudIndex);
    bool locked = false;
    CvResult result = CV_S_OK;
    if (device->capabilities != 0 && !(device->capabilities & CAPS_HWINFO)) {
        result = CV_E_REQUEST_NOT_SUPPORTED;
    } else if (!ValidBaudIndex(baudIndex)) {
        result = CV_E_INVALID_FUNC_PARAM;
    } else {
        loggedRate = RateOfIndex(baudIndex);
        bool switchHost = true;
        if (device->capabilities != 0) {
            // An identified device is asked first; it answers "O" at the old rate, then switches.
            if (!TakeRequestLock(device)) {
                LogLine(device->logSink, "KVCorvane: SetUSBBaud to %i, Force = %s FAILED with %s",
                        static_cast<int>(loggedRate), "TRUE", ResultToString(CV_E_PORT_BUSY));
                return CV_E_PORT_BUSY;
            }
            locked = true;
            KVSerial& port = device->port;
            port.SetReadTimeout(kVersionReadTimeoutMs);
            port.Purge();
            const std::uint8_t request[3] = {'S', static_cast<std::uint8_t>(baudIndex),
                                             static_cast<std::uint8_t>('S' + baudIndex)};
            std::uint8_t reply = 0;
            if (port.Write(request, 3) < 3) {
                result = CV_E_COMM_WRITE_FAILURE;
            } else if (port.Read(&reply, 1) < 1) {
                result = CV_E_COMM_READ_FAILURE;
                DiscardReply(device, 1);
            }
            switchHost = result == CV_S_OK && reply == 'O';
        }
        if (switchHost) {
            device->baudIndex = baudIndex;
            device->port.SetBaud(loggedRate);
        }
    }
    RestoreReadTimeout(device);
    if (locked) {
        ReleaseRequestLock(device);
    }
    if (result >= 0) {
        LogLine(device->logSink, "KVCorvane: SetUSBBaud to %i, Force = %s SUCCEEDED",
                static_cast<int>(loggedRate), "TRUE");
        SleepMs(10);
    } else {
        LogLine(device->logSink, "KVCorvane: SetUSBBaud to %i, Force = %s FAILED with %s",
                static_cast<int>(loggedRate), "TRUE", ResultToString(result));
    }
    return result;
}
