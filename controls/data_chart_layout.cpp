#include "data_chart_layout.h"

#include <algorithm>

DataChartLayout LayOutDataChart(int width, int height, const std::vector<ChartAxis>& axes) {
    int taken[4] = {0, 0, 0, 0};
    for (const ChartAxis& axis : axes) {
        taken[static_cast<int>(axis.side)] += std::max(axis.thickness, 0);
    }
    DataChartLayout layout;
    ChartRect& plot = layout.plot;
    plot.left = std::min(taken[static_cast<int>(AxisSide::Left)], width);
    plot.top = std::min(taken[static_cast<int>(AxisSide::Top)], height);
    plot.right = std::max(width - taken[static_cast<int>(AxisSide::Right)], plot.left);
    plot.bottom = std::max(height - taken[static_cast<int>(AxisSide::Bottom)], plot.top);

    // Each side's next band starts at the plot area's edge and moves outwards.
    int reach[4] = {plot.left, plot.top, plot.right, plot.bottom};
    for (const ChartAxis& axis : axes) {
        const int thickness = std::max(axis.thickness, 0);
        int& edge = reach[static_cast<int>(axis.side)];
        switch (axis.side) {
        case AxisSide::Left:
            layout.axes.push_back({edge - thickness, plot.top, edge, plot.bottom});
            edge -= thickness;
            break;
        case AxisSide::Top:
            layout.axes.push_back({plot.left, edge - thickness, plot.right, edge});
            edge -= thickness;
            break;
        case AxisSide::Right:
            layout.axes.push_back({edge, plot.top, edge + thickness, plot.bottom});
            edge += thickness;
            break;
        case AxisSide::Bottom:
            layout.axes.push_back({plot.left, edge, plot.right, edge + thickness});
            edge += thickness;
            break;
        }
    }
    return layout;
}
