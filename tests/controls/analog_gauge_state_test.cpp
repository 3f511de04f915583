#include "analog_gauge_state.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <string>
#include <vector>

namespace {

std::vector<std::string> Labels(const AnalogGaugeState& gauge) {
    std::vector<std::string> labels;
    for (std::uint32_t i = 0; i < gauge.majorTicks; ++i) {
        labels.push_back(GaugeValueText(MajorTickValue(gauge, i), gauge.decimals));
    }
    return labels;
}

AnalogGaugeState WithRange(float minimum, float maximum) {
    AnalogGaugeState gauge;
    gauge.minimum = minimum;
    gauge.maximum = maximum;
    return gauge;
}

} // namespace

TEST(AnalogGaugeLabels, WholeNumbersWithoutDecimalsOthersWithTheDecimals) {
    EXPECT_EQ(Labels(AnalogGaugeState{}), (std::vector<std::string>{"0", "15", "30", "45", "60", "75", "90",
                                                                    "105", "120", "135", "150"}));
    EXPECT_EQ(Labels(WithRange(0, 100)),
              (std::vector<std::string>{"0", "10", "20", "30", "40", "50", "60", "70", "80", "90", "100"}));
    EXPECT_EQ(Labels(WithRange(0, 1)), (std::vector<std::string>{"0", "0.10", "0.20", "0.30", "0.40", "0.50",
                                                                 "0.60", "0.70", "0.80", "0.90", "1"}));
}

TEST(AnalogGaugeLabels, MinorTicksDivideEachMajorInterval) {
    AnalogGaugeState gauge;
    EXPECT_FLOAT_EQ(MinorTickValue(gauge, 15, 30, 1), 18);
    EXPECT_FLOAT_EQ(MinorTickValue(gauge, 15, 30, 4), 27);
}

