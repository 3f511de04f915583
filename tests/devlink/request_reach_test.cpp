// How far the device's requests reach, for every family and request format, and that the bound
// is the real one: the last page below it lands where it was sent, a page at the bound does not.
#include "request_reach.h"
#include "transfer_fixture.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

struct ReachCase {
    const char* name;
    const char* model;
    int major;
    int minor;
    std::uint8_t vendor; // 'n': the link stays plain; 3: encrypted where the family offers it
    bool largeBin;
    std::uint32_t reach;
};

const ReachCase kReaches[] = {
    {"Vespin I", "vespin1", 3, 1, 'n', false, 0x10000},
    {"Vespin II", "vespin2", 3, 1, 'n', false, 0x10000},
    {"Quorren Pro", "quorren", 2, 0, 'n', false, 0x10000},
    {"Corvane, slow packets only", "corvane", 2, 11, 'n', false, 0x10000},
    {"Corvane, bulk", "corvane", 3, 0, 'n', false, 0x10000},
    {"Pardyn", "pardyn", 1, 4, 'n', false, 0x10000},
    {"Vorrak", "vorrak", 1, 2, 'n', false, 0x10000},
    {"Glint & Sear", "glintsear", 1, 0, 'n', false, 0x10000},
    {"Tessiq", "tessiq", 1, 0, 'n', false, 0x10000},
    {"Dravel without banks", "dravel", 10, 4, 'n', false, 0x10000},
    {"Dravel, bank 0", "dravel", 11, 0, 'n', false, 0x10000},
    {"Dravel, bank 0, encrypted", "dravel", 11, 0, 3, false, 0x10000},
    {"Dravel, large-bin bank", "dravel", 11, 0, 'n', true, 0x80000},
    {"Dravel, large-bin bank, encrypted", "dravel", 11, 0, 3, true, 0x80000},
    {"Dravel II, bank 0", "dravel2", 12, 3, 'n', false, 0x10000},
    {"Dravel II, large-bin bank, encrypted", "dravel2", 12, 3, 3, true, 0x80000},
    {"Skelmar", "skelmar", 4, 2, 'n', false, 0x100000},
    {"Skelmar, encrypted", "skelmar", 4, 2, 3, false, 0x100000},
};

bool AllZero(const Bytes& ram, std::uint32_t at, std::uint32_t n) {
    return std::all_of(ram.begin() + at, ram.begin() + at + n, [](std::uint8_t b) { return b == 0; });
}

} // namespace

TEST(RequestReach, EveryFamilyAndFormatReachesExactlyItsAddressBits) {
    constexpr std::uint32_t kPage = 0x100;
    for (const ReachCase& c : kReaches) {
        InProcessDevice d(Config(c.model, c.major, c.minor, c.vendor));
        ASSERT_NE(d.device.capabilities, 0u) << c.name;
        if (c.largeBin) {
            ASSERT_EQ(SetBank(&d.device, 8, 0, 1, 0), CV_S_OK) << c.name;
        }
        EXPECT_EQ(GetRequestReach(&d.device, d.device.emulationBank), c.reach) << c.name;

        Bytes& ram = d.line.model.ram;
        if (ram.size() < c.reach) {
            continue;
        }
        const Bytes data = Pattern(kPage, 7);
        std::fill(ram.begin(), ram.end(), 0);
        ASSERT_EQ(
            WriteBlockBothSpaces(&d.device, data.data(), kPage, c.reach - kPage, CV_XFER_LOWER_W, nullptr),
            CV_S_OK)
            << c.name;
        EXPECT_TRUE(std::equal(data.begin(), data.end(), ram.begin() + (c.reach - kPage))) << c.name;
        Bytes back(kPage);
        ASSERT_EQ(ReadBlock(&d.device, back.data(), kPage, c.reach - kPage, 0, nullptr), CV_S_OK) << c.name;
        EXPECT_EQ(back, data) << c.name;
        if (ram.size() >= c.reach + kPage) {
            // Past the bound the address is cut to the bits the request carries: the page sent
            // for the bound lands on address 0 (of its space, on a Skelmar) instead.
            ASSERT_TRUE(AllZero(ram, 0, kPage)) << c.name;
            WriteBlockBothSpaces(&d.device, data.data(), kPage, c.reach, CV_XFER_LOWER_W, nullptr);
            EXPECT_TRUE(std::equal(data.begin(), data.end(), ram.begin())) << c.name;
        }
    }
}
