#include "chart2d_state.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <vector>

namespace {

struct Notice {
    std::uint32_t code;
    IKVChart2DSeries* series;
    std::uint32_t index;
};

class RecordingHost : public Chart2DHost {
  public:
    void Notify(std::uint32_t code, IKVChart2DSeries* series, std::uint32_t index) override {
        notices.push_back({code, series, index});
    }
    void Invalidate() override { ++invalidations; }
    bool Label(float x, float y, IKVChart2DSeries* series, std::uint32_t index, int kind, char* buffer,
               int* length) override {
        return label && label(x, y, series, index, kind, buffer, length);
    }
    std::vector<std::uint32_t> Codes() const {
        std::vector<std::uint32_t> codes;
        for (const Notice& n : notices) {
            codes.push_back(n.code);
        }
        return codes;
    }

    std::vector<Notice> notices;
    int invalidations = 0;
    std::function<bool(float, float, IKVChart2DSeries*, std::uint32_t, int, char*, int*)> label;
};

// A chart of 500 by 400 with the default ranges: one value unit is 360/510 logical units across
// and 260/510 upwards.
class ChartFixture : public ::testing::Test {
  protected:
    ChartFixture() { chart.Resize(500, 400); }

    KVChart2DSeries* AddSeries(std::uint32_t style, std::initializer_list<KVChart2DPoint> points) {
        KVChart2DSeries* series = chart.AddSeries(chart.SeriesCount());
        series->AddStyle(0, 0);
        series->AddStyle(style, 0);
        for (const KVChart2DPoint& point : points) {
            series->AppendPoint(&point);
        }
        return series;
    }
    ChartPoint At(IKVChart2DSeries* series, std::uint32_t index) {
        KVChart2DPoint point{};
        series->GetPoint(index, &point);
        chart.UpdateScale();
        return chart.ToLogical(point.x, point.y);
    }
    static ChartPoint Offset(ChartPoint p, int dx, int dy) { return ChartPoint{p.x + dx, p.y + dy}; }
    static KVChart2DPoint Pt(float x, float y, std::uint32_t flags = 0) {
        return KVChart2DPoint{x, y, 0, flags};
    }
    static bool Selected(IKVChart2DSeries* series, std::uint32_t index) {
        KVChart2DPoint point{};
        series->GetPoint(index, &point);
        return (point.flags & kPointSelected) != 0;
    }

    RecordingHost host;
    Chart2DModel chart{&host};
};

} // namespace

TEST_F(ChartFixture, LaysOutThePlotAndGeneratesTicksFromTheRange) {
    EXPECT_EQ(chart.plotLeft, 70);
    EXPECT_EQ(chart.plotRight, 430);
    EXPECT_EQ(chart.plotBottom, 70);
    EXPECT_EQ(chart.plotTop, 330);
    ASSERT_EQ(chart.xTicks.size(), 8u);
    for (std::size_t i = 0; i < chart.xTicks.size(); ++i) {
        EXPECT_NEAR(chart.xTicks[i].value, -255 + 72.857f * i, 0.01f);
    }
    EXPECT_EQ(chart.xTicks.front().text, "-255.00");
    EXPECT_EQ(chart.xTicks[1].text, "-182.14");
    EXPECT_EQ(chart.xTicks.back().text, "255.00");
    ASSERT_EQ(chart.yTicks.size(), 7u);
    EXPECT_FLOAT_EQ(chart.yTicks.front().value, -255);
    EXPECT_FLOAT_EQ(chart.yTicks.back().value, 255);
}

TEST_F(ChartFixture, MapsValuesWithYUpwards) {
    chart.UpdateScale();
    struct Case {
        float x, y;
        std::int32_t lx, ly;
    } cases[] = {{-255, -255, 70, 70}, {255, 255, 430, 330}, {0, 0, 250, 200}, {0, 255, 250, 330}};
    for (const Case& c : cases) {
        const ChartPoint p = chart.ToLogical(c.x, c.y);
        EXPECT_EQ(p.x, c.lx) << c.x << "," << c.y;
        EXPECT_EQ(p.y, c.ly) << c.x << "," << c.y;
    }
}

