#include "captured_log.h"
#include "corvane.h"
#include "in_process_ports.h"

#include <gtest/gtest.h>

namespace {

using Bytes = std::vector<std::uint8_t>;

struct BankedDevice {
    BankedDevice() : line(ports.Add("sim", ModelConfig("dravel"))), device(&log.sink) {
        EXPECT_EQ(OpenPort(&device, "sim"), CV_S_OK);
        device.capabilities = CAPS_HWINFO | CAPS_DRAVEL | CAPS_BANKS | CAPS_EMULATION;
    }
    Bytes LastWrite() { return line.Writes().empty() ? Bytes{} : line.Writes().back(); }

    InProcessPorts ports;
    SimLine& line;
    CapturedLog log;
    KVCorvane device;
};

} // namespace

TEST(Banks, RequestsGoOverTheLineByteForByte) {
    BankedDevice d;
    d.line.model.rwBank = 3;
    d.line.model.emulationBank = 5;
    std::uint8_t bank = 0;
    ASSERT_EQ(GetBank(&d.device, &bank, 1), CV_S_OK);
    EXPECT_EQ(d.LastWrite(), (Bytes{'B', 'R', 'R', 0xE6}));
    EXPECT_EQ(bank, 3);
    EXPECT_EQ(d.device.rwBank, 3);
    ASSERT_EQ(GetBank(&d.device, nullptr, 0), CV_S_OK);
    EXPECT_EQ(d.LastWrite(), (Bytes{'B', 'E', 'E', 0xCC}));
    EXPECT_EQ(d.device.emulationBank, 5);
    EXPECT_TRUE(d.log.Has("KVCorvane: Get Active Emulation Bank Succeeded: Bank 5"));

    ASSERT_EQ(SetBank(&d.device, 8, 0, 1, 0), CV_S_OK);
    EXPECT_EQ(d.LastWrite(), (Bytes{'B', 'S', 0x08, 0x9D}));
    EXPECT_TRUE(d.log.Has("KVCorvane: Set Persistent Emulation Bank Succeeded: Bank 8"));
    EXPECT_EQ(d.device.emulationBank, 8);
    EXPECT_EQ(d.line.model.emulationBank, 8);

    ASSERT_EQ(SetBank(&d.device, 8, 1, 0, 0), CV_S_OK);
    EXPECT_EQ(d.LastWrite(), (Bytes{'B', 'R', 0x08, 0x9C}));
    EXPECT_TRUE(d.log.Has("KVCorvane: Set R/W Bank Succeeded: Bank 8"));
    EXPECT_EQ(d.device.rwBank, 8);

    ASSERT_EQ(SetBank(&d.device, 2, 0, 0, 0), CV_S_OK);
    EXPECT_EQ(d.LastWrite(), (Bytes{'B', 'E', 0x02, 0x89}));
    EXPECT_TRUE(d.log.Has("KVCorvane: Set Non-persistent Emulation Bank Succeeded: Bank 2"));
    EXPECT_EQ(d.device.idle, 1);
}

TEST(Banks, RefusalsLeaveTheCachedBanks) {
    BankedDevice d;
    std::size_t sent = d.line.Writes().size();
    EXPECT_EQ(SetBank(&d.device, 9, 1, 0, 0), CV_E_INVALID_REQUEST_PARAM);
    EXPECT_EQ(d.line.Writes().size(), sent) << "an R/W bank above 8 must not be sent";

    // Emulation bank 9 is sent; this device refuses it.
    EXPECT_EQ(SetBank(&d.device, 9, 0, 0, 0), CV_E_INVALID_RESPONSE);
    EXPECT_EQ(d.LastWrite(), (Bytes{'B', 'E', 0x09, 0x90}));
    EXPECT_TRUE(d.log.Has("KVCorvane: Set Non-persistent Emulation Bank Failed!"));
    EXPECT_EQ(d.device.emulationBank, 0);

    d.device.rwBank = 4;
    DeviceConfig answersQuestion = ModelConfig("dravel");
    FaultRule unknown;
    unknown.kind = FaultKind::Unknown;
    unknown.command = "B";
    answersQuestion.faults.push_back(unknown);
    d.ports.Add("sim", answersQuestion);
    ASSERT_EQ(OpenPort(&d.device, "sim"), CV_S_OK);
    EXPECT_EQ(GetBank(&d.device, nullptr, 1), CV_E_INVALID_RESPONSE);
    EXPECT_TRUE(d.log.Has("KVCorvane: Get R/W Bank Failed!"));
    EXPECT_EQ(d.device.rwBank, 4);

    d.device.capabilities = CAPS_HWINFO | CAPS_CORVANE;
    EXPECT_EQ(GetBank(&d.device, nullptr, 1), CV_E_REQUEST_NOT_SUPPORTED);
    EXPECT_EQ(SetBank(&d.device, 1, 1, 0, 0), CV_E_REQUEST_NOT_SUPPORTED);
}

TEST(Banks, ATransferHoldingTheLockSwitchesWithoutWaiting) {
    BankedDevice d;
    ASSERT_TRUE(TakeRequestLock(&d.device));
    EXPECT_EQ(SetBank(&d.device, 1, 1, 0, kBankLockHeld), CV_S_OK);
    EXPECT_EQ(d.device.rwBank, 1);
    EXPECT_EQ(d.device.idle, 0) << "the holder's lock was released";
    ReleaseRequestLock(&d.device);
}
