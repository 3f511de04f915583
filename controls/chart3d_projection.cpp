#include "chart3d_projection.h"

#include <algorithm>
#include <cmath>
#include <numbers>

ViewPoint ProjectPoint(const Chart3DView& view, double x, double y, double z) {
    const double yaw = view.yawDegrees * std::numbers::pi / 180.0;
    const double pitch = view.pitchDegrees * std::numbers::pi / 180.0;
    // Turn about z, then tilt about the screen's horizontal axis.
    const double across = x * std::cos(yaw) - y * std::sin(yaw);
    const double depth = x * std::sin(yaw) + y * std::cos(yaw);
    const double up = z * std::cos(pitch) + depth * std::sin(pitch);
    // The cube's corners lie within sqrt(3) of its centre whatever the turn.
    const double scale = std::min(view.width, view.height) / (2.0 * std::sqrt(3.0));
    return {static_cast<int>(std::lround(view.width / 2.0 + across * scale)),
            static_cast<int>(std::lround(view.height / 2.0 - up * scale))};
}
