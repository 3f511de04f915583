#include "image_diff.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

using Runs = std::vector<std::pair<std::uint32_t, std::uint32_t>>;

Runs ChangedRuns(const std::vector<std::uint8_t>& current, const std::vector<std::uint8_t>& previous) {
    Runs runs;
    ForEachChangedRun(current.data(), previous.data(), static_cast<std::uint32_t>(current.size()),
                      [&](std::uint32_t start, std::uint32_t length) { runs.emplace_back(start, length); });
    return runs;
}

TEST(ChangedRuns, SplitsAtEveryEqualByteAndNeverMerges) {
    struct Case {
        const char* name;
        std::vector<std::uint32_t> changed;
        std::uint32_t size;
        Runs want;
    };
    std::vector<std::uint32_t> sixteenAndOne;
    for (std::uint32_t i = 0x10; i < 0x20; ++i) {
        sixteenAndOne.push_back(i);
    }
    sixteenAndOne.push_back(0x30);
    const Case cases[] = {
        {"nothing", {}, 64, {}},
        {"16 bytes and 1 byte", sixteenAndOne, 0x10000, {{0x10, 16}, {0x30, 1}}},
        {"one equal byte between", {3, 5}, 8, {{3, 1}, {5, 1}}},
        {"first byte", {0}, 8, {{0, 1}}},
        {"last byte ends the run", {6, 7}, 8, {{6, 2}}},
        {"everything", {0, 1, 2, 3}, 4, {{0, 4}}},
    };
    for (const Case& c : cases) {
        std::vector<std::uint8_t> previous(c.size, 0x5A);
        std::vector<std::uint8_t> current = previous;
        for (std::uint32_t at : c.changed) {
            current[at] ^= 0xFF;
        }
        EXPECT_EQ(ChangedRuns(current, previous), c.want) << c.name;
    }
}

TEST(CountDifferences, CountsBytesAndTreatsMissingFileBytesAsDifferent) {
    const std::vector<std::uint8_t> emulator = {1, 2, 3, 4, 5, 6};
    struct Case {
        std::vector<std::uint8_t> file;
        std::uint32_t fileBytes;
        std::uint32_t want;
    };
    const Case cases[] = {
        {{1, 2, 3, 4, 5, 6}, 6, 0},
        {{1, 0, 3, 0, 5, 0}, 6, 3},
        // The file ended after 4 bytes; what lies beyond in the buffer is never looked at.
        {{1, 2, 3, 4, 5, 6}, 4, 2},
        {{9, 2, 3, 4, 5, 6}, 4, 3},
        {{1, 2, 3, 4, 5, 6}, 0, 6},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(CountDifferences(emulator.data(), c.file.data(), 6, c.fileBytes), c.want);
    }
}
