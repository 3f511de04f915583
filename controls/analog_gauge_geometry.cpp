#include "analog_gauge_geometry.h"

#include <cmath>
#include <numbers>

namespace {

// Text alignment flags, as the drawing API defines them.
constexpr unsigned kLeft = 0;
constexpr unsigned kRight = 2;
constexpr unsigned kCenter = 6;
constexpr unsigned kTop = 0;
constexpr unsigned kBaseline = 24;

// Sine and cosine of 70 degrees: the top and bottom sectors where labels are centred.
constexpr double kSin70 = 0.9396926;
constexpr double kCos70 = 0.3420201;

double DrawingRadians(double dialAngle) {
    return (dialAngle - 270.0) * std::numbers::pi / 180.0;
}

} // namespace

DialRadii RadiiFor(int size) {
    const int h = size / 2;
    return {h - 3, h - 11, h - 8, h - 14, h - 15, 2, h - 2, h - 6, size - 1};
}

double DialAngle(const AnalogGaugeState& gauge, float value) {
    const double angle = (static_cast<double>(value) - gauge.minimum) /
                             (static_cast<double>(gauge.maximum) - gauge.minimum) *
                             (static_cast<double>(gauge.endAngle) - gauge.startAngle) +
                         gauge.startAngle;
    if (std::isfinite(angle)) {
        return angle;
    }
    return std::isfinite(gauge.startAngle) ? gauge.startAngle : 0.0;
}

DialPoint PointOnDial(int size, double dialAngle, double radius) {
    const double theta = DrawingRadians(dialAngle);
    const int h = size / 2;
    return {static_cast<int>(h + radius * std::cos(theta)), static_cast<int>(h + radius * std::sin(theta))};
}

DialPoint TickEndOnDial(int size, double dialAngle, double radius) {
    const double theta = DrawingRadians(dialAngle);
    const int h = size / 2;
    return {static_cast<int>(std::floor(h + radius * std::cos(theta) + 0.5)),
            static_cast<int>(std::floor(h + radius * std::sin(theta) + 0.5))};
}

unsigned LabelAlignment(double dialAngle) {
    const double theta = DrawingRadians(dialAngle);
    const double up = -std::sin(theta);
    const double right = std::cos(theta);
    const bool nearVertical = right >= -kCos70 && right <= kCos70;
    if (up >= 0 && up <= kSin70) {
        return right >= kCos70 ? (kRight | kTop) : (kLeft | kTop);
    }
    if (up > kSin70 && nearVertical) {
        return kCenter | kTop;
    }
    if (up < 0 && up >= -kSin70) {
        return right > kCos70 ? (kRight | kBaseline) : (kLeft | kBaseline);
    }
    if (up < -kSin70 && nearVertical) {
        return kCenter | kBaseline;
    }
    return kLeft | kTop;
}
