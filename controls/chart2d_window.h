#pragma once
// The 2D chart's per-window record, shared by its window procedure and its painting.
#include "chart2d.h"
#include "chart2d_state.h"

#include <windows.h>

struct Chart2D;

// Turns the chart logic's requests into notifications, repaints and label callbacks.
class Chart2DLink final : public Chart2DHost {
  public:
    explicit Chart2DLink(Chart2D* chart) : chart_(chart) {}
    void Notify(std::uint32_t code, IKVChart2DSeries* series, std::uint32_t index) override;
    void Invalidate() override;
    bool Label(float x, float y, IKVChart2DSeries* series, std::uint32_t index, int kind, char* buffer,
               int* length) override;

  private:
    Chart2D* chart_;
};

enum Chart2DFont {
    kFontXTicks,
    kFontYCaption,
    kFontXCaption,
    kFontPointLabels,
    kFontYTicks,
    kFontTitle,
    kFontVersion,
    kChartFontCount
};

struct Chart2D {
    explicit Chart2D(HWND owner) : window(owner) {}

    HWND window;
    NMCHART2D header{};
    Chart2DLink link{this};
    Chart2DModel model{&link};
    KVChart2DLabelCallback labelCallback = nullptr;
    COLORREF colours[kChartColourCount] = {0x00FFFFFF, 0x00DCDCDC, 0, 0,          0, 0, 0,         0x00FF0000,
                                           0,          0,          0, 0x00C8C8C8, 0, 0, 0x00C8C8C8};
    char title[100] = "2D Chart";
    char yCaption[40] = "Y Axis";
    char xCaption[40] = "X Axis";
    char version[60] = "KV2DChart v2";
    char labelBuffer[kLabelBufferSize] = {};
    HFONT fonts[kChartFontCount] = {};
};

// WM_PAINT: draws the whole chart, through a memory bitmap when the chart style asks for it.
void PaintChart2D(Chart2D& chart);

// Inverts the outline of a rubber band (logical coordinates) on a device context in device units;
// drawing it twice leaves the screen as it was.
void InvertChartBand(HDC dc, const Chart2D& chart, const ChartRect& band);
