#include "captured_log.h"
#include "corvane.h"
#include "in_process_ports.h"

#include <gtest/gtest.h>

namespace {

using Bytes = std::vector<std::uint8_t>;

// One console run: search, then the vendor-ID write every front end makes.
std::uint32_t ConsoleRun(CapturedLog* log, CvResult* vendorResult) {
    KVCorvane device(&log->sink);
    std::uint32_t found = FindHardware(&device, nullptr, nullptr);
    EXPECT_NE(found, 0u);
    *vendorResult = SetVendorID(&device, 3);
    return device.capabilities;
}

} // namespace

// The host encrypts exactly when the device does, in the run that writes the vendor ID and in
// every later run.
TEST(SetVendorID, HostAndDeviceAgreeOnEncryptionInEveryRun) {
    struct Case {
        const char* model;
        int major;
        int minor;
        bool encrypts;
    } cases[] = {
        {"dravel", 10, 15, true},  {"pardyn", 1, 4, true},   {"skelmar", 4, 2, true},
        {"dravel", 10, 14, false}, {"corvane", 3, 0, false}, {"quorren", 2, 0, false},
    };
    SearchCandidates candidates(1);
    for (const auto& c : cases) {
        InProcessPorts ports;
        DeviceConfig config = ModelConfig(c.model);
        config.major = static_cast<std::uint8_t>(c.major);
        config.minor = static_cast<std::uint8_t>(c.minor);
        SimLine& line = ports.Add(SearchCandidates::Path(0), config);
        for (int run = 1; run <= 2; ++run) {
            CapturedLog log;
            CvResult vendorResult = CV_E_GENERAL_ERROR;
            std::uint32_t caps = ConsoleRun(&log, &vendorResult);
            EXPECT_EQ(vendorResult, CV_S_OK) << c.model << " run " << run;
            EXPECT_EQ(line.model.serial[0], 3) << c.model << " run " << run;
            EXPECT_EQ((caps & CAPS_ENCRYPTION) != 0, c.encrypts) << c.model << " run " << run;
            EXPECT_EQ(line.model.Encrypted(), c.encrypts) << c.model << " run " << run;
            EXPECT_EQ(log.Has("SkelMar: Setting Device Vendor ID"), run == 1) << c.model << " run " << run;
        }
    }
}

TEST(SetVendorID, SendsTheSerialBytesBackWithTheNewId) {
    InProcessPorts ports;
    DeviceConfig config = ModelConfig("dravel");
    const std::uint8_t serial[9] = {'n', 1, 2, 3, 4, 5, 6, 7, 0xF0};
    std::copy(serial, serial + 9, config.serial);
    SimLine& line = ports.Add("sim", config);
    KVCorvane device;
    ASSERT_EQ(OpenPort(&device, "sim"), CV_S_OK);
    device.capabilities = CAPS_HWINFO | CAPS_DRAVEL | CAPS_EMULATION;
    device.firmwareVersion[0] = 11;
    ASSERT_EQ(SetVendorID(&device, 3), CV_S_OK);
    auto writes = line.Writes();
    ASSERT_GE(writes.size(), 2u);
    EXPECT_EQ(writes[writes.size() - 2], (Bytes{'N', 'S', 0xA1}));
    EXPECT_EQ(writes.back(), (Bytes{'N', 3, 1, 2, 3, 4, 5, 6, 7, 0xF0, 0x5D}));
    EXPECT_TRUE(device.capabilities & CAPS_ENCRYPTION);

    std::size_t sent = line.Writes().size();
    ASSERT_EQ(SetVendorID(&device, 3), CV_S_OK);
    EXPECT_EQ(line.Writes().size(), sent + 1) << "only the serial request: the ID is already 3";

    ASSERT_EQ(SetVendorID(&device, 'n'), CV_S_OK);
    EXPECT_FALSE(device.capabilities & CAPS_ENCRYPTION);
}

TEST(SetVendorID, FailuresAreInvalidResponse) {
    struct Case {
        const char* fault;
        CvResult result;
    } cases[] = {{"silent,cmd=NS", CV_E_INVALID_RESPONSE},
                 {"short,cmd=NS,arg=9", CV_E_INVALID_RESPONSE},
                 {"nak,cmd=N", CV_E_INVALID_RESPONSE},
                 {"silent,cmd=N", CV_E_COMM_READ_FAILURE}};
    for (const auto& c : cases) {
        CapturedLog log;
        InProcessPorts ports;
        DeviceConfig config = ModelConfig("dravel");
        FaultRule rule;
        ASSERT_TRUE(ParseFaultRule(c.fault, &rule));
        config.faults.push_back(rule);
        SimLine& line = ports.Add("sim", config);
        KVCorvane device(&log.sink);
        ASSERT_EQ(OpenPort(&device, "sim"), CV_S_OK);
        device.capabilities = CAPS_HWINFO | CAPS_DRAVEL;
        EXPECT_EQ(SetVendorID(&device, 3), c.result) << c.fault;
        EXPECT_EQ(line.model.serial[0], 'n') << c.fault;
        EXPECT_EQ(device.idle, 1) << c.fault;
    }
}
