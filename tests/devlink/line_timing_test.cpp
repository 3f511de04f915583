// A driver that completes a write only as the bytes leave: the write time-out follows the rate,
// so a whole bulk request fits, and a write cut short fails at once.
#include "transfer_fixture.h"

#include <gtest/gtest.h>

TEST(PacedWrites, ABulkRequestFitsItsWriteTimeOutAtEveryRate) {
    for (std::uint32_t rate : {9600u, 19200u, 115200u, 921600u}) {
        DeviceConfig config = Config("corvane", 3, 0);
        config.rate = rate;
        InProcessDevice d(config);
        ASSERT_NE(d.device.capabilities, 0u) << rate;
        d.line.pacedWrites = true;
        d.Mark();
        Bytes data = Pattern(0x2000, rate);
        ASSERT_EQ(WriteBlock(&d.device, data.data(), 0x2000, 0x1000, CV_XFER_LOWER_W, nullptr), CV_S_OK)
            << rate;
        EXPECT_EQ(d.Sent('Z').size(), 2u) << rate;
        EXPECT_TRUE(d.Sent('W').empty()) << rate << ": the bulk write fell back to slow packets";
        EXPECT_TRUE(std::equal(data.begin(), data.end(), d.line.model.ram.begin() + 0x1000)) << rate;
    }
}

TEST(PacedWrites, AWriteCutShortFailsWithoutWaitingForAnAnswer) {
    InProcessDevice d(Config("corvane", 3, 0));
    d.line.pacedWrites = true;
    // The write time-out of a driver set up without a per-byte part: 300 ms, less than the 356 ms
    // that a 4102-byte request takes at 115200 baud.
    SerialTimeouts timeouts;
    ASSERT_TRUE(d.device.port.handle->GetTimeouts(&timeouts));
    timeouts.writeMultiplier = 0;
    ASSERT_TRUE(d.device.port.handle->SetTimeouts(timeouts));
    Bytes data = Pattern(0x1000, 12);
    std::uint64_t start = d.line.NowUs();
    EXPECT_EQ(BulkWrite(&d.device, data.data(), 0x1000, 0, CV_XFER_LOWER_W, nullptr),
              CV_E_COMM_WRITE_FAILURE);
    EXPECT_LT(d.line.NowUs() - start, 1'000'000u) << "waited for an acknowledgement that cannot come";
    ASSERT_EQ(d.line.Writes().back().size(), 3456u) << "300 ms of the line at 115200 baud";
    EXPECT_EQ(d.device.idle, 1);
}
