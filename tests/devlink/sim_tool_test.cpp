// tevrix-sim as the other tools drive it: options, RAM loaded before and dumped during a run.
#include "corvane.h"
#include "sim_options.h"
#include "sim_process.h"
#include "test_bytes.h"
#include "wait_until.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <cstdio>
#include <fstream>

namespace {

using Bytes = std::vector<std::uint8_t>;

bool Parse(std::vector<std::string> args, SimOptions* options, std::string* error) {
    args.insert(args.begin(), "tevrix-sim");
    std::vector<char*> argv;
    for (auto& arg : args) {
        argv.push_back(arg.data());
    }
    return ParseSimOptions(static_cast<int>(argv.size()), argv.data(), options, error);
}

} // namespace

TEST(SimOptions, OverridesApplyOnTopOfTheModel) {
    SimOptions options;
    std::string error;
    ASSERT_TRUE(Parse({"--version", "10.4", "--vendor", "3", "--model", "dravel", "--interface", "B",
                       "--serial", "0102030405060708", "--fault", "short,cmd=ZR,skip=2,times=1,arg=10",
                       "--pace", "--latency", "16", "--fault", "gap,cmd=R,at=100,arg=300", "--chatty"},
                      &options, &error))
        << error;
    const DeviceConfig& d = options.device;
    EXPECT_EQ(d.letter, 'L');
    EXPECT_EQ(d.major, 10);
    EXPECT_EQ(d.minor, 4);
    EXPECT_EQ(d.interfaceLetter, 'B');
    EXPECT_EQ(d.serial[0], 3);
    EXPECT_EQ(d.serial[8], 8);
    EXPECT_EQ(d.ramSize, 0x80000u);
    ASSERT_EQ(d.faults.size(), 2u);
    EXPECT_EQ(d.faults[0].kind, FaultKind::Short);
    EXPECT_EQ(d.faults[0].command, "ZR");
    EXPECT_EQ(d.faults[0].skip, 2u);
    EXPECT_EQ(d.faults[0].times, 1u);
    EXPECT_EQ(d.faults[0].arg, 10u);
    EXPECT_EQ(d.faults[1].kind, FaultKind::Gap);
    EXPECT_EQ(d.faults[1].at, 100u);
    EXPECT_EQ(d.faults[1].arg, 300u);
    EXPECT_TRUE(options.pace);
    EXPECT_EQ(d.latencyMs, 16u);
    EXPECT_TRUE(d.chatty);

    for (const auto& bad : std::vector<std::vector<std::string>>{{"--model", "nosuch"},
                                                                 {"--version", "10"},
                                                                 {"--fault", "explode"},
                                                                 {"--fault", "short,when=3"},
                                                                 {"--fault", "gap,at=half"},
                                                                 {"--latency", "soon"},
                                                                 {"--ram-size", "0"},
                                                                 {"--serial", "0102"},
                                                                 {"--letter"},
                                                                 {"--colour", "red"}}) {
        SimOptions rejected;
        EXPECT_FALSE(Parse(bad, &rejected, &error)) << bad[0];
        EXPECT_FALSE(error.empty());
    }
}

TEST(SimTool, LoadsRamAndDumpsItOnRequest) {
    std::string image = ::testing::TempDir() + "tevrix_sim_image.bin";
    std::string dump = ::testing::TempDir() + "tevrix_sim_dump.bin";
    std::remove(dump.c_str());
    Bytes loaded = {1, 2, 3, 4, 5, 6, 7, 8};
    std::ofstream(image, std::ios::binary).write(reinterpret_cast<const char*>(loaded.data()), 8);
    SimProcess sim(TEVRIX_SIM, {"--load", image + "@0x100", "--dump", dump});
    ASSERT_FALSE(sim.Path().empty());

    KVCorvane device;
    ASSERT_EQ(OpenPort(&device, sim.Path().c_str()), CV_S_OK);
    device.capabilities = CAPS_HWINFO | CAPS_CORVANE | CAPS_EMULATION;
    Bytes back(8);
    ASSERT_EQ(ReadBlock(&device, back.data(), 8, 0x100, 0, nullptr), CV_S_OK);
    EXPECT_EQ(back, loaded);
    const Bytes written = {0xAA, 0xBB};
    ASSERT_EQ(WriteBlock(&device, written.data(), 2, 0x200, CV_XFER_LOWER_W, nullptr), CV_S_OK);

    sim.Signal(SIGUSR1);
    Bytes ram;
    WaitUntil(
        [&] {
            ram = ReadFileBytes(dump);
            return ram.size() == 0x10000;
        },
        std::chrono::seconds(30));
    ASSERT_EQ(ram.size(), 0x10000u) << "no dump while running";
    EXPECT_EQ(ram[0x103], 4);
    EXPECT_EQ(ram[0x200], 0xAA);
    EXPECT_EQ(ram[0x201], 0xBB);
    EXPECT_TRUE(sim.Stop());
    std::remove(image.c_str());
    std::remove(dump.c_str());
}
