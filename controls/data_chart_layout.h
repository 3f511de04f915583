#pragma once
// The data chart's axes around its plot area, apart from the window: each axis takes a band of its
// thickness on its side, axes on the same side stacking outwards from the plot area.
#include <vector>

enum class AxisSide { Left, Top, Right, Bottom };

struct ChartAxis {
    AxisSide side;
    int thickness;
};

struct ChartRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
};

struct DataChartLayout {
    ChartRect plot;
    std::vector<ChartRect> axes; // one band per axis, in the order given
};

// Lays the axes out in a client area of width by height; the plot area keeps what they leave and
// never turns inside out when they take more than there is.
DataChartLayout LayOutDataChart(int width, int height, const std::vector<ChartAxis>& axes);
