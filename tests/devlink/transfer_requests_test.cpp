// What the transfers put on the line, byte for byte, against the in-process device.
#include "sleep.h"
#include "transfer_fixture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

TEST(SlowRead, PacketsCarryCountAndAddress) {
    InProcessDevice d(Config("corvane", 2, 11));
    ASSERT_FALSE(d.device.capabilities & CAPS_BULK);
    Bytes ram = Pattern(0x10000, 1);
    std::copy(ram.begin(), ram.end(), d.line.model.ram.begin());
    d.Mark();
    Bytes buffer(512);
    ASSERT_EQ(ReadBlock(&d.device, buffer.data(), 512, 0x1000, 0, nullptr), CV_S_OK);
    EXPECT_EQ(d.Sent('R'),
              (std::vector<Bytes>{{'R', 0x00, 0x10, 0x00, 0x62}, {'R', 0x00, 0x11, 0x00, 0x63}}));
    EXPECT_TRUE(std::equal(buffer.begin(), buffer.end(), ram.begin() + 0x1000));
    EXPECT_TRUE(d.log.Has("KVCorvane: Slow Reading 512 bytes"));
    EXPECT_TRUE(d.log.Has("KVCorvane ReadBlock Request initiated for 512 bytes."));

    d.Mark();
    Bytes odd(300);
    ASSERT_EQ(ReadBlock(&d.device, odd.data(), 300, 0x20, 0, nullptr), CV_S_OK);
    auto sent = d.Sent('R');
    ASSERT_EQ(sent.size(), 2u);
    EXPECT_EQ(sent[0][1], 0x00);
    EXPECT_EQ(sent[1][1], 0x2C);
    EXPECT_TRUE(std::equal(odd.begin(), odd.end(), ram.begin() + 0x20));
}

TEST(BulkRead, ChunksCarryPagesAndTheHighAddress) {
    InProcessDevice d(Config("corvane", 3, 0));
    d.Mark();
    Bytes buffer(0x2000);
    ASSERT_EQ(ReadBlock(&d.device, buffer.data(), 0x2000, 0x10000, 0, nullptr), CV_S_OK);
    EXPECT_EQ(d.Sent('Z'),
              (std::vector<Bytes>{{'Z', 'R', 0x10, 0x01, 0x00, 0xBD}, {'Z', 'R', 0x10, 0x01, 0x10, 0xCD}}));
    EXPECT_TRUE(d.log.Has("KVCorvane: Bulk reading 8KB"));
    EXPECT_TRUE(d.log.Has("TarkelWare: Bulk Read Request initiated for 8192 bytes."));

    d.Mark();
    Bytes odd(0x1100);
    ASSERT_EQ(ReadBlock(&d.device, odd.data(), 0x1100, 0, 0, nullptr), CV_S_OK);
    auto sent = d.Sent('Z');
    ASSERT_EQ(sent.size(), 2u);
    EXPECT_EQ(sent[0][2], 0x10);
    EXPECT_EQ(sent[1][2], 0x01);

    // A block without a whole page in it is refused by the bulk command and read slowly.
    d.Mark();
    Bytes block(0x100);
    ASSERT_EQ(ReadBlock(&d.device, block.data(), 0x100, 0x1080, 0, nullptr), CV_S_OK);
    EXPECT_TRUE(d.Sent('Z').empty());
    EXPECT_EQ(d.Sent('R').size(), 1u);
    EXPECT_TRUE(d.log.Has("TarkelWare: BulkRead failure. Size/Address must be divisible by 256."));

    d.Mark();
    ASSERT_EQ(BulkRead(&d.device, buffer.data(), 0, 0, 0, nullptr), CV_S_OK);
    EXPECT_TRUE(d.line.Writes().size() == d.found) << "a bulk read of 0 bytes sent something";
    EXPECT_EQ(d.device.idle, 1);
}

