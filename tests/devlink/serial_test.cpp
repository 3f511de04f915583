// KVSerial on a real pseudo-terminal served by tevrix-sim.
#include "captured_log.h"
#include "kv_serial.h"
#include "sim_process.h"
#include "wait_until.h"

#include <gtest/gtest.h>

#include <chrono>

namespace {

using Clock = std::chrono::steady_clock;

// A port opened the way the device object opens it.
struct OpenPort {
    explicit OpenPort(const std::vector<std::string>& options) : sim(TEVRIX_SIM, options) {
        port.logSink = &log.sink;
        EXPECT_FALSE(sim.Path().empty());
        EXPECT_EQ(port.Open(sim.Path().c_str()), 1);
        EXPECT_EQ(port.SetupBuffers(), 1);
        EXPECT_EQ(port.SetDefaultTimeouts(), 1);
    }
    SimProcess sim;
    CapturedLog log;
    KVSerial port;
};

} // namespace

TEST(KVSerial, OpenAndCloseFollowTheirLogRules) {
    CapturedLog log;
    KVSerial port;
    port.logSink = &log.sink;
    EXPECT_EQ(port.Open("/dev/tevrix-no-such-port"), 0);
    EXPECT_FALSE(port.IsOpen());
    EXPECT_TRUE(log.Lines().empty());

    port.Close();
    EXPECT_EQ(log.Lines(), std::vector<std::string>{"KVSerial: Port Closed"});

    SimProcess sim(TEVRIX_SIM, {});
    ASSERT_EQ(port.Open(sim.Path().c_str()), 1);
    ASSERT_EQ(port.Open(sim.Path().c_str()), 1);
    std::string opened = "KVSerial: " + sim.Path() + " opened at 115200 baud";
    // A pseudo-terminal has no serial driver settings for the low-latency request.
    std::string latency = "KVSerial: Low latency not available: Inappropriate ioctl for device";
    EXPECT_EQ(log.Lines(), (std::vector<std::string>{"KVSerial: Port Closed", opened, latency,
                                                     "KVSerial: Port Closed", opened, latency}));
}

TEST(KVSerial, ClosedPortDoesNothing) {
    KVSerial port;
    std::uint8_t byte = 0;
    EXPECT_EQ(port.SetupBuffers(), 0);
    EXPECT_EQ(port.SetDefaultTimeouts(), 0);
    EXPECT_EQ(port.SetReadTimeout(600), 0);
    EXPECT_EQ(port.SetBaud(19200), 0);
    EXPECT_EQ(port.Write(&byte, 1), 0u);
    EXPECT_EQ(port.Read(&byte, 1), 0u);
}

TEST(KVSerial, BaudAndReadTimeoutChangeOnlyTheirOwnField) {
    OpenPort p({});
    ASSERT_EQ(p.port.SetBaud(19200), 1);
    LineSettings line;
    ASSERT_TRUE(p.port.handle->GetLine(&line));
    EXPECT_EQ(line.baud, 19200u);
    EXPECT_EQ(line.dataBits, 8);
    EXPECT_FALSE(line.parity);
    EXPECT_FALSE(line.ctsOutFlow);

    ASSERT_EQ(p.port.SetReadTimeout(600), 1);
    SerialTimeouts t;
    ASSERT_TRUE(p.port.handle->GetTimeouts(&t));
    EXPECT_EQ(t.readInterval, 200u);
    EXPECT_EQ(t.readMultiplier, 1u);
    EXPECT_EQ(t.readConstant, 600u);
    // The write time-out follows the rate: twice the 0.52 ms byte time at 19200, rounded up.
    EXPECT_EQ(t.writeMultiplier, 2u);
    EXPECT_EQ(t.writeConstant, 300u);
    EXPECT_TRUE(p.log.Has("KVSerial: Baud changed to 19200"));
    EXPECT_TRUE(p.log.Has("KVSerial: Comm Read Timeout Set To 600 ms"));
}

TEST(KVSerial, WriteAndReadAreDumpedAsTheyCrossTheLine) {
    OpenPort p({"--version", "10.15", "--letter", "L"});
    const std::uint8_t request[2] = {'V', 'V'};
    ASSERT_EQ(p.port.Purge(), 1);
    ASSERT_EQ(p.port.Write(request, 2), 2u);
    std::uint8_t reply[3] = {};
    ASSERT_EQ(p.port.Read(reply, 3), 3u);
    EXPECT_EQ(reply[0], 10);
    EXPECT_EQ(reply[1], 15);
    EXPECT_EQ(reply[2], 'L');
    auto lines = p.log.Lines();
    ASSERT_GE(lines.size(), 4u);
    EXPECT_EQ(lines[lines.size() - 4], "KVSerial: Write");
    EXPECT_EQ(lines[lines.size() - 3].substr(0, 12), "0000: 56 56 ");
    EXPECT_EQ(lines[lines.size() - 2], "KVSerial: Read");
    EXPECT_EQ(lines[lines.size() - 1].substr(0, 15), "0000: 0A 0F 4C ");
}

// A partial read ends 200 ms after the last byte, or at count x 1 ms + the constant with no byte
// at all. The upper bounds only tell the two time-outs apart, so they are far from both.
TEST(KVSerial, ReadTimeOutsEndAPartialRead) {
    OpenPort p({"--fault", "short,cmd=NS,arg=4", "--fault", "silent,cmd=HR"});
    const std::uint8_t serialRequest[3] = {'N', 'S', 0xA1};
    std::uint8_t reply[600];
    // The whole read may last 600 ms + 60 s; the gap after the fourth byte ends it.
    ASSERT_EQ(p.port.SetReadTimeout(60000), 1);
    ASSERT_EQ(p.port.Write(serialRequest, 3), 3u);
    auto start = Clock::now();
    EXPECT_EQ(p.port.Read(reply, 600), 4u);
    long interval = ElapsedMs(start);
    EXPECT_GE(interval, 190);
    EXPECT_LT(interval, 30000) << "the interval time-out did not end the read";
    ASSERT_EQ(p.port.SetReadTimeout(300), 1);

    const std::uint8_t eepromRequest[6] = {'H', 'R', 7, 0, 1, 0xA2};
    ASSERT_EQ(p.port.Write(eepromRequest, 6), 6u);
    start = Clock::now();
    EXPECT_EQ(p.port.Read(reply, 9), 0u);
    long total = ElapsedMs(start);
    EXPECT_GE(total, 300) << "the interval time-out ended a read that had no byte";
    EXPECT_LT(total, 30000);
}
