#include "chart2d_state.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <new>

namespace {

constexpr std::int32_t kPlotMargin = 70;
constexpr int kVirtualKeyShift = 16;
constexpr int kVirtualKeyControl = 17;

// Shrinks a movement so that a value inside [low, high] stays inside; a value already outside
// is never pushed further out, nor pulled back against the movement.
float ShrinkToLimits(float delta, float value, float low, float high) {
    if (delta > 0) {
        const float room = high - value > 0 ? high - value : 0;
        return delta < room ? delta : room;
    }
    if (delta < 0) {
        const float room = low - value < 0 ? low - value : 0;
        return delta > room ? delta : room;
    }
    return 0;
}

// Value offsets beyond this many logical units are off any screen; keeping them finite keeps the
// conversion to integers defined even for an empty range (infinite scale).
std::int32_t ToUnits(float offset) {
    constexpr float kFar = 1.0e7f;
    if (!(offset > -kFar)) {
        return -static_cast<std::int32_t>(kFar);
    }
    if (!(offset < kFar)) {
        return static_cast<std::int32_t>(kFar);
    }
    return static_cast<std::int32_t>(offset);
}

void SetBit(std::uint32_t& bits, std::uint32_t bit, bool on) {
    bits = on ? bits | bit : bits & ~bit;
}

} // namespace

KVChart2DSeries* Chart2DModel::AddSeries(std::uint32_t position) {
    std::unique_ptr<KVChart2DSeries> series(new (std::nothrow) KVChart2DSeries(this));
    if (series == nullptr) {
        return nullptr;
    }
    KVChart2DSeries* added = series.get();
    const std::size_t at = position < series_.size() ? position : series_.size();
    series_.insert(series_.begin() + static_cast<std::ptrdiff_t>(at), std::move(series));
    return added;
}

bool Chart2DModel::RemoveSeries(const IKVChart2DSeries* series) {
    for (auto it = series_.begin(); it != series_.end(); ++it) {
        if (it->get() == series) {
            series_.erase(it);
            UpdateAutoRanges(nullptr, 0);
            return true;
        }
    }
    return false;
}

KVChart2DSeries* Chart2DModel::GetSeries(std::uint32_t index) const {
    return index < series_.size() ? series_[index].get() : nullptr;
}

void Chart2DModel::DeselectAll() {
    for (auto& series : series_) {
        series->DeselectAll(0);
    }
}

void Chart2DModel::Resize(std::int32_t width, std::int32_t height) {
    clientWidth = width;
    clientHeight = height;
    plotLeft = kPlotMargin;
    plotTop = height - kPlotMargin;
    plotRight = width - kPlotMargin;
    plotBottom = kPlotMargin;
    RegenerateTicks();
    UpdateScale();
}

void StoreGivenBounds(float& low, float& high, const float* newLow, const float* newHigh) {
    if (newLow != nullptr) {
        low = *newLow;
    }
    if (newHigh != nullptr) {
        high = *newHigh;
    }
}

void Chart2DModel::SetXRange(const float* minimum, const float* maximum) {
    if ((style & kChartAutoX) != 0) {
        return;
    }
    StoreGivenBounds(xMin, xMax, minimum, maximum);
    FixRanges();
}

void Chart2DModel::SetYRange(const float* minimum, const float* maximum) {
    if ((style & kChartAutoY) != 0) {
        return;
    }
    StoreGivenBounds(yMin, yMax, minimum, maximum);
    FixRanges();
}

void Chart2DModel::FixRanges() {
    if (xMax < xMin) {
        xMax = xMin;
    }
    if (yMax < yMin) {
        yMax = yMin;
    }
    RegenerateTicks();
    SetBit(interaction, kNoVerticalAxis, !(xMin <= 0 && 0 <= xMax));
    SetBit(interaction, kNoHorizontalAxis, !(yMin <= 0 && 0 <= yMax));
}

void Chart2DModel::RegenerateTicks() {
    // A plot narrower than one spacing still gets its two end ticks.
    if ((style & kChartXTicksFromRange) != 0) {
        const int spacing = xTickSpacing > 0 ? xTickSpacing : 1;
        const int n = (plotRight - plotLeft) / spacing;
        GenerateTicks(xTicks, xMin, xMax, n > 0 ? n : 1, kLabelXTick);
    }
    if ((style & kChartYTicksFromRange) != 0) {
        const int spacing = yTickSpacing > 0 ? yTickSpacing : 1;
        const int m = (plotTop - plotBottom) / spacing + 1;
        GenerateTicks(yTicks, yMin, yMax, m > 0 ? m : 1, kLabelYTick);
    }
}

