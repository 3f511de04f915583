#include "chart2d_series.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

class CountingChart : public Chart2DSeriesOwner {
  public:
    void RepaintChart() override { ++repaints; }
    void PointChanged(IKVChart2DSeries*, std::uint32_t index) override { reports.push_back(index); }

    int repaints = 0;
    std::vector<std::uint32_t> reports;
};

KVChart2DPoint Pt(float x, std::uint32_t flags = 0) {
    return KVChart2DPoint{x, 0, 7, flags};
}

std::vector<float> Xs(IKVChart2DSeries& series) {
    std::vector<float> xs;
    for (std::uint32_t i = 0; i < series.GetPointCount(); ++i) {
        KVChart2DPoint point{};
        series.GetPoint(i, &point);
        xs.push_back(point.x);
    }
    return xs;
}

} // namespace

TEST(Chart2DSeries, PointListOperationsCheckTheirIndexAndReport) {
    CountingChart chart;
    KVChart2DSeries series(&chart);
    const KVChart2DPoint a = Pt(1), b = Pt(2), c = Pt(3);
    EXPECT_EQ(series.AppendPoint(&a), 1);
    EXPECT_EQ(series.AppendPoint(&c), 1);
    EXPECT_EQ(series.AppendPoint(nullptr), 0);
    EXPECT_EQ(series.InsertPoint(&b, 1), 1);
    EXPECT_EQ(series.InsertPoint(&b, 3), 0) << "inserting needs an existing point to go before";
    EXPECT_EQ(Xs(series), (std::vector<float>{1, 2, 3}));
    EXPECT_EQ(chart.reports, (std::vector<std::uint32_t>{0, 1, 1}));

    const KVChart2DPoint d = Pt(4);
    EXPECT_EQ(series.SetPoint(2, &d, 1), 1);
    EXPECT_EQ(chart.repaints, 1);
    EXPECT_EQ(series.SetPoint(3, &d, 1), 0);
    EXPECT_EQ(series.SetPoint(0, nullptr, 1), 0);
    EXPECT_EQ(series.RemovePoint(0), 1);
    EXPECT_EQ(series.RemovePoint(2), 0);
    EXPECT_EQ(Xs(series), (std::vector<float>{2, 4}));
    KVChart2DPoint out{};
    EXPECT_EQ(series.GetPoint(1, &out), 1);
    EXPECT_EQ(out.value, 7u) << "the caller's value travels with the point";
    EXPECT_EQ(series.GetPoint(2, &out), 0);
    EXPECT_EQ(chart.reports.size(), 5u);
}

TEST(Chart2DSeries, SelectedCountFollowsEveryChange) {
    CountingChart chart;
    KVChart2DSeries series(&chart);
    const KVChart2DPoint plain = Pt(1), selected = Pt(2, kPointSelected);
    series.AppendPoint(&plain);
    series.AppendPoint(&selected);
    series.AppendPoint(&plain);
    EXPECT_EQ(series.GetSelectedCount(), 1u);
    EXPECT_EQ(series.SelectPoint(0, 1, 0), 1);
    EXPECT_EQ(series.SelectPoint(0, 1, 0), 1);
    EXPECT_EQ(series.GetSelectedCount(), 2u) << "selecting twice counts once";
    EXPECT_EQ(series.SelectPoint(3, 1, 0), 0);
    series.RemovePoint(1);
    EXPECT_EQ(series.GetSelectedCount(), 1u);
    series.SetPoint(1, &selected, 0);
    EXPECT_EQ(series.GetSelectedCount(), 2u);
    EXPECT_EQ(chart.repaints, 0);
    series.DeselectAll(1);
    EXPECT_EQ(series.GetSelectedCount(), 0u);
    EXPECT_EQ(chart.repaints, 1);
    series.SelectPoint(1, 1, 0);
    series.ClearPoints();
    EXPECT_EQ(series.GetSelectedCount(), 0u);
    EXPECT_EQ(series.GetPointCount(), 0u);
}

TEST(Chart2DSeries, NameStyleAndPropertiesWithTheirDefaults) {
    KVChart2DSeries series(nullptr);
    EXPECT_EQ(series.GetStyle(), 0x4Bu);
    EXPECT_EQ(series.GetMarkerRadius(), 5);
    EXPECT_EQ(series.GetLineWidth(), 1);
    EXPECT_EQ(series.GetProperty(kSeriesSelectedFill), 0x000000FFu);
    EXPECT_EQ(series.GetProperty(kSeriesMarkerOutline), 0u);
    EXPECT_EQ(series.GetProperty(kSeriesLineColour), 0u);
    EXPECT_EQ(series.GetProperty(14), 0xFFFFFFFFu);
    EXPECT_EQ(series.SetProperty(14, 1), 0);
    EXPECT_EQ(series.SetProperty(kSeriesLineColour, 0x123456), 1);

    const std::string longName(80, 'n');
    EXPECT_NE(series.SetName(longName.c_str()), 0) << "a cut name is not a clean copy";
    char buffer[100];
    EXPECT_EQ(series.GetName(buffer, sizeof buffer), 63);
    EXPECT_EQ(std::string(buffer), longName.substr(0, 63));
    EXPECT_EQ(series.SetName("Boost"), 0);
    char small[3];
    EXPECT_EQ(series.GetName(small, sizeof small), 5);
    EXPECT_STREQ(small, "Bo");

    series.AddStyle(0x80, 0);
    EXPECT_EQ(series.TestStyle(0x90), 1);
    EXPECT_EQ(series.TestStyle(0x10), 0);
    series.RemoveStyle(0x03, 0);
    EXPECT_EQ(series.GetStyle(), 0xC8u);
    series.AddStyle(0, 0);
    EXPECT_EQ(series.GetStyle(), 0u);

    const KVChart2DPoint point = Pt(1);
    series.AppendPoint(&point);
    series.SetMarkerRadius(9);
    series.SetLineWidth(3);
    EXPECT_EQ(series.Reset(), 0);
    EXPECT_EQ(series.GetPointCount(), 0u);
    EXPECT_EQ(series.GetStyle(), 0x4Bu);
    EXPECT_EQ(series.GetMarkerRadius(), 5);
    EXPECT_EQ(series.GetLineWidth(), 1);
    EXPECT_EQ(series.GetProperty(kSeriesLineColour), 0u);
    EXPECT_EQ(series.GetName(buffer, sizeof buffer), 0);
}
