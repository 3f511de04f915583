#pragma once
#include <cstdint>

// The device families, one row each. The firmware letter picks the family; for the newer families
// the model letter of the hardware-information record picks the model.
struct FamilyEntry {
    // A feature that firmware from a version on adds to the flags: present unless the major number
    // is `major` and the minor number below `minor`.
    struct Feature {
        std::int32_t feature = -1;
        std::uint32_t caps = 0;
        std::uint8_t major = 0;
        std::uint8_t minor = 0;
    };

    // The firmware letter, or for the record families the record's model letter.
    std::uint8_t letter;
    bool fromRecord;
    std::uint32_t modelBit;
    const char* name;
    // The capability flags the family always has.
    std::uint32_t flags;
    // The emulation RAM in bytes (0: no limit known), and on the large-bin bank where it differs.
    std::uint32_t ramBytes;
    std::uint32_t largeBinRamBytes;
    Feature features[3];
};

// The family of a firmware letter that needs no record (Vespin I and II, Quorren Pro), or null.
const FamilyEntry* LetterFamily(std::uint8_t letter);
// True for the letters of the families identified through the record.
bool IsRecordFamilyLetter(std::uint8_t letter);
// The family whose model bit the flags carry (the first in the table), or null.
const FamilyEntry* FlagsFamily(std::uint32_t flags);
// The model's flags for a record model letter, with the features its firmware version adds;
// 0 for an unknown model. These include CAPS_ENCRYPTION whenever the family and firmware offer it.
std::uint32_t RecordFamilyFlags(std::uint8_t model, const std::uint8_t* version);
// Whether the model named by the flags offers encrypted framing with this firmware.
bool OffersEncryption(std::uint32_t flags, const std::uint8_t* version);
