#include "text_progress_state.h"

#include <climits>
#include <cstring>
#include <gtest/gtest.h>
#include <string>

namespace {

TEST(TextProgressState, DefaultsAreThoseOfAFreshControl) {
    const TextProgressState state;
    EXPECT_STREQ(state.text, "");
    EXPECT_EQ(state.textColour, 0x00000000u);
    EXPECT_EQ(state.backgroundColour, 0xFFFFFFFFu);
    EXPECT_EQ(state.barColour, 0x00D26400u);
    EXPECT_EQ(state.vertical, 0);
    EXPECT_EQ(state.minimum, 0);
    EXPECT_EQ(state.maximum, 255);
    EXPECT_EQ(state.step, 1);
    EXPECT_EQ(state.position, 0);
}

TEST(TextProgressState, TextKeepsAtMost259CharactersAndIgnoresNull) {
    TextProgressState state;
    const std::string exact(259, 'x');
    SetProgressText(state, exact.c_str());
    EXPECT_EQ(std::string(state.text), exact);
    SetProgressText(state, (std::string(300, 'y')).c_str());
    EXPECT_EQ(std::string(state.text), std::string(259, 'y'));
    SetProgressText(state, nullptr);
    EXPECT_EQ(std::string(state.text), std::string(259, 'y'));
    SetProgressText(state, "");
    EXPECT_STREQ(state.text, "");
}

TEST(TextProgressState, CopyFitsTheBufferAndAlwaysTerminates) {
    TextProgressState state;
    SetProgressText(state, "Monitoring...");
    struct Case {
        std::size_t size;
        std::size_t copied;
        const char* text;
    };
    const Case cases[] = {{5, 4, "Moni"}, {1, 0, ""}, {14, 13, "Monitoring..."}, {100, 13, "Monitoring..."}};
    for (const Case& c : cases) {
        char buffer[100];
        std::memset(buffer, '#', sizeof buffer);
        EXPECT_EQ(CopyProgressText(state, buffer, c.size), c.copied) << c.size;
        EXPECT_STREQ(buffer, c.text);
    }
    char untouched[4] = "abc";
    EXPECT_EQ(CopyProgressText(state, untouched, 0), 0u);
    EXPECT_STREQ(untouched, "abc");
    EXPECT_EQ(CopyProgressText(state, nullptr, 10), 0u);
}

TEST(TextProgressState, SixteenBitRangeIsUnsignedLowThenHigh) {
    TextProgressState state;
    SetProgressRange16(state, 0x00500000);
    EXPECT_EQ(state.minimum, 0);
    EXPECT_EQ(state.maximum, 80);
    SetProgressRange16(state, 0xFFFF8000);
    EXPECT_EQ(state.minimum, 0x8000);
    EXPECT_EQ(state.maximum, 0xFFFF);
}

TEST(TextProgressState, StepWrapsToTheMinimumOnlyBeyondTheMaximum) {
    struct Case {
        std::int32_t minimum, maximum, step, position, after;
    };
    const Case cases[] = {
        {0, 255, 1, 254, 255},
        {0, 255, 1, 255, 0},
        {10, 20, 4, 18, 10},
        {10, 20, 4, 16, 20},
        {0, 80, -3, 2, -1},
        {-10, -5, 2, -6, -10},
        {0, INT_MAX, 5, INT_MAX - 1, 0}, // the sum does not overflow into a negative position
        {0, 10, -5, INT_MIN + 2, INT_MIN},
    };
    for (const Case& c : cases) {
        TextProgressState state;
        state.minimum = c.minimum;
        state.maximum = c.maximum;
        state.step = c.step;
        state.position = c.position;
        EXPECT_EQ(StepProgress(state), c.position);
        EXPECT_EQ(state.position, c.after)
            << c.minimum << ".." << c.maximum << " step " << c.step << " from " << c.position;
    }
}

TEST(TextProgressState, RangeLimitAnswersOneAndZeroOnly) {
    TextProgressState state;
    state.minimum = -4;
    state.maximum = 90;
    EXPECT_EQ(ProgressRangeLimit(state, 1), -4);
    EXPECT_EQ(ProgressRangeLimit(state, 0), 90);
    EXPECT_EQ(ProgressRangeLimit(state, 2), 0);
}

TEST(TextProgressState, FilledLengthIsTheTruncatedShareOfTheExtent) {
    struct Case {
        std::int32_t minimum, maximum, position;
        int extent, filled;
    };
    const Case cases[] = {
        {0, 255, 128, 300, 150},  {0, 255, 128, 255, 128},
        {10, 20, 15, 300, 150},   {0, 255, 0, 300, 0},
        {0, 255, -50, 300, 0},    {0, 255, 255, 300, 300},
        {0, 255, 5000, 300, 300}, {7, 7, 7, 300, 0},
        {0, 3, 1, 100, 33},       {INT_MIN, INT_MAX, 0, 1000, 500},
    };
    for (const Case& c : cases) {
        TextProgressState state;
        state.minimum = c.minimum;
        state.maximum = c.maximum;
        state.position = c.position;
        EXPECT_EQ(ProgressFilledLength(state, c.extent), c.filled)
            << c.minimum << ".." << c.maximum << " at " << c.position << " of " << c.extent;
    }
}

TEST(TextProgressState, LayoutSplitsTheAreaAlongTheOrientation) {
    TextProgressState state;
    state.maximum = 80;
    state.position = 40;
    const ProgressLayout horizontal = LayOutProgress(state, 200, 30);
    EXPECT_EQ(horizontal.bar.right, 100);
    EXPECT_EQ(horizontal.bar.bottom, 30);
    EXPECT_EQ(horizontal.remainder.left, 100);
    EXPECT_EQ(horizontal.remainder.right, 200);

    state.vertical = 1;
    const ProgressLayout vertical = LayOutProgress(state, 40, 100);
    EXPECT_EQ(vertical.bar.top, 50);
    EXPECT_EQ(vertical.bar.bottom, 100);
    EXPECT_EQ(vertical.bar.right, 40);
    EXPECT_EQ(vertical.remainder.top, 0);
    EXPECT_EQ(vertical.remainder.bottom, 50);
}

TEST(TextProgressState, TwoColourTextNeedsAnExplicitBackground) {
    struct Case {
        std::uint32_t text, background;
        bool twoColour;
    };
    const Case cases[] = {{0xFFFFFFFF, 0x00FFFFFF, true},
                          {0xFFFFFFFF, 0xFFFFFFFF, false},
                          {0x00FF0000, 0x00FFFFFF, false},
                          {0x00FF0000, 0xFFFFFFFF, false}};
    for (const Case& c : cases) {
        TextProgressState state;
        state.textColour = c.text;
        state.backgroundColour = c.background;
        EXPECT_EQ(UsesTwoColourText(state), c.twoColour) << std::hex << c.text << " on " << c.background;
    }
}

} // namespace