TEST_F(ChartFixture, TickTextsComeFromTheCallbackWhenItAnswers) {
    host.label = [](float x, float y, IKVChart2DSeries* series, std::uint32_t, int kind, char* buffer,
                    int* length) {
        EXPECT_EQ(series, nullptr);
        EXPECT_EQ(*length, kLabelBufferSize);
        if (kind == kLabelXTick && x > 0) {
            std::strcpy(buffer, "right");
            return true;
        }
        EXPECT_TRUE(kind == kLabelXTick || x == 0);
        EXPECT_TRUE(kind == kLabelYTick || y == 0);
        return false;
    };
    chart.RegenerateTicks();
    EXPECT_EQ(chart.xTicks.back().text, "right");
    EXPECT_EQ(chart.xTicks.front().text, "-255.00");
    EXPECT_EQ(chart.yTicks.back().text, "255.00");
}

TEST_F(ChartFixture, RangeFixUpRaisesAMaximumBelowItsMinimumAndPlacesZeroAxes) {
    const float low = 10, high = 5;
    chart.SetXRange(&low, &high);
    EXPECT_FLOAT_EQ(chart.xMin, 10);
    EXPECT_FLOAT_EQ(chart.xMax, 10);
    EXPECT_NE(chart.interaction & kNoVerticalAxis, 0u);
    EXPECT_EQ(chart.interaction & kNoHorizontalAxis, 0u);
    EXPECT_FLOAT_EQ(chart.xTicks.front().value, 10);

    const float yLow = -1;
    chart.SetYRange(nullptr, &yLow);
    EXPECT_FLOAT_EQ(chart.yMin, -255);
    EXPECT_FLOAT_EQ(chart.yMax, -1);
    EXPECT_NE(chart.interaction & kNoHorizontalAxis, 0u);
    const float zero = 0;
    chart.SetXRange(&zero, nullptr);
    EXPECT_EQ(chart.interaction & kNoVerticalAxis, 0u);
}

TEST_F(ChartFixture, TicksStayPutWithoutTheirStyleBits) {
    chart.style &= ~(kChartXTicksFromRange | kChartYTicksFromRange);
    const float low = 0, high = 100;
    chart.SetXRange(&low, &high);
    EXPECT_FLOAT_EQ(chart.xTicks.front().value, -255);
    chart.Resize(20, 20);
    EXPECT_EQ(chart.xTicks.size(), 8u);
    chart.style |= kChartXTicksFromRange;
    chart.RegenerateTicks();
    EXPECT_EQ(chart.xTicks.size(), 2u) << "a plot narrower than a spacing keeps its two ends";
}

TEST_F(ChartFixture, AutomaticXRangeFollowsAllSeriesAndIsAnnounced) {
    chart.style |= kChartAutoX;
    KVChart2DSeries* first = AddSeries(0x4B, {Pt(0, 1), Pt(2, 3)});
    AddSeries(0x4B, {Pt(5, -7), Pt(1, 2)});
    EXPECT_FLOAT_EQ(chart.xMin, 0);
    EXPECT_FLOAT_EQ(chart.xMax, 5);
    EXPECT_FLOAT_EQ(chart.yMin, -255) << "y is not automatic";
    const std::vector<std::uint32_t> codes = host.Codes();
    ASSERT_FALSE(codes.empty());
    EXPECT_EQ(codes.back(), kChartXRangeChanged);
    // Once for every point added after the first, the last of which leaves the range as it was.
    EXPECT_EQ(std::count(codes.begin(), codes.end(), kChartXRangeChanged), 3);

    const float low = -100, high = 100;
    chart.SetXRange(&low, &high);
    EXPECT_FLOAT_EQ(chart.xMin, 0) << "an automatic range ignores callers";

    KVChart2DPoint moved = Pt(-4, 1);
    first->SetPoint(1, &moved, 0);
    EXPECT_FLOAT_EQ(chart.xMin, -4);
    EXPECT_FLOAT_EQ(chart.xMax, 5);

    host.notices.clear();
    KVChart2DSeries* second = chart.GetSeries(1);
    const KVChart2DPoint inside = Pt(2, 9);
    second->SetPoint(1, &inside, 0);
    EXPECT_FLOAT_EQ(chart.xMin, -4);
    EXPECT_FLOAT_EQ(chart.xMax, 5);
    EXPECT_EQ(host.Codes(), std::vector<std::uint32_t>{kChartXRangeChanged})
        << "announced whenever computed, even when the range comes out the same";
    EXPECT_EQ(host.notices.back().series, second);
    EXPECT_EQ(host.notices.back().index, 1u);
}