void Chart2DModel::GenerateTicks(std::vector<ChartTick>& ticks, float minimum, float maximum, int intervals,
                                 int kind) {
    ticks.assign(static_cast<std::size_t>(intervals) + 1, ChartTick{});
    for (int i = 0; i <= intervals; ++i) {
        ChartTick& tick = ticks[static_cast<std::size_t>(i)];
        tick.value = minimum + (maximum - minimum) * static_cast<float>(i) / static_cast<float>(intervals);
        char text[kLabelBufferSize] = {};
        int length = kLabelBufferSize;
        const float x = kind == kLabelXTick ? tick.value : 0;
        const float y = kind == kLabelYTick ? tick.value : 0;
        if (host_->Label(x, y, nullptr, static_cast<std::uint32_t>(i), kind, text, &length)) {
            text[kLabelBufferSize - 1] = '\0';
        } else {
            std::snprintf(text, sizeof text, "%.2f", static_cast<double>(tick.value));
        }
        tick.text = text;
    }
}

void Chart2DModel::UpdateScale() {
    xScale = static_cast<float>(plotRight - plotLeft) / std::fabs(xMax - xMin);
    yScale = static_cast<float>(plotTop - plotBottom) / std::fabs(yMax - yMin);
}

ChartPoint Chart2DModel::ToLogical(float x, float y) const {
    return ChartPoint{ToUnits((x - xMin) * xScale) + plotLeft, ToUnits((y - yMin) * yScale) + plotBottom};
}

void Chart2DModel::UpdateAutoRanges(IKVChart2DSeries* series, std::uint32_t index) {
    if ((style & (kChartAutoX | kChartAutoY)) == 0) {
        return;
    }
    const KVChart2DPoint* first = nullptr;
    float lowX = 0, highX = 0, lowY = 0, highY = 0;
    for (const auto& s : series_) {
        for (const KVChart2DPoint& point : s->Points()) {
            if (first == nullptr) {
                first = &point;
                lowX = highX = point.x;
                lowY = highY = point.y;
            }
            lowX = point.x < lowX ? point.x : lowX;
            highX = point.x > highX ? point.x : highX;
            lowY = point.y < lowY ? point.y : lowY;
            highY = point.y > highY ? point.y : highY;
        }
    }
    if (first == nullptr) {
        return;
    }
    // Every computation that finds an extreme beyond the first point is announced, whether or not
    // the range comes out different: parents may count on a notice for each change of points.
    bool changed = false;
    if ((style & kChartAutoX) != 0 && (lowX != first->x || highX != first->x)) {
        changed = changed || lowX != xMin || highX != xMax;
        xMin = lowX;
        xMax = highX;
        host_->Notify(kChartXRangeChanged, series, index);
    }
    if ((style & kChartAutoY) != 0 && (lowY != first->y || highY != first->y)) {
        changed = changed || lowY != yMin || highY != yMax;
        yMin = lowY;
        yMax = highY;
        host_->Notify(kChartYRangeChanged, series, index);
    }
    FixRanges();
    if (changed) {
        host_->Invalidate();
    }
}

bool Chart2DModel::HitPoint(KVChart2DSeries& series, ChartPoint at, std::uint32_t* index) const {
    const std::int32_t radius = series.GetMarkerRadius();
    const auto& points = series.Points();
    for (std::size_t i = 0; i < points.size(); ++i) {
        const ChartPoint p = ToLogical(points[i].x, points[i].y);
        if (std::abs(at.x - p.x) <= radius && std::abs(at.y - p.y) <= radius) {
            *index = static_cast<std::uint32_t>(i);
            return true;
        }
    }
    return false;
}

void Chart2DModel::Press(ChartPoint at, bool ctrl, bool shift) {
    interaction |= kMouseDown;
    SetBit(interaction, kCtrlHeld, ctrl);
    SetBit(interaction, kShiftHeld, shift);
    lastMouse = at;
    UpdateScale();
    bool bandAllowed = false;
    for (std::size_t si = 0; si < series_.size(); ++si) {
        KVChart2DSeries& series = *series_[si];
        const std::uint32_t seriesStyle = series.GetStyle();
        if ((seriesStyle & (kSeriesClickDeselects | kSeriesRubberBand)) == 0 ||
            (seriesStyle & kSeriesHidden) != 0) {
            continue;
        }
        bandAllowed = bandAllowed || (seriesStyle & kSeriesRubberBand) != 0;
        std::uint32_t index = 0;
        if (!HitPoint(series, at, &index)) {
            if (!ctrl) {
                series.DeselectAll(1);
            }
            continue;
        }
        dragPoint = index;
        dragSeries = static_cast<std::uint32_t>(si);
        if ((seriesStyle & (kSeriesDragX | kSeriesDragY)) != 0) {
            interaction |= kDragging;
        }
        const bool alreadySelected = (series.Points()[index].flags & kPointSelected) != 0;
        const bool deselecting =
            (seriesStyle & kSeriesClickDeselects) != 0 || ((seriesStyle & kSeriesRubberBand) != 0 && !ctrl);
        if ((series.GetSelectedCount() <= 1 || !alreadySelected) && deselecting) {
            DeselectAll();
        }
        series.SelectPoint(index, 1, 0);
        host_->Notify(kChartPointSelected, &series, index);
        host_->Invalidate();
        return;
    }
    if (bandAllowed) {
        interaction |= kRubberBanding;
        band = ChartRect{at.x, at.y, at.x, at.y};
        previousBand = band;
    }
}

