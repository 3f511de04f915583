#include "corvane.h"
#include "port_candidates.h"
#include "sleep.h"

#include <cstring>

namespace {

// The rates tried on one port: the current one, 921600, then 19200 and 9600 from 115200.
bool AnswersVersion(KVCorvane* device) {
    if (GetFirmwareVersion(device, device->firmwareVersion) == CV_S_OK) {
        return true;
    }
    SetUSBBaud(device, 0);
    if (GetFirmwareVersion(device, device->firmwareVersion) == CV_S_OK) {
        return true;
    }
    SetUSBBaud(device, 7);
    if (device->port.SetBaud(19200) && GetFirmwareVersion(device, device->firmwareVersion) == CV_S_OK) {
        return true;
    }
    return device->port.SetBaud(9600) && GetFirmwareVersion(device, device->firmwareVersion) == CV_S_OK;
}

} // namespace

std::uint32_t FindHardware(KVCorvane* device, char* name, std::uint8_t* version) {
    device->capabilities = 0;
    device->unopenedPorts.clear();
    std::vector<std::string> ports = PortCandidates();
    std::size_t count = ports.size();
    std::size_t start = static_cast<std::size_t>(device->lastPortIndex) < count ? device->lastPortIndex : 0;
    bool found = false;
    std::size_t index = start;
    for (std::size_t tried = 0; tried < count && !found; ++tried, index = (index + 1) % count) {
        if (OpenPort(device, ports[index].c_str()) != CV_S_OK) {
            PortOpenError reason = device->port.openError;
            if (reason == PortOpenError::Denied || reason == PortOpenError::Busy) {
                device->unopenedPorts.push_back({ports[index], reason});
            }
            continue;
        }
        if (index >= 4) {
            SleepMs(60);
        }
        if (index == static_cast<std::size_t>(device->lastPortIndex)) {
            SetUSBBaud(device, device->lastBaudIndex);
        }
        found = AnswersVersion(device);
        if (found) {
            break;
        }
    }
    if (found) {
        device->lastPortIndex = static_cast<std::int32_t>(index);
        device->lastBaudIndex = device->baudIndex;
        device->capabilities = IdentifyHardware(device, device->firmwareVersion);
        if (name != nullptr) {
            // Always from an empty text, so a name never carries what the buffer held before.
            name[0] = '\0';
            FormatHardwareName(name, device->capabilities, device->firmwareVersion);
        }
        if (version != nullptr) {
            std::memcpy(version, device->firmwareVersion, 3);
        }
    } else {
        if (name != nullptr) {
            name[0] = '\0';
        }
        std::memset(device->firmwareVersion, 0, 3);
    }
    if (device->capabilities == 0) {
        ClosePort(device);
    }
    return device->capabilities;
}
