#pragma once
// The data of the 2D chart: point records and the series that hold them. Portable, so that the
// point list logic is tested without a window; the chart reaches its series through the interface.
#include <cstdint>
#include <vector>

struct KVChart2DPoint {
    float x;
    float y;
    std::uint32_t value; // kept with the point, never interpreted by the chart
    std::uint32_t flags;
};

constexpr std::uint32_t kPointSelected = 0x01;

// Series style bits.
constexpr std::uint32_t kSeriesDragX = 0x01;
constexpr std::uint32_t kSeriesDragY = 0x02;
constexpr std::uint32_t kSeriesClickDeselects = 0x04;
constexpr std::uint32_t kSeriesRubberBand = 0x08;
constexpr std::uint32_t kSeriesNoMarkers = 0x10;
constexpr std::uint32_t kSeriesFromOrigin = 0x20;
constexpr std::uint32_t kSeriesHidden = 0x80;
constexpr std::uint32_t kSeriesDefaultStyle = 0x4B;

// Property ids of the series colours.
constexpr int kSeriesSelectedFill = 12;
constexpr int kSeriesMarkerOutline = 13;
constexpr int kSeriesLineColour = 15;

// The operations callers use on a series, in their fixed slot order.
class IKVChart2DSeries {
  public:
    virtual int Reset() = 0;
    virtual int SetName(const char* text) = 0;
    virtual int GetName(char* buffer, std::uint32_t size) = 0;
    virtual void AddStyle(std::uint32_t bits, int repaint) = 0;
    virtual std::uint32_t GetStyle() = 0;
    virtual int TestStyle(std::uint32_t bits) = 0;
    virtual void RemoveStyle(std::uint32_t bits, int repaint) = 0;
    virtual int SetProperty(int id, std::uint32_t colour) = 0;
    virtual std::uint32_t GetProperty(int id) = 0;
    virtual void ClearPoints() = 0;
    virtual int AppendPoint(const KVChart2DPoint* point) = 0;
    virtual int InsertPoint(const KVChart2DPoint* point, std::uint32_t index) = 0;
    virtual int RemovePoint(std::uint32_t index) = 0;
    virtual int SetPoint(std::uint32_t index, const KVChart2DPoint* point, int repaint) = 0;
    virtual int GetPoint(std::uint32_t index, KVChart2DPoint* out) = 0;
    virtual int SelectPoint(std::uint32_t index, int select, int repaint) = 0;
    virtual void DeselectAll(int repaint) = 0;
    virtual std::uint32_t GetSelectedCount() = 0;
    virtual std::uint32_t GetPointCount() = 0;
    virtual std::uint16_t SetMarkerRadius(std::uint16_t radius) = 0;
    virtual std::uint16_t GetMarkerRadius() = 0;
    virtual std::uint8_t SetLineWidth(std::uint8_t width) = 0;
    virtual std::uint8_t GetLineWidth() = 0;
    virtual ~IKVChart2DSeries() = default;
};

// What a series needs from its chart: a repaint, and a word whenever a point changed.
class Chart2DSeriesOwner {
  public:
    virtual void RepaintChart() = 0;
    virtual void PointChanged(IKVChart2DSeries* series, std::uint32_t index) = 0;

  protected:
    ~Chart2DSeriesOwner() = default;
};

class KVChart2DSeries final : public IKVChart2DSeries {
  public:
    explicit KVChart2DSeries(Chart2DSeriesOwner* chart);

    int Reset() override;
    int SetName(const char* text) override;
    int GetName(char* buffer, std::uint32_t size) override;
    void AddStyle(std::uint32_t bits, int repaint) override;
    std::uint32_t GetStyle() override { return style_; }
    int TestStyle(std::uint32_t bits) override { return (style_ & bits) != 0 ? 1 : 0; }
    void RemoveStyle(std::uint32_t bits, int repaint) override;
    int SetProperty(int id, std::uint32_t colour) override;
    std::uint32_t GetProperty(int id) override;
    void ClearPoints() override;
    int AppendPoint(const KVChart2DPoint* point) override;
    int InsertPoint(const KVChart2DPoint* point, std::uint32_t index) override;
    int RemovePoint(std::uint32_t index) override;
    int SetPoint(std::uint32_t index, const KVChart2DPoint* point, int repaint) override;
    int GetPoint(std::uint32_t index, KVChart2DPoint* out) override;
    int SelectPoint(std::uint32_t index, int select, int repaint) override;
    void DeselectAll(int repaint) override;
    std::uint32_t GetSelectedCount() override { return selectedCount_; }
    std::uint32_t GetPointCount() override { return static_cast<std::uint32_t>(points_.size()); }
    std::uint16_t SetMarkerRadius(std::uint16_t radius) override { return markerRadius_ = radius; }
    std::uint16_t GetMarkerRadius() override { return markerRadius_; }
    std::uint8_t SetLineWidth(std::uint8_t width) override { return lineWidth_ = width; }
    std::uint8_t GetLineWidth() override { return lineWidth_; }

    // For the chart, which reads and moves points directly while it draws and drags.
    const std::vector<KVChart2DPoint>& Points() const { return points_; }
    // Moves a point by a value delta and reports it; the chart has already kept it in its limits.
    void MovePoint(std::uint32_t index, float dx, float dy);
    std::uint8_t LinePenStyle() const { return linePenStyle_; }
    const char* Name() const { return name_; }

  private:
    void Repaint(int repaint);
    void Report(std::uint32_t index);
    void RecountSelected();

    std::vector<KVChart2DPoint> points_;
    Chart2DSeriesOwner* chart_;
    char name_[64] = {};
    std::uint32_t style_ = kSeriesDefaultStyle;
    std::uint32_t selectedCount_ = 0;
    std::uint16_t markerRadius_ = 5;
    std::uint32_t lineColour_ = 0x00000000;
    std::uint32_t selectedFill_ = 0x000000FF;
    std::uint32_t markerOutline_ = 0x00000000;
    std::uint8_t linePenStyle_ = 0;
    std::uint8_t lineWidth_ = 1;
};
