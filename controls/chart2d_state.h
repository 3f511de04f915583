#pragma once
// The 2D chart's behaviour apart from its window: ranges and their fix-up, tick generation,
// automatic ranges, the value-to-logical mapping (y upwards), and the mouse interaction (press,
// drag within limits, rubber band, release). The window procedure feeds it logical mouse
// positions and turns its host calls into notifications, repaints and label callbacks.
#include "chart2d_series.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

// Chart style bits.
constexpr std::uint32_t kChartDoubleBuffer = 0x01;
constexpr std::uint32_t kChartXTicksFromRange = 0x02;
constexpr std::uint32_t kChartYTicksFromRange = 0x04;
constexpr std::uint32_t kChartVersionText = 0x08;
constexpr std::uint32_t kChartAutoX = 0x10;
constexpr std::uint32_t kChartAutoY = 0x20;
constexpr std::uint32_t kChartDefaultStyle = 0x07;

// Interaction state bits.
constexpr std::uint32_t kMouseDown = 0x01;
constexpr std::uint32_t kCtrlHeld = 0x04;
constexpr std::uint32_t kShiftHeld = 0x08;
constexpr std::uint32_t kDragging = 0x20;
constexpr std::uint32_t kRubberBanding = 0x40;
constexpr std::uint32_t kNoHorizontalAxis = 0x80;
constexpr std::uint32_t kNoVerticalAxis = 0x100;
constexpr std::uint32_t kCursorHidden = 0x200;
constexpr std::uint32_t kPaintSuspended = 0x400;

// Notification codes to the parent.
constexpr std::uint32_t kChartPointSelected = 1124;
constexpr std::uint32_t kChartPointMoved = 1125;
constexpr std::uint32_t kChartDragEnded = 1126;
constexpr std::uint32_t kChartXRangeChanged = 1127;
constexpr std::uint32_t kChartYRangeChanged = 1128;

// Kinds of label asked of the label callback.
constexpr int kLabelPoint = 0;
constexpr int kLabelXTick = 1;
constexpr int kLabelYTick = 2;
constexpr int kLabelBufferSize = 40;

// Logical coordinates: y grows upwards.
struct ChartPoint {
    std::int32_t x;
    std::int32_t y;
};

struct ChartRect {
    std::int32_t left;
    std::int32_t top;
    std::int32_t right;
    std::int32_t bottom;
};

struct ChartTick {
    float value;
    std::string text;
};

class Chart2DHost {
  public:
    virtual void Notify(std::uint32_t code, IKVChart2DSeries* series, std::uint32_t index) = 0;
    virtual void Invalidate() = 0;
    // Asks the label callback for a text; false when there is none or it declined.
    virtual bool Label(float x, float y, IKVChart2DSeries* series, std::uint32_t index, int kind,
                       char* buffer, int* length) = 0;

  protected:
    ~Chart2DHost() = default;
};

// Stores the bounds whose pointers are not null; a null pointer leaves its bound as it is.
void StoreGivenBounds(float& low, float& high, const float* newLow, const float* newHigh);

class Chart2DModel final : public Chart2DSeriesOwner {
  public:
    // The host must outlive the model.
    explicit Chart2DModel(Chart2DHost* host) : host_(host) {}
    Chart2DModel(const Chart2DModel&) = delete;
    Chart2DModel& operator=(const Chart2DModel&) = delete;

    // Series list.
    KVChart2DSeries* AddSeries(std::uint32_t position);
    bool RemoveSeries(const IKVChart2DSeries* series);
    KVChart2DSeries* GetSeries(std::uint32_t index) const;
    std::uint32_t SeriesCount() const { return static_cast<std::uint32_t>(series_.size()); }
    void DeselectAll();

    // Layout and ranges.
    void Resize(std::int32_t width, std::int32_t height);
    void SetXRange(const float* minimum, const float* maximum);
    void SetYRange(const float* minimum, const float* maximum);
    void FixRanges();
    // Sets each automatic axis to the points' extremes when one lies beyond the first point, and
    // announces it, naming the point that caused it (null when none did), even when the range
    // stays as it was; then fixes the ranges up.
    void UpdateAutoRanges(IKVChart2DSeries* series, std::uint32_t index);
    void RegenerateTicks();
    void UpdateScale();
    ChartPoint ToLogical(float x, float y) const;

    // Mouse and keys, in logical coordinates.
    void Press(ChartPoint at, bool ctrl, bool shift);
    void Move(ChartPoint at);
    // While dragging: the dragged point's logical position (false when it is gone).
    bool DragPosition(ChartPoint* at);
    // Stops a drag and announces its end; nothing when none was active.
    void EndDrag();
    // Stops a rubber band: true when one was active, with the band last drawn.
    bool EndRubberBand(ChartRect* last);
    void SetKey(int virtualKey, bool down);

    void RepaintChart() override;
    void PointChanged(IKVChart2DSeries* series, std::uint32_t index) override;

    std::uint32_t style = kChartDefaultStyle;
    std::uint32_t interaction = 0;
    ChartPoint lastMouse{0, 0};
    ChartRect band{};         // current rubber band: left/top is the anchor, right/bottom the moving corner
    ChartRect previousBand{}; // the band last drawn on the screen
    std::int32_t clientWidth = 0;
    std::int32_t clientHeight = 0;
    std::int32_t plotLeft = 0;
    std::int32_t plotTop = 0;
    std::int32_t plotRight = 0;
    std::int32_t plotBottom = 0;
    std::uint32_t dragPoint = 0;
    std::uint32_t dragSeries = 0;
    float xMin = -255, xMax = 255, yMin = -255, yMax = 255;
    float xLow = -255, xHigh = 255, yLow = -255, yHigh = 255;
    float xScale = 0, yScale = 0;
    std::uint16_t xTickSpacing = 50;
    std::uint16_t yTickSpacing = 50;
    std::vector<ChartTick> xTicks;
    std::vector<ChartTick> yTicks;

  private:
    void GenerateTicks(std::vector<ChartTick>& ticks, float minimum, float maximum, int intervals, int kind);
    bool HitPoint(KVChart2DSeries& series, ChartPoint at, std::uint32_t* index) const;
    void SelectInBand();
    void DragSelected(ChartPoint at);

    Chart2DHost* host_;
    std::vector<std::unique_ptr<KVChart2DSeries>> series_;
};
