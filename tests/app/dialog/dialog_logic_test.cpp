#include "corvane.h"
#include "dialog_logic.h"

#include <gtest/gtest.h>

#include <string>

TEST(DialogDetection, EachSearchResultLeadsToItsStateButtonsAndLine) {
    struct Case {
        std::uint32_t capabilities;
        DialogState state;
        const char* message;
        bool largeEnabled;
        bool execute;
    };
    const Case cases[] = {
        {0, DialogState::NoUsableHardware, "No hardware detected", true, false},
        {0x00000001, DialogState::NoUsableHardware, "Attached hardware is not capable of emulation", true,
         false},
        {CAPS_BANKS, DialogState::NoUsableHardware, "Attached hardware is not capable of emulation", true,
         false},
        {CAPS_EMULATION, DialogState::Ready, nullptr, false, true},
        {CAPS_EMULATION | CAPS_BANKS, DialogState::Ready, nullptr, true, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.capabilities);
        const DetectionOutcome outcome = DecideDetection(c.capabilities);
        EXPECT_EQ(outcome.state, c.state);
        EXPECT_EQ(outcome.message == nullptr ? std::string("(none)") : std::string(outcome.message),
                  c.message == nullptr ? std::string("(none)") : std::string(c.message));
        EXPECT_EQ(outcome.largeEnabled, c.largeEnabled);
        EXPECT_EQ(ButtonsFor(outcome.state).execute, c.execute);
        EXPECT_FALSE(ButtonsFor(outcome.state).cancelOp);
    }
}

TEST(DialogBrowse, FilesAbove64KbSuggestLargeBinOnlyWhenTheBoxIsAvailable) {
    EXPECT_TRUE(SuggestsLargeBin(0x20000, true));
    EXPECT_TRUE(SuggestsLargeBin(0x10001, true));
    EXPECT_FALSE(SuggestsLargeBin(0x10000, true));
    EXPECT_FALSE(SuggestsLargeBin(0, true));
    EXPECT_FALSE(SuggestsLargeBin(0x20000, false));
}

TEST(DialogBrowse, SizeTextHasAtLeastFourHexDigits) {
    char text[16];
    FormatSizeText(0, text, sizeof text);
    EXPECT_STREQ(text, "0x0000");
    FormatSizeText(0x20000, text, sizeof text);
    EXPECT_STREQ(text, "0x20000");
    FormatSizeText(0xABC, text, sizeof text);
    EXPECT_STREQ(text, "0x0ABC");
}

TEST(DialogLayout, LogFillsTheClientAreaBelowItsTopLessAMarginAndNeverGoesNegative) {
    EXPECT_EQ(LogExtentForClient(600, 400, 250).width, 585);
    EXPECT_EQ(LogExtentForClient(600, 400, 250).height, 135);
    EXPECT_EQ(LogExtentForClient(0, 0, 250).width, 0);
    EXPECT_EQ(LogExtentForClient(0, 0, 250).height, 0);
}

TEST(DialogExecute, ControlsBecomeTheOperationRecord) {
    OperationParams params{};
    InputRefusal refusal{};
    const DialogInputs inputs{OP_VERIFY, "C:\\images\\tune.bin", "0x4000", "10", " 0X8000 ", true, false};
    ASSERT_TRUE(FillOperationParams(inputs, &params, &refusal));
    EXPECT_EQ(params.operation, OP_VERIFY);
    EXPECT_STREQ(params.filePath, "C:\\images\\tune.bin");
    EXPECT_EQ(params.emuAddress, 0x4000u);
    EXPECT_EQ(params.fileAddress, 0x10u);
    EXPECT_EQ(params.size, 0x8000u);
    EXPECT_EQ(params.large, 1);
    EXPECT_EQ(params.noBackBuf, 1);
    EXPECT_EQ(params.keepRunning, 1);

    // With end-justify on, the disabled RAM start address is not read at all.
    const DialogInputs endJustified{OP_WRITE, "", "zz", "0x0000", "0x0000", false, true};
    ASSERT_TRUE(FillOperationParams(endJustified, &params, &refusal));
    EXPECT_EQ(params.noBackBuf, 0);
    EXPECT_EQ(params.large, 0);
    EXPECT_EQ(params.emuAddress, 0u);
    EXPECT_STREQ(params.filePath, "");
}

