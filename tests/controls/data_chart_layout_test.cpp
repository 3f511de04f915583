#include "data_chart_layout.h"

#include <gtest/gtest.h>

namespace {

TEST(DataChartLayout, AxesStackOutwardsFromThePlotArea) {
    const DataChartLayout layout = LayOutDataChart(
        400, 300,
        {{AxisSide::Left, 30}, {AxisSide::Bottom, 20}, {AxisSide::Left, 25}, {AxisSide::Right, 10}});
    EXPECT_EQ(layout.plot.left, 55);
    EXPECT_EQ(layout.plot.top, 0);
    EXPECT_EQ(layout.plot.right, 390);
    EXPECT_EQ(layout.plot.bottom, 280);
    ASSERT_EQ(layout.axes.size(), 4u);
    EXPECT_EQ(layout.axes[0].left, 25); // the first left axis hugs the plot area
    EXPECT_EQ(layout.axes[0].right, 55);
    EXPECT_EQ(layout.axes[2].left, 0);
    EXPECT_EQ(layout.axes[2].right, 25);
    EXPECT_EQ(layout.axes[1].top, 280);
    EXPECT_EQ(layout.axes[1].bottom, 300);
    EXPECT_EQ(layout.axes[1].left, 55);
    EXPECT_EQ(layout.axes[3].left, 390);
    EXPECT_EQ(layout.axes[3].right, 400);
}

TEST(DataChartLayout, PlotAreaNeverTurnsInsideOut) {
    const DataChartLayout layout = LayOutDataChart(50, 40,
                                                   {{AxisSide::Left, 40},
                                                    {AxisSide::Right, 40},
                                                    {AxisSide::Top, 30},
                                                    {AxisSide::Bottom, 30},
                                                    {AxisSide::Top, -8}});
    EXPECT_LE(layout.plot.left, layout.plot.right);
    EXPECT_LE(layout.plot.top, layout.plot.bottom);
    EXPECT_EQ(layout.axes[4].top, layout.axes[4].bottom) << "a negative thickness takes nothing";
}

} // namespace
