#include "captured_log.h"
#include "corvane.h"
#include "in_process_ports.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

namespace {

DeviceConfig Device(const char* model, int major, int minor, std::uint8_t vendor = 'n') {
    DeviceConfig config = ModelConfig(model);
    config.major = static_cast<std::uint8_t>(major);
    config.minor = static_cast<std::uint8_t>(minor);
    config.serial[0] = vendor;
    return config;
}

int Count(const std::vector<std::string>& requests, const std::string& name) {
    return static_cast<int>(std::count(requests.begin(), requests.end(), name));
}

} // namespace

TEST(IdentifyHardware, EveryFamilyAndFirmwareThreshold) {
    struct Case {
        DeviceConfig config;
        std::uint32_t flags;
        const char* name;
    };
    DeviceConfig serialCorvane = Device("corvane", 3, 0);
    serialCorvane.interfaceLetter = 'S';
    DeviceConfig bluetoothCorvane = Device("corvane", 3, 0);
    bluetoothCorvane.interfaceLetter = 'B';
    DeviceConfig unknownModel = Device("corvane", 3, 0);
    unknownModel.recordModel = 'Z';
    const Case cases[] = {
        {Device("vespin1", 3, 1), 0x02004002, "Vespin I v3.1.1"},
        {Device("vespin2", 3, 1), 0x02002002, "Vespin II v3.1.2"},
        {Device("quorren", 2, 0), 0x02008004, "Quorren Pro v2.0.Q"},
        {Device("corvane", 2, 11), 0x13100021, "Corvane USB v2.11.K"},
        {Device("corvane", 2, 12), 0x53100021, "Corvane USB v2.12.K"},
        {Device("corvane", 3, 0), 0x53100021, "Corvane USB v3.0.K"},
        {serialCorvane, 0x53200021, "Corvane Serial v3.0.K"},
        {bluetoothCorvane, 0x53400021, "Corvane Bluetooth v3.0.K"},
        {Device("dravel", 10, 4, 3), 0x02100081, "Dravel USB v10.4.L"},
        {Device("dravel", 10, 5, 3), 0x0A100081, "Dravel USB v10.5.L"},
        {Device("dravel", 10, 12, 3), 0x4A100081, "Dravel USB v10.12.L"},
        {Device("dravel", 10, 15, 'n'), 0x4A100081, "Dravel USB v10.15.L"},
        {Device("dravel", 10, 15, 3), 0x4E100081, "Dravel USB v10.15.L"},
        {Device("dravel", 11, 0, 3), 0x4E100081, "Dravel USB v11.0.L"},
        {Device("dravel2", 12, 3, 0), 0x6A100101, "Dravel II USB v12.3.M"},
        {Device("pardyn", 1, 4, 3), 0x46100401, "Pardyn USB v1.4.J"},
        {Device("vorrak", 1, 2), 0x42100801, "Vorrak USB v1.2.H"},
        {Device("glintsear", 1, 0), 0x01100041, "Glint & Sear USB v1.0.G"},
        {Device("tessiq", 1, 0), 0x00101001, "Tessiq USB v1.0.I"},
        {Device("skelmar", 4, 2, 3), 0x66100201, "Skelmar USB v4.2.Y"},
        {unknownModel, 0x00100001, " USB v3.0.K"},
    };
    SearchCandidates candidates(1);
    for (const auto& c : cases) {
        InProcessPorts ports;
        SimLine& line = ports.Add(SearchCandidates::Path(0), c.config);
        KVCorvane device;
        char name[kHardwareNameSize] = "left over";
        std::uint8_t version[3] = {};
        EXPECT_EQ(FindHardware(&device, name, version), c.flags) << c.name;
        EXPECT_STREQ(name, c.name);
        EXPECT_EQ(device.capabilities, c.flags) << c.name;
        EXPECT_EQ(version[2], c.config.letter) << c.name;
        EXPECT_EQ(device.port.IsOpen(), c.flags != 0) << c.name;
        EXPECT_EQ(Count(line.model.requests, "HR"), (c.flags & CAPS_HWINFO) ? 1 : 0) << c.name;
    }
}

