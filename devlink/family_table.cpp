#include "family_table.h"

#include "corvane.h"

namespace {

constexpr FamilyEntry kLetterFamilies[] = {
    {'1', 0x02004002},
    {'2', 0x02002002},
    {'Q', 0x02008004},
};

struct RecordModel {
    std::uint8_t model;
    std::uint32_t modelBit;
    std::uint32_t flags;
};

constexpr RecordModel kRecordModels[] = {
    {'K', CAPS_CORVANE, 0x13000021},   {'J', CAPS_PARDYN, 0x46000401},  {'H', CAPS_VORRAK, 0x42000801},
    {'G', CAPS_GLINTSEAR, 0x01000041}, {'I', CAPS_TESSIQ, 0x00001001},  {'L', CAPS_DRAVEL, 0x02000081},
    {'M', CAPS_DRAVEL2, 0x6E000101},   {'Y', CAPS_SKELMAR, 0x66000201},
};

} // namespace

const FamilyEntry* LetterFamily(std::uint8_t letter) {
    for (const auto& family : kLetterFamilies) {
        if (family.letter == letter) {
            return &family;
        }
    }
    return nullptr;
}

bool IsRecordFamilyLetter(std::uint8_t letter) {
    for (const auto& entry : kRecordModels) {
        if (entry.model == letter) {
            return true;
        }
    }
    return false;
}

std::uint32_t RecordFamilyFlags(std::uint8_t model, const std::uint8_t* version) {
    for (const auto& entry : kRecordModels) {
        if (entry.model != model) {
            continue;
        }
        std::uint32_t flags = entry.flags;
        if (model == 'K' && FirmwareAtLeast(version, FEATURE_CORVANE_BULK)) {
            flags |= CAPS_BULK;
        }
        if (model == 'L') {
            flags |= FirmwareAtLeast(version, FEATURE_DRAVEL_ENCRYPTION) ? CAPS_ENCRYPTION : 0;
            flags |= FirmwareAtLeast(version, FEATURE_DRAVEL_BANKS) ? CAPS_BANKS : 0;
            flags |= FirmwareAtLeast(version, FEATURE_DRAVEL_BULK) ? CAPS_BULK : 0;
        }
        return flags;
    }
    return 0;
}

bool OffersEncryption(std::uint32_t flags, const std::uint8_t* version) {
    for (const auto& entry : kRecordModels) {
        if (flags & entry.modelBit) {
            return (RecordFamilyFlags(entry.model, version) & CAPS_ENCRYPTION) != 0;
        }
    }
    return false;
}
