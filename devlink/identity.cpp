// What the connected device is: capability flags, display name and RAM size.
#include "corvane.h"
#include "family_table.h"
#include "transfer_common.h"

#include <cstdio>
#include <cstring>

namespace {

void Append(char* text, const char* suffix) {
    std::size_t used = std::strlen(text);
    std::snprintf(text + used, kHardwareNameSize - used, "%s", suffix);
}

std::uint32_t RamSize(const KVCorvane* device, std::uint8_t emulationBank) {
    const FamilyEntry* family = FlagsFamily(device->capabilities);
    if (family == nullptr) {
        return 0;
    }
    return emulationBank == kLargeBinBank && family->largeBinRamBytes != 0 ? family->largeBinRamBytes
                                                                           : family->ramBytes;
}

} // namespace

std::uint32_t IdentifyHardware(KVCorvane* device, const std::uint8_t* version) {
    device->capabilities = 0;
    std::uint8_t letter = version[2];
    std::uint32_t flags = 0;
    if (const FamilyEntry* family = LetterFamily(letter)) {
        flags = family->flags;
    } else if (IsRecordFamilyLetter(letter)) {
        flags = CAPS_HWINFO;
        LogLine(device->logSink, "KVCorvane: Hardware Version Information requested");
        // A record that could not be read counts as seven zero bytes: no model, no interface.
        std::uint8_t record[7] = {};
        if (ReadEEPROM(device, record) != CV_S_OK) {
            std::memset(record, 0, sizeof record);
        }
        flags |= RecordFamilyFlags(record[0], device->firmwareVersion);
        switch (record[3]) {
        case 'U':
            flags |= CAPS_IF_USB;
            break;
        case 'S':
            flags |= CAPS_IF_SERIAL;
            break;
        case 'B':
            flags |= CAPS_IF_BLUETOOTH;
            break;
        default:
            LogLine(device->logSink, "TarkelWare: Could not get communication interface type.");
            break;
        }
    }
    // The bank and serial requests below test the flags found so far.
    device->capabilities = flags;
    if (flags & CAPS_BANKS) {
        GetBank(device, &device->emulationBank, 0);
        GetBank(device, &device->rwBank, 1);
    }
    if (flags & CAPS_ENCRYPTION) {
        std::uint8_t serial[9] = {};
        if (GetSerial(device, serial) == CV_S_OK && serial[0] != 0 && serial[0] != 'n') {
            LogLine(device->logSink, "Encryption Enabled");
        } else {
            flags &= ~CAPS_ENCRYPTION;
            LogLine(device->logSink, "Encryption possible, but disabled");
        }
    }
    device->capabilities = flags;
    return flags;
}

void FormatHardwareName(char* text, std::uint32_t flags, const std::uint8_t* version) {
    // Without a model bit only suffixes follow, so they must not land after what the buffer held.
    text[0] = '\0';
    if (const FamilyEntry* family = FlagsFamily(flags)) {
        std::snprintf(text, kHardwareNameSize, "%s", family->name);
    }
    if (flags & CAPS_HWINFO) {
        if (flags & CAPS_IF_USB) {
            Append(text, " USB");
        } else if (flags & CAPS_IF_SERIAL) {
            Append(text, " Serial");
        } else if (flags & CAPS_IF_BLUETOOTH) {
            Append(text, " Bluetooth");
        }
    }
    if (version != nullptr) {
        char suffix[25];
        std::snprintf(suffix, sizeof suffix, " v%i.%i.%c", version[0], version[1],
                      static_cast<char>(version[2]));
        Append(text, suffix);
    }
}

std::uint32_t GetEmulationRamSize(const KVCorvane* device, std::uint8_t emulationBank) {
    // Any size fits a Quorren Pro.
    if (device->capabilities & CAPS_QUORREN) {
        return 0;
    }
    return RamSize(device, emulationBank);
}

std::int32_t GetBackfillOffset(KVCorvane* device, std::uint32_t size, std::uint32_t* offset) {
    if (device->capabilities & CAPS_QUORREN) {
        *offset = 0;
        return 1;
    }
    std::uint32_t ramSize = RamSize(device, device->emulationBank);
    if (size <= ramSize) {
        *offset = ramSize - size;
        return 1;
    }
    *offset = 0;
    return 0;
}
