// Found by the soak: a bank switch whose answer is lost may still have happened on the device.
// The next transfer must select the bank again rather than trust the bank it last knew, or its
// packets land in another bank while it reports success.
#include "corvane.h"
#include "sim_line.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

TEST(BankFaults, ALostBankAnswerSendsNoLaterPacketToTheWrongBank) {
    DeviceConfig config;
    ASSERT_TRUE(ConfigForModel("dravel", &config));
    SimLine line(config);
    SetSerialOpener([&line](const char*) { return line.Connect(); });
    KVCorvane device;
    ASSERT_EQ(OpenPort(&device, "dravel"), CV_S_OK);
    std::uint8_t version[3];
    ASSERT_EQ(GetFirmwareVersion(&device, version), CV_S_OK);
    ASSERT_NE(IdentifyHardware(&device, version) & CAPS_BANKS, 0u);
    ASSERT_EQ(SetBank(&device, 8, 0, 1, 0), CV_S_OK);

    const std::uint8_t first[16] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16};
    ASSERT_EQ(WriteBlock(&device, first, sizeof first, 0x70010, CV_XFER_LOWER_W, nullptr), CV_S_OK);

    // The device takes the switch to bank 3 but its answer comes back garbled.
    FaultRule echo;
    echo.kind = FaultKind::Echo;
    echo.command = "B";
    echo.times = 1;
    config.faults = {echo};
    DeviceModel next(config);
    next.ram = line.model.ram;
    next.emulationBank = line.model.emulationBank;
    next.rwBank = line.model.rwBank;
    line.model = next;
    EXPECT_EQ(WriteBlock(&device, first, sizeof first, 0x30010, CV_XFER_LOWER_W, nullptr),
              CV_E_LARGE_BIN_BANK_FAILED);
    SetReadTimeout(&device, 2000);
    std::uint8_t rest = 0;
    while (device.port.Read(&rest, 1) == 1) {
    }
    SetReadTimeout(&device, kStandardReadTimeoutMs);

    const std::uint8_t second[4] = {0xA1, 0xB2, 0xC3, 0xD4};
    ASSERT_EQ(WriteBlock(&device, second, sizeof second, 0x70020, CV_XFER_LOWER_W, nullptr), CV_S_OK);
    EXPECT_EQ(std::vector<std::uint8_t>(line.model.ram.begin() + 0x70020, line.model.ram.begin() + 0x70024),
              std::vector<std::uint8_t>(second, second + 4));
    EXPECT_EQ(line.model.ram[0x30020], 0) << "the packet went to the bank the device was left on";
    ClosePort(&device);
    SetSerialOpener({});
}

} // namespace
