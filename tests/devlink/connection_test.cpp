// The device object's connection requests against tevrix-sim on a real pseudo-terminal.
#include "captured_log.h"
#include "corvane.h"
#include "sim_process.h"
#include "wait_until.h"

#include <gtest/gtest.h>

#include <chrono>
#include <future>
#include <thread>

namespace {

using Clock = std::chrono::steady_clock;

struct Connected {
    explicit Connected(const std::vector<std::string>& options)
        : sim(TEVRIX_SIM, options), device(&log.sink) {
        EXPECT_EQ(OpenPort(&device, sim.Path().c_str()), CV_S_OK);
    }
    SimProcess sim;
    CapturedLog log;
    KVCorvane device;
};

} // namespace

TEST(GetFirmwareVersion, AcceptsOnlyAPlausibleReply) {
    struct Case {
        const char* name;
        std::vector<std::string> options;
        CvResult result;
    } cases[] = {
        {"valid", {"--version", "10.15", "--letter", "L"}, CV_S_OK},
        {"digit letter", {"--version", "3.1", "--letter", "1"}, CV_S_OK},
        {"echo of VV", {"--fault", "echo,cmd=VV"}, CV_E_INVALID_RESPONSE},
        {"two zero bytes", {"--version", "0.0", "--letter", "L"}, CV_E_INVALID_RESPONSE},
        {"zero letter", {"--version", "10.15", "--letter", "0x00"}, CV_E_INVALID_RESPONSE},
        {"punctuation letter", {"--letter", "#"}, CV_E_INVALID_RESPONSE},
        {"short reply", {"--fault", "short,cmd=VV,arg=2"}, CV_E_COMM_READ_FAILURE},
        {"no reply", {"--fault", "silent"}, CV_E_COMM_READ_FAILURE},
    };
    for (const auto& c : cases) {
        Connected link(c.options);
        std::uint8_t version[3] = {0xEE, 0xEE, 0xEE};
        EXPECT_EQ(GetFirmwareVersion(&link.device, version), c.result) << c.name;
        EXPECT_EQ(link.device.idle, 1) << c.name;
        if (c.result == CV_S_OK) {
            EXPECT_EQ(version[0], link.device.firmwareVersion[0]) << c.name;
            EXPECT_EQ(version[2], link.device.firmwareVersion[2]) << c.name;
        } else {
            EXPECT_EQ(version[0], 0xEE) << c.name << ": a refused reply was handed out";
        }
    }
    Connected link({"--version", "10.15", "--letter", "L"});
    ASSERT_EQ(GetFirmwareVersion(&link.device, nullptr), CV_S_OK);
    EXPECT_EQ(link.device.firmwareVersion[0], 10);
    EXPECT_EQ(link.device.firmwareVersion[1], 15);
    EXPECT_EQ(link.device.firmwareVersion[2], 'L');
    EXPECT_TRUE(link.log.Has("KVCorvane: Firmware Version string requested"));
    EXPECT_TRUE(link.log.Has("KVSerial: Comm Read Timeout Set To 110 ms"));
    EXPECT_EQ(link.log.Lines().back(), "KVSerial: Comm Read Timeout Set To 300 ms");
}

TEST(GetFirmwareVersion, NeedsAnOpenPort) {
    KVCorvane device;
    EXPECT_EQ(GetFirmwareVersion(&device, nullptr), CV_E_PORT_NOT_INITIALIZED);
    EXPECT_EQ(OpenPort(&device, "/dev/tevrix-no-such-port"), CV_E_PORT_NOT_INITIALIZED);
    EXPECT_FALSE(device.port.IsOpen());
}

