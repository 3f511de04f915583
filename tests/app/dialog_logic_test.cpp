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
    const DialogInputs inputs{OP_VERIFY, "C:\\images\\tune.bin", "0x4000", "10", "zz8000", true, false};
    FillOperationParams(inputs, &params);
    EXPECT_EQ(params.operation, OP_VERIFY);
    EXPECT_STREQ(params.filePath, "C:\\images\\tune.bin");
    EXPECT_EQ(params.emuAddress, 0x4000u);
    EXPECT_EQ(params.fileAddress, 0x10u);
    EXPECT_EQ(params.size, 0x8000u);
    EXPECT_EQ(params.large, 1);
    EXPECT_EQ(params.noBackBuf, 1);
    EXPECT_EQ(params.keepRunning, 1);

    const DialogInputs endJustified{OP_WRITE, "", "0x0000", "0x0000", "0x0000", false, true};
    FillOperationParams(endJustified, &params);
    EXPECT_EQ(params.noBackBuf, 0);
    EXPECT_EQ(params.large, 0);
    EXPECT_STREQ(params.filePath, "");
}

TEST(DialogExecute, APathOf259CharactersIsTakenAndALongerOneRefusedNotCut) {
    OperationParams params{};
    const std::string fits(259, 'p');
    ASSERT_TRUE(FillOperationParams({OP_READ, fits.c_str(), "0", "0", "0", false, true}, &params));
    EXPECT_EQ(std::string(params.filePath), fits);

    // Cut to 259 characters it would name the file above, which a read would overwrite.
    const std::string longer = fits + "q";
    EXPECT_FALSE(FillOperationParams({OP_READ, longer.c_str(), "0", "0", "0", false, true}, &params));
    EXPECT_EQ(std::string(params.filePath), fits);
}
