#include "device_state.h"

#include "app_state.h"

namespace {

constexpr std::uint8_t kLargeBank = 8;

} // namespace

bool DeviceAnswers(KVCorvane* device) {
    for (int attempt = 0; attempt < 2; ++attempt) {
        if (GetFirmwareVersion(device, nullptr) == CV_S_OK) {
            return true;
        }
    }
    return false;
}

void RefreshBanks(KVCorvane* device) {
    if (device->capabilities & CAPS_BANKS) {
        GetBank(device, nullptr, 0);
        GetBank(device, nullptr, 1);
    }
}

bool EmulatesLargeBank(const KVCorvane* device) {
    return (device->capabilities & CAPS_BANKS) && device->emulationBank == kLargeBank;
}

bool LeaveLargeBankUnlessAsked(KVCorvane* device, const OperationParams* params) {
    if (params->large || !EmulatesLargeBank(device)) {
        return true;
    }
    if (SetBank(device, 0, 0, 1, 0) != CV_S_OK) {
        PrintStatus(1, "FAILURE: Could not set the emulation bank to 0");
        return false;
    }
    PrintStatus(1, "Emulation bank set to 0: the emulator now emulates 0x%X bytes",
                GetEmulationRamSize(device, 0));
    return true;
}

void NoteLargeBank(const KVCorvane* device, const OperationParams* params) {
    if (params->large || !EmulatesLargeBank(device)) {
        return;
    }
    const std::uint32_t size = GetEmulationRamSize(device, kLargeBank);
    PrintStatus(1,
                "The emulator emulates bank 8 (0x%X bytes) and -large is not given: its bank stays, and "
                "end-justified data goes to the end of those 0x%X bytes",
                size, size);
}
