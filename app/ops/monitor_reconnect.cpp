#include "monitor_reconnect.h"

#include "app_state.h"
#include "monitor_stop.h"
#include "port_line.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <set>
#include <string>
#include <vector>

namespace {

constexpr std::uint32_t kFamilyBits = CAPS_CORVANE | CAPS_GLINTSEAR | CAPS_DRAVEL | CAPS_DRAVEL2 |
                                      CAPS_SKELMAR | CAPS_PARDYN | CAPS_VORRAK | CAPS_TESSIQ | CAPS_VESPIN2 |
                                      CAPS_VESPIN1 | CAPS_QUORREN;
constexpr auto kLookInterval = std::chrono::milliseconds(1000);

bool KeepRunning(OperationParams* params) {
    return std::atomic_ref<std::int32_t>(params->keepRunning).load() != 0;
}

// The display name, and the serial number where there is one: two emulators of one model differ
// only there.
std::string Described(const char* name, const EmulatorIdentity& identity) {
    std::string text = name;
    if (identity.hasSerial) {
        char serial[17];
        for (int i = 0; i < 8; ++i) {
            std::snprintf(serial + 2 * i, 3, "%02X", identity.serial[i]);
        }
        text += ", serial ";
        text += serial;
    }
    return text;
}

} // namespace

EmulatorIdentity IdentifyEmulator(KVCorvane* device) {
    EmulatorIdentity identity;
    identity.family = device->capabilities & kFamilyBits;
    std::uint8_t record[9] = {};
    if (GetSerial(device, record) == CV_S_OK) {
        identity.hasSerial = true;
        std::memcpy(identity.serial, record + 1, sizeof identity.serial);
    }
    return identity;
}

bool SameEmulator(const EmulatorIdentity& a, const EmulatorIdentity& b) {
    if (a.family != b.family) {
        return false;
    }
    return !a.hasSerial || !b.hasSerial || std::memcmp(a.serial, b.serial, sizeof a.serial) == 0;
}

bool EmulatorLost(KVCorvane* device) {
    if (device->port.HungUp()) {
        return true;
    }
    // The version bytes were there before the failure and stay what they were.
    std::uint8_t known[3];
    std::memcpy(known, device->firmwareVersion, sizeof known);
    const bool answers = GetFirmwareVersion(device, nullptr) == CV_S_OK;
    std::memcpy(device->firmwareVersion, known, sizeof known);
    return !answers;
}

namespace {

// One look over the candidates from the port where the emulator was found; true with the port
// open when the same emulator answers there or further on. Another emulator that answers is
// named once and passed over, so that the search goes on behind it.
bool LookForEmulator(KVCorvane* device, OperationParams* params, const EmulatorIdentity& identity,
                     std::int32_t portIndex, std::uint32_t baudIndex, std::set<std::string>* named) {
    std::vector<std::int32_t> passed;
    std::int32_t start = portIndex;
    for (;;) {
        device->lastPortIndex = start;
        device->lastBaudIndex = baudIndex;
        char name[kHardwareNameSize] = {};
        const std::uint32_t caps = FindHardware(device, name, nullptr);
        if (caps == 0) {
            break;
        }
        const std::int32_t at = device->lastPortIndex;
        if (std::find(passed.begin(), passed.end(), at) != passed.end()) {
            ClosePort(device);
            break;
        }
        const EmulatorIdentity found = IdentifyEmulator(device);
        if ((caps & CAPS_EMULATION) && SameEmulator(found, identity)) {
            SetVendorID(device, 3);
            PrintFound(device, name);
            if (params->large && (caps & CAPS_BANKS)) {
                SetBank(device, 8, 0, 1, 0);
            }
            return true;
        }
        const std::string other = Described(name, found);
        if (named->insert(other).second) {
            PrintStatus(1, "Another emulator answers (%s): not the one monitored, still waiting...",
                        other.c_str());
        }
        ClosePort(device);
        passed.push_back(at);
        start = at + 1;
    }
    // A device that answers but is not this one must not become the port tried first.
    device->lastPortIndex = portIndex;
    device->lastBaudIndex = baudIndex;
    return false;
}

} // namespace

bool AwaitEmulator(KVCorvane* device, OperationParams* params, const EmulatorIdentity& identity) {
    const std::int32_t portIndex = device->lastPortIndex;
    const std::uint32_t baudIndex = device->lastBaudIndex;
    // Nothing is sent to a device that is gone: only the host's side of the link is put back.
    device->capabilities = 0;
    ClosePort(device);
    std::set<std::string> named;
    while (KeepRunning(params) && !SleepUnlessStopped(kLookInterval) && KeepRunning(params)) {
        if (LookForEmulator(device, params, identity, portIndex, baudIndex, &named)) {
            return true;
        }
    }
    return false;
}
