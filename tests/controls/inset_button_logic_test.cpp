#include "inset_button_logic.h"

#include <gtest/gtest.h>

namespace {

TEST(InsetButtonGeometry, BordersAreTheDifferencesBetweenProposedAndClient) {
    const InsetBorders borders = MeasureBorders({100, 50, 340, 74}, {102, 52, 338, 72});
    EXPECT_EQ(borders.left, 2);
    EXPECT_EQ(borders.right, 2);
    EXPECT_EQ(borders.top, 2);
    EXPECT_EQ(borders.bottom, 2);
    const InsetBorders scrolled = MeasureBorders({0, 0, 240, 80}, {1, 1, 222, 79});
    EXPECT_EQ(scrolled.right, 18);
}

TEST(InsetButtonGeometry, ClientLosesTheButtonWidthButNeverTurnsInsideOut) {
    EXPECT_EQ(NarrowClient({2, 2, 238, 22}, 18).right, 220);
    EXPECT_EQ(NarrowClient({2, 2, 238, 22}, 18).left, 2);
    EXPECT_EQ(NarrowClient({2, 2, 12, 22}, 18).right, 2);
}

TEST(InsetButtonGeometry, ButtonSitsInsideTheRightEdge) {
    struct Case {
        InsetBorders borders;
        InsetRect expected;
    };
    const Case cases[] = {
        {{2, 2, 2, 2}, {220, 2, 238, 22}},
        {{1, 1, 1, 1}, {221, 1, 239, 23}},
        // A right edge wider than the left moves the button right by the difference.
        {{1, 5, 1, 1}, {221, 1, 239, 23}},
    };
    for (const Case& c : cases) {
        const InsetRect rect = InsetButtonRect(240, 24, c.borders, 18);
        EXPECT_EQ(rect.left, c.expected.left);
        EXPECT_EQ(rect.top, c.expected.top);
        EXPECT_EQ(rect.right, c.expected.right);
        EXPECT_EQ(rect.bottom, c.expected.bottom);
    }
}

TEST(InsetButtonGeometry, ContainsIncludesLeftAndTopOnly) {
    const InsetRect rect{10, 20, 30, 40};
    EXPECT_TRUE(InsetContains(rect, 10, 20));
    EXPECT_TRUE(InsetContains(rect, 29, 39));
    EXPECT_FALSE(InsetContains(rect, 30, 25));
    EXPECT_FALSE(InsetContains(rect, 15, 40));
    EXPECT_FALSE(InsetContains(rect, 9, 25));
}

TEST(InsetClick, CompletesOnlyWhenPressedAndReleasedOnTheButton) {
    InsetClick click;
    EXPECT_FALSE(click.Press(false));
    EXPECT_FALSE(click.tracking());
    EXPECT_FALSE(click.Release(true)) << "a release without a press is no click";

    EXPECT_TRUE(click.Press(true));
    EXPECT_TRUE(click.pressed());
    EXPECT_TRUE(click.tracking());
    EXPECT_TRUE(click.Release(true));
    EXPECT_FALSE(click.tracking());
    EXPECT_FALSE(click.pressed());

    click.Press(true);
    EXPECT_TRUE(click.Move(false));
    EXPECT_FALSE(click.pressed());
    EXPECT_FALSE(click.Move(false)) << "no change, no redraw";
    EXPECT_FALSE(click.Release(false));
    EXPECT_FALSE(click.tracking());

    click.Press(true);
    click.Move(false);
    EXPECT_TRUE(click.Move(true));
    EXPECT_TRUE(click.pressed());
    EXPECT_TRUE(click.Release(true));
}

TEST(InsetClick, MovesWithoutAClickAndCancelledClicksDoNothing) {
    InsetClick click;
    EXPECT_FALSE(click.Move(true));
    EXPECT_FALSE(click.pressed());
    EXPECT_FALSE(click.Cancel());
    click.Press(true);
    EXPECT_TRUE(click.Cancel());
    EXPECT_FALSE(click.pressed());
    EXPECT_FALSE(click.Release(true));
}

} // namespace
