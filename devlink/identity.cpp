// What the connected device is: capability flags, display name and RAM size.
#include "corvane.h"
#include "family_table.h"

#include <cstdio>
#include <cstring>

namespace {

struct MinimumVersion {
    std::int32_t feature;
    std::uint8_t major;
    std::uint8_t minor;
};

constexpr MinimumVersion kMinimumVersions[] = {
    {FEATURE_DRAVEL_BANKS, 10, 5},
    {FEATURE_DRAVEL_BULK, 10, 12},
    {FEATURE_DRAVEL_ENCRYPTION, 10, 15},
    {FEATURE_CORVANE_BULK, 2, 12},
};

struct ModelName {
    std::uint32_t bit;
    const char* name;
};

constexpr ModelName kModelNames[] = {
    {CAPS_VESPIN1, "Vespin I"},  {CAPS_VESPIN2, "Vespin II"},      {CAPS_QUORREN, "Quorren Pro"},
    {CAPS_CORVANE, "Corvane"},   {CAPS_GLINTSEAR, "Glint & Sear"}, {CAPS_DRAVEL, "Dravel"},
    {CAPS_DRAVEL2, "Dravel II"}, {CAPS_SKELMAR, "Skelmar"},        {CAPS_PARDYN, "Pardyn"},
    {CAPS_VORRAK, "Vorrak"},     {CAPS_TESSIQ, "Tessiq"},
};

void Append(char* text, const char* suffix) {
    std::size_t used = std::strlen(text);
    std::snprintf(text + used, kHardwareNameSize - used, "%s", suffix);
}

std::uint32_t RamSize(const KVCorvane* device, std::uint8_t emulationBank) {
    std::uint32_t caps = device->capabilities;
    if (caps & (CAPS_DRAVEL | CAPS_DRAVEL2)) {
        return emulationBank == 8 ? 0x80000 : 0x10000;
    }
    if (caps & (CAPS_PARDYN | CAPS_CORVANE | CAPS_VESPIN2)) {
        return 0x10000;
    }
    if (caps & (CAPS_VORRAK | CAPS_VESPIN1)) {
        return 0x8000;
    }
    if (caps & CAPS_SKELMAR) {
        return 0x100000;
    }
    return 0;
}

} // namespace

std::int32_t FirmwareAtLeast(const std::uint8_t* version, std::int32_t feature) {
    if (version == nullptr) {
        return 0;
    }
    for (const auto& entry : kMinimumVersions) {
        if (entry.feature == feature) {
            return version[0] != entry.major || version[1] >= entry.minor ? 1 : 0;
        }
    }
    return 0;
}

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
    for (const auto& model : kModelNames) {
        if (flags & model.bit) {
            std::snprintf(text, kHardwareNameSize, "%s", model.name);
            break;
        }
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