TEST_F(ChartFixture, AutomaticRangeStaysWhenEveryPointSharesTheFirstValue) {
    chart.style |= kChartAutoX | kChartAutoY;
    AddSeries(0x4B, {Pt(3, 1), Pt(3, 4)});
    EXPECT_FLOAT_EQ(chart.xMin, -255);
    EXPECT_FLOAT_EQ(chart.xMax, 255);
    EXPECT_FLOAT_EQ(chart.yMin, 1);
    EXPECT_FLOAT_EQ(chart.yMax, 4);
    EXPECT_EQ(host.Codes(), std::vector<std::uint32_t>{kChartYRangeChanged});
}

TEST_F(ChartFixture, DragWithStyle01MovesXOnly) {
    KVChart2DSeries* series = AddSeries(0x01 | 0x08, {Pt(0, 0), Pt(100, 100)});
    const ChartPoint start = At(series, 0);
    chart.Press(start, false, false);
    EXPECT_NE(chart.interaction & kDragging, 0u);
    chart.Move(Offset(start, 36, 26));
    chart.Move(Offset(start, 72, 52));
    KVChart2DPoint point{};
    series->GetPoint(0, &point);
    EXPECT_NEAR(point.x, 102, 0.01);
    EXPECT_FLOAT_EQ(point.y, 0);
    series->GetPoint(1, &point);
    EXPECT_FLOAT_EQ(point.x, 100) << "unselected points stay";
    chart.EndDrag();
    EXPECT_EQ(host.Codes(), (std::vector<std::uint32_t>{kChartPointSelected, kChartPointMoved,
                                                        kChartPointMoved, kChartDragEnded}));
    EXPECT_EQ(host.notices.back().series, series);
    EXPECT_EQ(chart.interaction & kDragging, 0u);
}

TEST_F(ChartFixture, DragStopsAtTheLimits) {
    KVChart2DSeries* series = AddSeries(0x4B, {Pt(9, 0), Pt(-9, 0)});
    series->SelectPoint(1, 1, 0);
    chart.xLow = -10;
    chart.xHigh = 10;
    const ChartPoint start = At(series, 0);
    chart.Press(start, true, false);
    ASSERT_EQ(series->GetSelectedCount(), 2u);
    chart.Move(Offset(start, 20, 0));
    KVChart2DPoint point{};
    series->GetPoint(0, &point);
    EXPECT_FLOAT_EQ(point.x, 10);
    series->GetPoint(1, &point);
    EXPECT_FLOAT_EQ(point.x, -8) << "the whole selection moves by the shrunk amount";
    const std::size_t notices = host.notices.size();
    chart.Move(Offset(start, 40, 0));
    EXPECT_EQ(host.notices.size(), notices) << "a point held at its limit does not report a move";
    chart.Move(Offset(start, -20, 0));
    series->GetPoint(1, &point);
    EXPECT_FLOAT_EQ(point.x, -10) << "the other limit shrinks the way back";
}

TEST_F(ChartFixture, ClickOnStyle4BReplacesTheSelectionUnlessCtrlIsHeld) {
    KVChart2DSeries* a = AddSeries(0x4B, {Pt(-100, 0, kPointSelected), Pt(0, 0), Pt(100, 0)});
    KVChart2DSeries* b = AddSeries(0x4B, {Pt(0, 100, kPointSelected)});
    chart.Press(At(a, 1), false, false);
    EXPECT_FALSE(Selected(a, 0));
    EXPECT_TRUE(Selected(a, 1));
    EXPECT_FALSE(Selected(b, 0)) << "other series lose their selection too";
    EXPECT_EQ(a->GetSelectedCount(), 1u);
    ASSERT_EQ(host.notices.size(), 1u);
    EXPECT_EQ(host.notices[0].code, kChartPointSelected);
    EXPECT_EQ(host.notices[0].series, a);
    EXPECT_EQ(host.notices[0].index, 1u);
    chart.EndDrag();

    chart.Press(At(a, 2), true, false);
    EXPECT_TRUE(Selected(a, 1));
    EXPECT_TRUE(Selected(a, 2));
    EXPECT_EQ(a->GetSelectedCount(), 2u);
    chart.EndDrag();

    chart.Press(At(a, 2), false, false);
    EXPECT_EQ(a->GetSelectedCount(), 2u)
        << "a click on a point of a multiple selection keeps it for dragging";
}

