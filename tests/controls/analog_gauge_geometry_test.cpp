#include "analog_gauge_geometry.h"

#include <gtest/gtest.h>

#include <cmath>

TEST(DialAngle, DefaultScaleSweepsFortyToThreeHundredDegreesOverTheTop) {
    AnalogGaugeState gauge;
    EXPECT_DOUBLE_EQ(DialAngle(gauge, 0), 40);
    EXPECT_DOUBLE_EQ(DialAngle(gauge, 75), 170); // ten degrees short of straight up
    EXPECT_DOUBLE_EQ(DialAngle(gauge, 150), 300);
    gauge.startAngle = 0;
    gauge.endAngle = 90;
    gauge.minimum = -50;
    gauge.maximum = -10;
    EXPECT_DOUBLE_EQ(DialAngle(gauge, -30), 45);
}

TEST(DialAngle, EmptyRangeOrNonFiniteAnglesStillGiveADirection) {
    AnalogGaugeState gauge;
    gauge.minimum = gauge.maximum = 10;
    EXPECT_DOUBLE_EQ(DialAngle(gauge, 10), 40);
    EXPECT_DOUBLE_EQ(DialAngle(gauge, 20), 40);
    gauge.startAngle = INFINITY;
    EXPECT_DOUBLE_EQ(DialAngle(gauge, 10), 0);
}

TEST(PointOnDial, AnglesRunClockwiseFromStraightDownWithYDownwards) {
    struct Case {
        double angle;
        DialPoint point;
    } cases[] = {
        {0, {90, 190}},   // down
        {90, {-10, 90}},  // left (truncated toward zero from about -10)
        {180, {90, -10}}, // up
        {270, {190, 90}}, // right
    };
    for (const Case& c : cases) {
        const DialPoint p = PointOnDial(180, c.angle, 100);
        EXPECT_NEAR(p.x, c.point.x, 1) << c.angle;
        EXPECT_NEAR(p.y, c.point.y, 1) << c.angle;
    }
    // The needle at the minimum of the default scale points down and to the left, 40 degrees
    // from straight down: tip at radius 75 is (90 - 75 sin 40, 90 + 75 cos 40), truncated.
    const DialPoint tip = PointOnDial(180, 40, 75);
    EXPECT_EQ(tip, (DialPoint{41, 147}));
    // At 75 of 150 it points up, ten degrees left of vertical.
    EXPECT_EQ(PointOnDial(180, 170, 75), (DialPoint{76, 16}));
}

TEST(PointOnDial, LabelsTruncateWhileTickEndsRound) {
    // At 40 degrees and radius 87: x = 90 - 55.92, y = 90 + 66.65.
    EXPECT_EQ(PointOnDial(180, 40, 87), (DialPoint{34, 156}));
    EXPECT_EQ(TickEndOnDial(180, 40, 87), (DialPoint{34, 157}));
    // At 300 degrees and radius 79: x = 90 + 68.42, y = 90 + 39.5 (a half rounds up).
    EXPECT_EQ(TickEndOnDial(180, 300, 79), (DialPoint{158, 130}));
    EXPECT_EQ(PointOnDial(180, 300, 79), (DialPoint{158, 129}));
}

TEST(DialRadii, FollowTheDialSize) {
    const DialRadii r = RadiiFor(180);
    EXPECT_EQ(r.majorTickOuter, 87);
    EXPECT_EQ(r.majorTickInner, 79);
    EXPECT_EQ(r.minorTickInner, 82);
    EXPECT_EQ(r.label, 76);
    EXPECT_EQ(r.needleTip, 75);
    EXPECT_EQ(r.rimMarkOuter, 88);
    EXPECT_EQ(r.rimMarkInner, 84);
    EXPECT_EQ(r.arcEnds, 179);
}

TEST(LabelAlignment, TextExtendsFromTheAnchorTowardTheCentre) {
    constexpr unsigned kLeftTop = 0, kRightTop = 2, kCenterTop = 6, kLeftBaseline = 24, kRightBaseline = 26,
                       kCenterBaseline = 30;
    struct Case {
        double angle;
        unsigned alignment;
    } cases[] = {
        {270, kRightTop}, // level with the centre on the right: right-aligned, hanging down
        {210, kRightTop}, // upper right
        {240, kRightTop},      {150, kLeftTop},       // upper left
        {90.5, kLeftTop},      {180, kCenterTop},     // top
        {170, kCenterTop},                            // the mid label of the default scale
        {195, kCenterTop},     {40, kLeftBaseline},   // the minimum of the default scale
        {60, kLeftBaseline},   {300, kRightBaseline}, // the maximum of the default scale
        {330, kRightBaseline}, {0, kCenterBaseline},  // bottom
        {15, kCenterBaseline}, {-15, kCenterBaseline},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(LabelAlignment(c.angle), c.alignment) << c.angle << " degrees";
    }
}