TEST(SetUSBBaud, WithoutADeviceOnlyTheHostSwitches) {
    Connected link({});
    EXPECT_EQ(SetUSBBaud(&link.device, 2), CV_E_INVALID_FUNC_PARAM);
    EXPECT_TRUE(
        link.log.Has("KVCorvane: SetUSBBaud to 115200, Force = TRUE FAILED with CV_E_INVALID_FUNC_PARAM"));
    EXPECT_EQ(link.device.idle, 1);

    ASSERT_EQ(SetUSBBaud(&link.device, 3), CV_S_OK);
    EXPECT_TRUE(link.log.Has("KVCorvane: SetUSBBaud to 230400, Force = TRUE SUCCEEDED"));
    EXPECT_EQ(link.device.baudIndex, 3u);
    LineSettings line;
    ASSERT_TRUE(link.device.port.handle->GetLine(&line));
    EXPECT_EQ(line.baud, 230400u);
    // The device still runs at 115200: it misreads the request and the host reads noise.
    EXPECT_EQ(GetFirmwareVersion(&link.device, nullptr), CV_E_INVALID_RESPONSE);

    ClosePort(&link.device);
    EXPECT_EQ(link.device.baudIndex, 7u);
    EXPECT_TRUE(link.log.Has("KVCorvane: COM Port closed."));
}

TEST(SetUSBBaud, AnIdentifiedDeviceSwitchesFirst) {
    Connected link({});
    link.device.capabilities = CAPS_HWINFO | CAPS_CORVANE;
    ASSERT_EQ(SetUSBBaud(&link.device, 0), CV_S_OK);
    EXPECT_EQ(link.device.baudIndex, 0u);
    EXPECT_EQ(GetFirmwareVersion(&link.device, nullptr), CV_S_OK) << "device and host disagree on the rate";

    link.device.capabilities = CAPS_CORVANE | CAPS_EMULATION;
    EXPECT_EQ(SetUSBBaud(&link.device, 7), CV_E_REQUEST_NOT_SUPPORTED);
    EXPECT_TRUE(
        link.log.Has("KVCorvane: SetUSBBaud to 921600, Force = TRUE FAILED with CV_E_REQUEST_NOT_SUPPORTED"));
}

TEST(RequestLock, ABusyLockGivesPortBusyAndTheHolderStillReleases) {
    Connected link({});
    ASSERT_TRUE(TakeRequestLock(&link.device));
    EXPECT_EQ(link.device.idle, 0);
    // The holder lets go only once the other request has given up (or, should that request wait
    // for the lock instead, after a minute, so that the test ends and shows it).
    std::promise<void> gaveUp;
    std::thread holder([&, done = gaveUp.get_future()] {
        done.wait_for(std::chrono::minutes(1));
        ReleaseRequestLock(&link.device);
    });
    auto start = Clock::now();
    EXPECT_EQ(GetFirmwareVersion(&link.device, nullptr), CV_E_PORT_BUSY);
    EXPECT_GE(ElapsedMs(start), 1150) << "the request did not wait its 1200 ms for the lock";
    EXPECT_EQ(link.device.idle, 0) << "the busy request touched the holder's lock";
    gaveUp.set_value();
    holder.join();
    EXPECT_EQ(link.device.idle, 1);
    EXPECT_EQ(GetFirmwareVersion(&link.device, nullptr), CV_S_OK);
}

TEST(ClosePort, ForgetsTheDevice) {
    Connected link({});
    link.device.capabilities = CAPS_HWINFO;
    link.device.emulationBank = 8;
    link.device.rwBank = 3;
    ClosePort(&link.device);
    EXPECT_FALSE(link.device.port.IsOpen());
    EXPECT_EQ(link.device.capabilities, 0u);
    EXPECT_EQ(link.device.emulationBank, 0);
    EXPECT_EQ(link.device.rwBank, 0);
    auto lines = link.log.Lines();
    ASSERT_GE(lines.size(), 2u);
    EXPECT_EQ(lines[lines.size() - 2], "KVSerial: Port Closed");
    EXPECT_EQ(lines.back(), "KVCorvane: COM Port closed.");
}