TEST(IdentifyHardware, ReadsBanksAndKeepsEncryptionOnlyWithAVendor) {
    CapturedLog log;
    SearchCandidates candidates(1);
    InProcessPorts ports;
    SimLine& line = ports.Add(SearchCandidates::Path(0), Device("dravel2", 12, 3, 'n'));
    line.model.emulationBank = 8;
    line.model.rwBank = 2;
    KVCorvane device(&log.sink);
    EXPECT_EQ(FindHardware(&device, nullptr, nullptr), 0x6A100101u);
    EXPECT_EQ(device.emulationBank, 8);
    EXPECT_EQ(device.rwBank, 2);
    EXPECT_TRUE(log.Has("KVCorvane: Hardware Version Information requested"));
    EXPECT_TRUE(log.Has("Encryption possible, but disabled"));
    EXPECT_EQ(Count(line.model.requests, "NS"), 1);
}

TEST(IdentifyHardware, AnUnreadableRecordMeansNoModelAndNoInterface) {
    struct Case {
        const char* fault;
        CvResult eeprom;
    } cases[] = {{"badsum,cmd=HR", CV_E_EXTERNAL_CS_INVALID},
                 {"unknown,cmd=HR", CV_E_UNKNOWN_COMMAND},
                 {"silent,cmd=HR", CV_E_COMM_READ_FAILURE},
                 {"short,cmd=HR,arg=7", CV_E_COMM_READ_FAILURE}};
    SearchCandidates candidates(1);
    for (const auto& c : cases) {
        CapturedLog log;
        InProcessPorts ports;
        DeviceConfig config = Device("dravel", 11, 0, 3);
        FaultRule rule;
        ASSERT_TRUE(ParseFaultRule(c.fault, &rule));
        config.faults.push_back(rule);
        ports.Add(SearchCandidates::Path(0), config);
        KVCorvane device(&log.sink);
        EXPECT_EQ(FindHardware(&device, nullptr, nullptr), CAPS_HWINFO) << c.fault;
        EXPECT_TRUE(log.Has("TarkelWare: Could not get communication interface type.")) << c.fault;
        std::uint8_t record[7];
        EXPECT_EQ(ReadEEPROM(&device, record), c.eeprom) << c.fault;
    }
}

TEST(ReadEEPROM, LogsBothSumsOfABadRecord) {
    CapturedLog log;
    InProcessPorts ports;
    DeviceConfig config = Device("corvane", 3, 0);
    FaultRule rule;
    ASSERT_TRUE(ParseFaultRule("badsum,cmd=HR", &rule));
    config.faults.push_back(rule);
    SimLine& line = ports.Add("sim", config);
    KVCorvane device(&log.sink);
    ASSERT_EQ(OpenPort(&device, "sim"), CV_S_OK);
    std::uint8_t record[7];
    EXPECT_EQ(ReadEEPROM(&device, record), CV_E_EXTERNAL_CS_INVALID);
    EXPECT_EQ(line.Writes().back(), (std::vector<std::uint8_t>{'H', 'R', 7, 0, 1, 0xA2}));
    // Record K, 1, 0, U, 0, 0, 0 sums to 0xA1; the device sent its complement.
    EXPECT_NE(log.Text().find("KVCorvane: ReadEEPROM: Invalid external data checksum\r\n\tCS of recvd data: "
                              "A1\r\n\tCS from device: 5e\n"),
              std::string::npos);
    EXPECT_TRUE(log.Has("KVCorvane: ReadEEPROM requested, 7 bytes from address 1"));
}

