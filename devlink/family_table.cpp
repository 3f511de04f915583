#include "family_table.h"

#include "corvane.h"

namespace {

// Bits 1, 2, 24, 28 and 29 of the flag words below have no name: the families that carry them
// are as listed, but no operation tests them.
constexpr std::uint32_t kVespinBit = 0x00000002;
constexpr std::uint32_t kQuorrenBit = 0x00000004;
constexpr std::uint32_t kBit24 = 0x01000000;
constexpr std::uint32_t kBit28 = 0x10000000;
constexpr std::uint32_t kBit29 = 0x20000000;

// In the order in which a name is looked up for the flags.
constexpr FamilyEntry kFamilies[] = {
    {'1', false, CAPS_VESPIN1, "Vespin I", CAPS_EMULATION | CAPS_VESPIN1 | kVespinBit, 0x8000, 0, {}},
    {'2', false, CAPS_VESPIN2, "Vespin II", CAPS_EMULATION | CAPS_VESPIN2 | kVespinBit, 0x10000, 0, {}},
    {'Q', false, CAPS_QUORREN, "Quorren Pro", CAPS_EMULATION | CAPS_QUORREN | kQuorrenBit, 0, 0, {}},
    {'K',
     true,
     CAPS_CORVANE,
     "Corvane",
     kBit28 | CAPS_EMULATION | kBit24 | CAPS_CORVANE | CAPS_HWINFO,
     0x10000,
     0,
     {{FEATURE_CORVANE_BULK, CAPS_BULK, 2, 12}}},
    {'G', true, CAPS_GLINTSEAR, "Glint & Sear", kBit24 | CAPS_GLINTSEAR | CAPS_HWINFO, 0, 0, {}},
    {'L',
     true,
     CAPS_DRAVEL,
     "Dravel",
     CAPS_EMULATION | CAPS_DRAVEL | CAPS_HWINFO,
     0x10000,
     0x80000,
     {{FEATURE_DRAVEL_ENCRYPTION, CAPS_ENCRYPTION, 10, 15},
      {FEATURE_DRAVEL_BANKS, CAPS_BANKS, 10, 5},
      {FEATURE_DRAVEL_BULK, CAPS_BULK, 10, 12}}},
    {'M',
     true,
     CAPS_DRAVEL2,
     "Dravel II",
     CAPS_BULK | kBit29 | CAPS_BANKS | CAPS_ENCRYPTION | CAPS_EMULATION | CAPS_DRAVEL2 | CAPS_HWINFO,
     0x10000,
     0x80000,
     {}},
    {'Y',
     true,
     CAPS_SKELMAR,
     "Skelmar",
     CAPS_BULK | kBit29 | CAPS_ENCRYPTION | CAPS_EMULATION | CAPS_SKELMAR | CAPS_HWINFO,
     0x100000,
     0,
     {}},
    {'J',
     true,
     CAPS_PARDYN,
     "Pardyn",
     CAPS_BULK | CAPS_ENCRYPTION | CAPS_EMULATION | CAPS_PARDYN | CAPS_HWINFO,
     0x10000,
     0,
     {}},
    {'H', true, CAPS_VORRAK, "Vorrak", CAPS_BULK | CAPS_EMULATION | CAPS_VORRAK | CAPS_HWINFO, 0x8000, 0, {}},
    {'I', true, CAPS_TESSIQ, "Tessiq", CAPS_TESSIQ | CAPS_HWINFO, 0, 0, {}},
};

const FamilyEntry* Find(bool fromRecord, std::uint8_t letter) {
    for (const auto& family : kFamilies) {
        if (family.fromRecord == fromRecord && family.letter == letter) {
            return &family;
        }
    }
    return nullptr;
}

bool Present(const FamilyEntry::Feature& feature, const std::uint8_t* version) {
    return version[0] != feature.major || version[1] >= feature.minor;
}

} // namespace

const FamilyEntry* LetterFamily(std::uint8_t letter) {
    return Find(false, letter);
}

bool IsRecordFamilyLetter(std::uint8_t letter) {
    return Find(true, letter) != nullptr;
}

const FamilyEntry* FlagsFamily(std::uint32_t flags) {
    for (const auto& family : kFamilies) {
        if (flags & family.modelBit) {
            return &family;
        }
    }
    return nullptr;
}

std::uint32_t RecordFamilyFlags(std::uint8_t model, const std::uint8_t* version) {
    const FamilyEntry* family = Find(true, model);
    if (family == nullptr) {
        return 0;
    }
    std::uint32_t flags = family->flags;
    for (const auto& feature : family->features) {
        if (feature.caps != 0 && version != nullptr && Present(feature, version)) {
            flags |= feature.caps;
        }
    }
    return flags;
}

bool OffersEncryption(std::uint32_t flags, const std::uint8_t* version) {
    for (const auto& family : kFamilies) {
        if (family.fromRecord && (flags & family.modelBit)) {
            return (RecordFamilyFlags(family.letter, version) & CAPS_ENCRYPTION) != 0;
        }
    }
    return false;
}

std::int32_t FirmwareAtLeast(const std::uint8_t* version, std::int32_t feature) {
    if (version == nullptr) {
        return 0;
    }
    for (const auto& family : kFamilies) {
        for (const auto& entry : family.features) {
            if (entry.caps != 0 && entry.feature == feature) {
                return Present(entry, version) ? 1 : 0;
            }
        }
    }
    return 0;
}
