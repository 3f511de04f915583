#include "captured_log.h"
#include "corvane.h"
#include "in_process_ports.h"
#include "port_candidates.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

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
    for (const auto& c : cases) {
        // A run of its own each: nothing remembered from the case before.
        SearchCandidates candidates(1);
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
    for (const auto& c : cases) {
        SearchCandidates candidates(2);
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

// Between runs: a new device object stands for a new run of the program; it finds the port and
// rate a former run stored in the state folder.
TEST(FindHardware, ANewRunTriesTheStoredPortAndRateFirst) {
    SearchCandidates candidates(3);
    InProcessPorts ports;
    ports.Add(SearchCandidates::Path(0), Silent());
    ports.Add(SearchCandidates::Path(1), Silent());
    SimLine& third = ports.Add(SearchCandidates::Path(2), AtRate(921600));
    {
        KVCorvane firstRun;
        ASSERT_EQ(FindHardware(&firstRun, nullptr, nullptr), 0x53100021u);
    }
    ports.opened.clear();
    std::size_t versionRequests = std::count(third.model.requests.begin(), third.model.requests.end(), "VV");
    CapturedLog log;
    KVCorvane nextRun(&log.sink);
    ASSERT_EQ(FindHardware(&nextRun, nullptr, nullptr), 0x53100021u);
    EXPECT_EQ(ports.opened, std::vector<std::string>{SearchCandidates::Path(2)});
    EXPECT_EQ(std::count(third.model.requests.begin(), third.model.requests.end(), "VV"), versionRequests + 2)
        << "the stored rate answers the first request and its repetition";
    EXPECT_TRUE(log.Has("KVCorvane: Remembered port " + SearchCandidates::Path(2) + " at 921600 baud"));
}

TEST(FindHardware, AStoredPortThatIsNoCandidateOrNoLongerTheEmulatorCostsNothingButTime) {
    SearchCandidates candidates(2);
    {
        // Found on a port that the next run's candidates do not hold.
        SearchCandidates elsewhere(1);
        InProcessPorts ports;
        ports.Add(SearchCandidates::Path(0), ModelConfig("corvane"));
        KVCorvane run;
        ASSERT_NE(FindHardware(&run, nullptr, nullptr), 0u);
    }
    InProcessPorts ports;
    ports.Add(SearchCandidates::Path(0), Silent());
    ports.Add(SearchCandidates::Path(1), ModelConfig("corvane"));
    {
        KVCorvane run;
        ASSERT_NE(FindHardware(&run, nullptr, nullptr), 0u);
        EXPECT_EQ(ports.opened.front(), SearchCandidates::Path(0)) << "the whole search, from the first";
    }
    // The emulator moved to the other port: the stored one is tried first, then all the others.
    ports.Add(SearchCandidates::Path(0), ModelConfig("vespin2"));
    ports.Add(SearchCandidates::Path(1), Silent());
    ports.opened.clear();
    KVCorvane run;
    char name[kHardwareNameSize];
    ASSERT_NE(FindHardware(&run, name, nullptr), 0u);
    EXPECT_STREQ(name, "Vespin II v3.1.2");
    // Every other candidate follows, round to the first (on Windows all 255 COM ports).
    ASSERT_FALSE(ports.opened.empty());
    EXPECT_EQ(ports.opened.front(), SearchCandidates::Path(1));
    EXPECT_EQ(ports.opened.back(), SearchCandidates::Path(0));
}

#ifndef _WIN32
#include <sys/stat.h>

TEST(FindHardware, AStateFileThatCannotBeReadOrWrittenChangesNothingButSpeed) {
    struct Case {
        const char* name;
        // Sets the state up in the scope's state folder `home`; returns the log line that says why.
        std::string (*arrange)(const std::string& home);
    } cases[] = {
        {"a file that is not the program's",
         [](const std::string& home) {
             std::filesystem::create_directories(home + "/tevrix");
             std::ofstream(home + "/tevrix/last-port") << "\x7f\x45\x4c\x46 garbage";
             return "KVCorvane: No remembered port: " + home +
                    "/tevrix/last-port does not hold a port and a rate";
         }},
        {"a state folder that is a file",
         [](const std::string& home) {
             std::ofstream(home + "/tevrix") << "not a folder";
             return "KVCorvane: The port is not remembered: " + home + "/tevrix/last-port: Not a directory";
         }},
        {"no folder named at all",
         [](const std::string&) {
             ::unsetenv("XDG_STATE_HOME");
             ::unsetenv("HOME");
             return std::string(
                 "KVCorvane: No remembered port: neither XDG_STATE_HOME nor HOME names a folder");
         }},
    };
    for (const auto& c : cases) {
        const char* home = std::getenv("HOME");
        const std::string savedHome = home != nullptr ? home : "";
        SearchCandidates candidates(1);
        const std::string state = std::getenv("XDG_STATE_HOME");
        const std::string why = c.arrange(state);
        InProcessPorts ports;
        ports.Add(SearchCandidates::Path(0), ModelConfig("corvane"));
        CapturedLog log;
        KVCorvane device(&log.sink);
        EXPECT_EQ(FindHardware(&device, nullptr, nullptr), 0x53100021u) << c.name;
        EXPECT_TRUE(log.Has(why)) << c.name << ": " << why;
        ::setenv("HOME", savedHome.c_str(), 1);
    }
}

TEST(FindHardware, StoresThePortAndRateWholeInTheStateFolder) {
    SearchCandidates candidates(1);
    InProcessPorts ports;
    ports.Add(SearchCandidates::Path(0), AtRate(921600));
    KVCorvane device;
    ASSERT_NE(FindHardware(&device, nullptr, nullptr), 0u);
    const std::string state = std::getenv("XDG_STATE_HOME");
    std::ifstream file(state + "/tevrix/last-port");
    std::stringstream text;
    text << file.rdbuf();
    EXPECT_EQ(text.str(), SearchCandidates::Path(0) + "\n921600\n");
    EXPECT_FALSE(std::filesystem::exists(state + "/tevrix/last-port.new"))
        << "the file is put in place whole";
}
#endif