TEST(SlowWrite, LargeBinBankKeepsPacketsInsideOneBank) {
    InProcessDevice d(Config("dravel", 11, 0));
    ASSERT_EQ(SetBank(&d.device, 8, 0, 1, 0), CV_S_OK);
    ASSERT_EQ(d.device.rwBank, 0);
    d.Mark();
    Bytes data = Pattern(0x200, 2);
    ASSERT_EQ(WriteBlockBothSpaces(&d.device, data.data(), 0x200, 0xFF80, CV_XFER_LOWER_W | CV_XFER_NO_BULK,
                                   nullptr),
              CV_S_OK);
    auto writes = d.Sent('W');
    ASSERT_EQ(writes.size(), 3u);
    EXPECT_EQ(writes[0][1], 0x80);
    EXPECT_EQ(writes[0][2], 0xFF);
    EXPECT_EQ(writes[0][3], 0x80);
    EXPECT_EQ(writes[1][1], 0x00);
    EXPECT_EQ(writes[1][2], 0x00);
    EXPECT_EQ(writes[2][1], 0x80);
    EXPECT_EQ(writes[2][2], 0x01);
    EXPECT_EQ(d.Sent('B'), (std::vector<Bytes>{{'B', 'R', 0x01, 0x95}}));
    EXPECT_EQ(d.device.rwBank, 1);
    EXPECT_TRUE(std::equal(data.begin(), data.end(), d.line.model.ram.begin() + 0xFF80));

    // A bulk transfer first makes bank 8 the R/W bank.
    d.device.rwBank = 3;
    d.line.model.rwBank = 3;
    d.Mark();
    Bytes block(0x100);
    ASSERT_EQ(ReadBlock(&d.device, block.data(), 0x100, 0x30000, 0, nullptr), CV_S_OK);
    EXPECT_EQ(d.Sent('B'), (std::vector<Bytes>{{'B', 'R', 0x08, 0x9C}}));
    EXPECT_TRUE(std::equal(block.begin(), block.end(), d.line.model.ram.begin() + 0x30000));
    EXPECT_EQ(d.line.model.badChecksums, 0u);
}

TEST(SlowWrite, CommandLetterFollowsFlagsAndDevice) {
    struct Case {
        DeviceConfig config;
        std::uint32_t flags;
        std::uint8_t command;
    } cases[] = {
        {Config("corvane", 3, 0), CV_XFER_LOWER_W, 'W'},
        {Config("vespin1", 3, 1), CV_XFER_LOWER_W, 'w'},
        {Config("vespin1", 3, 1), 0, 'W'},
        {Config("corvane", 3, 0), CV_XFER_ALT_WRITE | CV_XFER_LOWER_W, 'X'},
    };
    for (const auto& c : cases) {
        InProcessDevice d(c.config);
        d.Mark();
        Bytes data = Pattern(16, 3);
        EXPECT_EQ(WriteBlock(&d.device, data.data(), 16, 0x40, c.flags, nullptr), CV_S_OK) << c.command;
        auto sent = d.Sent(c.command);
        ASSERT_EQ(sent.size(), 1u) << c.command;
        EXPECT_EQ(sent[0].size(), 16u + 5) << c.command;
        EXPECT_EQ(sent[0][1], 16) << c.command;
        EXPECT_TRUE(std::equal(data.begin(), data.end(), sent[0].begin() + 4)) << c.command;
        EXPECT_TRUE(std::equal(data.begin(), data.end(), d.line.model.ram.begin() + 0x40)) << c.command;
    }
}

