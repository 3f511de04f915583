#pragma once
#include "cmdline.h"
#include "corvane.h"

#include <cstdint>

// Who the connected emulator is: its family and, where it reports one, its serial number. A
// device found after the emulator was lost is taken only when it is the same one, so that a
// monitor never writes its image into another emulator put on the link meanwhile.
struct EmulatorIdentity {
    std::uint32_t family = 0;
    bool hasSerial = false;
    std::uint8_t serial[8] = {};
};

EmulatorIdentity IdentifyEmulator(KVCorvane* device);
bool SameEmulator(const EmulatorIdentity& a, const EmulatorIdentity& b);

// After an upload failed: whether the emulator is gone, because its port reports a hang-up or
// the device no longer answers its version request.
bool EmulatorLost(KVCorvane* device);

// Closes the port of a lost emulator and looks for it again about once a second over the same
// candidates (the port where it was found first), until the same emulator answers or
// keepRunning is cleared. Once it answers: "FOUND" as at the start, vendor ID and large-bin bank
// set again, true. Another emulator that answers is named once and not taken.
bool AwaitEmulator(KVCorvane* device, OperationParams* params, const EmulatorIdentity& identity);