TEST(GaugeValueText, FollowsTheWholeNumberRuleAndStaysDefinedOutsideTheIntegerRange) {
    struct Case {
        float value;
        std::int32_t decimals;
        const char* text;
    } cases[] = {
        {12.0f, 2, "12"},          {-20.0f, 2, "-20"},
        {12.5f, 2, "12.50"},       {12.5f, 0, "12"}, // printf rounds half to even
        {0.125f, 3, "0.125"},      {-0.5f, 1, "-0.5"},
        {12.5f, -3, "12"},         // no digits after the point, not printf's default six
        {1e10f, 2, "10000000000"}, // whole but beyond 32 bits: no integer conversion
        {-3e9f, 2, "-3000000000"}, {INFINITY, 2, "inf"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(GaugeValueText(c.value, c.decimals), c.text) << c.value << " with " << c.decimals;
    }
    EXPECT_EQ(GaugeValueText(0.1f, 1000).size(), 47u); // "0." and at most 45 decimals
}

TEST(AnalogGaugeValue, ClampsToTheRangeAndTruncatesWhenReadAsInteger) {
    struct Case {
        float set;
        float stored;
        std::int32_t read;
    } cases[] = {
        {200, 150, 150}, {12.7f, 12.7f, 12}, {-5, 0, 0}, {150, 150, 150}, {0.99f, 0.99f, 0},
    };
    for (const Case& c : cases) {
        AnalogGaugeState gauge;
        SetAnalogValue(gauge, c.set);
        EXPECT_FLOAT_EQ(gauge.value, c.stored) << c.set;
        EXPECT_EQ(AnalogValueAsInteger(gauge), c.read) << c.set;
    }
    AnalogGaugeState negative = WithRange(-50, -10);
    SetAnalogValue(negative, -12.9f);
    EXPECT_EQ(AnalogValueAsInteger(negative), -12); // toward zero, not down
}

TEST(AnalogGaugeValue, ReadingOutsideTheIntegerRangeSaturatesAndNaNIsIgnored) {
    AnalogGaugeState gauge = WithRange(-1e12f, 1e12f);
    SetAnalogValue(gauge, 5e11f);
    EXPECT_EQ(AnalogValueAsInteger(gauge), INT32_MAX);
    SetAnalogValue(gauge, -5e11f);
    EXPECT_EQ(AnalogValueAsInteger(gauge), INT32_MIN);

    AnalogGaugeState plain;
    SetAnalogValue(plain, 30);
    SetAnalogValue(plain, NAN);
    EXPECT_FLOAT_EQ(plain.value, 30);
    EXPECT_FLOAT_EQ(plain.lowestSeen, 30);
    EXPECT_FLOAT_EQ(plain.highestSeen, 30);
}

TEST(AnalogGaugeMinMax, TracksExtremesOfClampedValuesUntilReset) {
    AnalogGaugeState gauge;
    EXPECT_EQ(MinLineText(gauge), "Min: --"); // nothing seen yet
    EXPECT_EQ(MaxLineText(gauge), "Max: --");
    for (float v : {20.0f, 80.0f, 50.0f}) {
        SetAnalogValue(gauge, v);
    }
    EXPECT_EQ(MinLineText(gauge), "Min: 20");
    EXPECT_EQ(MaxLineText(gauge), "Max: 80");

    SetAnalogValue(gauge, 500);
    EXPECT_EQ(MaxLineText(gauge), "Max: 150"); // the clamped value is what was seen

    ResetLowestSeen(gauge);
    EXPECT_EQ(gauge.lowestSeen, FLT_MAX);
    EXPECT_EQ(MinLineText(gauge), "Min: --");
    EXPECT_EQ(MaxLineText(gauge), "Max: 150");
    ResetHighestSeen(gauge);
    EXPECT_EQ(gauge.highestSeen, -FLT_MAX);
    EXPECT_EQ(MaxLineText(gauge), "Max: --");
    SetAnalogValue(gauge, 12.25f);
    EXPECT_EQ(MinLineText(gauge), "Min: 12.25");
    EXPECT_EQ(MaxLineText(gauge), "Max: 12.25");
}

TEST(AnalogGaugeMinMax, NegativeRange) {
    AnalogGaugeState gauge = WithRange(-50, -10);
    SetAnalogValue(gauge, -40);
    SetAnalogValue(gauge, -20);
    EXPECT_EQ(MaxLineText(gauge), "Max: -20");
    EXPECT_EQ(MinLineText(gauge), "Min: -40");
}

TEST(AnalogGaugeZones, InsertOverwriteAppendAndRead) {
    const AnalogGaugeZone a{0, 50, 0x00FF0000}, b{50, 100, 0x0000FF00}, c{100, 150, 0x000000FF};
    AnalogGaugeState gauge;
    EXPECT_EQ(SetAnalogZone(gauge, 0, &a), 0);          // index 0 of an empty list appends
    EXPECT_EQ(SetAnalogZone(gauge, 5, &b), 1);          // beyond the list: appended
    EXPECT_EQ(SetAnalogZone(gauge, 0xFFFFFFFF, &c), 0); // inserted first
    EXPECT_EQ(SetAnalogZone(gauge, 7, &a), 3);
    EXPECT_EQ(SetAnalogZone(gauge, 1, &c), 1); // overwrites the former first zone
    EXPECT_EQ(SetAnalogZone(gauge, 2, nullptr), -1);

    const std::uint32_t expected[] = {c.colour, c.colour, b.colour, a.colour};
    ASSERT_EQ(gauge.zones.size(), 4u);
    for (std::uint32_t i = 0; i < 4; ++i) {
        AnalogGaugeZone out{};
        EXPECT_TRUE(GetAnalogZone(gauge, i, &out));
        EXPECT_EQ(out.colour, expected[i]) << "zone " << i;
    }
    EXPECT_TRUE(GetAnalogZone(gauge, 3, nullptr));
    AnalogGaugeZone untouched{1, 2, 3};
    EXPECT_FALSE(GetAnalogZone(gauge, 4, &untouched));
    EXPECT_FLOAT_EQ(untouched.from, 1);
}

TEST(AnalogGaugeZones, InsertBeforeTwoZonesShiftsThem) {
    const AnalogGaugeZone first{0, 10, 1}, second{10, 20, 2}, inserted{20, 30, 3};
    AnalogGaugeState gauge;
    SetAnalogZone(gauge, 0xFFFFFFFF, &second);
    SetAnalogZone(gauge, 0xFFFFFFFF, &first);
    EXPECT_EQ(SetAnalogZone(gauge, 0xFFFFFFFF, &inserted), 0);
    AnalogGaugeZone out{};
    ASSERT_TRUE(GetAnalogZone(gauge, 1, &out));
    EXPECT_EQ(out.colour, 1u);
    EXPECT_EQ(SetAnalogZone(gauge, 7, &inserted), 3);
}

TEST(AnalogGaugeColours, TenIndexesEachWithItsDefaultAndNothingBeyond) {
    AnalogGaugeState gauge;
    const std::uint32_t defaults[] = {0x00F0F0F0, 0, 0x000050FA, 0,          0,
                                      0x00FFFFFF, 0, 0,          0x00FF0000, 0x00FF0000};
    for (std::uint32_t i = 0; i < 10; ++i) {
        EXPECT_EQ(GetAnalogColour(gauge, i), defaults[i]) << "index " << i;
        SetAnalogColour(gauge, i, 0x00123400 + i);
        EXPECT_EQ(GetAnalogColour(gauge, i), 0x00123400 + i);
    }
    SetAnalogColour(gauge, 10, 0x00ABCDEF);
    EXPECT_EQ(GetAnalogColour(gauge, 10), 0u);
    EXPECT_EQ(GetAnalogColour(gauge, 9), 0x00123409u);
}
