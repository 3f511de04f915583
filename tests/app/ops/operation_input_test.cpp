#include "operation_input.h"

#include <gtest/gtest.h>

TEST(TakenLength, FromTheFileAddressToTheEndOrExactlyTheSize) {
    struct Case {
        const char* name;
        std::uint64_t imageSize;
        std::uint32_t fileAddress;
        std::uint32_t size;
        bool mayRunPast;
        std::uint32_t want;
    };
    const Case cases[] = {
        {"the whole file", 0x10000, 0, 0, false, 0x10000},
        {"the rest from a file address", 0x10000, 0x4000, 0, false, 0xC000},
        {"the last byte", 0x10000, 0xFFFF, 0, false, 1},
        {"a size within", 0x10000, 0x4000, 0x100, false, 0x100},
        {"a size up to the end", 0x10000, 0x4000, 0xC000, false, 0xC000},
        {"a size past the end", 0x10000, 0x4000, 0xC001, false, 0},
        {"a size past the end that may run past", 0x10000, 0x4000, 0xC001, true, 0xC001},
        {"an address at the end", 0x10000, 0x10000, 0, false, 0},
        {"an address at the end with a size", 0x10000, 0x10000, 1, true, 0},
        {"an address far past the end", 0x10000, 0xFFFFFFFF, 0x10, true, 0},
        {"an empty image", 0, 0, 0, true, 0},
        {"more than 4 GB", 0x200000000ull, 0, 0, false, 0xFFFFFFFF},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(TakenLength(c.imageSize, c.fileAddress, c.size, c.mayRunPast), c.want) << c.name;
    }
}
