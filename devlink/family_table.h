#pragma once
#include <cstdint>

// The device families: the firmware letter picks the family; for the newer families the model
// letter of the hardware-information record picks the model and its flags.
struct FamilyEntry {
    std::uint8_t letter;
    std::uint32_t flags;
};

// The family of a firmware letter that needs no record (Vespin I and II, Quorren Pro), or null.
const FamilyEntry* LetterFamily(std::uint8_t letter);
// True for the letters of the families identified through the record.
bool IsRecordFamilyLetter(std::uint8_t letter);
// The model's flags for a record model letter, with the features its firmware version adds;
// 0 for an unknown model. These include CAPS_ENCRYPTION whenever the family and firmware offer it.
std::uint32_t RecordFamilyFlags(std::uint8_t model, const std::uint8_t* version);
// Whether the model named by the flags offers encrypted framing with this firmware.
bool OffersEncryption(std::uint32_t flags, const std::uint8_t* version);
