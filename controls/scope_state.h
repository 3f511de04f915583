#pragma once
// The scope control's numbers, apart from any drawing: the layout of the plot inside the client
// area, the value-to-pixel mapping, the label texts, the ring of live samples with its resize rule
// and replay order, and the element reads of static mode.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

struct ScopeRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
};

// Digits the Y labels need in front of the point for a range end; 0 and values without a
// logarithm (infinities, NaN) count as 1.
int ScopeLabelDigits(double value);

// Decimals of the Y labels as they are drawn and measured: a negative or absurd count from the
// caller is held to what a label can show.
int ScopeLabelDecimals(int decimals);

// The samples of the live trace, newest overwriting oldest once the ring has wrapped.
class ScopeRing {
  public:
    int capacity() const { return static_cast<int>(samples_.size()); }
    int writeIndex() const { return writeIndex_; }
    bool full() const { return full_; }
    const std::vector<double>& samples() const { return samples_; }

    // Stores a sample at the write index; returns false (sample dropped) without capacity.
    bool Add(double sample);

    // Makes the ring hold newCapacity samples, keeping the most recent ones, oldest first.
    void Resize(int newCapacity);

    // What a redraw at a new scale draws: the sample the first segment starts from, then each
    // sample a segment ends at, in order. Empty when there is nothing to draw.
    struct Replay {
        double previous = 0.0;
        std::vector<double> samples;
    };
    Replay ReplayOrder() const;

  private:
    std::vector<double> samples_;
    int writeIndex_ = 0;
    bool full_ = false;
};

struct ScopeModel {
    static constexpr std::size_t kCaptionSize = 50;
    static constexpr std::size_t kMessageSize = 60;

    bool live = true;
    const void* data = nullptr;
    std::int32_t dataBound = 0;
    std::uint8_t elementSize = 1;
    std::int32_t startOffset = 0;
    int step = 3;
    bool grid = true;
    bool hexLabels = false;
    int decimals = 2;
    char xCaption[kCaptionSize] = {};
    char yCaption[kCaptionSize] = {};
    char message[kMessageSize] = {};
    std::uint32_t backgroundColour = 0x00000000;
    std::uint32_t axisColour = 0x00FFFF00;
    std::uint32_t traceColour = 0x00FFFFFF;
    double currentSample = 0.0;
    double previousSample = 0.0;
    int halfStep = 1;
    int stepAndAHalf = 4;
    int layerWidth = 0;
    int layerHeight = 0;
    int plotHeight = 0;
    int plotWidth = 0;
    double yMinimum = -10.0;
    double yMaximum = 10.0;
    double ySpan = 20.0;
    double yScale = 0.0;
    ScopeRect client;
    ScopeRect plot;
    std::intptr_t userValue = 0;
    ScopeRing ring;

    // Places the plot in a client area of width by height; the left edge is provisional until
    // PlaceLabels measures the Y labels.
    void Layout(int width, int height);

    // Moves the plot's left edge right of the Y labels.
    void PlaceLabels();

    // Samples across the plot: plot width / step, 0 when no sample fits.
    int Capacity() const;

    void SetStep(int pixels);
    void SetRange(double maximum, double minimum);

    // The y pixel of a value: plot bottom - trunc((value - minimum) * scale), held to a range
    // the drawing calls accept.
    int YPixel(double value) const;

    // The value of static-mode point i: the element at start offset + element size * i, 0.0 when
    // that offset lies outside 0..data bound (or there is no data), the previous value for an
    // element size other than 1, 2 or 4.
    double StaticValue(int index, double previous) const;

    std::string YMaximumLabel() const;
    std::string YMinimumLabel() const;
    std::string FirstXLabel() const;
    std::string LastXLabel() const;
};
