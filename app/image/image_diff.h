#pragma once
#include <cstdint>
#include <string>
#include <vector>

// How many of the `size` positions differ between the emulator's bytes and the file's. Only the
// first `fileBytes` file bytes exist (the file may end early); every position beyond them counts
// as a difference, so nothing is compared against bytes that were never read.
std::uint32_t CountDifferences(const std::uint8_t* emulator, const std::uint8_t* file, std::uint32_t size,
                               std::uint32_t fileBytes);

// Calls visit(start, length) for each maximal run of positions where `current` differs from
// `previous`, in order. Runs are never merged: one equal byte between two changes makes two runs.
template <typename Visit>
void ForEachChangedRun(const std::uint8_t* current, const std::uint8_t* previous, std::uint32_t size,
                       Visit visit) {
    std::uint32_t i = 0;
    while (i < size) {
        if (current[i] == previous[i]) {
            ++i;
            continue;
        }
        std::uint32_t start = i;
        while (i < size && current[i] != previous[i]) {
            ++i;
        }
        visit(start, i - start);
    }
}

// Lines that say where a verify found differences: one per run (as ForEachChangedRun finds them
// over the bytes the file holds, and one more for the positions past the file's end), for the
// first kShownRuns runs, in order, then "... and N more differing runs" when there are more.
// Each names the run's emulator and file address and length, and at most 8 bytes of each side:
// "Difference at emulator address 0x107 (file address 0x7), 1 bytes: emulator 00, file 5A".
constexpr std::uint32_t kShownRuns = 16;
std::vector<std::string> DescribeDifferences(const std::uint8_t* emulator, const std::uint8_t* file,
                                             std::uint32_t size, std::uint32_t fileBytes,
                                             std::uint64_t emuAddress, std::uint64_t fileAddress);
