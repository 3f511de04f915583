#include "hardware_list.h"

#include "hardware_probe.h"
#include "port_candidates.h"
#include "sleep.h"

#include <cstring>

std::vector<ListedEmulator> ListHardware(KVCorvane* device) {
    std::vector<ListedEmulator> found;
    device->capabilities = 0;
    device->unopenedPorts.clear();
    std::vector<std::string> ports = PortCandidates();
    for (std::size_t index = 0; index < ports.size(); ++index) {
        if (!OpenCandidate(device, ports[index])) {
            continue;
        }
        if (index >= 4) {
            SleepMs(60);
        }
        if (AnswersVersion(device)) {
            ListedEmulator emulator;
            emulator.path = ports[index];
            emulator.capabilities = IdentifyHardware(device, device->firmwareVersion);
            char name[kHardwareNameSize] = {};
            FormatHardwareName(name, emulator.capabilities, device->firmwareVersion);
            emulator.name = name;
            std::uint8_t record[9] = {};
            if (GetSerial(device, record) == CV_S_OK) {
                emulator.hasSerial = true;
                std::memcpy(emulator.serial, record + 1, sizeof emulator.serial);
            }
            found.push_back(emulator);
        }
        // Forgotten first, so that closing changes only the host's side of the line: the device
        // keeps the rate it was found at, where the next search looks for it.
        device->capabilities = 0;
        ClosePort(device);
    }
    std::memset(device->firmwareVersion, 0, 3);
    return found;
}