TEST(FormatHardwareName, AppendsSuffixesInOrder) {
    char text[kHardwareNameSize] = "";
    const std::uint8_t dravel2[3] = {10, 20, 'M'};
    FormatHardwareName(text, CAPS_DRAVEL2 | CAPS_HWINFO | CAPS_IF_USB | CAPS_IF_SERIAL, dravel2);
    EXPECT_STREQ(text, "Dravel II USB v10.20.M");
    const std::uint8_t vespin[3] = {3, 1, '1'};
    FormatHardwareName(text, CAPS_VESPIN1 | CAPS_IF_USB, vespin);
    EXPECT_STREQ(text, "Vespin I v3.1.1");
    FormatHardwareName(text, CAPS_CORVANE | CAPS_HWINFO | CAPS_IF_BLUETOOTH, nullptr);
    EXPECT_STREQ(text, "Corvane Bluetooth");
    // With no model bit only the suffixes follow, never after what the buffer held: here not even
    // a terminating zero.
    std::memset(text, 'x', sizeof text);
    FormatHardwareName(text, CAPS_HWINFO | CAPS_IF_USB, dravel2);
    EXPECT_STREQ(text, " USB v10.20.M");
}

TEST(FirmwareAtLeast, OnlyTheNamedMajorIsHeldBack) {
    const std::uint8_t v10_4[3] = {10, 4, 'L'};
    const std::uint8_t v10_5[3] = {10, 5, 'L'};
    const std::uint8_t v9_0[3] = {9, 0, 'L'};
    EXPECT_EQ(FirmwareAtLeast(v10_4, FEATURE_DRAVEL_BANKS), 0);
    EXPECT_EQ(FirmwareAtLeast(v10_5, FEATURE_DRAVEL_BANKS), 1);
    EXPECT_EQ(FirmwareAtLeast(v9_0, FEATURE_DRAVEL_ENCRYPTION), 1);
    EXPECT_EQ(FirmwareAtLeast(nullptr, FEATURE_DRAVEL_BANKS), 0);
    EXPECT_EQ(FirmwareAtLeast(v10_5, 99), 0);
}

TEST(GetEmulationRamSize, GivesTheRamOfTheFamilyAndBankOrNoLimit) {
    struct Case {
        std::uint32_t caps;
        std::uint8_t bank;
        std::uint32_t size;
    } cases[] = {
        {CAPS_DRAVEL, 8, 0x80000}, {CAPS_DRAVEL2, 0, 0x10000},  {CAPS_CORVANE, 8, 0x10000},
        {CAPS_VESPIN1, 0, 0x8000}, {CAPS_SKELMAR, 0, 0x100000}, {CAPS_QUORREN, 0, 0},
        {CAPS_GLINTSEAR, 0, 0},    {CAPS_HWINFO, 0, 0},
    };
    for (const auto& c : cases) {
        KVCorvane device;
        device.capabilities = c.caps;
        EXPECT_EQ(GetEmulationRamSize(&device, c.bank), c.size)
            << std::hex << c.caps << " bank " << int{c.bank};
    }
}

TEST(GetBackfillOffset, PlacesTheBlockAtTheEndOfRam) {
    struct Case {
        std::uint32_t caps;
        std::uint8_t emulationBank;
        std::uint32_t size;
        std::int32_t fits;
        std::uint32_t offset;
    } cases[] = {
        {CAPS_DRAVEL, 8, 0x20000, 1, 0x60000},
        {CAPS_DRAVEL, 0, 0x20000, 0, 0},
        {CAPS_DRAVEL2, 0, 0x100, 1, 0xFF00},
        {CAPS_CORVANE, 0, 0x10000, 1, 0},
        {CAPS_VORRAK, 0, 0x100, 1, 0x7F00},
        {CAPS_VESPIN1, 0, 0x8001, 0, 0},
        {CAPS_SKELMAR, 0, 0x1000, 1, 0xFF000},
        {CAPS_QUORREN, 0, 0x7FFFFFFF, 1, 0},
        {CAPS_TESSIQ, 0, 0, 1, 0},
        {CAPS_HWINFO, 0, 1, 0, 0},
    };
    for (const auto& c : cases) {
        KVCorvane device;
        device.capabilities = c.caps;
        device.emulationBank = c.emulationBank;
        std::uint32_t offset = 0xDEAD;
        EXPECT_EQ(GetBackfillOffset(&device, c.size, &offset), c.fits) << std::hex << c.caps << " " << c.size;
        EXPECT_EQ(offset, c.offset) << std::hex << c.caps << " " << c.size;
    }
}
