#include "image_diff.h"

std::uint32_t CountDifferences(const std::uint8_t* emulator, const std::uint8_t* file, std::uint32_t size,
                               std::uint32_t fileBytes) {
    if (fileBytes > size) {
        fileBytes = size;
    }
    std::uint32_t count = size - fileBytes;
    for (std::uint32_t i = 0; i < fileBytes; ++i) {
        if (emulator[i] != file[i]) {
            ++count;
        }
    }
    return count;
}
