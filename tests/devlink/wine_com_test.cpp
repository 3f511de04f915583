// The Windows serial code under Wine against tevrix-sim, through the COM port named by
// TEVRIX_TEST_PORT (a dosdevices symlink to the simulator's pseudo-terminal). The simulator runs
// as a Dravel 10.15 (wine_com_test.sh starts it).
#include "corvane.h"
#include "wait_until.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <vector>

namespace {

const char* TestPort() {
    return std::getenv("TEVRIX_TEST_PORT");
}

} // namespace

TEST(WineComPort, VersionExchangeAndRateSwitch) {
    if (TestPort() == nullptr) {
        GTEST_SKIP() << "TEVRIX_TEST_PORT is not set";
    }
    KVCorvane device;
    ASSERT_EQ(OpenPort(&device, TestPort()), CV_S_OK);
    std::uint8_t version[3] = {};
    ASSERT_EQ(GetFirmwareVersion(&device, version), CV_S_OK);
    EXPECT_EQ(version[0], 10);
    EXPECT_EQ(version[1], 15);
    EXPECT_EQ(version[2], 'L');

    // A request the device leaves unanswered ends with the read time-outs (9 ms + 300 ms): not
    // before them, and without hanging.
    const std::uint8_t unknown[2] = {'H', 'X'};
    std::uint8_t reply[9];
    device.port.Purge();
    ASSERT_EQ(device.port.Write(unknown, 2), 2u);
    auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(device.port.Read(reply, 9), 0u);
    EXPECT_GE(ElapsedMs(start), 250);
    EXPECT_LT(ElapsedMs(start), 30000);

    // The device switches first, then the host: both end at 921600.
    device.capabilities = CAPS_HWINFO;
    ASSERT_EQ(SetUSBBaud(&device, 0), CV_S_OK);
    EXPECT_EQ(GetFirmwareVersion(&device, nullptr), CV_S_OK);
    ClosePort(&device);
    EXPECT_FALSE(device.port.IsOpen());
}

TEST(WineComPort, BulkAndSlowTransfersRoundTrip) {
    if (TestPort() == nullptr) {
        GTEST_SKIP() << "TEVRIX_TEST_PORT is not set";
    }
    KVCorvane device;
    ASSERT_EQ(OpenPort(&device, TestPort()), CV_S_OK);
    ASSERT_EQ(GetFirmwareVersion(&device, nullptr), CV_S_OK);
    device.capabilities = CAPS_HWINFO | CAPS_CORVANE | CAPS_BULK | CAPS_EMULATION;
    std::vector<std::uint8_t> data(0x2123);
    for (std::size_t i = 0; i < data.size(); ++i) {
        data[i] = static_cast<std::uint8_t>(i * 7 + (i >> 8));
    }
    ASSERT_EQ(WriteBlockBothSpaces(&device, data.data(), 0x2000, 0x1000, CV_XFER_LOWER_W, nullptr), CV_S_OK);
    ASSERT_EQ(WriteBlockBothSpaces(&device, data.data() + 0x2000, 0x123, 0x3000, CV_XFER_LOWER_W, nullptr),
              CV_S_OK);
    std::vector<std::uint8_t> back(data.size());
    ASSERT_EQ(ReadBlock(&device, back.data(), 0x2000, 0x1000, 0, nullptr), CV_S_OK);
    ASSERT_EQ(ReadBlock(&device, back.data() + 0x2000, 0x123, 0x3000, 0, nullptr), CV_S_OK);
    EXPECT_EQ(back, data);
}

TEST(WineComPort, MissingPortDoesNotOpen) {
    KVCorvane device;
    EXPECT_EQ(OpenPort(&device, "\\\\.\\COM254"), CV_E_PORT_NOT_INITIALIZED);
}
