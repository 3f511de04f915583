// A reply that pauses longer than the read time-out: what arrives after the time-out is discarded,
// never taken for the reply to a later request.
#include "transfer_fixture.h"

#include <gtest/gtest.h>

namespace {

constexpr std::uint32_t kAt = 0x4000;
constexpr std::uint32_t kSize = 0x2000;

// RAM of zeros with two bytes whose sum is 0 modulo 256: a window of the reply stream that holds
// both, or neither, passes the 8-bit checksum, so bytes read out of place go unnoticed by it.
void ZerosWithTwoBytes(SimLine& line) {
    std::fill(line.model.ram.begin(), line.model.ram.end(), 0);
    line.model.ram[kAt + 0x110] = 0x80;
    line.model.ram[kAt + 0x111] = 0x80;
}

bool SameAsRam(const Bytes& bytes, SimLine& line) {
    return std::equal(bytes.begin(), bytes.end(), line.model.ram.begin() + kAt);
}

} // namespace

TEST(LateBytes, AreDiscardedAndTheNextRepliesAreRead) {
    struct Case {
        const char* fault;
        bool write;
        std::uint32_t flags;
        CvResult first;
    } cases[] = {
        // The bulk reply pauses after 1000 bytes; the slow packets that follow read the right bytes.
        {"gap,cmd=ZR,times=1,at=1000,arg=300", false, 0, CV_S_OK},
        {"gap,cmd=ZR,times=1,at=1000,arg=1100", false, 0, CV_S_OK},
        // The whole reply comes after the read's total time-out of 4.4 s.
        {"stall,cmd=ZR,times=1,arg=5000", false, 0, CV_S_OK},
        // Longer than the drain waits: the rest lands among the slow replies, which then end out of
        // step with their requests; the read fails instead of handing out bytes read out of place.
        {"gap,cmd=ZR,times=1,at=1000,arg=1500", false, 0, CV_E_INVALID_RESPONSE},
        // A slow packet's failure is final, but its rest does not reach the next read.
        {"gap,cmd=R,times=1,at=100,arg=700", false, CV_XFER_NO_BULK, CV_E_COMM_READ_TIMEOUT},
        // A bulk write's acknowledgement after its time-out; the slow packets that follow are
        // acknowledged one by one, not by the late 'O'.
        {"stall,cmd=ZW,times=1,arg=6500", true, 0, CV_S_OK},
        {"stall,cmd=W,times=1,arg=800", true, CV_XFER_NO_BULK, CV_E_COMM_READ_TIMEOUT},
    };
    for (const auto& c : cases) {
        InProcessDevice d(WithFault(Config("corvane", 3, 0), c.fault));
        ASSERT_NE(d.device.capabilities, 0u) << c.fault;
        ZerosWithTwoBytes(d.line);
        Bytes buffer(kSize);
        if (c.write) {
            Bytes data = Pattern(kSize, 11);
            EXPECT_EQ(WriteBlock(&d.device, data.data(), kSize, kAt, c.flags | CV_XFER_LOWER_W, nullptr),
                      c.first)
                << c.fault;
            ASSERT_EQ(WriteBlock(&d.device, data.data(), kSize, kAt, c.flags | CV_XFER_LOWER_W, nullptr),
                      CV_S_OK)
                << c.fault;
            EXPECT_TRUE(SameAsRam(data, d.line)) << c.fault;
            continue;
        }
        CvResult first = ReadBlock(&d.device, buffer.data(), kSize, kAt, c.flags, nullptr);
        EXPECT_EQ(first, c.first) << c.fault << "\n" << d.log.Text();
        if (first == CV_S_OK) {
            EXPECT_TRUE(SameAsRam(buffer, d.line)) << c.fault << ": wrong bytes reported as read";
        }
        Bytes again(kSize, 0xEE);
        ASSERT_EQ(ReadBlock(&d.device, again.data(), kSize, kAt, c.flags, nullptr), CV_S_OK) << c.fault;
        EXPECT_TRUE(SameAsRam(again, d.line)) << c.fault;
        EXPECT_EQ(d.device.idle, 1) << c.fault;
    }
}

TEST(LateBytes, TheDeviceLogShowsWhatWasDiscarded) {
    InProcessDevice d(WithFault(Config("corvane", 3, 0), "gap,cmd=ZR,times=1,at=1000,arg=300"));
    Bytes buffer(0x1000);
    ASSERT_EQ(ReadBlock(&d.device, buffer.data(), 0x1000, 0, 0, nullptr), CV_S_OK);
    EXPECT_TRUE(d.log.Has("KVCorvane: Discarding the rest of the reply (3097 bytes still due)"))
        << d.log.Text();
    EXPECT_TRUE(d.log.Has("KVSerial: Drained 3097 bytes")) << d.log.Text();
    EXPECT_TRUE(d.log.Has("KVSerial: Drain"));
}