void Chart2DModel::Move(ChartPoint at) {
    if ((interaction & kDragging) != 0) {
        DragSelected(at);
    } else if ((interaction & kRubberBanding) != 0) {
        previousBand = band;
        band.right = at.x;
        band.bottom = at.y;
        SelectInBand();
        host_->Invalidate();
    }
    lastMouse = at;
}

void Chart2DModel::DragSelected(ChartPoint at) {
    UpdateScale();
    const float dx = static_cast<float>(at.x - lastMouse.x) / xScale;
    const float dy = static_cast<float>(at.y - lastMouse.y) / yScale;
    bool moved = false;
    for (auto& s : series_) {
        KVChart2DSeries& series = *s;
        const std::uint32_t seriesStyle = series.GetStyle();
        float sdx = (seriesStyle & kSeriesDragX) != 0 ? dx : 0;
        float sdy = (seriesStyle & kSeriesDragY) != 0 ? dy : 0;
        if (series.GetSelectedCount() == 0 || (seriesStyle & kSeriesHidden) != 0) {
            continue;
        }
        for (const KVChart2DPoint& point : series.Points()) {
            if ((point.flags & kPointSelected) != 0) {
                sdx = ShrinkToLimits(sdx, point.x, xLow, xHigh);
                sdy = ShrinkToLimits(sdy, point.y, yLow, yHigh);
            }
        }
        if (sdx == 0 && sdy == 0) {
            continue;
        }
        for (std::uint32_t i = 0; i < series.GetPointCount(); ++i) {
            if ((series.Points()[i].flags & kPointSelected) != 0) {
                series.MovePoint(i, sdx, sdy);
                host_->Notify(kChartPointMoved, &series, i);
                moved = true;
            }
        }
    }
    if (moved) {
        host_->Invalidate();
    }
}

void Chart2DModel::SelectInBand() {
    const std::int32_t left = band.left < band.right ? band.left : band.right;
    const std::int32_t right = band.left < band.right ? band.right : band.left;
    const std::int32_t low = band.top < band.bottom ? band.top : band.bottom;
    const std::int32_t high = band.top < band.bottom ? band.bottom : band.top;
    for (auto& s : series_) {
        KVChart2DSeries& series = *s;
        if ((series.GetStyle() & kSeriesRubberBand) == 0 || (series.GetStyle() & kSeriesHidden) != 0) {
            continue;
        }
        for (std::uint32_t i = 0; i < series.GetPointCount(); ++i) {
            const ChartPoint p = ToLogical(series.Points()[i].x, series.Points()[i].y);
            const bool inside = p.x >= left && p.x <= right && p.y >= low && p.y <= high;
            series.SelectPoint(i, inside ? 1 : 0, 0);
        }
    }
}

bool Chart2DModel::DragPosition(ChartPoint* at) {
    KVChart2DSeries* series = GetSeries(dragSeries);
    if ((interaction & kDragging) == 0 || series == nullptr || dragPoint >= series->GetPointCount()) {
        return false;
    }
    UpdateScale();
    const KVChart2DPoint& point = series->Points()[dragPoint];
    *at = ToLogical(point.x, point.y);
    return true;
}

void Chart2DModel::EndDrag() {
    if ((interaction & kDragging) == 0) {
        return;
    }
    interaction &= ~kDragging;
    host_->Notify(kChartDragEnded, GetSeries(dragSeries), dragPoint);
}

bool Chart2DModel::EndRubberBand(ChartRect* last) {
    if ((interaction & kRubberBanding) == 0) {
        return false;
    }
    interaction &= ~kRubberBanding;
    *last = band;
    return true;
}

void Chart2DModel::SetKey(int virtualKey, bool down) {
    if (virtualKey == kVirtualKeyShift) {
        SetBit(interaction, kShiftHeld, down);
    } else if (virtualKey == kVirtualKeyControl) {
        SetBit(interaction, kCtrlHeld, down);
    }
}

void Chart2DModel::RepaintChart() {
    host_->Invalidate();
}

void Chart2DModel::PointChanged(IKVChart2DSeries* series, std::uint32_t index) {
    UpdateAutoRanges(series, index);
}
