#include "scope_state.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>

namespace {

// Pixels per label character, and the widest label a plot leaves room for.
constexpr int kCharacterWidth = 6;
constexpr int kMaximumDecimals = 30;
constexpr int kMaximumDigits = 400;

// Far beyond any screen, yet safe for the drawing calls' 32-bit coordinates.
constexpr double kPixelLimit = 1.0e6;

std::string Format(const char* format, auto... values) {
    char text[512];
    std::snprintf(text, sizeof text, format, values...);
    return text;
}

std::string XLabel(std::uint32_t value, bool hex) {
    return hex ? Format("%X", static_cast<unsigned>(value)) : Format("%d", static_cast<int>(value));
}

} // namespace

int ScopeLabelDigits(double value) {
    const double magnitude = std::fabs(value);
    if (magnitude == 0.0 || !std::isfinite(magnitude)) {
        return 1;
    }
    return std::min(static_cast<int>(std::fabs(std::trunc(std::log10(magnitude)))), kMaximumDigits);
}

int ScopeLabelDecimals(int decimals) {
    return std::clamp(decimals, 0, kMaximumDecimals);
}

bool ScopeRing::Add(double sample) {
    if (samples_.empty()) {
        return false;
    }
    samples_[writeIndex_] = sample;
    writeIndex_ = (writeIndex_ + 1) % capacity();
    if (writeIndex_ == 0) {
        full_ = true;
    }
    return true;
}

void ScopeRing::Resize(int newCapacity) {
    newCapacity = std::max(newCapacity, 0);
    if (newCapacity == capacity()) {
        return;
    }
    std::vector<double> resized(static_cast<std::size_t>(newCapacity));
    const int oldCapacity = capacity();
    const int held = full_ ? oldCapacity : writeIndex_;
    const int kept = std::min(held, newCapacity);
    for (int i = 0; i < kept; ++i) {
        // The newest sample sits just before the write index.
        const int from = ((writeIndex_ - kept + i) % oldCapacity + oldCapacity) % oldCapacity;
        resized[i] = samples_[from];
    }
    // A ring filled to its last slot counts as full, so the write index never points past it.
    full_ = newCapacity > 0 && kept == newCapacity;
    writeIndex_ = full_ ? 0 : kept;
    samples_ = std::move(resized);
}

ScopeRing::Replay ScopeRing::ReplayOrder() const {
    Replay replay;
    if (full_) {
        // The oldest sample, at the write index, only leaves its place to the one after it.
        const int first = (writeIndex_ + 1) % capacity();
        replay.previous = samples_[first];
        for (int i = first; i != writeIndex_; i = (i + 1) % capacity()) {
            replay.samples.push_back(samples_[i]);
        }
    } else if (writeIndex_ > 0) {
        replay.previous = samples_[0];
        replay.samples.assign(samples_.begin(), samples_.begin() + writeIndex_);
    }
    return replay;
}

void ScopeModel::Layout(int width, int height) {
    client = {0, 0, width, height};
    plot = {50, 10, width - 10, height - 25};
    plotHeight = height - 35;
    plotWidth = width - 60;
    layerWidth = width;
    layerHeight = height;
    yScale = plotHeight / ySpan;
}

void ScopeModel::PlaceLabels() {
    const long long characters =
        std::max(ScopeLabelDigits(yMaximum), ScopeLabelDigits(yMinimum)) + ScopeLabelDecimals(decimals) + 4;
    plot.left = client.left + static_cast<int>(kCharacterWidth * characters);
    plotWidth = plot.right - plot.left;
}

int ScopeModel::Capacity() const {
    return step > 0 && plotWidth > 0 ? plotWidth / step : 0;
}

void ScopeModel::SetStep(int pixels) {
    step = pixels;
    halfStep = pixels / 2;
    stepAndAHalf = pixels + pixels / 2;
}

void ScopeModel::SetRange(double maximum, double minimum) {
    yMaximum = maximum;
    yMinimum = minimum;
    ySpan = maximum - minimum;
    yScale = plotHeight / ySpan;
}

int ScopeModel::YPixel(double value) const {
    double offset = std::trunc((value - yMinimum) * yScale);
    if (std::isnan(offset)) {
        offset = 0.0;
    }
    return plot.bottom - static_cast<int>(std::clamp(offset, -kPixelLimit, kPixelLimit));
}

double ScopeModel::StaticValue(int index, double previous) const {
    if (elementSize != 1 && elementSize != 2 && elementSize != 4) {
        return previous;
    }
    const long long offset = static_cast<long long>(elementSize) * index + startOffset;
    if (data == nullptr || offset < 0 || offset > dataBound) {
        return 0.0;
    }
    const unsigned char* element = static_cast<const unsigned char*>(data) + offset;
    switch (elementSize) {
    case 1:
        return *element;
    case 2: {
        std::uint16_t value;
        std::memcpy(&value, element, sizeof value);
        return value;
    }
    default: {
        float value;
        std::memcpy(&value, element, sizeof value);
        return value;
    }
    }
}

std::string ScopeModel::YMaximumLabel() const {
    return Format("%.*lf", ScopeLabelDecimals(decimals), yMaximum);
}

std::string ScopeModel::YMinimumLabel() const {
    return Format("%.*lf", ScopeLabelDecimals(decimals), yMinimum);
}

std::string ScopeModel::FirstXLabel() const {
    return XLabel(static_cast<std::uint32_t>(startOffset), hexLabels);
}

std::string ScopeModel::LastXLabel() const {
    return XLabel(static_cast<std::uint32_t>(startOffset) + static_cast<std::uint32_t>(Capacity()),
                  hexLabels);
}
