// Transfers through the real serial code on a pseudo-terminal served by tevrix-sim.
#include "captured_log.h"
#include "corvane.h"
#include "scoped_ports.h"
#include "sim_process.h"
#include "test_bytes.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>

namespace {

using Bytes = std::vector<std::uint8_t>;

// A device found by the real search on the simulator's terminal.
struct PtyDevice {
    explicit PtyDevice(const std::vector<std::string>& options)
        : sim(TEVRIX_SIM, options), device(&log.sink) {
        ScopedPorts ports(sim.Path());
        found = FindHardware(&device, nullptr, nullptr);
    }
    SimProcess sim;
    CapturedLog log;
    KVCorvane device;
    std::uint32_t found = 0;
};

// Stands where the progress bar would be: counts the packets, and cancels the transfer at packet
// `cancelAt` as Cancel Op would between two packets.
class CancelAtPacket : public ProgressReceiver {
  public:
    CancelAtPacket(KVCorvane* device, int cancelAt) : device_(device), cancelAt_(cancelAt) {}
    std::intptr_t Receive(std::uint32_t message, std::uintptr_t, std::intptr_t) override {
        if (message == kProgressStepIt && ++packets == cancelAt_) {
            device_->cancel = 1;
        }
        return 0;
    }
    int packets = 0;

  private:
    KVCorvane* device_;
    int cancelAt_;
};

} // namespace

TEST(PtyTransfers, WhatIsWrittenComesBackInEveryFramingAndAddressing) {
    struct Case {
        const char* name;
        std::vector<std::string> options;
        bool encrypted;
        bool largeBin;
    } cases[] = {
        {"corvane", {"--model", "corvane"}, false, false},
        {"pardyn encrypted", {"--model", "pardyn", "--vendor", "3"}, true, false},
        {"dravel bank 8", {"--model", "dravel"}, false, true},
        {"dravel bank 8 encrypted", {"--model", "dravel", "--vendor", "3"}, true, true},
        {"skelmar", {"--model", "skelmar"}, false, false},
        {"skelmar encrypted", {"--model", "skelmar", "--vendor", "3"}, true, false},
    };
    struct Block {
        std::uint32_t address;
        std::uint32_t size;
        std::uint32_t flags;
    } blocks[] = {
        {0x2000, 0x2000, 0},              // bulk
        {0x4100, 0x300, CV_XFER_NO_BULK}, // slow, forced
        {0x5F02, 0x124, 0},               // slow, unaligned
        {0xFF00, 0x300, 0},               // across a 64 KB boundary
    };
    for (const auto& c : cases) {
        std::string dump = ::testing::TempDir() + "tevrix_dump.bin";
        std::vector<std::string> options = c.options;
        options.insert(options.end(), {"--dump", dump});
        PtyDevice d(options);
        ASSERT_NE(d.found, 0u) << c.name;
        EXPECT_EQ((d.device.capabilities & CAPS_ENCRYPTION) != 0, c.encrypted) << c.name;
        if (c.largeBin) {
            ASSERT_EQ(SetBank(&d.device, 8, 0, 1, 0), CV_S_OK) << c.name;
        }
        bool skelmar = d.device.capabilities & CAPS_SKELMAR;
        Bytes expectedRam;
        for (const auto& b : blocks) {
            if (!c.largeBin && b.address + b.size > 0x10000) {
                continue;
            }
            Bytes data = Pattern(b.size, b.address);
            EXPECT_EQ(WriteBlockBothSpaces(&d.device, data.data(), b.size, b.address,
                                           b.flags | CV_XFER_LOWER_W, nullptr),
                      CV_S_OK)
                << c.name << " write at " << std::hex << b.address;
            for (std::uint32_t space : skelmar ? std::vector<std::uint32_t>{CV_XFER_SPACE1, CV_XFER_SPACE2}
                                               : std::vector<std::uint32_t>{0}) {
                Bytes back(b.size);
                EXPECT_EQ(ReadBlock(&d.device, back.data(), b.size, b.address, b.flags | space, nullptr),
                          CV_S_OK)
                    << c.name << " read at " << std::hex << b.address;
                EXPECT_EQ(back, data) << c.name << " at " << std::hex << b.address;
            }
        }
        ASSERT_TRUE(d.sim.Stop()) << c.name;
        // The device's own RAM holds the data where the addressing says.
        Bytes ram = ReadFileBytes(dump);
        Bytes last = Pattern(0x300, 0xFF00);
        if (c.largeBin) {
            ASSERT_GE(ram.size(), 0x10200u);
            EXPECT_TRUE(std::equal(last.begin(), last.end(), ram.begin() + 0xFF00)) << c.name;
        }
        if (skelmar) {
            Bytes first = Pattern(0x2000, 0x2000);
            EXPECT_TRUE(std::equal(first.begin(), first.end(), ram.begin() + 0x2000)) << c.name;
            EXPECT_TRUE(std::equal(first.begin(), first.end(), ram.begin() + 0x102000)) << c.name;
        }
        std::remove(dump.c_str());
    }
}