TEST(SkelmarWrite, BothSpacesUnlessOneIsNamed) {
    InProcessDevice d(Config("skelmar", 4, 2));
    ASSERT_TRUE(d.device.capabilities & CAPS_SKELMAR);
    Bytes data = Pattern(0x100, 4);
    d.Mark();
    ASSERT_EQ(WriteBlockBothSpaces(&d.device, data.data(), 0x100, 0x20200, 0, nullptr), CV_S_OK);
    auto bulk = d.Sent('Z');
    ASSERT_EQ(bulk.size(), 2u);
    EXPECT_EQ(bulk[0][3], 0x22);
    EXPECT_EQ(bulk[1][3], 0x12);

    d.Mark();
    ASSERT_EQ(WriteBlockBothSpaces(&d.device, data.data(), 0x20, 0x20200, CV_XFER_NO_BULK, nullptr), CV_S_OK);
    auto slow = d.Sent('W');
    ASSERT_EQ(slow.size(), 2u);
    EXPECT_EQ(slow[0][2], 0x22);
    EXPECT_EQ(slow[1][2], 0x12);
    EXPECT_EQ(slow[0].size(), 0x20u + 6);

    // No space: the bulk command refuses, and the slow write goes once with no space bits.
    d.Mark();
    ASSERT_EQ(WriteBlockBothSpaces(&d.device, data.data(), 0x100, 0x20200, CV_XFER_NO_SPACE, nullptr),
              CV_S_OK);
    EXPECT_TRUE(d.Sent('Z').empty());
    slow = d.Sent('W');
    ASSERT_EQ(slow.size(), 1u);
    EXPECT_EQ(slow[0][2], 0x02);

    // A read without flags takes space 1.
    d.Mark();
    Bytes back(0x100);
    ASSERT_EQ(ReadBlock(&d.device, back.data(), 0x100, 0x20200, 0, nullptr), CV_S_OK);
    ASSERT_EQ(d.Sent('Z').size(), 1u);
    EXPECT_EQ(d.Sent('Z')[0][3], 0x12);
    EXPECT_EQ(back, data);

    d.Mark();
    EXPECT_EQ(ReadBlock(&d.device, back.data(), 3, 0x20200, 0, nullptr), CV_E_INVALID_FUNC_PARAM);
    EXPECT_TRUE(d.line.Writes().size() == d.found) << "an odd Skelmar read sent something";
    EXPECT_TRUE(d.log.Has("KVCorvane: SkelMar I/O request address/size alignment error"));
    EXPECT_EQ(d.line.model.badChecksums, 0u);
}

TEST(EncryptedFraming, RequestsCarryMarkersAndRoundTrip) {
    InProcessDevice d(Config("dravel", 11, 0, 3));
    ASSERT_TRUE(d.device.capabilities & CAPS_ENCRYPTION);
    Bytes data = Pattern(0x1000 + 0x40, 5);
    d.Mark();
    ASSERT_EQ(WriteBlock(&d.device, data.data(), 0x1000, 0x2000, CV_XFER_LOWER_W, nullptr), CV_S_OK);
    ASSERT_EQ(WriteBlock(&d.device, data.data() + 0x1000, 0x40, 0x3000, CV_XFER_LOWER_W, nullptr), CV_S_OK);
    auto bulk = d.Sent('Z');
    ASSERT_EQ(bulk.size(), 1u);
    EXPECT_EQ(bulk[0].size(), 0x1000u + 8);
    auto slow = d.Sent('W');
    ASSERT_EQ(slow.size(), 1u);
    EXPECT_EQ(slow[0].size(), 0x40u + 7);
    EXPECT_TRUE(std::equal(data.begin(), data.begin() + 0x1000, d.line.model.ram.begin() + 0x2000));

    Bytes back(0x1040);
    ASSERT_EQ(ReadBlock(&d.device, back.data(), 0x1000, 0x2000, 0, nullptr), CV_S_OK);
    ASSERT_EQ(ReadBlock(&d.device, back.data() + 0x1000, 0x40, 0x3000, 0, nullptr), CV_S_OK);
    EXPECT_EQ(back, data);
    EXPECT_EQ(d.Sent('R').back().size(), 7u);
    EXPECT_EQ(d.line.model.badChecksums, 0u) << "the device found a request checksum wrong";

    // The opt-out flag gives the plain layouts, which this device does not take.
    EXPECT_EQ(
        ReadBlock(&d.device, back.data(), 0x40, 0x3000, CV_XFER_NO_ENCRYPTION | CV_XFER_NO_BULK, nullptr),
        CV_E_COMM_READ_TIMEOUT);
    EXPECT_EQ(d.Sent('R').back(), (Bytes{'R', 0x40, 0x30, 0x00, 0xC2}));
}

namespace {

// The library's pauses, seen instead of waited out, for the length of a test.
class SeenPauses {
  public:
    SeenPauses() {
        SetSleeper([this](std::uint32_t milliseconds) { pauses_.push_back(milliseconds); });
    }
    ~SeenPauses() { SetSleeper({}); }
    SeenPauses(const SeenPauses&) = delete;
    SeenPauses& operator=(const SeenPauses&) = delete;

    std::uint32_t Longest() const {
        return pauses_.empty() ? 0 : *std::max_element(pauses_.begin(), pauses_.end());
    }

  private:
    std::vector<std::uint32_t> pauses_;
};

} // namespace

