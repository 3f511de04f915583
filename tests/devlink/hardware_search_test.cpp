#include "captured_log.h"
#include "corvane.h"
#include "in_process_ports.h"
#include "port_candidates.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

DeviceConfig Silent() {
    DeviceConfig config = ModelConfig("corvane");
    FaultRule rule;
    rule.kind = FaultKind::Silent;
    config.faults.push_back(rule);
    return config;
}

DeviceConfig AtRate(std::uint32_t rate) {
    DeviceConfig config = ModelConfig("corvane");
    config.rate = rate;
    return config;
}

} // namespace

TEST(FindHardware, RemembersPortAndRateForTheNextSearch) {
    SearchCandidates candidates(3);
    InProcessPorts ports;
    SimLine& first = ports.Add(SearchCandidates::Path(0), Silent());
    ports.Add(SearchCandidates::Path(1), Silent());
    SimLine& third = ports.Add(SearchCandidates::Path(2), AtRate(921600));
    KVCorvane device;
    char name[kHardwareNameSize];
    ASSERT_EQ(FindHardware(&device, name, nullptr), 0x53100021u);
    EXPECT_STREQ(name, "Corvane USB v3.0.K");
    EXPECT_EQ(device.lastPortIndex, 2);
    EXPECT_EQ(device.lastBaudIndex, 0u);
    EXPECT_TRUE(device.port.IsOpen());
    EXPECT_EQ(std::count(first.model.requests.begin(), first.model.requests.end(), "VV"), 1)
        << "only the try at 115200 reaches a device running at 115200";

    ports.opened.clear();
    std::size_t versionRequests = std::count(third.model.requests.begin(), third.model.requests.end(), "VV");
    ASSERT_EQ(FindHardware(&device, name, nullptr), 0x53100021u);
    EXPECT_EQ(ports.opened, std::vector<std::string>{SearchCandidates::Path(2)});
    EXPECT_EQ(std::count(third.model.requests.begin(), third.model.requests.end(), "VV"), versionRequests + 2)
        << "the remembered rate answers the first request and its repetition";
}

TEST(FindHardware, TriesEveryPortOnceFromTheRememberedOne) {
#ifdef _WIN32
    const int count = 255;
#else
    const int count = 12;
#endif
    SearchCandidates candidates(count);
    InProcessPorts ports;
    CapturedLog log;
    KVCorvane device(&log.sink);
    device.lastPortIndex = 9;
    device.firmwareVersion[2] = 'K';
    char name[kHardwareNameSize] = "old name";
    std::uint8_t version[3] = {1, 2, 3};
    EXPECT_EQ(FindHardware(&device, name, version), 0u);
    ASSERT_EQ(ports.opened.size(), static_cast<std::size_t>(count));
    EXPECT_EQ(ports.opened.front(), SearchCandidates::Path(9));
    EXPECT_EQ(ports.opened[count - 9], SearchCandidates::Path(0));
    EXPECT_EQ(ports.opened.back(), SearchCandidates::Path(8));
    EXPECT_STREQ(name, "");
    EXPECT_EQ(version[0], 1) << "the version is given out only when found";
    EXPECT_EQ(device.firmwareVersion[2], 0);
    EXPECT_FALSE(device.port.IsOpen());
    EXPECT_TRUE(log.Has("KVCorvane: COM Port closed."));
}

TEST(FindHardware, TriesTheSlowRatesLast) {
    struct Case {
        std::uint32_t rate;
        std::uint32_t found;
        std::uint32_t hostBaud;
    } cases[] = {{115200, 0x53100021, 115200},
                 {921600, 0x53100021, 921600},
                 {19200, 0x53100021, 19200},
                 {9600, 0x53100021, 9600},
                 {460800, 0, 0}};
    SearchCandidates candidates(1);
    for (const auto& c : cases) {
        InProcessPorts ports;
        SimLine& line = ports.Add(SearchCandidates::Path(0), AtRate(c.rate));
        KVCorvane device;
        EXPECT_EQ(FindHardware(&device, nullptr, nullptr), c.found) << c.rate;
        if (c.found != 0) {
            EXPECT_EQ(line.HostBaud(), c.hostBaud) << c.rate;
            EXPECT_EQ(device.lastBaudIndex, c.rate == 921600 ? 0u : 7u) << c.rate;
        } else {
            EXPECT_FALSE(device.port.IsOpen());
        }
    }
}

TEST(FindHardware, PassesOverPortsThatAreNotTheEmulator) {
    DeviceConfig chatty = ModelConfig("corvane");
    chatty.chatty = true;
    DeviceConfig slowChatty = chatty;
    slowChatty.rate = 9600;
    DeviceConfig unknownFamily = ModelConfig("corvane");
    unknownFamily.letter = 'P';
    struct Case {
        const char* name;
        DeviceConfig first;
    } cases[] = {{"text at 115200", chatty},
                 {"text at 9600", slowChatty},
                 {"a version of no known family", unknownFamily}};
    SearchCandidates candidates(2);
    for (const auto& c : cases) {
        InProcessPorts ports;
        SimLine& first = ports.Add(SearchCandidates::Path(0), c.first);
        ports.Add(SearchCandidates::Path(1), ModelConfig("corvane"));
        KVCorvane device;
        char name[kHardwareNameSize];
        ASSERT_EQ(FindHardware(&device, name, nullptr), 0x53100021u) << c.name;
        EXPECT_STREQ(name, "Corvane USB v3.0.K") << c.name;
        EXPECT_EQ(device.lastPortIndex, 1) << c.name;
        // The port that is not the emulator is only ever asked for its version.
        for (const auto& write : first.Writes()) {
            EXPECT_EQ(write, (std::vector<std::uint8_t>{'V', 'V'})) << c.name;
        }
        ports.opened.clear();
        ASSERT_NE(FindHardware(&device, name, nullptr), 0u) << c.name;
        EXPECT_EQ(ports.opened, std::vector<std::string>{SearchCandidates::Path(1)}) << c.name;
    }
}

TEST(FindHardware, APortThatNeverFallsQuietCostsABoundedTime) {
    DeviceConfig chatty = ModelConfig("corvane");
    chatty.chatty = true;
    SearchCandidates candidates(1);
    InProcessPorts ports;
    SimLine& line = ports.Add(SearchCandidates::Path(0), chatty);
    KVCorvane device;
    char name[kHardwareNameSize] = "old name";
    EXPECT_EQ(FindHardware(&device, name, nullptr), 0u);
    EXPECT_STREQ(name, "");
    EXPECT_FALSE(device.port.IsOpen());
    // Four rates, each a version request and at most one drain of 250 ms.
    EXPECT_LT(line.NowUs(), 2'000'000u);
}
