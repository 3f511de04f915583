#include "corvane.h"
#include "family_table.h"
#include "hardware_probe.h"
#include "port_candidates.h"
#include "remembered_port.h"
#include "sleep.h"

#include <algorithm>
#include <cstring>

namespace {

// A version reply makes the port the emulator's only when it names a known family and a second
// request gets the same three bytes: a port that streams text (a GPS receiver, a board printing
// its log) or a device at another rate answers "VV" with bytes that can pass for a version once,
// but not the same ones twice.
bool EmulatorAnswers(KVCorvane* device) {
    std::uint8_t* version = device->firmwareVersion;
    if (CvResult result = GetFirmwareVersion(device, version); result != CV_S_OK) {
        LogLine(device->logSink, "KVCorvane: No emulator answers here: %s", ResultToString(result));
        return false;
    }
    std::uint8_t first[3] = {version[0], version[1], version[2]};
    if (LetterFamily(first[2]) == nullptr && !IsRecordFamilyLetter(first[2])) {
        LogLine(device->logSink,
                "KVCorvane: No emulator answers here: version %02X %02X %02X names no known family", first[0],
                first[1], first[2]);
        return false;
    }
    if (GetFirmwareVersion(device, version) != CV_S_OK || std::memcmp(first, version, 3) != 0) {
        LogLine(device->logSink, "KVCorvane: No emulator answers here: the version reply did not repeat");
        return false;
    }
    return true;
}

} // namespace

bool AnswersVersion(KVCorvane* device) {
    if (EmulatorAnswers(device)) {
        return true;
    }
    SetUSBBaud(device, 0);
    if (EmulatorAnswers(device)) {
        return true;
    }
    SetUSBBaud(device, 7);
    if (device->port.SetBaud(19200) && EmulatorAnswers(device)) {
        return true;
    }
    return device->port.SetBaud(9600) && EmulatorAnswers(device);
}

bool OpenCandidate(KVCorvane* device, const std::string& path) {
    if (OpenPort(device, path.c_str()) == CV_S_OK) {
        return true;
    }
    PortOpenError reason = device->port.openError;
    if (reason == PortOpenError::Denied || reason == PortOpenError::Busy) {
        device->unopenedPorts.push_back({path, reason});
    }
    return false;
}

namespace {

// The port a former run found the emulator on goes first in this run's first search, at its
// rate, when it is a candidate now; otherwise the search starts where this run's last one ended.
void TakeRememberedPort(KVCorvane* device, const std::vector<std::string>& ports) {
    if (device->rememberedPortTaken) {
        return;
    }
    device->rememberedPortTaken = true;
    RememberedPort remembered;
    if (!LoadRememberedPort(device->logSink, &remembered)) {
        return;
    }
    auto it = std::find(ports.begin(), ports.end(), remembered.path);
    if (it == ports.end()) {
        LogLine(device->logSink, "KVCorvane: The remembered port %s is not a candidate now",
                remembered.path.c_str());
        return;
    }
    device->lastPortIndex = static_cast<std::int32_t>(it - ports.begin());
    // 19200 and 9600 are no baud index: the search gets to them from 115200.
    device->lastBaudIndex = 7;
    for (std::uint32_t index : {0u, 1u, 3u, 7u}) {
        if (921600 / (index + 1) == remembered.baud) {
            device->lastBaudIndex = index;
        }
    }
}

} // namespace

std::uint32_t FindHardware(KVCorvane* device, char* name, std::uint8_t* version) {
    device->capabilities = 0;
    device->unopenedPorts.clear();
    std::vector<std::string> ports = PortCandidates();
    std::size_t count = ports.size();
    TakeRememberedPort(device, ports);
    std::size_t start = static_cast<std::size_t>(device->lastPortIndex) < count ? device->lastPortIndex : 0;
    bool found = false;
    std::size_t index = start;
    for (std::size_t tried = 0; tried < count && !found; ++tried, index = (index + 1) % count) {
        if (!OpenCandidate(device, ports[index])) {
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
        StoreRememberedPort(device->logSink, {ports[index], device->port.CurrentBaud()});
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
