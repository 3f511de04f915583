#pragma once
// What the record-file tests read back from a parsed image.
#include "record_image.h"

#include <cstdint>
#include <vector>

// The flat image's bytes from `address`, `size` of them.
inline std::vector<std::uint8_t> FlatBytes(const RecordImage& image, std::uint64_t address,
                                           std::uint32_t size) {
    std::vector<std::uint8_t> bytes(size);
    ReadRecordImageAt(image, address, bytes.data(), size);
    return bytes;
}
