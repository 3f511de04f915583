#pragma once
#include <cstdint>

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
