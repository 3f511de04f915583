#include "gauge_family.h"
#include "status_gauge_state.h"

#include <gtest/gtest.h>

#include <string>

namespace {

StatusGaugeState GaugeWithTexts() {
    StatusGaugeState gauge;
    gauge.onText.Store("ON", 10);
    gauge.offText.Store("OFF", 10);
    return gauge;
}

} // namespace

TEST(StatusGaugeState, OnlyStateOneUsesTheOnColoursButEveryNonZeroStateTheOnText) {
    struct Case {
        std::uint32_t state;
        const char* text;
        std::uint32_t background;
    } cases[] = {
        {0, "OFF", 0x000000FF}, // off text on red
        {1, "ON", 0x0000FF00},  // on text on green
        {2, "ON", 0x000000FF},  // on text with the off colours
        {0xFFFFFFFF, "ON", 0x000000FF},
    };
    for (const Case& c : cases) {
        StatusGaugeState gauge = GaugeWithTexts();
        gauge.state = c.state;
        EXPECT_EQ(StateTextToDraw(gauge), c.text) << "state " << c.state;
        EXPECT_EQ(ColoursForState(gauge).background, c.background) << "state " << c.state;
        EXPECT_EQ(ColoursForState(gauge).text, 0x00000000u) << "state " << c.state;
    }
}

TEST(StatusGaugeState, DrawsAtMost254CharactersAndNothingForAMissingText) {
    StatusGaugeState gauge;
    EXPECT_EQ(StateTextToDraw(gauge), "");
    const std::string longText(300, 'x');
    gauge.offText.Store(longText.c_str(), 1000);
    EXPECT_EQ(StateTextToDraw(gauge), std::string(254, 'x'));
}

TEST(GaugeStyle, AddingZeroClearsEveryBitIncludingTheDefault) {
    EXPECT_EQ(AddGaugeStyle(1, 0x80), 0x81u);
    EXPECT_EQ(AddGaugeStyle(0x81, 0), 0u);
    EXPECT_EQ(RemoveGaugeStyle(0x5F, 0x18), 0x47u);
}

TEST(GaugeMapping, ProportionalBitChoosesIsotropicAndViewportNeverShrinksBelowTheLogicalSquare) {
    struct Case {
        std::uint32_t style;
        int size, width, height;
        GaugeMapping expected;
    } cases[] = {
        {1, 100, 200, 300, {8, 100, 200, 300}},
        {0x81, 100, 200, 300, {7, 100, 200, 300}},
        {1, 100, 50, 50, {8, 100, 100, 100}}, // a small control shows part of its drawing
        {0x5F, 180, 360, 120, {8, 180, 360, 180}},
    };
    for (const Case& c : cases) {
        const GaugeMapping m = MakeGaugeMapping(c.style, c.size, c.width, c.height);
        EXPECT_EQ(m.mode, c.expected.mode);
        EXPECT_EQ(m.windowExtent, c.expected.windowExtent);
        EXPECT_EQ(m.viewportWidth, c.expected.viewportWidth);
        EXPECT_EQ(m.viewportHeight, c.expected.viewportHeight);
    }
}