TEST_F(ChartFixture, ClickBesideEveryPointClearsOrStartsARubberBand) {
    KVChart2DSeries* clicks = AddSeries(0x04, {Pt(0, 0, kPointSelected)});
    chart.Press(ChartPoint{100, 100}, false, false);
    EXPECT_EQ(clicks->GetSelectedCount(), 0u);
    EXPECT_EQ(chart.interaction & kRubberBanding, 0u) << "no series takes a band";

    KVChart2DSeries* band = AddSeries(0x08, {Pt(-200, -200), Pt(-100, -100), Pt(200, 200)});
    KVChart2DSeries* untouched = AddSeries(0x01, {Pt(-150, -150)});
    const ChartPoint corner = At(band, 0);
    chart.Press(Offset(corner, -10, -10), false, false);
    ASSERT_NE(chart.interaction & kRubberBanding, 0u);
    chart.Move(Offset(At(band, 1), 5, 5));
    EXPECT_TRUE(Selected(band, 0));
    EXPECT_TRUE(Selected(band, 1));
    EXPECT_FALSE(Selected(band, 2));
    EXPECT_EQ(untouched->GetSelectedCount(), 0u) << "only series that allow the band collect points";
    chart.Move(Offset(corner, 5, 5));
    EXPECT_TRUE(Selected(band, 0));
    EXPECT_FALSE(Selected(band, 1)) << "a shrinking band lets points go";
    EXPECT_EQ(band->GetSelectedCount(), 1u);
    ChartRect last{};
    ASSERT_TRUE(chart.EndRubberBand(&last));
    EXPECT_EQ(last.left, corner.x - 10);
    EXPECT_EQ(last.right, corner.x + 5);
    EXPECT_FALSE(chart.EndRubberBand(&last));
}

TEST_F(ChartFixture, MixedSeriesDragEachAlongTheirOwnAxis) {
    KVChart2DSeries* vertical = AddSeries(0x02 | 0x04, {Pt(0, 0, kPointSelected), Pt(50, 0, kPointSelected)});
    KVChart2DSeries* horizontal = AddSeries(0x01 | 0x04, {Pt(0, 100, kPointSelected)});
    chart.Press(At(vertical, 0), false, false);
    ASSERT_EQ(vertical->GetSelectedCount(), 2u);
    ASSERT_EQ(horizontal->GetSelectedCount(), 1u);
    chart.Move(Offset(At(vertical, 0), 72, 52));
    KVChart2DPoint point{};
    vertical->GetPoint(1, &point);
    EXPECT_FLOAT_EQ(point.x, 50);
    EXPECT_NEAR(point.y, 102, 0.01);
    horizontal->GetPoint(0, &point);
    EXPECT_NEAR(point.x, 102, 0.01);
    EXPECT_FLOAT_EQ(point.y, 100);
}

TEST_F(ChartFixture, DragPositionFollowsTheDraggedPointAndToleratesItsRemoval) {
    KVChart2DSeries* series = AddSeries(0x4B, {Pt(0, 0)});
    chart.Press(At(series, 0), false, false);
    chart.Move(ChartPoint{300, 250});
    ChartPoint at{};
    ASSERT_TRUE(chart.DragPosition(&at));
    EXPECT_NEAR(at.x, 300, 1);
    EXPECT_NEAR(at.y, 250, 1);
    series->RemovePoint(0);
    EXPECT_FALSE(chart.DragPosition(&at));
    chart.EndDrag();
    EXPECT_EQ(host.Codes().back(), kChartDragEnded);
}

TEST_F(ChartFixture, KeysTrackShiftAndCtrl) {
    chart.SetKey(17, true);
    chart.SetKey(16, true);
    EXPECT_EQ(chart.interaction & (kCtrlHeld | kShiftHeld), kCtrlHeld | kShiftHeld);
    chart.SetKey(17, false);
    chart.SetKey(65, true);
    EXPECT_EQ(chart.interaction & (kCtrlHeld | kShiftHeld), kShiftHeld);
}

TEST_F(ChartFixture, SeriesListInsertsBeforeThePositionAndRemovesOnlyItsOwn) {
    KVChart2DSeries* a = chart.AddSeries(0);
    KVChart2DSeries* b = chart.AddSeries(0);
    KVChart2DSeries* c = chart.AddSeries(99);
    EXPECT_EQ(chart.GetSeries(0), b);
    EXPECT_EQ(chart.GetSeries(1), a);
    EXPECT_EQ(chart.GetSeries(2), c);
    EXPECT_EQ(chart.GetSeries(3), nullptr);
    EXPECT_TRUE(chart.RemoveSeries(a));
    EXPECT_FALSE(chart.RemoveSeries(a));
    EXPECT_EQ(chart.SeriesCount(), 2u);
}
