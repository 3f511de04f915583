// A banked emulator left in bank 8 by an earlier run, as each front end meets it.
#include "app_state.h"
#include "device_state.h"
#include "program_device.h"
#include "stdout_capture.h"
#include "transfer_fixture.h"

#include <gtest/gtest.h>

namespace {

class LargeBankTest : public ::testing::Test {
  protected:
    void SetUp() override {
        g_app = AppState{};
        g_app.consoleMode = 1;
        params_ = OperationParams{};
        ASSERT_EQ(SetBank(&g_device, 8, 0, 1, 0), CV_S_OK);
        device_.Mark();
    }
    void TearDown() override { g_app = AppState{}; }

    InProcessDevice device_{ModelConfig("dravel"), &g_device};
    OperationParams params_;
};

TEST_F(LargeBankTest, UntickedTheDialogSetsTheDevicesPersistentBankTo0InOneLine) {
    StdoutCapture out;
    ASSERT_TRUE(LeaveLargeBankUnlessAsked(&g_device, &params_));
    EXPECT_EQ(out.Text(), "\nEmulation bank set to 0: the emulator now emulates 0x10000 bytes");
    // The device holds it, not only the library's copy.
    g_device.emulationBank = 99;
    RefreshBanks(&g_device);
    EXPECT_EQ(g_device.emulationBank, 0);
    EXPECT_FALSE(EmulatesLargeBank(&g_device));
}

TEST_F(LargeBankTest, AskedForOrAlreadyLeftNothingIsSentOrSaid) {
    params_.large = 1;
    StdoutCapture out;
    EXPECT_TRUE(LeaveLargeBankUnlessAsked(&g_device, &params_));
    NoteLargeBank(&g_device, &params_);
    EXPECT_EQ(out.Text(), "");
    EXPECT_EQ(device_.Requests(), std::vector<std::string>{});
    EXPECT_TRUE(EmulatesLargeBank(&g_device));
}

TEST_F(LargeBankTest, TheConsoleLeavesTheBankButSaysWhereEndJustifiedDataGoes) {
    StdoutCapture out;
    NoteLargeBank(&g_device, &params_);
    EXPECT_EQ(out.Text(), "\nThe emulator emulates bank 8 (0x80000 bytes) and -large is not given: its bank "
                          "stays, and end-justified data goes to the end of those 0x80000 bytes");
    EXPECT_EQ(device_.Requests(), std::vector<std::string>{});
}

} // namespace