TEST(PtyTransfers, CancelDuringABulkWriteEndsItWithoutSlowWriting) {
    PtyDevice d({"--model", "corvane"});
    ASSERT_NE(d.found, 0u);
    Bytes data = Pattern(0x10000, 9);
    // 16 bulk chunks; the cancel comes after the second.
    CancelAtPacket progress(&d.device, 2);
    CvResult result = WriteBlockBothSpaces(&d.device, data.data(), 0x10000, 0, CV_XFER_LOWER_W, &progress);
    EXPECT_EQ(result, CV_E_OPERATION_CANCELED);
    EXPECT_EQ(progress.packets, 2) << "packets went out after the cancel";
    EXPECT_EQ(d.device.cancel, 0);
    EXPECT_EQ(d.device.idle, 1);
    EXPECT_TRUE(d.log.Has("TarkelWare: BulkWrite - Operation Canceled"));
    EXPECT_FALSE(d.log.Has("KVCorvane: Slow writing 65536 bytes"));
}

TEST(PtyTransfers, ADroppedLineEndsTheTransferInBoundedTime) {
    PtyDevice d({"--model", "corvane", "--fault", "drop,cmd=ZR,arg=5000"});
    ASSERT_NE(d.found, 0u);
    Bytes buffer(0x4000);
    // The bulk read times out in its second chunk; the slow read that follows finds no line and
    // waits for no answer.
    EXPECT_EQ(ReadBlock(&d.device, buffer.data(), 0x4000, 0, 0, nullptr), CV_E_COMM_WRITE_FAILURE);
    const std::string log = d.log.Text();
    EXPECT_NE(log.find("TarkelWare: BulkRead: Read timed-out after "), std::string::npos) << log;
    int timeOuts = 0;
    for (std::size_t at = log.find("timed-out"); at != std::string::npos;
         at = log.find("timed-out", at + 1)) {
        ++timeOuts;
    }
    EXPECT_EQ(timeOuts, 1) << "the transfer waited out more than one time-out:\n" << log;
    EXPECT_TRUE(d.log.Has("KVCorvane: Slow Reading 16384 bytes"));
}

TEST(PtyTransfers, LateBytesOfAPausedReplyAreNeverReadAsData) {
    // Zeros with two bytes that sum to 0 modulo 256: bytes read out of place pass the 8-bit sums.
    std::string image = ::testing::TempDir() + "tevrix_two_bytes.bin";
    const Bytes two = {0x80, 0x80};
    ASSERT_TRUE(WriteFileBytes(image, two));
    struct Case {
        std::uint32_t pauseMs;
        bool mustSucceed;
    } cases[] = {{600, true}, {1500, false}};
    for (const auto& c : cases) {
        std::string fault = "gap,cmd=ZR,times=1,at=1000,arg=" + std::to_string(c.pauseMs);
        PtyDevice d({"--load", image + "@0x4110", "--fault", fault});
        ASSERT_NE(d.found, 0u) << fault;
        Bytes want(0x2000, 0);
        want[0x110] = want[0x111] = 0x80;
        Bytes got(0x2000, 0xEE);
        CvResult result = ReadBlock(&d.device, got.data(), 0x2000, 0x4000, 0, nullptr);
        if (c.mustSucceed) {
            EXPECT_EQ(result, CV_S_OK) << fault << "\n" << d.log.Text();
        }
        if (result == CV_S_OK) {
            EXPECT_EQ(got, want) << fault << ": wrong bytes reported as read";
        }
        Bytes again(0x2000, 0xEE);
        EXPECT_EQ(ReadBlock(&d.device, again.data(), 0x2000, 0x4000, 0, nullptr), CV_S_OK) << fault;
        EXPECT_EQ(again, want) << fault;
    }
    std::remove(image.c_str());
}