TEST(DialogExecute, TheFirstTextThatIsNoNumberIsRefusedWithItsFieldNamed) {
    struct Case {
        const char* fileAddress;
        const char* emuAddress;
        const char* size;
        InputField field;
        const char* message;
    };
    const Case cases[] = {
        {"zz12", "0", "0", InputField::FileAddress,
         "FAILURE: File Start Address: 'zz12' is not a hexadecimal number"},
        {"0x10", "-10", "1G0", InputField::EmuAddress,
         "FAILURE: RAM Start Address: '-10' is not a hexadecimal number"},
        {"0", "0", "1FFFFFFFFF", InputField::Size, "FAILURE: Size: '1FFFFFFFFF' is not a hexadecimal number"},
        {"0", "0", "", InputField::Size, "FAILURE: Size: '' is not a hexadecimal number"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.message);
        OperationParams params{};
        params.size = 0x55;
        InputRefusal refusal{};
        EXPECT_FALSE(FillOperationParams(
            {OP_WRITE, "a.bin", c.emuAddress, c.fileAddress, c.size, false, false}, &params, &refusal));
        EXPECT_EQ(refusal.field, c.field);
        EXPECT_EQ(refusal.message, c.message);
        EXPECT_EQ(params.keepRunning, 0) << "nothing may run";
    }
}

TEST(DialogExecute, APathOf259CharactersIsTakenAndALongerOneRefusedNotCut) {
    OperationParams params{};
    InputRefusal refusal{};
    const std::string fits(259, 'p');
    ASSERT_TRUE(FillOperationParams({OP_READ, fits.c_str(), "0", "0", "0", false, true}, &params, &refusal));
    EXPECT_EQ(std::string(params.filePath), fits);

    // Cut to 259 characters it would name the file above, which a read would overwrite.
    const std::string longer = fits + "q";
    EXPECT_FALSE(
        FillOperationParams({OP_READ, longer.c_str(), "0", "0", "0", false, true}, &params, &refusal));
    EXPECT_EQ(std::string(params.filePath), fits);
    EXPECT_EQ(refusal.field, InputField::FilePath);
    EXPECT_EQ(refusal.message, kPathTooLongMessage);
}

TEST(DialogStates, ParametersAreLockedExactlyWhileAnOperationRunsAndClosingThenAsks) {
    const DialogState all[] = {DialogState::Detecting, DialogState::NoUsableHardware, DialogState::Ready,
                               DialogState::Running};
    for (DialogState state : all) {
        const bool running = state == DialogState::Running;
        EXPECT_EQ(ButtonsFor(state).parameters, !running);
        EXPECT_EQ(CloseQuestion(state, OP_WRITE) != nullptr, running);
    }
    EXPECT_STREQ(CloseQuestion(DialogState::Running, OP_READ), "A transfer is running. Stop it and exit?");
    EXPECT_STREQ(CloseQuestion(DialogState::Running, OP_MONITOR), "Monitoring is running. Stop it and exit?");
}

TEST(DialogStatus, ATransferShowsItsShareAndBytesAndTheOutcomeItsColour) {
    EXPECT_EQ(TransferStatusText(TransferVerb(OP_WRITE), 96, 256, 65536),
              "Writing 37%, 24576 of 65536 bytes");
    EXPECT_EQ(TransferStatusText(TransferVerb(OP_READ), 0, 16, 0x10000), "Reading 0%, 0 of 65536 bytes");
    EXPECT_EQ(TransferStatusText(TransferVerb(OP_VERIFY), 16, 16, 0x10000),
              "Verifying 100%, 65536 of 65536 bytes");
    // 4 GB in 64 KB packets: the product of position and bytes does not fit 32 bits.
    EXPECT_EQ(TransferStatusText("Writing", 0x8000, 0xFFFF, 0xFFFFFFFF),
              "Writing 50%, 2147516416 of 4294967295 bytes");
    // A bar without a range yet counts as done, never as a division by zero.
    EXPECT_EQ(TransferStatusText("Reading", 0, 0, 256), "Reading 100%, 256 of 256 bytes");
    EXPECT_STREQ(TransferVerb(OP_MONITOR), "");

    EXPECT_STREQ(OutcomeFor(1).text, "Done");
    EXPECT_STREQ(OutcomeFor(0).text, "Failed");
    EXPECT_NE(OutcomeFor(1).colour, OutcomeFor(0).colour);
}