TEST(SlowWrite, PausesOnlyAfterABulkAttempt) {
    InProcessDevice d(Config("vespin2", 3, 1));
    Bytes data = Pattern(0x200, 8);
    SeenPauses pauses;
    ASSERT_EQ(WriteBlock(&d.device, data.data(), 0x1F0, 0x100, CV_XFER_LOWER_W, nullptr), CV_S_OK);
    EXPECT_LT(pauses.Longest(), 800u) << "an unaligned write paused";
    ASSERT_EQ(WriteBlock(&d.device, data.data(), 0x200, 0x100, CV_XFER_LOWER_W, nullptr), CV_S_OK);
    EXPECT_GE(pauses.Longest(), 800u) << "the refused bulk attempt is followed by the pause";
    EXPECT_TRUE(std::equal(data.begin(), data.end(), d.line.model.ram.begin() + 0x100));
}

TEST(UnalignedBlocks, MoveTheirWholePagesByBulkAndOnlyTheirEndsSlowly) {
    DeviceConfig latent = Config("corvane", 3, 0);
    latent.latencyMs = 16;
    struct Case {
        const char* name;
        DeviceConfig config;
        bool largeBin;
        std::uint32_t address;
        std::uint32_t size;
        std::size_t bulkRequests;
        std::size_t slowPackets;
    } cases[] = {
        {"end-justified 65535 bytes, adapter latency", latent, false, 1, 0xFFFF, 16, 1},
        {"head and tail", Config("corvane", 3, 0), false, 0x1234, 0x2345, 3, 2},
        {"skelmar, both spaces", Config("skelmar", 4, 2, 3), false, 0x20E02, 0x1100, 1, 2},
        {"encrypted, across a bank on the large-bin bank", Config("dravel", 11, 0, 3), true, 0xFF80, 0x300, 1,
         2},
    };
    for (const auto& c : cases) {
        InProcessDevice d(c.config);
        ASSERT_NE(d.device.capabilities & CAPS_BULK, 0u) << c.name;
        if (c.largeBin) {
            ASSERT_EQ(SetBank(&d.device, 8, 0, 1, 0), CV_S_OK) << c.name;
        }
        bool skelmar = d.device.capabilities & CAPS_SKELMAR;
        std::size_t spaces = skelmar ? 2 : 1;
        Bytes data = Pattern(c.size, c.address);
        d.Mark();
        ASSERT_EQ(WriteBlockBothSpaces(&d.device, data.data(), c.size, c.address, CV_XFER_LOWER_W, nullptr),
                  CV_S_OK)
            << c.name;
        EXPECT_EQ(d.Sent('Z').size(), c.bulkRequests * spaces) << c.name;
        EXPECT_EQ(d.Sent('W').size(), c.slowPackets * spaces) << c.name;
        std::uint32_t base = skelmar ? 0x100000 : 0;
        EXPECT_TRUE(std::equal(data.begin(), data.end(), d.line.model.ram.begin() + base + c.address))
            << c.name;

        d.Mark();
        Bytes back(c.size);
        ASSERT_EQ(ReadBlock(&d.device, back.data(), c.size, c.address, 0, nullptr), CV_S_OK) << c.name;
        EXPECT_EQ(back, data) << c.name;
        EXPECT_EQ(d.Sent('Z').size(), c.bulkRequests) << c.name;
        EXPECT_EQ(d.Sent('R').size(), c.slowPackets) << c.name;
        EXPECT_EQ(d.line.model.badChecksums, 0u) << c.name;
    }
}

TEST(UnalignedBlocks, ACancelDuringTheBulkPartEndsTheWholeBlock) {
    InProcessDevice d(Config("corvane", 3, 0));
    d.Mark();
    Bytes data = Pattern(0x2345, 13);
    d.device.cancel = 1;
    EXPECT_EQ(WriteBlock(&d.device, data.data(), 0x2345, 0x1234, CV_XFER_LOWER_W, nullptr),
              CV_E_OPERATION_CANCELED);
    EXPECT_TRUE(d.Sent('W').empty());
    EXPECT_TRUE(d.Sent('Z').empty());
    EXPECT_EQ(d.device.cancel, 0);
    EXPECT_EQ(d.device.idle, 1);
}
