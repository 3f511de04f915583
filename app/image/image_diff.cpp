#include "image_diff.h"

#include <cstdio>

namespace {

constexpr std::uint32_t kShownBytes = 8;

std::string HexBytes(const std::uint8_t* bytes, std::uint32_t length) {
    std::string text;
    char digits[4];
    for (std::uint32_t i = 0; i < length && i < kShownBytes; ++i) {
        std::snprintf(digits, sizeof digits, i == 0 ? "%.2X" : " %.2X", bytes[i]);
        text += digits;
    }
    if (length > kShownBytes) {
        text += " ...";
    }
    return text;
}

} // namespace

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

std::vector<std::string> DescribeDifferences(const std::uint8_t* emulator, const std::uint8_t* file,
                                             std::uint32_t size, std::uint32_t fileBytes,
                                             std::uint64_t emuAddress, std::uint64_t fileAddress) {
    if (fileBytes > size) {
        fileBytes = size;
    }
    std::vector<std::string> lines;
    std::uint32_t runs = 0;
    auto describe = [&](std::uint32_t start, std::uint32_t length, const std::string& fileSide) {
        if (++runs > kShownRuns) {
            return;
        }
        char head[120];
        std::snprintf(head, sizeof head,
                      "Difference at emulator address 0x%llX (file address 0x%llX), %u bytes: ",
                      static_cast<unsigned long long>(emuAddress + start),
                      static_cast<unsigned long long>(fileAddress + start), length);
        lines.push_back(head + ("emulator " + HexBytes(emulator + start, length)) + ", " + fileSide);
    };
    ForEachChangedRun(emulator, file, fileBytes, [&](std::uint32_t start, std::uint32_t length) {
        describe(start, length, "file " + HexBytes(file + start, length));
    });
    // The file ended early: what it lacks is one run of its own, with nothing to show on its side.
    if (fileBytes < size) {
        describe(fileBytes, size - fileBytes, "past the end of the file");
    }
    if (runs > kShownRuns) {
        lines.push_back("... and " + std::to_string(runs - kShownRuns) + " more differing runs");
    }
    return lines;
}
